#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QtTest>

using namespace tarvel::platform;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    /// What a text or a value counts as: the leading number of a box's text ("." as the
    /// decimal point), a whole text in the user's locale or with "." (error 13 if it is no
    /// number), whole numbers of 16 and 32 bits (halves to the even neighbour; what does not
    /// fit is error 6, never a wrap-around), sums and products of 32 bits, and a value as
    /// the user reads it (to 15 digits where a client's double brings binary noise).
    void conversions_data()
    {
        QTest::addColumn<QString>("conversion");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        const std::tuple<const char *, const char *, const char *> rows[] = {
            {"leading", "2,5", "2"}, {"leading", "3abc", "3"}, {"leading", "", "0"}, {"leading", "-", "0"},
            {"leading", " \t 42", "42"}, {"leading", "1 2", "12"}, {"leading", " - 7", "-7"}, {"leading", "1e3", "1000"},
            {"leading", "2E-1", "0.2"}, {"leading", "3e+", "3"}, {"leading", "1.2.3", "1.2"}, {"leading", "1e999", "Fehler 6"},
            {"leading", "1e-999", "0"},
            {"text", " 150 ", "150"}, {"text", "2,5", "2"}, {"text", "3.5", "4"}, {"text", "", "Fehler 13"},
            {"text", "abc", "Fehler 13"}, {"text", "12abc", "Fehler 13"}, {"text", "99999999999", "Fehler 6"},
            {"16", "2.5", "2"}, {"16", "3.5", "4"}, {"16", "-2.5", "-2"}, {"16", "0.5", "0"}, {"16", "4.1666", "4"},
            {"16", "32767.4", "32767"}, {"16", "32767.5", "Fehler 6"}, {"16", "-32768.5", "-32768"},
            {"16", "-32769", "Fehler 6"}, {"16", "inf", "Fehler 6"}, {"16", "nan", "Fehler 6"},
            {"32", "32767.5", "32768"}, {"32", "-32769", "-32769"}, {"32", "-2147483648.5", "-2147483648"},
            {"32", "2147483648", "Fehler 6"}, {"32", "-inf", "Fehler 6"}, {"32", "nan", "Fehler 6"},
            {"add", "2147483000 647", "2147483647"}, {"add", "2147483647 1", "Fehler 6"},
            {"mul", "-65536 32768", "-2147483648"}, {"mul", "65536 65536", "Fehler 6"},
            {"shown", "18.14", "18,14"}, {"shown", "4", "4"}, {"shown", "1000000", "1000000"}, {"shown", "-0.5", "-0,5"},
            {"15 digits", "29.849999999999998", "29,85"}, {"15 digits", "0.30000000000000004", "0,3"},
        };
        for (const auto &[conversion, input, result] : rows)
            QTest::addRow("%s \"%s\"", conversion, input) << conversion << QString(input) << result;
    }
    void conversions()
    {
        QFETCH(QString, conversion);
        QFETCH(QString, input);
        QFETCH(QString, result);
        const double value = input.section(u' ', 0, 0).toDouble(), other = input.section(u' ', 1).toDouble();
        auto num = [](double v) { return QString::number(v, 'g', 12); };
        QString got;
        try {
            got = conversion == "leading" ? num(Numbers::leadingNumber(input))
                  : conversion == "text"  ? num(Numbers::toInt32(input))
                  : conversion == "16"    ? num(Numbers::toInt16(value))
                  : conversion == "32"    ? num(Numbers::toInt32(value))
                  : conversion == "add"   ? num(Numbers::add32(qint32(value), qint32(other)))
                  : conversion == "mul"   ? num(Numbers::mul32(qint32(value), qint32(other)))
                  : conversion == "shown" ? Numbers::numberText(value)
                                          : Numbers::numberText(value, 15);
        } catch (const RuntimeError &e) {
            got = QStringLiteral("Fehler %1").arg(e.number());
        }
        QCOMPARE(got, result);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
