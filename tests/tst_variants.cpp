#include "automation/DBusInterface.h"
#include "automation/Variants.h"
#include "platform/RuntimeError.h"

#include <QDBusVariant>
#include <QDate>
#include <QtTest>

using namespace tarvel::automation;
using tarvel::platform::RuntimeError;

namespace {
/// The text, or "Fehler <n>" for a refused value.
template<typename F>
QString outcome(F &&f)
{
    try {
        return QVariant(f()).toString();
    } catch (const RuntimeError &e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
}
QVariant nested(const QVariant &v, int levels)
{
    QVariant out = v;
    for (int i = 0; i < levels; ++i)
        out = QVariant::fromValue(QDBusVariant(out));
    return out;
}
} // namespace

class TestVariants : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void toText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("string") << QVariant(QStringLiteral("4711-0815")) << "4711-0815";
        QTest::newRow("empty string") << QVariant(QString()) << "";
        QTest::newRow("string kept as is") << QVariant(QStringLiteral(" 12,95 € ")) << " 12,95 € ";
        QTest::newRow("byte") << QVariant::fromValue(uchar(255)) << "255";
        QTest::newRow("int16 min") << QVariant::fromValue(qint16(-32768)) << "-32768";
        QTest::newRow("uint16 max") << QVariant::fromValue(quint16(65535)) << "65535";
        QTest::newRow("int32") << QVariant(-5) << "-5";
        QTest::newRow("uint32 max") << QVariant::fromValue(quint32(4294967295u)) << "4294967295";
        QTest::newRow("int64 min") << QVariant::fromValue(std::numeric_limits<qint64>::min()) << "-9223372036854775808";
        QTest::newRow("uint64 max") << QVariant::fromValue(std::numeric_limits<quint64>::max()) << "18446744073709551615";
        QTest::newRow("double 1.5") << QVariant(1.5) << "1,5";
        QTest::newRow("double whole") << QVariant(2.0) << "2";
        QTest::newRow("double negative") << QVariant(-0.25) << "-0,25";
        QTest::newRow("double shortest") << QVariant(0.1 + 0.2) << "0,30000000000000004";
        QTest::newRow("double no group separator") << QVariant(12345.5) << "12345,5";
        QTest::newRow("float") << QVariant(2.5f) << "2,5";
        QTest::newRow("true") << QVariant(true) << "Wahr";
        QTest::newRow("false") << QVariant(false) << "Falsch";
        QTest::newRow("invalid") << QVariant() << "Fehler 13";
        QTest::newRow("bytes") << QVariant(QByteArray("4711")) << "Fehler 13";
        QTest::newRow("list") << QVariant(QStringList{"4711"}) << "Fehler 13";
        QTest::newRow("date") << QVariant(QDate(2024, 1, 1)) << "Fehler 13";
        QTest::newRow("map") << QVariant(QVariantMap{{"a", 1}}) << "Fehler 13";
    }
    void toText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(outcome([&] { return Variants::toText(value); }), text);
    }

    void toInt16_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("result");
        QTest::newRow("int16") << QVariant::fromValue(qint16(3)) << "3";
        QTest::newRow("int32 in range") << QVariant(-32768) << "-32768";
        QTest::newRow("int32 too large") << QVariant(40000) << "Fehler 6";
        QTest::newRow("int64 too small") << QVariant::fromValue(qint64(-32769)) << "Fehler 6";
        QTest::newRow("uint16 too large") << QVariant::fromValue(quint16(32768)) << "Fehler 6";
        QTest::newRow("uint64 huge") << QVariant::fromValue(std::numeric_limits<quint64>::max()) << "Fehler 6";
        QTest::newRow("byte") << QVariant::fromValue(uchar(200)) << "200";
        QTest::newRow("half to even down") << QVariant(2.5) << "2";
        QTest::newRow("half to even up") << QVariant(3.5) << "4";
        QTest::newRow("number text") << QVariant(QStringLiteral(" 12 ")) << "12";
        QTest::newRow("text without number") << QVariant(QStringLiteral("zwei")) << "Fehler 13";
        QTest::newRow("boolean") << QVariant(true) << "Fehler 13";
        QTest::newRow("bytes") << QVariant(QByteArray("1")) << "Fehler 13";
    }
    void toInt16()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, result);
        QCOMPARE(outcome([&] { return int(Variants::toInt16(value)); }), result);
    }

    // As a D-Bus client sends them: a shell's "<'4711'>" or a typed client's "<<'4711'>>".
    void dbusValuesAreUnwrapped_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << QVariant(QStringLiteral("4711")) << "v" << "4711";
        QTest::newRow("one variant") << nested(QStringLiteral("4711"), 1) << "v" << "4711";
        QTest::newRow("two variants") << nested(QStringLiteral("4711"), 2) << "v" << "4711";
        QTest::newRow("five variants") << nested(7, 5) << "v" << "7";
        QTest::newRow("variant number for n") << nested(QVariant::fromValue(qint16(3)), 2) << "n" << "3";
        QTest::newRow("list for v") << nested(QStringList{"a"}, 1) << "v" << "Fehler 13";
        QTest::newRow("number for s") << QVariant(5) << "s" << "Fehler 13";
        QTest::newRow("texts for as") << QVariant(QStringList{"a", "b"}) << "as" << "a,b";
    }
    void dbusValuesAreUnwrapped()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, type);
        QFETCH(QString, result);
        QCOMPARE(outcome([&] {
                     const QVariant v = DBusInterface::convert(value, type, QStringLiteral("Test"));
                     return v.metaType() == QMetaType::fromType<QStringList>() ? v.toStringList().join(u',') : v.toString();
                 }),
                 result);
    }

    void refusalNamesTheMemberAndTheType()
    {
        try {
            DBusInterface::convert(nested(QStringList{"a"}, 2), QStringLiteral("v"), QStringLiteral("Eigenschaft ISBN"));
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), QStringLiteral("Laufzeitfehler 13: Typen unverträglich (Eigenschaft ISBN: D-Bus-Typ as ist kein Text)"));
        }
    }
};

QTEST_GUILESS_MAIN(TestVariants)
#include "tst_variants.moc"
