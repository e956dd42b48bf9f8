// The automation server against a hostile peer and broken surroundings, on a
// private session bus: wrong signatures, 1 MB strings, objects that never
// existed or were released, a flood of CreateObject, a jobs folder that cannot
// be written, and a broken settings file. Every call gets a clean D-Bus error
// and the server goes on serving.

#include "support/LockedFolder.h"
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

using tarvel::test::LockedFolder;
using tarvel::test::PdfPages;
using tarvel::test::PrivateBus;
using tarvel::test::ProcessMemory;

namespace {

const QString Iface = QStringLiteral("Tarvel.Application");
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");
const QString Factory = QStringLiteral("Tarvel.Server");

QDBusMessage call(const QDBusConnection &c, const QString &path, const QString &member, const QVariantList &args = {},
                  const QString &iface = Iface)
{
    auto msg = QDBusMessage::createMethodCall(QStringLiteral("Tarvel.Application"), path, iface, member);
    msg.setArguments(args);
    return c.call(msg, QDBus::Block, 60000);
}

QVariant variant(const QVariant &v) { return QVariant::fromValue(QDBusVariant(v)); }

QDBusMessage set(const QDBusConnection &c, const QString &path, const QString &property, const QVariant &value)
{
    return call(c, path, QStringLiteral("Set"), {Iface, property, variant(value)}, Props);
}

QString get(const QDBusConnection &c, const QString &path, const QString &property)
{
    QVariant v = call(c, path, QStringLiteral("Get"), {Iface, property}, Props).arguments().value(0);
    while (v.metaType() == QMetaType::fromType<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    return v.toString();
}

QString create(const QDBusConnection &c)
{
    const QDBusMessage reply = call(c, QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"),
                                    {QStringLiteral("Tarvel.Application")}, Factory);
    return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

QString errorOf(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QStringLiteral("kein Fehler");
}

} // namespace

class TestServerFaults : public QObject
{
    Q_OBJECT
    PrivateBus m_bus{QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM)};
    QDBusConnection m_client{QString()};
    QString m_keeper; // an object that keeps the server alive between the tests
    qint64 m_pid = 0;

    QStringList files(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).filter(QRegularExpression("^(?!\\.fueller$)"));
    }
    QStringList jobs() const { return QDir(m_bus.jobsFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files); }
    /// The server is the one from the start and answers an ordinary call at once.
    void serves()
    {
        QCOMPARE(m_bus.ownerPid(QStringLiteral("Tarvel.Application")), m_pid);
        QElapsedTimer uhr;
        uhr.start();
        QCOMPARE(errorOf(set(m_client, m_keeper, QStringLiteral("MatchCode"), QStringLiteral("DA"))),
                 QStringLiteral("kein Fehler"));
        QCOMPARE(get(m_client, m_keeper, QStringLiteral("MatchCode")), QStringLiteral("DA"));
        QVERIFY2(uhr.elapsed() < 5000, qPrintable(QStringLiteral("%1 ms").arg(uhr.elapsed())));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        m_client = m_bus.connect(QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
        m_keeper = create(m_client);
        QVERIFY(!m_keeper.isEmpty());
        m_pid = m_bus.ownerPid(QStringLiteral("Tarvel.Application"));
        QVERIFY(m_pid > 0);
    }
    void init()
    {
        for (const QString &f : jobs())
            QFile::remove(QDir(m_bus.jobsFolder()).filePath(f));
    }
    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("client")); }

    // Calls that do not fit what they call: a D-Bus error of the right name,
    // nothing changed, and the object and the server go on.
    void wrongCalls_data()
    {
        QTest::addColumn<QString>("path"); // "objekt": a fresh object
        QTest::addColumn<QString>("iface");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("error");
        const QString o = QStringLiteral("objekt");
        const QString e = QStringLiteral("Tarvel.Error.");
        const QString d = QStringLiteral("org.freedesktop.DBus.Error.");
        auto row = [](const char *name, const QString &path, const QString &iface, const QString &member,
                      const QVariantList &args, const QString &error) {
            QTest::newRow(name) << path << iface << member << args << error;
        };
        row("an argument too many", o, Iface, "DruckeLabel", {"x"}, e + "InvalidArgument");
        row("an argument too few", o, Iface, "Zeile", {QVariant::fromValue(qint16(1))}, e + "InvalidArgument");
        row("a word as index", o, Iface, "Zeile", {"eins", "x"}, e + "TypeMismatch");
        row("a list as index", o, Iface, "Zeile", {QStringList{"1"}, "x"}, e + "TypeMismatch");
        row("a number as text", o, Iface, "Zeile", {QVariant::fromValue(qint16(1)), 4711}, e + "TypeMismatch");
        row("a bytes as text", o, Iface, "Zeile", {QVariant::fromValue(qint16(1)), QByteArray("x")}, e + "TypeMismatch");
        row("DruckeAdressLabel with a double beyond 16 bits", o, Iface, "DruckeAdressLabel", {1e10}, e + "Overflow");
        row("Set without a variant", o, Props, "Set", {Iface, "ArtikelNr", "x"}, d + "UnknownMethod");
        row("Set with two arguments", o, Props, "Set", {Iface, "ArtikelNr"}, d + "UnknownMethod");
        row("Set of no property", o, Props, "Set", {Iface, "Gibtsnicht", variant("x")}, d + "UnknownProperty");
        row("Set of a method", o, Props, "Set", {Iface, "DruckeLabel", variant("x")}, d + "UnknownProperty");
        row("Set on another interface", o, Props, "Set", {"Tarvel.Nichts", "ArtikelNr", variant("x")},
            d + "UnknownInterface");
        row("Set of a list", o, Props, "Set", {Iface, "ArtikelNr", variant(QStringList{"a", "b"})}, e + "TypeMismatch");
        row("Set of a map", o, Props, "Set", {Iface, "ArtikelNr", variant(QVariantMap{{"a", 1}})}, e + "TypeMismatch");
        row("Set of a word as StartPosition", o, Props, "Set", {Iface, "StartPosition", variant("drei")},
            e + "TypeMismatch");
        row("Set of 70000 as StartPosition", o, Props, "Set", {Iface, "StartPosition", variant(70000)}, e + "Overflow");
        row("Get of a write-only property", o, Props, "Get", {Iface, "Titel"}, d + "InvalidArgs");
        row("Get with one argument", o, Props, "Get", {Iface}, d + "UnknownMethod");
        row("GetAll with a number", o, Props, "GetAll", {5}, d + "UnknownMethod");
        row("another interface", o, "Tarvel.Nichts", "DruckeLabel", {}, d + "UnknownInterface");
        row("no such member", o, Iface, "DruckeAlles", {}, d + "UnknownMethod");
        row("CreateObject with a number", "/Tarvel", Factory, "CreateObject", {5}, e + "TypeMismatch");
        row("CreateObject without argument", "/Tarvel", Factory, "CreateObject", {}, e + "TypeMismatch");
        row("CreateObject with two", "/Tarvel", Factory, "CreateObject", {"Tarvel.Application", "x"}, e + "TypeMismatch");
        row("CreateObject of no class", "/Tarvel", Factory, "CreateObject", {"Tarvel.Nichts"}, e + "CannotCreateObject");
        row("another factory member", "/Tarvel", Factory, "DestroyObject", {"x"}, d + "UnknownMethod");
        row("another factory interface", "/Tarvel", "Tarvel.Nichts", "CreateObject", {"x"}, d + "UnknownInterface");
        row("an object never created", "/Tarvel/Application/999999", Iface, "DruckeLabel", {}, d + "UnknownObject");
        row("object number 0", "/Tarvel/Application/0", Iface, "DruckeLabel", {}, d + "UnknownObject");
        row("the class node", "/Tarvel/Application", Iface, "DruckeLabel", {}, d + "UnknownObject");
        row("below an object", "/Tarvel/Application/1/2", Iface, "DruckeLabel", {}, d + "UnknownObject");
        row("a class that is none", "/Tarvel/Nichts/1", Iface, "DruckeLabel", {}, d + "UnknownObject");
        row("outside the tree", "/Anderswo", Iface, "DruckeLabel", {}, d + "UnknownObject");
    }
    void wrongCalls()
    {
        QFETCH(QString, path);
        QFETCH(QString, iface);
        QFETCH(QString, member);
        QFETCH(QVariantList, args);
        QFETCH(QString, error);
        const QString object = create(m_client);
        QCOMPARE(errorOf(set(m_client, object, QStringLiteral("ArtikelNr"), QStringLiteral("vorher"))),
                 QStringLiteral("kein Fehler"));
        const QDBusMessage reply = call(m_client, path == QLatin1String("objekt") ? object : path, member, args, iface);
        QCOMPARE(errorOf(reply), error);
        QVERIFY(!reply.errorMessage().isEmpty());
        QCOMPARE(get(m_client, object, QStringLiteral("ArtikelNr")), QStringLiteral("vorher"));
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        serves();
    }

    // A released object is gone for every member.
    void releasedObject()
    {
        const QString object = create(m_client);
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        for (const QString &member : {QStringLiteral("DruckeLabel"), QStringLiteral("Release"), QStringLiteral("Setup")})
            QCOMPARE(errorOf(call(m_client, object, member)), QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("GetAll"), {Iface}, Props)),
                 QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
        serves();
    }

    // Strings of 1 MB: refused with error 5 naming the property and the limit;
    // at the limit stored and read back unchanged, refused by the barcode with
    // error 6, and no error message or log line repeats them whole.
    void hugeStrings()
    {
        const QString huge = QString(1024 * 1024, u'7'), most = QString(65536, u'7');
        const QString object = create(m_client);
        QElapsedTimer uhr;
        uhr.start();
        for (const char *name : {"ArtikelNr", "Titel", "Name1", "zuHaenden", "Anrede", "Preis1"}) {
            const QDBusMessage refused = set(m_client, object, QLatin1String(name), huge);
            QCOMPARE(errorOf(refused), QStringLiteral("Tarvel.Error.InvalidArgument"));
            QVERIFY2(refused.errorMessage().contains(QLatin1String(name) + ": 1048576 Zeichen, erlaubt sind höchstens 65536"),
                     qPrintable(refused.errorMessage()));
            QCOMPARE(errorOf(set(m_client, object, QLatin1String(name), most)), QStringLiteral("kein Fehler"));
        }
        QCOMPARE(get(m_client, object, QStringLiteral("ArtikelNr")), most);
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("Zeile"), {QVariant::fromValue(qint16(0)), huge})),
                 QStringLiteral("Tarvel.Error.InvalidArgument"));
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("Zeile"), {QVariant::fromValue(qint16(0)), most})),
                 QStringLiteral("kein Fehler"));
        const QDBusMessage label = call(m_client, object, QStringLiteral("DruckeLabel"));
        QCOMPARE(errorOf(label), QStringLiteral("Tarvel.Error.Overflow"));
        QVERIFY2(label.errorMessage().contains(QStringLiteral("Text zu lang")), qPrintable(label.errorMessage()));
        // Texts that are no number, or no class: named in the error, but shortened.
        const QDBusMessage index = call(m_client, object, QStringLiteral("Zeile"), {QString(huge).prepend(u'x'), "x"});
        QCOMPARE(errorOf(index), QStringLiteral("Tarvel.Error.TypeMismatch"));
        QVERIFY2(index.errorMessage().size() < 1000, qPrintable(QString::number(index.errorMessage().size())));
        const QDBusMessage progId = call(m_client, QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"), {huge},
                                         Factory);
        QCOMPARE(errorOf(progId), QStringLiteral("Tarvel.Error.CannotCreateObject"));
        QVERIFY2(progId.errorMessage().size() < 1000, qPrintable(QString::number(progId.errorMessage().size())));
        const QDBusMessage property = call(m_client, object, QStringLiteral("Set"), {Iface, huge, variant("x")}, Props);
        QCOMPARE(errorOf(property), QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"));
        QVERIFY2(property.errorMessage().size() < 1000, qPrintable(QString::number(property.errorMessage().size())));
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        qInfo("1-MB-Texte: %lld ms", qint64(uhr.elapsed()));
        serves();
    }

    // A flood of CreateObject without waiting for the replies: a connection
    // gets its first 64 objects and then error 429 (or the bus's own limit),
    // all connections together get 512; the server serves others meanwhile
    // and takes new objects again once the flood's are released.
    void createFlood()
    {
        const int perCaller = 64, most = 512;
        const qint64 before = ProcessMemory::residentKiB(m_pid);
        QElapsedTimer uhr;
        uhr.start();
        auto burst = [&](const QDBusConnection &c, int n) {
            QList<QDBusPendingCall> pending;
            for (int i = 0; i < n; ++i) {
                auto msg = QDBusMessage::createMethodCall(QStringLiteral("Tarvel.Application"),
                                                          QStringLiteral("/Tarvel"), Factory,
                                                          QStringLiteral("CreateObject"));
                msg << QStringLiteral("Tarvel.Application");
                pending << c.asyncCall(msg, 120000);
            }
            return pending;
        };
        QStringList objects, refusals;
        QMap<QString, int> errors;
        QList<QDBusConnection> floods;
        // The first connection sends 1000 at once; the others 64 each.
        for (int k = 0; k < most / perCaller; ++k) {
            floods << m_bus.connect(QStringLiteral("flood-%1").arg(k));
            QList<QDBusPendingCall> pending = burst(floods.last(), k == 0 ? 1000 : perCaller);
            if (k == 0) { // the peer interface answers at once, whatever waits in the queue
                QCOMPARE(errorOf(call(m_client, QStringLiteral("/Tarvel"), QStringLiteral("Ping"), {},
                                      QStringLiteral("org.freedesktop.DBus.Peer"))),
                         QStringLiteral("kein Fehler"));
            }
            int created = 0;
            for (QDBusPendingCall &p : pending) {
                p.waitForFinished();
                if (p.isError()) {
                    ++errors[p.error().name()];
                    refusals << p.error().message();
                } else {
                    objects << qvariant_cast<QDBusObjectPath>(p.reply().arguments().value(0)).path();
                    ++created;
                }
            }
            // The last connection's last object is one too many: the keeper holds one.
            QCOMPARE(created, k + 1 < most / perCaller ? perCaller : perCaller - 1);
        }
        const qint64 full = ProcessMemory::residentKiB(m_pid);
        qInfo("Flut: %lld Objekte in %lld ms, Fehler %s; Server %lld KiB vorher, %lld KiB mit allen",
              qint64(objects.size()), qint64(uhr.elapsed()), qPrintable(QStringList(errors.keys()).join(u',')),
              before, full);
        for (const QString &name : errors.keys())
            QVERIFY2(name == QLatin1String("Tarvel.Error.CannotCreateObject")
                         || name == QLatin1String("org.freedesktop.DBus.Error.LimitsExceeded"),
                     qPrintable(name));
        const auto says = [&](const QString &part) {
            return std::any_of(refusals.begin(), refusals.end(), [&](const QString &m) { return m.contains(part); });
        };
        QVERIFY(says(QStringLiteral("diese Verbindung hält schon 64 Objekte")));
        QVERIFY(says(QStringLiteral("der Server hält schon 512 Objekte")));
        const QDBusMessage full512 = call(m_client, QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"),
                                          {QStringLiteral("Tarvel.Application")}, Factory);
        QCOMPARE(errorOf(full512), QStringLiteral("Tarvel.Error.CannotCreateObject"));
        serves();

        for (int k = 0; k < floods.size(); ++k) {
            QList<QDBusPendingCall> releases;
            for (const QString &path : objects.mid(k * perCaller, perCaller))
                releases << floods[k].asyncCall(QDBusMessage::createMethodCall(QStringLiteral("Tarvel.Application"),
                                                                               path, Iface, QStringLiteral("Release")),
                                                120000);
            for (QDBusPendingCall &p : releases) {
                p.waitForFinished();
                QVERIFY2(!p.isError(), qPrintable(p.error().message()));
            }
            QDBusConnection::disconnectFromBus(QStringLiteral("flood-%1").arg(k));
        }
        const QString again = create(m_client);
        QVERIFY(!again.isEmpty());
        QCOMPARE(errorOf(call(m_client, again, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        serves();
        QVERIFY(jobs().isEmpty());
    }

    // The jobs folder cannot be written: error 482 naming the path, at the
    // first label when nothing can be created there, at Release when the
    // disk runs full; no PDF and no half-written file stays; the server
    // serves on, and prints again once the folder is back.
    void jobsFolderUnwritable_data()
    {
        QTest::addColumn<int>("art");
        QTest::addColumn<QString>("grund");
        QTest::newRow("read-only") << int(LockedFolder::ReadOnly) << "Das Dateisystem ist schreibgeschützt";
        QTest::newRow("full") << int(LockedFolder::Full) << "Der Datenträger ist voll";
    }
    void jobsFolderUnwritable()
    {
        QFETCH(int, art);
        QFETCH(QString, grund);
        LockedFolder locked{LockedFolder::Kind(art)};
        if (!locked.isLocked())
            QSKIP(qPrintable(locked.how()));
        if (!locked.how().startsWith(QStringLiteral("tmpfs")))
            grund = QStringLiteral("Keine Berechtigung zum Schreiben");
        const QString folder = m_bus.jobsFolder();
        QDir(folder).removeRecursively();
        QDir().mkpath(QFileInfo(folder).path());
        QVERIFY(QFile::link(locked.path(), folder));
        auto restore = qScopeGuard([&] {
            QFile::remove(folder);
            QDir().mkpath(folder);
        });

        const QString object = create(m_client);
        QDBusMessage failed;
        for (int i = 1; i <= 40 && failed.type() != QDBusMessage::ErrorMessage; ++i) {
            set(m_client, object, QStringLiteral("ArtikelNr"), QStringLiteral("VOLL-%1").arg(i));
            const QDBusMessage reply = call(m_client, object, QStringLiteral("DruckeEtikett"));
            if (reply.type() == QDBusMessage::ErrorMessage)
                failed = reply;
        }
        const QDBusMessage released = call(m_client, object, QStringLiteral("Release"));
        if (failed.type() != QDBusMessage::ErrorMessage)
            failed = released;
        else
            QCOMPARE(errorOf(released), QStringLiteral("kein Fehler")); // nothing was opened
        QCOMPARE(errorOf(failed), QStringLiteral("Tarvel.Error.PrinterError"));
        QVERIFY2(failed.errorMessage().startsWith(QStringLiteral("Laufzeitfehler 482: Druckerfehler")),
                 qPrintable(failed.errorMessage()));
        QVERIFY2(failed.errorMessage().contains(folder + QStringLiteral(" kann nicht geschrieben werden: ") + grund),
                 qPrintable(failed.errorMessage()));
        QCOMPARE(files(locked.path()), QStringList());
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("DruckeLabel"))),
                 QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
        serves();

        restore.dismiss();
        QFile::remove(folder);
        QDir().mkpath(folder);
        const QString again = create(m_client);
        set(m_client, again, QStringLiteral("ArtikelNr"), QStringLiteral("WIEDER"));
        QCOMPARE(errorOf(call(m_client, again, QStringLiteral("DruckeEtikett"))), QStringLiteral("kein Fehler"));
        QCOMPARE(errorOf(call(m_client, again, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        QCOMPARE(jobs().size(), 1);
        QFile::remove(QDir(folder).filePath(jobs().first()));
    }

    // Client texts are data, never commands: shell syntax in every field
    // prints as text, and nothing runs.
    void shellSyntaxStaysText()
    {
        const QString marker = QDir(m_bus.home()).filePath(QStringLiteral("ausgefuehrt"));
        const QStringList hostile = {
            QStringLiteral("$(touch %1)").arg(marker), QStringLiteral("`touch %1`").arg(marker),
            QStringLiteral("x; touch %1").arg(marker), QStringLiteral("x | touch %1").arg(marker),
            QStringLiteral("../../../../tmp/%1").arg(QFileInfo(marker).fileName()),
        };
        const QString object = create(m_client);
        int i = 0;
        for (const char *name : {"ArtikelNr", "Preis1", "Preis2", "MatchCode", "WarenGruppe", "ISBN", "Titel", "Autor",
                                 "Verlag", "Name1", "Strasse", "Ort", "zuHaenden", "Anrede"})
            QCOMPARE(errorOf(set(m_client, object, QLatin1String(name), hostile[i++ % hostile.size()])),
                     QStringLiteral("kein Fehler"));
        call(m_client, object, QStringLiteral("Zeile"), {QVariant::fromValue(qint16(0)), hostile[0]});
        for (const char *member : {"DruckeEtikett", "DruckeKanuEtikett", "DruckeLabel"})
            QCOMPARE(errorOf(call(m_client, object, QLatin1String(member))), QStringLiteral("kein Fehler"));
        QCOMPARE(errorOf(call(m_client, object, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        QVERIFY(!QFileInfo::exists(marker));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/ausgefuehrt")));
        const QStringList delivered = jobs();
        QCOMPARE(delivered.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^Tarvel-\\d{8}-\\d{6}-\\d+\\.pdf$")).match(delivered.first()).hasMatch(),
                 qPrintable(delivered.first()));
        QVERIFY(PdfPages(QDir(m_bus.jobsFolder()).filePath(delivered.first())).text().contains(hostile[0]));
    }

    // A server started with a broken settings file starts, logs a warning,
    // and prints with the defaults.
    void brokenSettings_data()
    {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("warnung");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff[System\n\x01=\x02\xfe", 13)
                                        << "Einstellungsdatei beschädigt";
        QTest::newRow("wrong types") << QByteArray("[System]\nDrawWidth=@Rect(1 2 3 4)\nOffsetX=@ByteArray(x)\n"
                                                   "OffsetY=1, 2\n")
                                     << "\"DrawWidth\" ist kein Text";
        QTest::newRow("bar width no number") << QByteArray("[System]\nDrawWidth=breit\n") << "DrawWidth";
    }
    void brokenSettings()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, warnung);
        PrivateBus bus(QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM));
        QVERIFY(bus.start());
        const QString ini = bus.home() + QStringLiteral("/.config/Tarvel/Tarvel.ini");
        QDir().mkpath(QFileInfo(ini).path());
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(inhalt);
        f.close();

        // Started by the test rather than the bus, so that its log can be read.
        QProcess server;
        server.setProcessEnvironment(bus.serverEnvironment());
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(QStringLiteral(TARVEL_PROGRAM), {QStringLiteral("--automation")});
        QVERIFY(server.waitForStarted());
        QDeadlineTimer deadline(20000);
        while (bus.ownerPid(QStringLiteral("Tarvel.Application")) != server.processId() && !deadline.hasExpired())
            QTest::qWait(50);
        QCOMPARE(bus.ownerPid(QStringLiteral("Tarvel.Application")), server.processId());

        QDBusConnection client = bus.connect(QStringLiteral("settings-client"));
        const QString object = create(client);
        QVERIFY(!object.isEmpty());
        set(client, object, QStringLiteral("ArtikelNr"), QStringLiteral("STANDARD"));
        QCOMPARE(errorOf(call(client, object, QStringLiteral("DruckeEtikett"))), QStringLiteral("kein Fehler"));
        QCOMPARE(errorOf(call(client, object, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        QDBusConnection::disconnectFromBus(QStringLiteral("settings-client"));
        QCOMPARE(QDir(bus.jobsFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 1);

        server.terminate();
        QVERIFY(server.waitForFinished(10000));
        const QString log = QString::fromUtf8(server.readAll());
        QCOMPARE(server.exitStatus(), QProcess::NormalExit);
        QVERIFY2(server.exitCode() == 0, qPrintable(log)); // under the sanitizers: no leak either
        QVERIFY2(log.contains(warnung), qPrintable(log));
    }
};

QTEST_GUILESS_MAIN(TestServerFaults)
#include "tst_server_faults.moc"
