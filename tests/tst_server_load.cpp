// The automation server under load, on a private session bus: two clients
// printing at once, a client killed in the middle of its labels, and ten
// thousand objects created and released.

#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"
#include "support/PrivateBus.h"
#include "support/ProcessMemory.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <csignal>

using tarvel::test::PdfPages;
using tarvel::test::PrivateBus;
using tarvel::test::ProcessMemory;
namespace BarcodeDecoder = tarvel::test::BarcodeDecoder;

namespace {

const QString Iface = QStringLiteral("Tarvel.Application");
const QRect LabelBars(0, 150, 1000, 190); // where DruckeLabel puts its barcode, at 300 dpi

QDBusMessage call(const QDBusConnection &c, const QString &path, const QString &member, const QVariantList &args = {},
                  const QString &iface = Iface)
{
    auto msg = QDBusMessage::createMethodCall(QStringLiteral("Tarvel.Application"), path, iface, member);
    msg.setArguments(args);
    return c.call(msg, QDBus::Block, 60000);
}

QString create(const QDBusConnection &c)
{
    const QDBusMessage reply = call(c, QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"),
                                    {QStringLiteral("Tarvel.Application")}, QStringLiteral("Tarvel.Server"));
    return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

/// The article numbers a job's pages carry, one per page, in page order.
QStringList numbersPerPage(const QString &pdf, const QString &prefix)
{
    const QStringList pages = PdfPages(pdf).text().split(u'\f');
    static const QRegularExpression number(QStringLiteral("\\b([A-Z]+-\\d{4})\\b"));
    QStringList out;
    for (const QString &page : pages) {
        const auto m = number.match(page);
        if (m.hasMatch() && m.captured(1).startsWith(prefix))
            out << m.captured(1);
        else if (!page.trimmed().isEmpty())
            out << QStringLiteral("?");
    }
    return out;
}

QStringList expectedNumbers(const QString &prefix, int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << QStringLiteral("%1-%2").arg(prefix).arg(i, 4, 10, QLatin1Char('0'));
    return out;
}

} // namespace

class TestServerLoad : public QObject
{
    Q_OBJECT
    PrivateBus m_bus{QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM)};
    QDBusConnection m_client{QString()};

    QStringList jobs() const
    {
        QStringList files = QDir(m_bus.jobsFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
        for (QString &f : files)
            f = QDir(m_bus.jobsFolder()).filePath(f);
        return files;
    }
    QStringList waitForJobs(int count, int ms) const
    {
        QDeadlineTimer deadline(ms);
        while (jobs().size() < count && !deadline.hasExpired())
            QTest::qWait(100);
        return jobs();
    }
    /// The job whose first page carries \a prefix.
    QString jobOf(const QString &prefix) const
    {
        for (const QString &f : jobs())
            if (PdfPages(f).text(1).contains(prefix + u'-'))
                return f;
        return {};
    }
    std::unique_ptr<QProcess> labelClient(const QStringList &args)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(m_bus.clientEnvironment());
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(TARVEL_LABEL_CLIENT), args);
        return p;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        m_client = m_bus.connect(QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
        QVERIFY(!create(m_client).isEmpty()); // activates the server
    }
    void init()
    {
        for (const QString &f : jobs())
            QFile::remove(f);
    }
    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("client")); }

    // Two clients print 500 labels each at the same time through objects of
    // their own: two jobs, each with exactly its own labels in order.
    void twoClientsAtOnce()
    {
        QElapsedTimer uhr;
        uhr.start();
        auto a = labelClient({QStringLiteral("AAA"), QStringLiteral("500")});
        auto b = labelClient({QStringLiteral("BBB"), QStringLiteral("500")});
        QVERIFY(a->waitForFinished(300000));
        QVERIFY(b->waitForFinished(300000));
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);
        const QString outA = QString::fromUtf8(a->readAllStandardOutput());
        const QString outB = QString::fromUtf8(b->readAllStandardOutput());
        QVERIFY(outA.contains(QStringLiteral("freigegeben")) && outB.contains(QStringLiteral("freigegeben")));
        QCOMPARE(waitForJobs(2, 10000).size(), 2);
        qInfo("Zwei Clients mit je 500 Labels: %lld ms", qint64(uhr.elapsed()));

        for (const QString &prefix : {QStringLiteral("AAA"), QStringLiteral("BBB")}) {
            const QString job = jobOf(prefix);
            QVERIFY2(!job.isEmpty(), qPrintable(prefix));
            QCOMPARE(numbersPerPage(job, prefix), expectedNumbers(prefix, 500));
            const PdfPages pdf(job);
            for (int page : {1, 250, 500})
                QCOMPARE(BarcodeDecoder::decodeArea(pdf.render(page, 300), LabelBars),
                         QStringList{expectedNumbers(prefix, 500)[page - 1]});
        }
    }

    // A client killed with SIGKILL in the middle of its labels: its job comes
    // with every label the server printed for it, about 30 s later, and in
    // the meantime the server serves another client.
    void killedClient()
    {
        auto victim = labelClient({QStringLiteral("KILL"), QStringLiteral("1000"), QStringLiteral("--ohne-freigabe"),
                                   QStringLiteral("--pause"), QStringLiteral("10")});
        int printed = 0;
        QDeadlineTimer deadline(120000);
        while (printed < 100 && !deadline.hasExpired()) {
            victim->waitForReadyRead(1000);
            while (victim->canReadLine()) {
                const QByteArray line = victim->readLine().trimmed();
                if (line.startsWith("gedruckt "))
                    printed = line.mid(9).toInt();
            }
        }
        QVERIFY2(printed >= 100, "der Client druckt nicht");
        ::kill(pid_t(victim->processId()), SIGKILL);
        QElapsedTimer since;
        since.start();
        victim->waitForFinished(5000);
        while (victim->canReadLine()) { // what it reported before it died
            const QByteArray line = victim->readLine().trimmed();
            if (line.startsWith("gedruckt "))
                printed = line.mid(9).toInt();
        }

        // Another client is served at once.
        const QString other = create(m_client);
        call(m_client, other, QStringLiteral("Set"),
             {Iface, QStringLiteral("ArtikelNr"), QVariant::fromValue(QDBusVariant(QStringLiteral("ANDER-0001")))},
             QStringLiteral("org.freedesktop.DBus.Properties"));
        QCOMPARE(call(m_client, other, QStringLiteral("DruckeLabel")).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(call(m_client, other, QStringLiteral("Release")).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(waitForJobs(1, 5000).size(), 1);
        const qint64 otherMs = since.elapsed();
        QVERIFY2(otherMs < 10000, qPrintable(QStringLiteral("%1 ms").arg(otherMs)));

        QCOMPARE(waitForJobs(2, 45000).size(), 2);
        const qint64 deliveredMs = since.elapsed();
        qInfo("Getöteter Client nach %d Labels: anderer Client bedient nach %lld ms, Auftrag nach %lld ms", printed,
              otherMs, deliveredMs);
        QVERIFY2(deliveredMs < 40000, qPrintable(QStringLiteral("%1 ms").arg(deliveredMs)));
        const QStringList got = numbersPerPage(jobOf(QStringLiteral("KILL")), QStringLiteral("KILL"));
        // The label whose call was on its way when the client died may be in it too.
        QVERIFY2(got.size() == printed || got.size() == printed + 1, qPrintable(QString::number(got.size())));
        QCOMPARE(got, expectedNumbers(QStringLiteral("KILL"), int(got.size())));
    }

    // 10,000 objects created and released one after the other: the server's
    // memory afterwards lies within 5 MB of where it was after the first 100.
    void manyObjects()
    {
        const qint64 pid = m_bus.ownerPid(QStringLiteral("Tarvel.Application"));
        QVERIFY(pid > 0);
        const int total = 10000;
        qint64 after100 = 0;
        QElapsedTimer uhr;
        uhr.start();
        for (int i = 1; i <= total; ++i) {
            const QString path = create(m_client);
            QVERIFY2(!path.isEmpty(), qPrintable(QStringLiteral("Objekt %1").arg(i)));
            QCOMPARE(call(m_client, path, QStringLiteral("Release")).type(), QDBusMessage::ReplyMessage);
            if (i == 100)
                after100 = ProcessMemory::residentKiB(pid);
        }
        const qint64 after = ProcessMemory::residentKiB(pid);
        qInfo("10000 Objekte in %lld ms; Server nach 100: %lld KiB, nach 10000: %lld KiB", qint64(uhr.elapsed()),
              after100, after);
        QCOMPARE(m_bus.ownerPid(QStringLiteral("Tarvel.Application")), pid);
        if (!ProcessMemory::sanitized())
            QVERIFY2(after - after100 <= 5 * 1024, qPrintable(QStringLiteral("+%1 KiB").arg(after - after100)));
    }
};

QTEST_GUILESS_MAIN(TestServerLoad)
#include "tst_server_load.moc"
