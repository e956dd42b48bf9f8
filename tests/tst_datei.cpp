#include "runs/Datei.h"
#include "runs/Util.h"
#include "platform/RuntimeError.h"

#include <QTemporaryDir>
#include <QtTest>

using tarvel::runs::Datei;
using tarvel::platform::RuntimeError;
namespace Util = tarvel::runs::Util;

using Records = QList<QStringList>;
Q_DECLARE_METATYPE(Records)

namespace {
QString fixture(const QString &name)
{
    return QStringLiteral(TARVEL_TEST_DATA "/datei/") + name;
}
// A record of eleven fields; the fields not given are empty.
QStringList rec(QStringList fields)
{
    while (fields.size() < Datei::FeldAnzahl)
        fields << QString();
    return fields;
}
QStringList fieldsOf(const Datei &d)
{
    QStringList out;
    for (int i = 0; i < Datei::FeldAnzahl; ++i)
        out << d.feld(i);
    return out;
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}
} // namespace

class TestDatei : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;

private slots:
    void readsRecords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Records>("records");
        QTest::addColumn<bool>("utf8");

        const QStringList empty = rec({});
        QTest::newRow("CR LF") << "crlf.txt" << Records{rec({"Buch", "100", "B-100"}), rec({"CD", "200", "B-200"})} << false;
        QTest::newRow("CR") << "cr.txt" << Records{rec({"Buch", "100", "B-100"}), rec({"CD", "200", "B-200"})} << false;
        QTest::newRow("LF") << "lf.txt" << Records{rec({"Buch", "100", "B-100"}), rec({"CD", "200", "B-200"})} << false;
        QTest::newRow("mixed line ends") << "gemischt.txt"
                                         << Records{rec({"A", "1"}), rec({"B", "2"}), rec({"C", "3"}), rec({"D", "4"})}
                                         << false;
        QTest::newRow("last line without line end")
            << "letzte_ohne_zeilenende.txt" << Records{rec({"1", "2"}), rec({"4711", "12.345"})} << false;
        QTest::newRow("empty line and line of blanks")
            << "leerzeilen.txt" << Records{rec({"a"}), empty, empty, rec({"b"})} << false;
        QTest::newRow("two line ends at the end") << "zwei_zeilenenden_am_ende.txt" << Records{rec({"a", "b"}), empty}
                                                  << false;
        QTest::newRow("3 and 12 fields")
            << "felder_3_und_12.txt"
            << Records{rec({"1", "2", "3"}), rec({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})} << false;
        QTest::newRow("blanks around ;, tabs stay")
            << "blanks.txt" << Records{rec({"a ", " b"}), rec({"\ta", "b\t"})} << false;
        QTest::newRow("DOS umlauts, 130 is a low quote")
            << "dos_umlaute.txt" << Records{rec({"üäÄöÖÜß", "\u201A", "Müller", "Straße"})} << false;
        QTest::newRow("code page 1252") << "cp1252.txt" << Records{rec({"café", "€ 5", "ß"})} << false;
        QTest::newRow("UTF-8 without BOM") << "utf8.txt" << Records{rec({"Müller", "Straße", "5 €", "á"})} << true;
        QTest::newRow("UTF-8 with BOM") << "utf8_bom.txt" << Records{rec({"Bär", "1"}), rec({"plain", "2"})} << true;
        QTest::newRow("empty file") << "leer.txt" << Records{} << false;
    }
    void readsRecords()
    {
        QFETCH(QString, file);
        QFETCH(Records, records);
        QFETCH(bool, utf8);

        Datei d;
        d.Oeffnen(fixture(file));
        QCOMPARE(d.istUtf8(), utf8);
        for (qsizetype i = 0; i < records.size(); ++i) {
            QVERIFY2(d.Lesen(), qPrintable(QStringLiteral("record %1 missing").arg(i + 1)));
            QCOMPARE(fieldsOf(d), records[i]);
            QCOMPARE(d.zeile(), i + 1);
        }
        const QStringList last = fieldsOf(d);
        QVERIFY(!d.Lesen());
        QVERIFY(!d.Lesen());
        QCOMPARE(fieldsOf(d), last); // a failed read leaves the fields alone

        Datei counter;
        QCOMPARE(counter.GetAnzahl(fixture(file)), records.size());
    }

    void missingFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << fixture("gibt_es_nicht.txt") << 53 << "nicht vorhanden";
        QTest::newRow("none chosen") << QString() << 53 << "keine Datei gewählt";
        QTest::newRow("folder") << QStringLiteral(TARVEL_TEST_DATA) << 75 << "Ordner";
    }
    void missingFile()
    {
        QFETCH(QString, path);
        QFETCH(int, number);
        QFETCH(QString, reason);
        Datei counter;
        QCOMPARE(counter.GetAnzahl(path), 0);
        QVERIFY(!counter.Lesen());
        Datei d;
        try {
            d.Oeffnen(path);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), number);
            QVERIFY2(e.text().contains(reason), qPrintable(e.text()));
            if (!path.isEmpty())
                QVERIFY2(e.text().contains(QDir::toNativeSeparators(path)), qPrintable(e.text()));
        }
        QVERIFY(!d.Lesen());
    }

    void readErrorIsNotTheEnd()
    {
        // Reading this file fails with an input/output error at once.
        const QString path = QStringLiteral("/proc/self/mem");
        if (!QFileInfo(path).isReadable())
            QSKIP("no unreadable-by-read file here");
        Datei d;
        try {
            d.Oeffnen(path);
            d.Lesen();
            QFAIL("read error taken as end of file");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 57);
            QVERIFY2(e.text().contains(QStringLiteral("„mem“, Zeile 1")), qPrintable(e.text()));
        }
        Datei counter;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, counter.GetAnzahl(path));
    }

    void lineEndsAcrossBlocks_data()
    {
        QTest::addColumn<int>("firstLength");
        QTest::addColumn<QByteArray>("lineEnd");
        // The reader takes the file in blocks of 64 KiB: put the line end on the seam.
        QTest::newRow("CR LF split") << 65535 << QByteArray("\r\n");
        QTest::newRow("CR at block end") << 65535 << QByteArray("\r");
        QTest::newRow("LF at block start") << 65536 << QByteArray("\n");
        QTest::newRow("10 MB line") << 10 * 1024 * 1024 << QByteArray("\r\n");
    }
    void lineEndsAcrossBlocks()
    {
        QFETCH(int, firstLength);
        QFETCH(QByteArray, lineEnd);
        const QString path = m_tmp.filePath("lang.txt");
        QByteArray first(firstLength, 'x');
        first[0] = '7';
        first[1] = ';';
        writeFile(path, first + lineEnd + "zwei;2" + lineEnd);
        Datei d;
        d.Oeffnen(path);
        QVERIFY(d.Lesen());
        QCOMPARE(d.Bereich, QStringLiteral("7"));
        QCOMPARE(d.ArtikelNr.size(), firstLength - 2);
        QVERIFY(d.Lesen());
        QCOMPARE(d.Bereich, QStringLiteral("zwei"));
        QVERIFY(!d.Lesen());
        Datei counter;
        QCOMPARE(counter.GetAnzahl(path), 2);
    }

    void countHasNo16BitLimit()
    {
        const QString path = m_tmp.filePath("viele.txt");
        writeFile(path, QByteArray("a;b\r\n").repeated(40000));
        Datei d;
        QCOMPARE(d.GetAnzahl(path), 40000);
    }

    void invalidUtf8IsCodePage()
    {
        // "ä" in UTF-8 followed by a lone 0x84: not UTF-8, so every byte is code page 1252.
        const QString path = m_tmp.filePath("kaputt.txt");
        writeFile(path, "\xC3\xA4;\x84\r\n");
        Datei d;
        d.Oeffnen(path);
        QVERIFY(d.Lesen());
        QCOMPARE(d.Bereich, QStringLiteral("Ã¤"));
        QCOMPARE(d.ArtikelNr, QStringLiteral("ä"));
    }

    void umlauteWandelnKeepsLength_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("all seven") << Util::ausCodepage1252("\x81\x84\x8e\x94\x99\x9a\xe1") << "üäÄöÖÜß";
        QTest::newRow("others stay") << Util::ausCodepage1252("\x82\x80\xe9 x") << "\u201A€é x";
        QTest::newRow("already letters") << "Grüße" << "Grüße";
    }
    void umlauteWandelnKeepsLength()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QString t = in;
        Util::UmlauteWandeln(t);
        QCOMPARE(t, out);
    }
};

QTEST_GUILESS_MAIN(TestDatei)
#include "tst_datei.moc"
