// The automation server as clients meet it: started by the bus through its
// activation file, driven over a private session bus by Qt clients and by gdbus.
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"
#include "support/PrivateBus.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusSignature>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>

using tarvel::test::PdfPages;
using tarvel::test::PrivateBus;
namespace BarcodeDecoder = tarvel::test::BarcodeDecoder;

namespace {

const QString Iface = QStringLiteral("Tarvel.Application");
const QString AdressIface = QStringLiteral("Tarvel.AdressLabels");
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");

/// The bus name a client addresses for an object: that of its class.
QString destinationOf(const QString &path)
{
    return path.startsWith(QLatin1String("/Tarvel/AdressLabels")) ? AdressIface : Iface;
}

QDBusMessage call(const QDBusConnection &c, const QString &path, const QString &member, const QVariantList &args = {},
                  const QString &iface = Iface)
{
    auto msg = QDBusMessage::createMethodCall(destinationOf(path), path, iface, member);
    msg.setArguments(args);
    return c.call(msg, QDBus::Block, 60000);
}

QDBusMessage set(const QDBusConnection &c, const QString &path, const QString &property, const QVariant &value,
                 const QString &iface = Iface)
{
    return call(c, path, QStringLiteral("Set"), {iface, property, QVariant::fromValue(QDBusVariant(value))}, Props);
}

/// Reads a "v" property: the text inside the two variants.
QString get(const QDBusConnection &c, const QString &path, const QString &property)
{
    const QDBusMessage reply = call(c, path, QStringLiteral("Get"), {Iface, property}, Props);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return QStringLiteral("<Fehler %1>").arg(reply.errorName());
    QVariant v = reply.arguments().value(0);
    while (v.metaType() == QMetaType::fromType<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    return v.toString();
}

QString create(const QDBusConnection &c, const QString &progId = Iface)
{
    auto msg = QDBusMessage::createMethodCall(progId == AdressIface ? AdressIface : Iface, QStringLiteral("/Tarvel"),
                                              QStringLiteral("Tarvel.Server"), QStringLiteral("CreateObject"));
    msg.setArguments({progId});
    const QDBusMessage reply = c.call(msg, QDBus::Block, 60000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qWarning() << "CreateObject:" << reply.errorName() << reply.errorMessage();
        return {};
    }
    return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

/// A twips rectangle as pixels of a page rendered at \a dpi, clipped to the page.
QRect pixels(const QImage &page, int dpi, double x, double y, double w, double h)
{
    const double s = dpi / 1440.0;
    return QRect(int(x * s), int(y * s), int(w * s), int(h * s)).intersected(page.rect());
}

QString errorOf(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QStringLiteral("kein Fehler");
}

QVariant wrapped(const QVariant &value, int depth)
{
    QVariant v = value;
    for (int i = 1; i < depth; ++i)
        v = QVariant::fromValue(QDBusVariant(v));
    return v;
}

} // namespace

class TestAutomationBus : public QObject
{
    Q_OBJECT
    PrivateBus m_bus{QStringLiteral(TARVEL_SERVICE_FILES), QStringLiteral(TARVEL_PROGRAM)};
    QDBusConnection m_client{QString()};

    QStringList jobs() const
    {
        QStringList files = QDir(m_bus.jobsFolder()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
        for (QString &f : files)
            f = QDir(m_bus.jobsFolder()).filePath(f);
        return files;
    }
    /// The delivered jobs once there are \a count, or after \a ms. With
    /// TARVEL_KEEP_JOBS set to a folder, copies of them are kept there for a look.
    QStringList waitForJobs(int count, int ms) const
    {
        QDeadlineTimer deadline(ms);
        while (jobs().size() < count && !deadline.hasExpired())
            QTest::qWait(100);
        const QString keep = qEnvironmentVariable("TARVEL_KEEP_JOBS");
        if (!keep.isEmpty()) {
            QString name = QString::fromLatin1(QTest::currentTestFunction());
            if (QTest::currentDataTag())
                name += u'-' + QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'_');
            for (const QString &f : jobs())
                QFile::copy(f, QDir(keep).filePath(name + u'-' + QFileInfo(f).fileName()));
        }
        return jobs();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        m_client = m_bus.connect(QStringLiteral("client"));
        QVERIFY(m_client.isConnected());
    }
    void init()
    {
        for (const QString &f : jobs())
            QFile::remove(f);
    }
    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("client")); }

    void activationAndThreeLabelsInOneJob()
    {
        QElapsedTimer activation;
        activation.start();
        const QString path = create(m_client);
        QVERIFY2(QRegularExpression(QStringLiteral("^/Tarvel/Application/\\d+$")).match(path).hasMatch(), qPrintable(path));
        qInfo() << "Aktivierung bis zum ersten Objekt:" << activation.elapsed() << "ms";

        const std::pair<const char *, const char *> record[] = {
            {"Preis1", "12,95 €"}, {"Preis2", "9,95 €"}, {"MatchCode", "MUSTERMANN"},
            {"WarenGruppe", "Bücher"}, {"ISBN", "978-3-16-148410-0"},
        };
        for (const auto &[name, value] : record)
            QCOMPARE(errorOf(set(m_client, path, QLatin1String(name), QString::fromUtf8(value))), QStringLiteral("kein Fehler"));
        const QStringList numbers = {QStringLiteral("4711-0815"), QStringLiteral("TV 100"), QStringLiteral("x-3")};
        for (const QString &number : numbers) {
            set(m_client, path, QStringLiteral("ArtikelNr"), number);
            QCOMPARE(get(m_client, path, QStringLiteral("ArtikelNr")), number);
            QCOMPARE(errorOf(call(m_client, path, QStringLiteral("DruckeLabel"))), QStringLiteral("kein Fehler"));
        }
        QTest::qWait(200);
        QVERIFY2(jobs().isEmpty(), "ein Auftrag vor der Freigabe");
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));

        const QStringList files = waitForJobs(1, 5000);
        QCOMPARE(files.size(), 1);
        const PdfPages pdf(files.first());
        QCOMPARE(pdf.pageCount(), 3);
        for (int page = 1; page <= 3; ++page) {
            const QString number = numbers[page - 1];
            const QImage image = pdf.render(page, 300);
            // Bars from (100, 836) twips, 680 high: at 300 dpi 4.8 twips a pixel.
            QCOMPARE(BarcodeDecoder::decodeArea(image, QRect(0, 150, 1000, 190)), QStringList{number});
            int top = -1;
            for (int y = 150; y < 340 && top < 0; ++y) {
                if (image.pixelColor(22, y).value() < 128)
                    top = y;
            }
            QVERIFY2(qAbs(top - 836 / 4.8) <= 1.5, qPrintable(QString::number(top)));

            // Each line where the layout puts it (points = twips / 20); the
            // line heights are those of Liberation Sans (1.149 em).
            QHash<QString, QRectF> at;
            for (const auto &w : pdf.words(page))
                at.insert(w.text, w.box);
            const struct { QString word; double top; } lines[] = {
                {QStringLiteral("12,95"), 100},
                {number.section(u' ', 0, 0), 836 + 710},
                {QStringLiteral("MUSTERMANN"), 836 + 710 + 275.98 + 229.98},
                {QStringLiteral("WG:"), 836 + 710 + 275.98 + 2 * 229.98},
                {QStringLiteral("Bücher"), 836 + 710 + 275.98 + 2 * 229.98},
            };
            for (const auto &line : lines) {
                QVERIFY2(at.contains(line.word), qPrintable(line.word));
                QVERIFY2(qAbs(at[line.word].top() - line.top / 20.0) < 0.5,
                         qPrintable(QStringLiteral("%1 oben bei %2 pt").arg(line.word).arg(at[line.word].top())));
                if (line.word != QStringLiteral("Bücher"))
                    QVERIFY2(qAbs(at[line.word].left() - 5.0) < 0.5, qPrintable(line.word));
            }
            QVERIFY(at[QStringLiteral("978-3-16-148410-0")].left() > at[QStringLiteral("Bücher")].right());
        }
    }

    /// Whole jobs of the sheet layouts and the slip through one object: each
    /// item in its place, pages ended by the layouts themselves, and every
    /// barcode of the delivered PDF decoding to the text it was printed for.
    /// A place is an area (twips) that holds exactly one item's bars.
    void sheetJobs_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("numberField"); // the record field the bars show
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<int>("rows"); // places down a column
        QTest::addColumn<QRectF>("first"); // the first place's area
        QTest::addColumn<QPointF>("pitch");
        QTest::newRow("25 laser labels") << "DruckeLaserLabel" << "ArtikelNr" << 25 << 2 << 24 << 8
                                         << QRectF(210, 680, 3700, 720) << QPointF(3700, 1930);
        QTest::newRow("13 list lines") << "DruckeListe" << "ArtikelNr" << 13 << 2 << 12 << 12
                                       << QRectF(5400, 880, 4000, 720) << QPointF(0, 1200);
        QTest::newRow("four A4 slips") << "DruckeAbholscheinDINA4" << "VorgangsNr" << 4 << 1 << 4 << 2
                                       << QRectF(700, 0, 3400, 5800) << QPointF(8400, 5800);
        QTest::newRow("49 four-lane labels") << "DruckeLaserLabel4Bahn" << "ArtikelNr" << 49 << 2 << 48 << 12
                                             << QRectF(480, 1230, 2740, 330) << QPointF(2740, 1210);
    }
    void sheetJobs()
    {
        QFETCH(QString, member);
        QFETCH(QString, numberField);
        QFETCH(int, count);
        QFETCH(int, pages);
        QFETCH(int, perPage);
        QFETCH(int, rows);
        QFETCH(QRectF, first);
        QFETCH(QPointF, pitch);
        const QString path = create(m_client);
        for (const auto &[name, value] : {std::pair{"Preis1", "12,95 €"}, {"Preis2", "9,95 €"}, {"MatchCode", "MUSTER"},
                                          {"ISBN", "978-3-16-148410-0"}, {"Name1", "Erika Mustermann"}})
            QCOMPARE(errorOf(set(m_client, path, QLatin1String(name), QString::fromUtf8(value))), QStringLiteral("kein Fehler"));
        QStringList numbers;
        for (int i = 0; i < count; ++i) {
            numbers << QStringLiteral("TV-%1").arg(4711 + i);
            set(m_client, path, numberField, numbers.last());
            QCOMPARE(errorOf(call(m_client, path, member)), QStringLiteral("kein Fehler"));
        }
        QVERIFY(jobs().isEmpty());
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        const QStringList files = waitForJobs(1, 5000);
        QCOMPARE(files.size(), 1);
        const PdfPages pdf(files.first());
        QCOMPARE(pdf.pageCount(), pages);
        const int dpi = 300;
        for (int page = 1; page <= pages; ++page) {
            const QImage image = pdf.render(page, dpi);
            for (int i = (page - 1) * perPage; i < qMin(count, page * perPage); ++i) {
                const int place = i % perPage;
                const QRectF area = first.translated((place / rows) * pitch.x(), (place % rows) * pitch.y());
                QCOMPARE(BarcodeDecoder::decodeArea(image, pixels(image, dpi, area.x(), area.y(), area.width(), area.height())),
                         QStringList{numbers[i]});
            }
        }
    }

    /// The public address label class: created through its own bus name, it
    /// prints at its start position and answers with the lines as printed, cut
    /// to the label's width; too few lines are refused before anything is
    /// drawn. Its job is delivered at Release.
    void addressLabelsObject()
    {
        const QString path = create(m_client, AdressIface);
        QVERIFY2(QRegularExpression(QStringLiteral("^/Tarvel/AdressLabels/\\d+$")).match(path).hasMatch(), qPrintable(path));
        QCOMPARE(m_bus.ownerPid(AdressIface), m_bus.ownerPid(Iface));
        QCOMPARE(errorOf(set(m_client, path, QStringLiteral("StartPosition"), QVariant::fromValue(qint16(3)), AdressIface)),
                 QStringLiteral("kein Fehler"));
        // Its members in their order, Drucke with the lines both in and out.
        const QString xml = call(m_client, path, QStringLiteral("Introspect"), {},
                                 QStringLiteral("org.freedesktop.DBus.Introspectable")).arguments().value(0).toString();
        const QString members = xml.mid(xml.indexOf(QStringLiteral("<interface name=\"Tarvel.AdressLabels\">")));
        QVERIFY2(QRegularExpression(QStringLiteral(
                     "<property name=\"StartPosition\" type=\"n\" access=\"write\"/>\\s*"
                     "<method name=\"Drucke\">\\s*"
                     "<arg name=\"FettZeile\" type=\"n\" direction=\"in\"/>\\s*"
                     "<arg name=\"Zeile\" type=\"as\" direction=\"in\"/>\\s*"
                     "<arg name=\"Zeile\" type=\"as\" direction=\"out\"/>\\s*"
                     "</method>\\s*<method name=\"Release\"/>\\s*</interface>"))
                     .match(members).hasMatch(),
                 qPrintable(members));

        const QString wide = QStringLiteral("Gesellschaft für Buchhandel und Verlagswesen mbH & Co. KG");
        const QStringList lines{"Firma", wide, "z. Hd. Frau Beispiel", "Marktplatz 3", "12345 Musterstadt"};
        const QDBusMessage printed = call(m_client, path, QStringLiteral("Drucke"), {QVariant::fromValue(qint16(1)), lines}, AdressIface);
        QCOMPARE(errorOf(printed), QStringLiteral("kein Fehler"));
        const QStringList cut = printed.arguments().value(0).toStringList();
        QCOMPARE(cut.size(), 5);
        for (int i : {0, 2, 3, 4})
            QCOMPARE(cut[i], lines[i]);
        QVERIFY2(wide.startsWith(cut[1]) && cut[1].size() < wide.size(), qPrintable(cut[1]));
        // The lines as they came back print the same label again.
        const QDBusMessage again = call(m_client, path, QStringLiteral("Drucke"), {QVariant::fromValue(qint16(1)), cut}, AdressIface);
        QCOMPARE(again.arguments().value(0).toStringList(), cut);

        const QDBusMessage tooFew = call(m_client, path, QStringLiteral("Drucke"),
                                         {QVariant::fromValue(qint16(0)), lines.mid(0, 4)}, AdressIface);
        QCOMPARE(errorOf(tooFew), QStringLiteral("Tarvel.Error.SubscriptOutOfRange"));
        QVERIFY2(tooFew.errorMessage().startsWith(QStringLiteral("Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (AdressLabels.Drucke: 4 Zeilen")),
                 qPrintable(tooFew.errorMessage()));
        QTest::qWait(100);
        QVERIFY(jobs().isEmpty());
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"), {}, AdressIface)), QStringLiteral("kein Fehler"));

        const QStringList files = waitForJobs(1, 5000);
        QCOMPARE(files.size(), 1);
        const PdfPages pdf(files.first());
        QCOMPARE(pdf.pageCount(), 1);
        const QString text = pdf.text(1);
        QVERIFY(!text.contains(wide));
        QCOMPARE(text.count(QStringLiteral("Marktplatz 3")), 2);
        QVERIFY(BarcodeDecoder::decodeAll(pdf.render(1, 150)).isEmpty());
        // Places 3 and 4: the first line one 10-point line below the label's top.
        QList<double> tops;
        for (const auto &w : pdf.words(1)) {
            if (w.text == QLatin1String("Firma")) {
                QVERIFY2(qAbs(w.box.left() - 310 / 20.0) < 0.5, qPrintable(QString::number(w.box.left())));
                tops << w.box.top();
            }
        }
        QCOMPARE(tops.size(), 2);
        for (int i = 0; i < 2; ++i)
            QVERIFY2(qAbs(tops[i] - (450 + (2 + i) * 1930 + 229.98) / 20.0) < 0.5, qPrintable(QString::number(tops[i])));

        // An object whose only call was refused delivers nothing.
        const QString refused = create(m_client, AdressIface);
        QCOMPARE(errorOf(call(m_client, refused, QStringLiteral("Drucke"), {QVariant::fromValue(qint16(0)), QStringList{}}, AdressIface)),
                 QStringLiteral("Tarvel.Error.SubscriptOutOfRange"));
        QCOMPARE(errorOf(call(m_client, refused, QStringLiteral("Release"), {}, AdressIface)), QStringLiteral("kein Fehler"));
        QTest::qWait(200);
        QCOMPARE(jobs().size(), 1);
    }

    void errorsOverTheBus_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        auto row = [](const char *name, const QString &member, const QVariantList &args, const QString &error,
                      const QString &message) { QTest::newRow(name) << member << args << error << message; };
        const QString p = QStringLiteral("Laufzeitfehler ");
        row("Zeile 6", "Zeile", {QVariant::fromValue(qint16(6)), "x"}, "Tarvel.Error.SubscriptOutOfRange",
            p + "9: Index außerhalb des gültigen Bereichs (Zeile 6)");
        row("Zeile -1", "Zeile", {QVariant::fromValue(qint16(-1)), "x"}, "Tarvel.Error.SubscriptOutOfRange",
            p + "9: Index außerhalb des gültigen Bereichs (Zeile -1)");
        row("Zeile 70000 as int32", "Zeile", {70000, "x"}, "Tarvel.Error.Overflow", p + "6: Überlauf");
        row("Zeile with a text index", "Zeile", {"zwei", "x"}, "Tarvel.Error.TypeMismatch", p + "13: Typen unverträglich");
        row("Zeile with a number as text", "Zeile", {QVariant::fromValue(qint16(1)), 5}, "Tarvel.Error.TypeMismatch",
            p + "13: Typen unverträglich");
        row("DruckeAdressLabel without argument", "DruckeAdressLabel", {}, "Tarvel.Error.InvalidArgument",
            p + "5: Ungültiger Prozeduraufruf oder ungültiges Argument");
        row("DruckeAdressLabel 70000", "DruckeAdressLabel", {70000}, "Tarvel.Error.Overflow",
            p + "6: Überlauf (70000 passt nicht in 16 Bit) (Argument FettZeile von DruckeAdressLabel)");
        row("StartPosition -1", "Set", {Iface, "StartPosition", QVariant::fromValue(QDBusVariant(qint16(-1)))},
            "Tarvel.Error.InvalidArgument", p + "5: Ungültiger Prozeduraufruf oder ungültiges Argument (StartPosition -1");
        row("unknown member", "DruckeAlles", {}, "org.freedesktop.DBus.Error.UnknownMethod", "Die Methode DruckeAlles");
    }
    void errorsOverTheBus()
    {
        QFETCH(QString, member);
        QFETCH(QVariantList, args);
        QFETCH(QString, error);
        QFETCH(QString, message);
        const QString path = create(m_client);
        set(m_client, path, QStringLiteral("ArtikelNr"), QStringLiteral("vorher"));
        const QDBusMessage reply = call(m_client, path, member, args, member == QLatin1String("Set") ? Props : Iface);
        QCOMPARE(errorOf(reply), error);
        QVERIFY2(reply.errorMessage().startsWith(message), qPrintable(reply.errorMessage()));
        // Nothing changed, and the object still serves; a refused print counted nothing.
        QCOMPARE(get(m_client, path, QStringLiteral("ArtikelNr")), QStringLiteral("vorher"));
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        QTest::qWait(100);
        QVERIFY(jobs().isEmpty());
    }

    void factoryRefusesWhatItCannotCreate_data()
    {
        QTest::addColumn<QString>("progId");
        QTest::newRow("unknown") << "Tarvel.Unbekannt";
        QTest::newRow("empty") << "";
    }
    void factoryRefusesWhatItCannotCreate()
    {
        QFETCH(QString, progId);
        const QDBusMessage reply = call(m_client, QStringLiteral("/Tarvel"), QStringLiteral("CreateObject"), {progId},
                                        QStringLiteral("Tarvel.Server"));
        QCOMPARE(errorOf(reply), QStringLiteral("Tarvel.Error.CannotCreateObject"));
        QVERIFY(reply.errorMessage().startsWith(QStringLiteral("Laufzeitfehler 429: Objekt kann nicht erstellt werden (") + progId));
    }

    void releasedObjectIsUnknown()
    {
        const QString path = create(m_client);
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("DruckeLabel"))),
                 QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
        QCOMPARE(errorOf(set(m_client, path, QStringLiteral("ArtikelNr"), QStringLiteral("1"))),
                 QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))),
                 QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
        QTest::qWait(100);
        QVERIFY2(jobs().isEmpty(), "ein Objekt ohne Druck gibt nichts aus");
    }

    // Every D-Bus type, in one to three variants, written to a record
    // property: text types arrive as text, all others are refused with error 13
    // and leave the field as it was.
    void variantConversionWithEveryType()
    {
        const QString path = create(m_client);
        const bool fds = m_client.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing;
        QFile devNull(QStringLiteral("/dev/null"));
        QVERIFY(devNull.open(QIODevice::ReadOnly));
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo() << "Startwert:" << seed;
        QRandomGenerator rng(seed);
        QLocale german(QLocale::German, QLocale::Germany);
        german.setNumberOptions(QLocale::OmitGroupSeparator);
        QString current = QStringLiteral("Anfang");
        set(m_client, path, QStringLiteral("ArtikelNr"), current);
        const QList<double> doubles = {1.5, -0.25, 2.0, 1e-4, 12345.678, 0.1 + 0.2};
        for (int i = 0; i < 400; ++i) {
            const qint64 big = qint64(rng.generate64());
            QVariant value;
            QString expected; // empty: refused
            switch (i % 17) {
            case 0: value = QVariant::fromValue(uchar(big)); expected = QString::number(uchar(big)); break;
            case 1: value = QVariant::fromValue(bool(big & 1)); expected = (big & 1) ? "Wahr" : "Falsch"; break;
            case 2: value = QVariant::fromValue(qint16(big)); expected = QString::number(qint16(big)); break;
            case 3: value = QVariant::fromValue(quint16(big)); expected = QString::number(quint16(big)); break;
            case 4: value = QVariant::fromValue(qint32(big)); expected = QString::number(qint32(big)); break;
            case 5: value = QVariant::fromValue(quint32(big)); expected = QString::number(quint32(big)); break;
            case 6: value = QVariant::fromValue(big); expected = QString::number(big); break;
            case 7: value = QVariant::fromValue(quint64(big)); expected = QString::number(quint64(big)); break;
            case 8: {
                const double d = i < 17 * doubles.size() ? doubles[i / 17] : double(qint32(big)) / 64.0;
                value = d;
                expected = d == 0.1 + 0.2 ? QStringLiteral("0,3") // 15 digits, without the binary noise
                                          : german.toString(d, 'f', QLocale::FloatingPointShortest);
                break;
            }
            case 9: expected = QStringLiteral("Wert %1 äöü €").arg(big); value = expected; break;
            case 10: value = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/a/b"))); break;
            case 11: value = QVariant::fromValue(QDBusSignature(QStringLiteral("a{sv}"))); break;
            case 12:
                if (!fds)
                    continue;
                value = QVariant::fromValue(QDBusUnixFileDescriptor(devNull.handle()));
                break;
            case 13: value = QByteArray("4711"); break;
            case 14: value = QStringList{QStringLiteral("4711")}; break;
            case 15: value = QVariant::fromValue(QList<int>{4, 7, 1, 1}); break;
            case 16: {
                if (big & 1) {
                    value = QVariantMap{{QStringLiteral("a"), 1}};
                } else {
                    QDBusArgument s;
                    s.beginStructure();
                    s << 47 << QStringLiteral("11");
                    s.endStructure();
                    value = QVariant::fromValue(s);
                }
                break;
            }
            }
            const int depth = 1 + int(rng.bounded(3));
            const QDBusMessage reply = set(m_client, path, QStringLiteral("ArtikelNr"), wrapped(value, depth));
            const QString what = QStringLiteral("Fall %1, Tiefe %2, %3").arg(i % 17).arg(depth).arg(value.typeName());
            if (expected.isEmpty()) {
                QVERIFY2(errorOf(reply) == QLatin1String("Tarvel.Error.TypeMismatch"), qPrintable(what));
                QVERIFY2(reply.errorMessage().startsWith(QStringLiteral("Laufzeitfehler 13: Typen unverträglich")), qPrintable(what));
            } else {
                QVERIFY2(errorOf(reply) == QLatin1String("kein Fehler"), qPrintable(what + u' ' + reply.errorMessage()));
                current = expected;
            }
            QCOMPARE(get(m_client, path, QStringLiteral("ArtikelNr")), current);
        }
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
    }

    // A call that another client sends while a print call runs waits for it:
    // it never runs inside the print call's pauses.
    void callsOfTwoClientsDoNotInterleave()
    {
        QDBusConnection other = m_bus.connect(QStringLiteral("other"));
        const QString path = create(m_client);
        set(m_client, path, QStringLiteral("ArtikelNr"), QStringLiteral("ERST"));
        for (const char *text : {"Titel", "Autor", "Verlag", "Bemerkung"}) // a slow label: texts at their limit
            set(m_client, path, QLatin1String(text), QString(65536, u'T'));
        auto async = [&](const QDBusConnection &c, const QString &member, const QVariantList &args, const QString &iface) {
            auto msg = QDBusMessage::createMethodCall(QStringLiteral("Tarvel.Application"), path, iface, member);
            msg.setArguments(args);
            return c.asyncCall(msg, 60000);
        };
        QElapsedTimer slow;
        slow.start();
        QDBusPendingCall etikett = async(m_client, QStringLiteral("DruckeEtikett"), {}, Iface);
        QDBusPendingCall label = async(m_client, QStringLiteral("DruckeLabel"), {}, Iface);
        QTest::qWait(30);
        QDBusPendingCall change = async(other, QStringLiteral("Set"),
                                        {Iface, QStringLiteral("ArtikelNr"), QVariant::fromValue(QDBusVariant(QStringLiteral("ZWEIT")))}, Props);
        etikett.waitForFinished();
        const qint64 slowMs = slow.elapsed();
        label.waitForFinished();
        change.waitForFinished();
        qInfo() << "Das lange Etikett dauerte" << slowMs << "ms";
        QVERIFY2(slowMs > 80, "zu kurz, um einen Aufruf in seine Pausen zu bekommen");
        QVERIFY(!etikett.isError() && !label.isError() && !change.isError());
        QCOMPARE(get(m_client, path, QStringLiteral("ArtikelNr")), QStringLiteral("ZWEIT"));
        call(m_client, path, QStringLiteral("Release"));
        const QStringList files = waitForJobs(1, 5000);
        QCOMPARE(files.size(), 1);
        const PdfPages pdf(files.first());
        QCOMPARE(pdf.pageCount(), 2);
        QCOMPARE(BarcodeDecoder::decodeArea(pdf.render(2, 300), QRect(0, 150, 1000, 190)), QStringList{"ERST"});
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }

    void secondServerLeavesTheNamesToTheFirst()
    {
        const QString path = create(m_client); // keeps the first server alive
        const qint64 first = m_bus.ownerPid(QStringLiteral("Tarvel.Application"));
        QVERIFY(first > 0);
        QProcess second;
        QProcessEnvironment env = m_bus.clientEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(TARVEL_PROGRAM), {QStringLiteral("--automation")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(m_bus.ownerPid(QStringLiteral("Tarvel.Application")), first);
        QCOMPARE(m_bus.ownerPid(QStringLiteral("Tarvel.AdressLabels")), first);
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("Release"))), QStringLiteral("kein Fehler"));
    }

    // A client that none of us wrote: every gdbus call is a connection of its own.
    void gdbusDrivesAWholeScenario()
    {
        auto gdbus = [&](const QStringList &args) {
            QProcess p;
            p.setProcessEnvironment(m_bus.clientEnvironment());
            p.start(QStringLiteral("gdbus"), QStringList{QStringLiteral("call"), QStringLiteral("--session"),
                                                         QStringLiteral("--dest"), QStringLiteral("Tarvel.Application")}
                                                 + args);
            if (!p.waitForFinished(30000))
                return QStringLiteral("<hängt>");
            return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
        };
        const QString created = gdbus({"--object-path", "/Tarvel", "--method", "Tarvel.Server.CreateObject", "Tarvel.Application"});
        const auto m = QRegularExpression(QStringLiteral("objectpath '(/Tarvel/Application/\\d+)'")).match(created);
        QVERIFY2(m.hasMatch(), qPrintable(created));
        const QString path = m.captured(1);
        const QStringList object{QStringLiteral("--object-path"), path, QStringLiteral("--method")};
        auto setProp = [&](const QString &name, const QString &value) {
            return gdbus(object + QStringList{Props + QStringLiteral(".Set"), Iface, name, value});
        };
        QCOMPARE(setProp("ArtikelNr", "<'4711'>"), QStringLiteral("()"));
        QCOMPARE(setProp("Preis1", "<<'12,95 €'>>"), QStringLiteral("()"));
        QCOMPARE(setProp("Preis2", "<7.5>"), QStringLiteral("()"));
        QCOMPARE(setProp("MatchCode", "<'GDBUS'>"), QStringLiteral("()"));
        QCOMPARE(setProp("WarenGruppe", "<int16 42>"), QStringLiteral("()"));
        QCOMPARE(setProp("ISBN", "<true>"), QStringLiteral("()"));
        QCOMPARE(setProp("StartPosition", "<int16 3>"), QStringLiteral("()"));
        QCOMPARE(gdbus(object + QStringList{"Tarvel.Application.Zeile", "2", "Zweite Zeile"}), QStringLiteral("()"));
        QVERIFY(gdbus(object + QStringList{"Tarvel.Application.Zeile", "6", "x"}).contains("Tarvel.Error.SubscriptOutOfRange"));
        QCOMPARE(gdbus(object + QStringList{Props + QStringLiteral(".Get"), Iface, "ArtikelNr"}), QStringLiteral("(<<'4711'>>,)"));
        QCOMPARE(gdbus(object + QStringList{"Tarvel.Application.DruckeLabel"}), QStringLiteral("()"));
        QCOMPARE(gdbus(object + QStringList{"Tarvel.Application.DruckeKanuEtikett"}), QStringLiteral("()"));
        QVERIFY(jobs().isEmpty());
        QCOMPARE(gdbus(object + QStringList{"Tarvel.Application.Release"}), QStringLiteral("()"));
        const QStringList files = waitForJobs(1, 5000);
        QCOMPARE(files.size(), 1);
        const PdfPages pdf(files.first());
        QCOMPARE(pdf.pageCount(), 2);
        const QString text = pdf.text(1);
        for (const char *expected : {"12,95 €", "7,5", "GDBUS", "WG: 42", "Wahr"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QCOMPARE(BarcodeDecoder::decodeArea(pdf.render(1, 300), QRect(0, 150, 1000, 190)), QStringList{"4711"});
        QVERIFY(gdbus(object + QStringList{"Tarvel.Application.DruckeLabel"}).contains("org.freedesktop.DBus.Error.UnknownObject"));
    }

    // A client that goes away without Release: its job is delivered 30 s later.
    void abandonedObjectIsReleasedAfterThirtySeconds()
    {
        QString path;
        {
            QDBusConnection gone = m_bus.connect(QStringLiteral("gone"));
            path = create(gone);
            set(gone, path, QStringLiteral("ArtikelNr"), QStringLiteral("VERWAIST"));
            QCOMPARE(errorOf(call(gone, path, QStringLiteral("DruckeLabel"))), QStringLiteral("kein Fehler"));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("gone"));
        QElapsedTimer since;
        since.start();
        const QStringList files = waitForJobs(1, 45000);
        QCOMPARE(files.size(), 1);
        QVERIFY2(since.elapsed() > 29000, qPrintable(QStringLiteral("nach %1 ms").arg(since.elapsed())));
        QCOMPARE(BarcodeDecoder::decodeArea(PdfPages(files.first()).render(1, 300), QRect(0, 150, 1000, 190)),
                 QStringList{"VERWAIST"});
        QCOMPARE(errorOf(call(m_client, path, QStringLiteral("DruckeLabel"))),
                 QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
    }

    // A server asked to end still delivers the jobs of its objects, of both classes.
    void terminatedServerDeliversOpenJobs()
    {
        const QString path = create(m_client);
        set(m_client, path, QStringLiteral("ArtikelNr"), QStringLiteral("BEENDET"));
        call(m_client, path, QStringLiteral("DruckeLabel"));
        const QString labels = create(m_client, AdressIface);
        const QStringList address{"Erika Mustermann", "", "Hauptstr. 1", "", "12345 Musterstadt"};
        QCOMPARE(errorOf(call(m_client, labels, QStringLiteral("Drucke"), {QVariant::fromValue(qint16(0)), address}, AdressIface)),
                 QStringLiteral("kein Fehler"));
        const qint64 pid = m_bus.ownerPid(QStringLiteral("Tarvel.Application"));
        QVERIFY(pid > 0);
        ::kill(pid_t(pid), SIGTERM);
        QVERIFY(PrivateBus::waitForExit(pid, 5000));
        const QStringList files = waitForJobs(2, 2000);
        QCOMPARE(files.size(), 2);
        QStringList barcodes, texts;
        for (const QString &f : files) {
            barcodes << BarcodeDecoder::decodeAll(PdfPages(f).render(1, 150));
            texts << PdfPages(f).text(1);
        }
        QCOMPARE(barcodes, QStringList{"BEENDET"});
        QCOMPARE(texts.filter(QStringLiteral("12345 Musterstadt")).size(), 1);
    }

    // With its last object gone the server ends after at most ten seconds,
    // and the next client starts a new one.
    void serverEndsWhenTheLastObjectIsGone()
    {
        const QString path = create(m_client);
        const qint64 pid = m_bus.ownerPid(QStringLiteral("Tarvel.Application"));
        QVERIFY(pid > 0);
        QElapsedTimer since;
        call(m_client, path, QStringLiteral("Release"));
        since.start();
        QVERIFY(PrivateBus::waitForExit(pid, 14000));
        qInfo() << "Server endete" << since.elapsed() << "ms nach der letzten Freigabe";
        QVERIFY(since.elapsed() < 11000);
        const QString again = create(m_client);
        QVERIFY(!again.isEmpty());
        QVERIFY(m_bus.ownerPid(QStringLiteral("Tarvel.Application")) != pid);
        call(m_client, again, QStringLiteral("Release"));
    }
};

QTEST_GUILESS_MAIN(TestAutomationBus)
#include "tst_automation_bus.moc"
