#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QtTest>

using namespace tarvel::platform;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "150" << 150.0;
        QTest::newRow("decimal point") << "2.5" << 2.5;
        QTest::newRow("comma stops") << "2,5" << 2.0;
        QTest::newRow("letters after") << "3abc" << 3.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blanks and tabs") << " \t 42" << 42.0;
        QTest::newRow("blanks inside") << "1 2" << 12.0;
        QTest::newRow("negative") << "-7" << -7.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("bare e") << "3e" << 3.0;
        QTest::newRow("second point") << "1.2.3" << 1.2;
        QTest::newRow("sign only") << "-" << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Numbers::leadingNumber(text), value);
    }

    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("4.17") << 4.1666 << 4;
        QTest::newRow("32767.4") << 32767.4 << 32767;
        QTest::newRow("-32768.5") << -32768.5 << -32768;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(int(Numbers::toInt16(value)), rounded);
        QCOMPARE(int(Numbers::toInt32(value)), rounded);
    }

    void overflowIsError6_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits32");
        QTest::newRow("32767.5") << 32767.5 << true;
        QTest::newRow("40000") << 40000.0 << true;
        QTest::newRow("-32769") << -32769.0 << true;
        QTest::newRow("2^31") << 2147483648.0 << false;
        QTest::newRow("inf") << std::numeric_limits<double>::infinity() << false;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false;
    }
    void overflowIsError6()
    {
        QFETCH(double, value);
        QFETCH(bool, fits32);
        try {
            Numbers::toInt16(value);
            QFAIL("no overflow");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 6);
            QCOMPARE(e.message(), QStringLiteral("Laufzeitfehler 6: Überlauf"));
        }
        bool threw = false;
        try {
            Numbers::toInt32(value);
        } catch (const RuntimeError &e) {
            threw = e.number() == 6;
        }
        QCOMPARE(threw, !fits32);
    }

    void strictTextConversion()
    {
        QCOMPARE(Numbers::toInt32(QStringLiteral(" 150 ")), 150);
        QCOMPARE(Numbers::toInt32(QStringLiteral("2,5")), 2);
        QCOMPARE(Numbers::toInt32(QStringLiteral("3.5")), 4);
        for (const QString &bad : {QString(), QStringLiteral("abc"), QStringLiteral("12abc")}) {
            try {
                Numbers::toInt32(bad);
                QFAIL(qPrintable(bad));
            } catch (const RuntimeError &e) {
                QCOMPARE(e.number(), 13);
            }
        }
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

    // Clients' fractions carry binary noise; their own platform prints 15 digits.
    void significantDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");
        QTest::newRow("9.95 * 3") << 9.95 * 3 << 15 << "29,85";
        QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << 15 << "0,3";
        QTest::newRow("negative") << -(0.1 + 0.2) << 15 << "-0,3";
        QTest::newRow("15 digits kept") << 123456789.012345 << 15 << "123456789,012345";
        QTest::newRow("16th digit rounds") << 1234567890.1234567 << 15 << "1234567890,12346";
        QTest::newRow("large stays plain") << 1e20 << 15 << "100000000000000000000";
        QTest::newRow("single 0.1") << double(0.1f) << 7 << "0,1";
        QTest::newRow("whole") << 42.0 << 15 << "42";
    }
    void significantDigits()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(QString, text);
        QCOMPARE(Numbers::numberText(value, digits), text);
    }

    void checkedArithmetic()
    {
        QCOMPARE(Numbers::add32(2147483000, 647), 2147483647);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Numbers::add32(2147483647, 1));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Numbers::mul32(65536, 65536));
    }

    void errorTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("5") << 5 << "InvalidArgument" << "Ungültiger Prozeduraufruf oder ungültiges Argument";
        QTest::newRow("6") << 6 << "Overflow" << "Überlauf";
        QTest::newRow("9") << 9 << "SubscriptOutOfRange" << "Index außerhalb des gültigen Bereichs";
        QTest::newRow("13") << 13 << "TypeMismatch" << "Typen unverträglich";
        QTest::newRow("53") << 53 << "FileNotFound" << "Datei nicht gefunden";
        QTest::newRow("429") << 429 << "CannotCreateObject" << "Objekt kann nicht erstellt werden";
        QTest::newRow("482") << 482 << "PrinterError" << "Druckerfehler";
    }
    void errorTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QFETCH(QString, description);
        const RuntimeError e(number, QStringLiteral("(Zeile 6)"));
        QCOMPARE(e.name(), name);
        QCOMPARE(e.message(), QStringLiteral("Laufzeitfehler %1: %2 (Zeile 6)").arg(number).arg(description));
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
