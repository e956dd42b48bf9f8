#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QtTest>

using namespace tarvel::platform;

namespace {

/// The value \a f gives as text, or "Fehler N" for the run-time error it raises.
template<typename F>
QString outcome(F f)
{
    try {
        return QString::number(f(), 'g', 12);
    } catch (const RuntimeError &e) {
        return QStringLiteral("Fehler %1").arg(e.number());
    }
}

} // namespace

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    /// What a text or a value counts as: the leading number of a box's text
    /// ("." as the decimal point), a whole text in the user's locale or with "."
    /// (error 13 if it is no number), whole numbers of 16 and 32 bits (halves to
    /// the even neighbour; what does not fit is error 6, never a wrap-around).
    void conversions_data()
    {
        QTest::addColumn<QString>("conversion");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        const std::tuple<const char *, const char *, const char *> rows[] = {
            {"leading", "150", "150"}, {"leading", "2.5", "2.5"}, {"leading", "2,5", "2"}, {"leading", "3abc", "3"},
            {"leading", "abc", "0"}, {"leading", "", "0"}, {"leading", "-", "0"}, {"leading", " \t 42", "42"},
            {"leading", "1 2", "12"}, {"leading", " - 7", "-7"}, {"leading", "1e3", "1000"}, {"leading", "2E-1", "0.2"},
            {"leading", "3e", "3"}, {"leading", "1.2.3", "1.2"}, {"leading", "1e999", "Fehler 6"},
            {"text", " 150 ", "150"}, {"text", "2,5", "2"}, {"text", "3.5", "4"}, {"text", "", "Fehler 13"},
            {"text", "abc", "Fehler 13"}, {"text", "12abc", "Fehler 13"}, {"text", "99999999999", "Fehler 6"},
            {"16", "2.5", "2"}, {"16", "3.5", "4"}, {"16", "-2.5", "-2"}, {"16", "0.5", "0"}, {"16", "4.1666", "4"},
            {"16", "32767.4", "32767"}, {"16", "32767.5", "Fehler 6"}, {"16", "-32768.5", "-32768"},
            {"16", "-32769", "Fehler 6"}, {"16", "inf", "Fehler 6"}, {"16", "nan", "Fehler 6"},
            {"32", "32767.5", "32768"}, {"32", "-32769", "-32769"}, {"32", "-2147483648.5", "-2147483648"},
            {"32", "2147483648", "Fehler 6"}, {"32", "-inf", "Fehler 6"}, {"32", "nan", "Fehler 6"},
        };
        for (const auto &[conversion, input, result] : rows)
            QTest::addRow("%s \"%s\"", conversion, input) << conversion << QString(input) << result;
    }
    void conversions()
    {
        QFETCH(QString, conversion);
        QFETCH(QString, input);
        QFETCH(QString, result);
        const double value = input.toDouble();
        QCOMPARE(outcome([&]() -> double {
                     return conversion == "leading" ? Numbers::leadingNumber(input)
                            : conversion == "text"  ? Numbers::toInt32(input)
                            : conversion == "16"    ? Numbers::toInt16(value)
                                                    : Numbers::toInt32(value);
                 }),
                 result);
    }

    void checkedArithmetic()
    {
        QCOMPARE(outcome([] { return Numbers::add32(2147483000, 647); }), QStringLiteral("2147483647"));
        QCOMPARE(outcome([] { return Numbers::add32(2147483647, 1); }), QStringLiteral("Fehler 6"));
        QCOMPARE(outcome([] { return Numbers::mul32(-65536, 32768); }), QStringLiteral("-2147483648"));
        QCOMPARE(outcome([] { return Numbers::mul32(65536, 65536); }), QStringLiteral("Fehler 6"));
    }

    void localeText()
    {
        QCOMPARE(Numbers::numberText(18.14), QStringLiteral("18,14"));
        QCOMPARE(Numbers::numberText(4), QStringLiteral("4"));
        QCOMPARE(Numbers::numberText(1000000), QStringLiteral("1000000"));
        QCOMPARE(Numbers::numberText(-0.5), QStringLiteral("-0,5"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(Numbers::numberText(18.14), QStringLiteral("18.14"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    /// The name a client of the server gets, and the message as the user reads it.
    void errorTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("5") << 5 << "InvalidArgument: Laufzeitfehler 5: Ungültiger Prozeduraufruf oder ungültiges Argument (Zeile 6)";
        QTest::newRow("6") << 6 << "Overflow: Laufzeitfehler 6: Überlauf (Zeile 6)";
        QTest::newRow("9") << 9 << "SubscriptOutOfRange: Laufzeitfehler 9: Index außerhalb des gültigen Bereichs (Zeile 6)";
        QTest::newRow("13") << 13 << "TypeMismatch: Laufzeitfehler 13: Typen unverträglich (Zeile 6)";
        QTest::newRow("53") << 53 << "FileNotFound: Laufzeitfehler 53: Datei nicht gefunden (Zeile 6)";
        QTest::newRow("429") << 429 << "CannotCreateObject: Laufzeitfehler 429: Objekt kann nicht erstellt werden (Zeile 6)";
        QTest::newRow("482") << 482 << "PrinterError: Laufzeitfehler 482: Druckerfehler (Zeile 6)";
    }
    void errorTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, message);
        const RuntimeError e(number, QStringLiteral("(Zeile 6)"));
        QCOMPARE(e.name() + QStringLiteral(": ") + e.message(), message);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
