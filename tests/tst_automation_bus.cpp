// The automation interface as clients meet it on D-Bus: the server in this process,
// reached over a peer-to-peer connection (PeerServer), its objects on recording printers.
#include "automation/Application.h"
#include "automation/AutomationServer.h"
#include "labelprinter/SetupFrm.h"
#include "platform/RecordingBackend.h"
#include "support/PeerServer.h"

#include <QDBusArgument>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QSettings>
#include <QtTest>

using namespace tarvel;
using test::PeerServer;

namespace {

const QString Ok = QStringLiteral("kein Fehler");
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");
const QString Factory = QStringLiteral("Tarvel.Server");
const QString Unknown = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
const QString Introspectable = QStringLiteral("org.freedesktop.DBus.Introspectable");

QVariant variant(const QVariant &v, int depth = 1)
{
    QVariant wrapped = v;
    for (int i = 0; i < depth; ++i)
        wrapped = QVariant::fromValue(QDBusVariant(wrapped));
    return wrapped;
}

QString errorOf(const QDBusMessage &reply) { return PeerServer::errorOf(reply); }

QVariant n(int v) { return QVariant::fromValue(qint16(v)); }

} // namespace

class TestAutomationBus : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settings;
    PeerServer m_peer;

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("tarvel.*.info=false"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(m_peer.isConnected());
    }
    void cleanup() { m_peer.server().releaseAll(); }

    // Calls that do not fit what they call: an error of the right name, its
    // message naming what failed; nothing changed, and the object serves on.
    void wrongCalls_data()
    {
        QTest::addColumn<QString>("path"); // empty: a fresh object
        QTest::addColumn<QString>("iface");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("error");   // Tarvel.Error.<error>, or org.freedesktop.DBus.Error.<error>
        QTest::addColumn<QString>("message"); // a part of it
        const QString app = QStringLiteral("Tarvel.Application");
        QDBusArgument structure;
        structure.beginStructure();
        structure << 47 << QStringLiteral("11");
        structure.endStructure();
        auto row = [](const char *name, const QString &path, const QString &iface, const QString &member,
                      const QVariantList &args, const char *error, const QString &message) {
            QTest::newRow(name) << path << iface << member << args << QString::fromLatin1(error) << message;
        };
        row("an argument too many", {}, app, "DruckeLabel", {"x"}, "InvalidArgument",
            "Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (DruckeLabel erwartet 0 Argumente (), erhalten 1 (s))");
        row("Zeile 6", {}, app, "Zeile", {n(6), "x"}, "SubscriptOutOfRange", "Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (Zeile 6)");
        row("a word as index", {}, app, "Zeile", {"eins", "x"}, "TypeMismatch", "Typen unverträglich (\"eins\") (Argument Nr von Zeile)");
        row("a list as index", {}, app, "Zeile", {QStringList{"1"}, "x"}, "TypeMismatch", "(Argument Nr von Zeile: D-Bus-Typ as ist keine Zahl)");
        row("a number as text", {}, app, "Zeile", {n(1), 4711}, "TypeMismatch", "(Argument st von Zeile: D-Bus-Typ i ist kein Text (s))");
        row("70000 as FettZeile", {}, app, "DruckeAdressLabel", {70000}, "Overflow",
            "Laufzeitfehler 6: Überlauf (70000 passt nicht in 16 Bit) (Argument FettZeile von DruckeAdressLabel)");
        row("Set without a variant", {}, Props, "Set", {app, "ArtikelNr", "x"}, "UnknownMethod", "Set(sss)");
        row("Set of no property", {}, Props, "Set", {app, "Gibtsnicht", variant("x")}, "UnknownProperty", "Gibtsnicht");
        row("Set on another interface", {}, Props, "Set", {"Tarvel.Nichts", "ArtikelNr", variant("x")}, "UnknownInterface", "Tarvel.Nichts");
        row("Set of a list", {}, Props, "Set", {app, "ArtikelNr", variant(QStringList{"a"})}, "TypeMismatch", "(Eigenschaft ArtikelNr: D-Bus-Typ as ist kein Text)");
        row("Set of a struct", {}, Props, "Set", {app, "ArtikelNr", variant(QVariant::fromValue(structure))}, "TypeMismatch",
            "Laufzeitfehler 13: Typen unverträglich (Eigenschaft ArtikelNr: D-Bus-Typ (is) ist kein Text)");
        row("StartPosition -1", {}, Props, "Set", {app, "StartPosition", variant(n(-1))}, "InvalidArgument", "(StartPosition -1");
        row("Get of a write-only property", {}, Props, "Get", {app, "Titel"}, "InvalidArgs", "Titel kann nur geschrieben werden");
        row("another interface", {}, "Tarvel.Nichts", "DruckeLabel", {}, "UnknownInterface", "Tarvel.Nichts");
        row("no such member", {}, app, "DruckeAlles", {}, "UnknownMethod", "Die Methode DruckeAlles gibt es in Tarvel.Application nicht");
        row("CreateObject of a number", "/Tarvel", Factory, "CreateObject", {5}, "TypeMismatch", "(CreateObject erwartet einen Text (s), erhalten \"i\")");
        row("CreateObject of no class", "/Tarvel", Factory, "CreateObject", {"Tarvel.Nichts"}, "CannotCreateObject",
            "Laufzeitfehler 429: Objekt kann nicht erstellt werden (Tarvel.Nichts: unbekannte Klasse)");
        // A client's text in a message: whole up to 60 characters, beyond cut, with its length.
        const QString x60(60, u'x');
        row("a class name of 60 characters", "/Tarvel", Factory, "CreateObject", {x60}, "CannotCreateObject", u'(' + x60 + ": unbekannte");
        row("a class name of 61 characters", "/Tarvel", Factory, "CreateObject", {x60 + u'x'}, "CannotCreateObject",
            u'(' + x60 + "… (61 Zeichen): unbekannte Klasse)");
        row("a property name of 1 MB", {}, Props, "Set", {app, QString(1 << 20, u'x'), variant("x")}, "UnknownProperty",
            "Die Eigenschaft " + x60 + "… (1048576 Zeichen) gibt es in");
        row("another factory member", "/Tarvel", Factory, "DestroyObject", {"x"}, "UnknownMethod", "DestroyObject");
        row("another factory interface", "/Tarvel", "Tarvel.Nichts", "CreateObject", {app}, "UnknownInterface", "Tarvel.Nichts");
        row("an object never created", "/Tarvel/Application/999999", app, "DruckeLabel", {}, "UnknownObject", "/Tarvel/Application/999999");
        row("the class node", "/Tarvel/Application", app, "DruckeLabel", {}, "UnknownObject", "/Tarvel/Application ");
    }
    void wrongCalls()
    {
        QFETCH(QString, path);
        QFETCH(QString, iface);
        QFETCH(QString, member);
        QFETCH(QVariantList, args);
        QFETCH(QString, error);
        QFETCH(QString, message);
        const QString object = m_peer.create();
        m_peer.set(object, QStringLiteral("ArtikelNr"), QStringLiteral("vorher"));
        const QDBusMessage reply = m_peer.call(path.isEmpty() ? object : path, member, args, iface);
        const bool own = !error.startsWith(QLatin1String("Unknown")) && error != QLatin1String("InvalidArgs");
        QCOMPARE(errorOf(reply), (own ? QStringLiteral("Tarvel.Error.") : QStringLiteral("org.freedesktop.DBus.Error.")) + error);
        QVERIFY2(reply.errorMessage().contains(message), qPrintable(reply.errorMessage()));
        QCOMPARE(m_peer.get(object, QStringLiteral("ArtikelNr")), QStringLiteral("vorher"));
        QCOMPARE(m_peer.newest().printCount(), qint16(0));
        QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("Release"))), Ok);
    }

    // Values of every D-Bus type: as a record field's value (in one to three
    // variants) the text it keeps; as a 16-bit argument (Zeile's Nr, 0 to 5)
    // error 9 when it fits but lies outside, error 6 when it does not fit.
    void values_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("result"); // the text read back, or the error
        const QString fits = QStringLiteral("SubscriptOutOfRange"), over = QStringLiteral("Overflow");
        using Row = std::tuple<const char *, QVariant, QString>;
        const Row asText[] = {
            {"string in three variants", variant("Wert äöü €", 3), "Wert äöü €"}, {"true", variant(true, 2), "Wahr"},
            {"byte", variant(QVariant::fromValue(uchar(200))), "200"}, {"false", variant(false), "Falsch"},
            {"int16", variant(n(-32768)), "-32768"}, {"uint16", variant(QVariant::fromValue(quint16(65535))), "65535"},
            {"int32", variant(qint32(-2147483647)), "-2147483647"}, {"uint32", variant(QVariant::fromValue(quint32(4294967295u))), "4294967295"},
            {"int64", variant(QVariant::fromValue(qint64(-9223372036854775807))), "-9223372036854775807"},
            {"uint64", variant(QVariant::fromValue(quint64(18446744073709551615u))), "18446744073709551615"},
            {"double to 15 digits", variant(9.95 * 3), "29,85"}, {"whole double", variant(2.0), "2"},
        };
        const Row asNr[] = {
            {"int32 32767", qint32(32767), fits}, {"byte 5", QVariant::fromValue(uchar(5)), Ok},
            {"uint32 32767", QVariant::fromValue(quint32(32767)), fits}, {"uint32 32768", QVariant::fromValue(quint32(32768)), over},
            {"double -0.5 to even", -0.5, Ok}, {"double 32767.6", 32767.6, over}, {"text 3", QStringLiteral("3"), Ok},
            {"text 40000", QStringLiteral("40000"), over}, {"in a variant", variant(qint32(2)), Ok},
        };
        for (const auto &[name, value, result] : asText)
            QTest::newRow(name) << QStringLiteral("ArtikelNr") << value << result;
        for (const auto &[name, value, result] : asNr)
            QTest::addRow("%s as Nr", name) << QStringLiteral("Zeile") << value << result;
    }
    void values()
    {
        QFETCH(QString, target);
        QFETCH(QVariant, value);
        QFETCH(QString, result);
        const QString object = m_peer.create();
        if (target == QLatin1String("Zeile")) {
            QCOMPARE(errorOf(m_peer.call(object, target, {value, "x"})), result == Ok ? Ok : QStringLiteral("Tarvel.Error.") + result);
        } else {
            QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("Set"), {QStringLiteral("Tarvel.Application"), target, value}, Props)), Ok);
            QCOMPARE(m_peer.get(object, target), result);
        }
    }

    // A call that arrives while another one lets events run (the label's
    // pauses, here stretched by the test) waits its turn: the label prints
    // the number set before it. While the user acts in the object's setup
    // dialog (here: chooses a printer), calls wait until the action has ended.
    void callsWaitTheirTurn()
    {
        const QString object = m_peer.create();
        automation::Application &app = m_peer.newest();
        m_peer.set(object, QStringLiteral("ArtikelNr"), QStringLiteral("ERST"));
        std::optional<QDBusPendingCall> change;
        QTimer pauses; // fires in the label's pauses: the server is busy then
        connect(&pauses, &QTimer::timeout, this, [&] {
            if (change || m_peer.server().idle())
                return;
            change = m_peer.async(object, QStringLiteral("Set"), {QStringLiteral("Tarvel.Application"), QStringLiteral("ArtikelNr"), variant("ZWEIT")}, Props);
            QTest::qWait(100);
        });
        pauses.start(0);
        QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("DruckeLabel"))), Ok);
        QVERIFY(change);
        QTRY_VERIFY(change->isFinished());
        QStringList printed;
        for (const auto &op : m_peer.newestRecording().ops())
            printed << op.text;
        QVERIFY2(printed.contains(QStringLiteral("ERST")) && !printed.contains(QStringLiteral("ZWEIT")), qPrintable(printed.join(u',')));
        QCOMPARE(m_peer.get(object, QStringLiteral("ArtikelNr")), QStringLiteral("ZWEIT"));

        const QDBusPendingCall waiting = m_peer.async(object, QStringLiteral("Set"), {QStringLiteral("Tarvel.Application"), QStringLiteral("ArtikelNr"), variant("WARTET")}, Props);
        QThread::msleep(100); // the call reaches this thread, to be delivered during the action
        QString seen = QStringLiteral("nie");
        connect(&app.dialog(), &labelprinter::SetupFrm::actionFinished, this, [&] {
            seen = app.recordField(&labelprinter::LabelData::ArtikelNr) + (waiting.isFinished() ? QStringLiteral(" beantwortet") : QString());
        });
        app.dialog().DruckerAuswahl_Click();
        QCOMPARE(seen, QStringLiteral("ZWEIT"));
        QTRY_VERIFY(waiting.isFinished());
        QCOMPARE(m_peer.get(object, QStringLiteral("ArtikelNr")), QStringLiteral("WARTET"));
    }

    // A job that cannot be delivered: error 482 at Release; the object is
    // gone all the same, for every member, and the server serves on.
    void failedReleaseReachesTheClient()
    {
        const QString object = m_peer.create();
        QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("DruckeLabel"))), Ok);
        m_peer.newestRecording().failNextOperation();
        const QDBusMessage reply = m_peer.call(object, QStringLiteral("Release"));
        QCOMPARE(errorOf(reply), QStringLiteral("Tarvel.Error.PrinterError"));
        QVERIFY2(reply.errorMessage().startsWith(QStringLiteral("Laufzeitfehler 482: Druckerfehler")), qPrintable(reply.errorMessage()));
        for (const char *member : {"DruckeLabel", "Setup", "Release"})
            QCOMPARE(errorOf(m_peer.call(object, QLatin1String(member))), Unknown);
        QCOMPARE(errorOf(m_peer.set(object, QStringLiteral("ArtikelNr"), QStringLiteral("1"))), Unknown);
        QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("Introspect"), {}, Introspectable)), Unknown);
        const QString next = m_peer.create();
        QCOMPARE(errorOf(m_peer.call(next, QStringLiteral("DruckeLabel"))), Ok);
        QCOMPARE(errorOf(m_peer.call(next, QStringLiteral("Release"))), Ok);
    }

    // The address label class: its members as introspected, the lines back as
    // printed (cut to the label's width), too few lines refused.
    void addressLabels()
    {
        const QString object = m_peer.create(QStringLiteral("Tarvel.AdressLabels"));
        QVERIFY2(QRegularExpression(QStringLiteral("^/Tarvel/AdressLabels/\\d+$")).match(object).hasMatch(), qPrintable(object));
        auto introspect = [&](const QString &path) {
            return m_peer.call(path, QStringLiteral("Introspect"), {}, Introspectable).arguments().value(0).toString().simplified();
        };
        QVERIFY(introspect(object).contains(QStringLiteral(
            "<interface name=\"Tarvel.AdressLabels\"> <annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" "
            "value=\"false\"/> <property name=\"StartPosition\" type=\"n\" access=\"write\"/> <method name=\"Drucke\"> "
            "<arg name=\"FettZeile\" type=\"n\" direction=\"in\"/> <arg name=\"Zeile\" type=\"as\" direction=\"in\"/> "
            "<arg name=\"Zeile\" type=\"as\" direction=\"out\"/> </method> <method name=\"Release\"/> </interface> </node>")));
        QVERIFY(introspect(QStringLiteral("/Tarvel")).contains(QStringLiteral("<method name=\"CreateObject\"> <arg name=\"ProgId\" type=\"s\" direction=\"in\"/> <arg name=\"object\" type=\"o\" direction=\"out\"/> </method> </interface> <node name=\"AdressLabels\"/> </node>")));
        QVERIFY(introspect(QStringLiteral("/Tarvel/AdressLabels")).contains(QStringLiteral("<node name=\"%1\"/>").arg(object.section(u'/', 3))));
        QCOMPARE(errorOf(m_peer.set(object, QStringLiteral("StartPosition"), n(3))), Ok);
        const QString wide = QStringLiteral("Gesellschaft für Buchhandel und Verlagswesen mbH & Co. KG");
        const QStringList lines{"Firma", wide, "z. Hd. Frau Beispiel", "Marktplatz 3", "12345 Musterstadt"};
        const QDBusMessage printed = m_peer.call(object, QStringLiteral("Drucke"), {n(1), lines});
        QCOMPARE(errorOf(printed), Ok);
        const QStringList cut = printed.arguments().value(0).toStringList();
        QCOMPARE(cut.mid(2), lines.mid(2));
        QVERIFY2(wide.startsWith(cut[1]) && cut[1].size() < wide.size(), qPrintable(cut[1]));
        // Too few lines: the message is pinned with the sheet, here its name on the bus.
        QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("Drucke"), {n(0), lines.mid(0, 4)})), QStringLiteral("Tarvel.Error.SubscriptOutOfRange"));
        QCOMPARE(errorOf(m_peer.call(object, QStringLiteral("Release"))), Ok);
    }
};

QTEST_MAIN(TestAutomationBus)
#include "tst_automation_bus.moc"
