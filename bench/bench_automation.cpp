// A client on the same machine prints N labels (default 1,000) through one
// Tarvel.Application object: six record properties and one DruckeLabel per
// label, then Release. Reports the time per label (median, 99th percentile)
// and the time from activation to the first object, on a private session bus.
#include "support/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

using tarvel::test::PrivateBus;

namespace {

QDBusMessage call(const QDBusConnection &c, const QString &path, const QString &iface, const QString &member,
                  const QVariantList &args = {})
{
    auto msg = QDBusMessage::createMethodCall(QStringLiteral("Tarvel.Application"), path, iface, member);
    msg.setArguments(args);
    const QDBusMessage reply = c.call(msg, QDBus::Block, 120000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(member), qPrintable(reply.errorMessage()));
        std::exit(1);
    }
    return reply;
}

/// CPU time (user + system) that process \a pid has used, in milliseconds.
double cpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
    if (!bus.start())
        return 1;
    QDBusConnection c = bus.connect(QStringLiteral("bench"));

    QElapsedTimer t;
    t.start();
    const QDBusMessage created = call(c, QStringLiteral("/Tarvel"), QStringLiteral("Tarvel.Server"),
                                      QStringLiteral("CreateObject"), {QStringLiteral("Tarvel.Application")});
    const double activationMs = double(t.nsecsElapsed()) / 1e6;
    const QString path = qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();

    const QString iface = QStringLiteral("Tarvel.Application");
    const QString props = QStringLiteral("org.freedesktop.DBus.Properties");
    const QStringList names = {"ArtikelNr", "Preis1", "Preis2", "MatchCode", "WarenGruppe", "ISBN"};
    std::vector<double> perLabel;
    perLabel.reserve(size_t(count));
    const qint64 server = bus.ownerPid(QStringLiteral("Tarvel.Application"));
    const double serverCpuBefore = cpuMs(server);
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < count; ++i) {
        const QStringList values = {QStringLiteral("TV-%1").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("%1,95 €").arg(i % 100),
                                    QStringLiteral("%1,50 €").arg(i % 50), QStringLiteral("MATCH%1").arg(i),
                                    QStringLiteral("WG%1").arg(i % 17), QStringLiteral("978-3-16-%1").arg(i, 6, 10, QLatin1Char('0'))};
        t.restart();
        for (int f = 0; f < 6; ++f)
            call(c, path, props, QStringLiteral("Set"), {iface, names[f], QVariant::fromValue(QDBusVariant(values[f]))});
        call(c, path, iface, QStringLiteral("DruckeLabel"));
        perLabel.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double labelsMs = double(all.nsecsElapsed()) / 1e6;
    const double serverCpu = (cpuMs(server) - serverCpuBefore) / count;
    t.restart();
    call(c, path, iface, QStringLiteral("Release"));
    const double releaseMs = double(t.nsecsElapsed()) / 1e6;

    const QStringList jobs = QDir(bus.jobsFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    const qint64 size = jobs.isEmpty() ? 0 : QFileInfo(QDir(bus.jobsFolder()).filePath(jobs.first())).size();
    std::printf("Etiketten:                     %d (6 Eigenschaften + DruckeLabel je Etikett)\n", count);
    std::printf("Aktivierung bis erstes Objekt: %.1f ms (Ziel <= 300 ms)\n", activationMs);
    std::printf("Zeit je Etikett, Median:       %.3f ms (Ziel <= 2 ms)\n", percentile(perLabel, 0.5));
    std::printf("Zeit je Etikett, 99. Perz.:    %.3f ms\n", percentile(perLabel, 0.99));
    std::printf("CPU des Servers je Etikett:    %.3f ms\n", serverCpu);
    std::printf("Alle Etiketten:                %.0f ms\n", labelsMs);
    std::printf("Release (PDF abschließen):     %.0f ms, %d Auftrag, %.1f MB\n", releaseMs, int(jobs.size()), double(size) / 1e6);
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return jobs.size() == 1 ? 0 : 1;
}
