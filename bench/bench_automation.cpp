// The automation server as a client on the same machine sees it, on a private
// session bus that starts the server through its activation file.
//
//   bench_automation [label] [N]  N labels (default 1,000) through one
//                                 Tarvel.Application object: six record
//                                 properties and one DruckeLabel per label.
//   bench_automation laser [N]    N laser labels (default 10,000): the article
//                                 number and one DruckeLaserLabel per label.
//   bench_automation start [N]    N cold starts (default 5): from CreateObject
//                                 on a bus without a server to the ready object.
//   bench_automation clients [N]  two client processes at once, N labels each
//                                 (default 500) through objects of their own:
//                                 two jobs of N pages each.
//   bench_automation objects [N]  N objects (default 10,000) created and released
//                                 one after the other: the server's memory
//                                 after the first 100 and after all of them.
//   bench_automation floor [N]    the floor under "label": N groups (default
//                                 1,000) of seven round trips, as many as a
//                                 label takes, once as Peer.Ping (answered by
//                                 the bus library in the server's D-Bus thread)
//                                 and once as a Get of ArtikelNr (the whole way
//                                 into the object and back, drawing nothing).
//   bench_automation lang [N]     texts of 65,536 characters through every text
//                                 property and line, each print method N times
//                                 (default 3), and a 30 MB text that is refused:
//                                 the slowest call and the server's memory.
//
// Reports the time per label (median, 99th percentile), labels per second, the
// server's CPU time and its memory (peak and at checkpoints, from /proc), and
// prints one row for bench/run (BenchRow.h).
#include "BenchRow.h"
#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <functional>
#include <cstdio>
#include <unistd.h>

using tarvel::bench::PrivateBus;
namespace bench = tarvel::bench;

namespace {

const QString Iface = QStringLiteral("Tarvel.Application");
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");

QDBusMessage call(const QDBusConnection &c, const QString &path, const QString &iface, const QString &member,
                  const QVariantList &args = {})
{
    auto msg = QDBusMessage::createMethodCall(Iface, path, iface, member);
    msg.setArguments(args);
    const QDBusMessage reply = c.call(msg, QDBus::Block, 120000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(member), qPrintable(reply.errorMessage()));
        std::exit(1);
    }
    return reply;
}

void setProperty(const QDBusConnection &c, const QString &path, const QString &name, const QString &value)
{
    call(c, path, Props, QStringLiteral("Set"), {Iface, name, QVariant::fromValue(QDBusVariant(value))});
}

QString createObject(const QDBusConnection &c)
{
    const QDBusMessage created = call(c, QStringLiteral("/Tarvel"), QStringLiteral("Tarvel.Server"),
                                      QStringLiteral("CreateObject"), {Iface});
    return qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();
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

/// A memory figure of process \a pid from /proc/<pid>/status ("VmHWM" is the
/// peak resident size, "VmRSS" the current one), in MB.
double memoryMb(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (pid <= 0 || !status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

QString medianAndP99(const std::vector<double> &ms)
{
    return QStringLiteral("Median %1 ms, p99 %2 ms")
        .arg(percentile(ms, 0.5), 0, 'f', 3)
        .arg(percentile(ms, 0.99), 0, 'f', 3);
}

/// The one PDF the object delivered: its size and page count, for the output column.
QString deliveredJob(const PrivateBus &bus, int *jobCount)
{
    const QDir folder(bus.jobsFolder());
    const QStringList jobs = folder.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    *jobCount = int(jobs.size());
    if (jobs.isEmpty())
        return QStringLiteral("kein PDF");
    const QString path = folder.filePath(jobs.first());
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished(60000);
    const QString pages = QString::fromUtf8(info.readAllStandardOutput()).section(QStringLiteral("Pages:"), 1).section(u'\n', 0, 0).trimmed();
    return QStringLiteral("%1 PDF, %2 Seiten, %3 MB")
        .arg(jobs.size())
        .arg(pages.isEmpty() ? QStringLiteral("?") : pages)
        .arg(double(QFileInfo(path).size()) / 1e6, 0, 'f', 1);
}

/// Labels through one object. Laser: the article number and DruckeLaserLabel
/// per label; otherwise the six record fields and DruckeLabel.
int printLabels(bool laser, int count)
{
    PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
    if (!bus.start())
        return 1;
    QDBusConnection c = bus.connect(QStringLiteral("bench"));

    QElapsedTimer t;
    t.start();
    const QString path = createObject(c);
    const double activationMs = double(t.nsecsElapsed()) / 1e6;
    const qint64 server = bus.ownerPid(Iface);
    const double startMb = memoryMb(server, "VmRSS");

    const QStringList names = {"ArtikelNr", "Preis1", "Preis2", "MatchCode", "WarenGruppe", "ISBN"};
    if (laser) {
        const QStringList fixed = {"", "12,95 €", "9,95 €", "MUSTERMANN", "Bücher", "978-3-16-148410-0"};
        for (int f = 1; f < 6; ++f)
            setProperty(c, path, names[f], fixed[f]);
    }
    std::vector<double> perLabel;
    perLabel.reserve(size_t(count));
    const int checkpoint = std::max(1, count / 10);
    double checkpointMb = 0;
    const double serverCpuBefore = cpuMs(server);
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < count; ++i) {
        const QString number = QStringLiteral("TV-%1").arg(i, 6, 10, QLatin1Char('0'));
        t.restart();
        if (laser) {
            setProperty(c, path, names[0], number);
            call(c, path, Iface, QStringLiteral("DruckeLaserLabel"));
        } else {
            const QStringList values = {number, QStringLiteral("%1,95 €").arg(i % 100), QStringLiteral("%1,50 €").arg(i % 50),
                                        QStringLiteral("MATCH%1").arg(i), QStringLiteral("WG%1").arg(i % 17),
                                        QStringLiteral("978-3-16-%1").arg(i, 6, 10, QLatin1Char('0'))};
            for (int f = 0; f < 6; ++f)
                setProperty(c, path, names[f], values[f]);
            call(c, path, Iface, QStringLiteral("DruckeLabel"));
        }
        perLabel.push_back(double(t.nsecsElapsed()) / 1e6);
        if (i + 1 == checkpoint)
            checkpointMb = memoryMb(server, "VmRSS");
    }
    const double labelsS = double(all.nsecsElapsed()) / 1e9;
    const double serverCpu = (cpuMs(server) - serverCpuBefore) / count;
    const double endMb = memoryMb(server, "VmRSS");
    t.restart();
    call(c, path, Iface, QStringLiteral("Release"));
    const double releaseMs = double(t.nsecsElapsed()) / 1e6;
    const double peakMb = memoryMb(server, "VmHWM");
    int jobs = 0;
    const QString output = deliveredJob(bus, &jobs);

    const char *what = laser ? "Laseretiketten" : "Etiketten";
    std::printf("%-30s %d (%s)\n", what, count,
                laser ? "ArtikelNr + DruckeLaserLabel je Etikett" : "6 Eigenschaften + DruckeLabel je Etikett");
    std::printf("Aktivierung bis erstes Objekt: %.1f ms\n", activationMs);
    std::printf("Zeit je Etikett, Median:       %.3f ms\n", percentile(perLabel, 0.5));
    std::printf("Zeit je Etikett, 99. Perz.:    %.3f ms\n", percentile(perLabel, 0.99));
    std::printf("Etiketten je Sekunde:          %.0f%s\n", count / labelsS, laser ? " (Ziel >= 1000)" : "");
    std::printf("CPU des Servers je Etikett:    %.3f ms\n", serverCpu);
    std::printf("Speicher des Servers:          %.1f MB nach dem Start, %.1f MB nach %d, %.1f MB nach %d Etiketten, Spitze %.1f MB\n",
                startMb, checkpointMb, checkpoint, endMb, count, peakMb);
    std::printf("Release (PDF abschließen):     %.0f ms, %s\n", releaseMs, qPrintable(output));
    bench::printRow(QString::fromUtf8(laser ? "Automation: DruckeLaserLabel über D-Bus" : "Automation: DruckeLabel über D-Bus"),
                    count, labelsS, medianAndP99(perLabel), peakMb,
                    QStringLiteral("%1 Etiketten/s; %2").arg(count / labelsS, 0, 'f', 0).arg(output));
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return jobs == 1 ? 0 : 1;
}

/// Seven round trips a group, as a label has six writes and one print: first
/// Peer.Ping, then a Get of ArtikelNr. What the bus and the server's D-Bus
/// layer cost before a label draws anything.
int floorRoundTrips(int count)
{
    PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
    if (!bus.start())
        return 1;
    QDBusConnection c = bus.connect(QStringLiteral("bench"));
    const QString path = createObject(c);
    const qint64 server = bus.ownerPid(Iface);
    setProperty(c, path, QStringLiteral("ArtikelNr"), QStringLiteral("TV-000000"));

    struct Way
    {
        const char *name;
        QString iface, member;
        QVariantList args;
    };
    const Way ways[] = {
        {"Peer.Ping", QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"), {}},
        {"Get ArtikelNr", Props, QStringLiteral("Get"), {Iface, QStringLiteral("ArtikelNr")}},
    };
    for (const Way &way : ways) {
        std::vector<double> perGroup;
        perGroup.reserve(size_t(count));
        const double cpuBefore = cpuMs(server);
        QElapsedTimer all, t;
        all.start();
        for (int i = 0; i < count; ++i) {
            t.restart();
            for (int k = 0; k < 7; ++k)
                call(c, path, way.iface, way.member, way.args);
            perGroup.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        const double wallS = double(all.nsecsElapsed()) / 1e9;
        const double serverCpu = (cpuMs(server) - cpuBefore) / count;
        std::printf("7 x %-14s Median %.3f ms, p99 %.3f ms, CPU des Servers %.3f ms je 7 Aufrufe\n", way.name,
                    percentile(perGroup, 0.5), percentile(perGroup, 0.99), serverCpu);
        bench::printRow(QStringLiteral("Automation: Boden, 7 x %1").arg(QLatin1String(way.name)), count, wallS,
                        medianAndP99(perGroup), memoryMb(server, "VmHWM"),
                        QStringLiteral("CPU des Servers %1 ms je 7 Aufrufe").arg(serverCpu, 0, 'f', 3));
    }
    call(c, path, Iface, QStringLiteral("Release"));
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return 0;
}

/// Cold starts: each on a bus of its own, so the server is started by the bus
/// for the CreateObject call that is timed.
int coldStarts(int count)
{
    std::vector<double> ms;
    double peakMb = 0;
    double totalS = 0;
    for (int i = 0; i < count; ++i) {
        PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
        if (!bus.start())
            return 1;
        const QString name = QStringLiteral("bench-start-%1").arg(i);
        {
            QDBusConnection c = bus.connect(name);
            QElapsedTimer t;
            t.start();
            const QString path = createObject(c);
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            totalS += ms.back() / 1000.0;
            peakMb = std::max(peakMb, memoryMb(bus.ownerPid(Iface), "VmHWM"));
            call(c, path, Iface, QStringLiteral("Release"));
        }
        QDBusConnection::disconnectFromBus(name);
    }
    std::printf("Kaltstarts:                    %d (D-Bus-Aktivierung bis zum fertigen Objekt)\n", count);
    std::printf("Zeit, Median:                  %.1f ms\n", percentile(ms, 0.5));
    std::printf("Zeit, längste:                 %.1f ms\n", percentile(ms, 1.0));
    std::printf("Speicher des Servers, Spitze:  %.1f MB\n", peakMb);
    bench::printRow(QStringLiteral("Automation: Kaltstart bis fertiges Objekt"), count, totalS,
                    QStringLiteral("Median %1 ms, max %2 ms").arg(percentile(ms, 0.5), 0, 'f', 1).arg(percentile(ms, 1.0), 0, 'f', 1),
                    peakMb, QStringLiteral("-"));
    return 0;
}

/// The client side of "clients": PREFIX-000001 ... through one object of its
/// own on the session bus, then Release.
int clientLabels(const QString &prefix, int count)
{
    const QDBusConnection c = QDBusConnection::sessionBus();
    const QString path = createObject(c);
    for (int i = 1; i <= count; ++i) {
        setProperty(c, path, QStringLiteral("ArtikelNr"), QStringLiteral("%1-%2").arg(prefix).arg(i, 6, 10, QLatin1Char('0')));
        call(c, path, Iface, QStringLiteral("DruckeLabel"));
    }
    call(c, path, Iface, QStringLiteral("Release"));
    return 0;
}

/// Two clients printing at once, each a process of its own.
int twoClients(int count)
{
    PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
    if (!bus.start())
        return 1;
    QDBusConnection c = bus.connect(QStringLiteral("bench"));
    call(c, createObject(c), Iface, QStringLiteral("Release")); // the server is up before the clock starts
    QElapsedTimer t;
    t.start();
    QProcess a, b;
    for (auto [p, prefix] : {std::pair{&a, "AAA"}, std::pair{&b, "BBB"}}) {
        p->setProcessEnvironment(bus.clientEnvironment());
        p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("client"), QLatin1String(prefix), QString::number(count)});
    }
    const bool done = a.waitForFinished(-1) && b.waitForFinished(-1) && a.exitCode() == 0 && b.exitCode() == 0;
    const QStringList jobs = bus.waitForJobs(2, 60000);
    const double wallS = double(t.nsecsElapsed()) / 1e9;
    int jobCount = 0;
    const QString output = done ? deliveredJob(bus, &jobCount) : QStringLiteral("Client fehlgeschlagen");
    std::printf("Zwei Clients zugleich:         je %d Etiketten in %.2f s, %lld Aufträge\n", count, wallS, qint64(jobs.size()));
    bench::printRow(QStringLiteral("Automation: zwei Clients zugleich"), 2LL * count, wallS, bench::perItemMs(wallS, 2LL * count),
                    memoryMb(bus.ownerPid(Iface), "VmHWM"), QStringLiteral("%1 Aufträge; %2").arg(jobs.size()).arg(output));
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return done && jobs.size() == 2 ? 0 : 1;
}

/// Objects created and released one after the other: nothing of them may stay.
int manyObjects(int count)
{
    PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
    if (!bus.start())
        return 1;
    QDBusConnection c = bus.connect(QStringLiteral("bench"));
    double after100 = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 1; i <= count; ++i) {
        call(c, createObject(c), Iface, QStringLiteral("Release"));
        if (i == std::min(100, count))
            after100 = memoryMb(bus.ownerPid(Iface), "VmRSS");
    }
    const double wallS = double(t.nsecsElapsed()) / 1e9;
    const double end = memoryMb(bus.ownerPid(Iface), "VmRSS");
    std::printf("Objekte erstellt und freigegeben: %d in %.2f s; Server %.1f MB nach 100, %.1f MB nach allen\n", count,
                wallS, after100, end);
    bench::printRow(QStringLiteral("Automation: Objekte erstellen und freigeben"), count, wallS, bench::perItemMs(wallS, count),
                    memoryMb(bus.ownerPid(Iface), "VmHWM"),
                    QStringLiteral("Server %1 MB nach 100, %2 MB nach %3").arg(after100, 0, 'f', 1).arg(end, 0, 'f', 1).arg(count));
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return 0;
}

/// Texts at the limit (65,536 characters) through every text property and
/// line, then each print method \a repeats times; and a 30 MB text, which is
/// refused. The slowest call and the server's peak memory, against one second
/// and 100 MB a call.
int longTexts(int repeats)
{
    PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
    if (!bus.start())
        return 1;
    QDBusConnection c = bus.connect(QStringLiteral("bench"));
    const QString path = createObject(c);
    const qint64 server = bus.ownerPid(Iface);
    const double startMb = memoryMb(server, "VmRSS");
    QString text;
    for (int i = 0; text.size() < 65536; ++i)
        text += QStringLiteral("Wort%1 ").arg(i);
    text.truncate(65536);
    std::vector<double> ms;
    QElapsedTimer t, all;
    all.start();
    const auto timed = [&](const std::function<void()> &step) {
        t.restart();
        step();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::printf("  Aufruf %zu: %.1f ms, Server %.1f MB, Spitze %.1f MB\n", ms.size(), ms.back(),
                        memoryMb(server, "VmRSS"), memoryMb(server, "VmHWM"));
    };
    for (const char *name : {"MatchCode", "WarenGruppe", "Preis1", "Preis2", "Titel", "Autor", "Verlag", "Bemerkung", "Datum",
                             "KdNr", "Name1", "Name2", "Strasse", "PLZ", "Ort", "Telefon", "SchlussText", "Menge",
                             "zuHaenden", "Anrede"})
        timed([&] { setProperty(c, path, QString::fromLatin1(name), text); });
    for (qint16 nr = 0; nr < 6; ++nr)
        timed([&] { call(c, path, Iface, QStringLiteral("Zeile"), {QVariant::fromValue(nr), text}); });
    for (int r = 0; r < repeats; ++r) {
        for (const char *name : {"DruckeLabel", "DruckeEtikett", "DruckeKanuEtikett", "DruckeAbholschein",
                                 "DruckeAbholscheinDINA4", "DruckeListe", "DruckeLaserLabel", "DruckeLaserLabel4Bahn"})
            timed([&] { call(c, path, Iface, QString::fromLatin1(name)); });
        timed([&] { call(c, path, Iface, QStringLiteral("DruckeAdressLabel"), {QVariant::fromValue(qint16(-1))}); });
    }
    const double wallS = double(all.nsecsElapsed()) / 1e9;
    const double beforeHugeMb = memoryMb(server, "VmHWM");
    auto huge = QDBusMessage::createMethodCall(Iface, path, Props, QStringLiteral("Set"));
    huge.setArguments({Iface, QStringLiteral("Titel"), QVariant::fromValue(QDBusVariant(QString(30'000'000, u'W')))});
    t.restart();
    const QDBusMessage refused = c.call(huge, QDBus::Block, 120000);
    const double refusedMs = double(t.nsecsElapsed()) / 1e6;
    call(c, path, Iface, QStringLiteral("Release"));
    const double peakMb = memoryMb(server, "VmHWM");
    const double slowest = *std::max_element(ms.begin(), ms.end());
    std::printf("Texte an der Grenze: %zu Aufrufe, langsamster %.1f ms (Ziel <= 1000 ms), %s\n", ms.size(), slowest,
                qPrintable(medianAndP99(ms)));
    std::printf("Speicher des Servers: %.1f MB nach dem Start, Spitze %.1f MB mit den Texten an der Grenze (Ziel: <= 100 MB "
                "mehr), %.1f MB nach dem 30-MB-Text\n", startMb, beforeHugeMb, peakMb);
    std::printf("30-MB-Text: %s nach %.0f ms: %s\n", refused.type() == QDBusMessage::ErrorMessage ? "abgewiesen" : "ANGENOMMEN",
                refusedMs, qPrintable(refused.errorMessage()));
    bench::printRow(QStringLiteral("Automation: Texte an der Grenze (65536 Zeichen)"), qint64(ms.size()), wallS,
                    QStringLiteral("langsamster %1 ms").arg(slowest, 0, 'f', 1), peakMb,
                    QStringLiteral("Server %1 -> %2 MB; 30-MB-Text %3 in %4 ms")
                        .arg(startMb, 0, 'f', 1)
                        .arg(beforeHugeMb, 0, 'f', 1)
                        .arg(refused.type() == QDBusMessage::ErrorMessage ? "abgewiesen" : "ANGENOMMEN")
                        .arg(refusedMs, 0, 'f', 0));
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
    return refused.type() == QDBusMessage::ErrorMessage ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString mode = QStringLiteral("label");
    if (!args.isEmpty() && !args.first().at(0).isDigit())
        mode = args.takeFirst();
    bool ok = true;
    const int given = args.isEmpty() ? 0 : args.first().toInt(&ok);
    if (mode == QLatin1String("client") && args.size() == 2) // one of the two processes of "clients"
        return clientLabels(args[0], args[1].toInt());
    const QStringList modes = {"label", "laser", "start", "clients", "objects", "floor", "lang"};
    if (!ok || given < 0 || !modes.contains(mode)) {
        std::fprintf(stderr, "Aufruf: bench_automation [label|laser|start|clients|objects|floor|lang] [Anzahl]\n");
        return 2;
    }
    if (mode == QLatin1String("start"))
        return coldStarts(given > 0 ? given : 5);
    if (mode == QLatin1String("clients"))
        return twoClients(given > 0 ? given : 500);
    if (mode == QLatin1String("objects"))
        return manyObjects(given > 0 ? given : 10000);
    if (mode == QLatin1String("floor"))
        return floorRoundTrips(given > 0 ? given : 1000);
    if (mode == QLatin1String("lang"))
        return longTexts(given > 0 ? given : 3);
    return printLabels(mode == QLatin1String("laser"), given > 0 ? given : (mode == QLatin1String("laser") ? 10000 : 1000));
}
