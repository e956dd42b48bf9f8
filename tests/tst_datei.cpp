// The article file reader: line ends, code pages, hostile files, and read
// errors that name the line where reading stopped.
#include "mainwindow/Datei.h"
#include "platform/RuntimeError.h"

#include <QTemporaryDir>
#include <QtTest>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using tarvel::mainwindow::Datei;
using tarvel::platform::RuntimeError;

using Records = QList<QStringList>;

namespace {

// A disk that gives up halfway: a read of the file g_failPath at the offset
// g_failOffset fails with EIO, the g_failLeft-th time one is asked for.
QByteArray g_failPath;
qint64 g_failOffset = 0;
int g_failLeft = 0;

} // namespace

extern "C" __attribute__((visibility("default"))) ssize_t read(int fd, void *buf, size_t n)
{
    static const auto next = reinterpret_cast<ssize_t (*)(int, void *, size_t)>(dlsym(RTLD_NEXT, "read"));
    if (g_failLeft > 0 && lseek(fd, 0, SEEK_CUR) == g_failOffset) {
        char link[4096];
        const ssize_t len = readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), link, sizeof link);
        if (len > 0 && QByteArrayView(link, len) == g_failPath && --g_failLeft == 0) {
            errno = EIO;
            return -1;
        }
    }
    return next(fd, buf, n);
}

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

} // namespace

class TestDatei : public QObject
{
    Q_OBJECT
    QTemporaryDir m_tmp;

    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("artikel.txt"))
    {
        const QString path = m_tmp.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    /// Reads \a path to its end; the error text, if reading stops with one.
    static QString readAll(Datei &d, const QString &path, qint64 *records)
    {
        *records = 0;
        try {
            d.Oeffnen(path);
            while (d.Lesen())
                ++*records;
        } catch (const RuntimeError &e) {
            return e.text();
        }
        return {};
    }

private slots:
    void readsRecords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Records>("records");
        QTest::addColumn<bool>("utf8");
        const QStringList empty = rec({});
        const Records two{rec({"Buch", "100", "B-100"}), rec({"CD", "200", "B-200"})};
        QTest::newRow("CR LF") << "crlf.txt" << two << false;
        QTest::newRow("CR") << "cr.txt" << two << false;
        QTest::newRow("LF") << "lf.txt" << two << false;
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
        Datei d; // counts, then reads: one reader serves several files
        QCOMPARE(d.GetAnzahl(fixture(file)), records.size());
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
    }

    // Only complete, shortest-form UTF-8 up to U+10FFFF makes a file UTF-8;
    // anything else is code page 1252 throughout.
    void utf8OrCodePage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("utf8");
        const auto row = [](const char *name, const char *bytes, const QString &field, bool utf8) {
            QTest::newRow(name) << QByteArray(bytes) << field << utf8;
        };
        row("U+00B0, the first lead byte", "20 \xC2\xB0", "20 °", true);
        row("U+07FF, the last two-byte form", "\xDF\xBF;", "\u07FF", true);
        row("U+0800, the first three-byte form", "\xE0\xA0\x80;", "\u0800", true);
        row("U+D7FF, below the surrogates", "\xED\x9F\xBF;", "\uD7FF", true);
        row("U+10FFFF, the last", "\xF4\x8F\xBF\xBF;", QString::fromUcs4(U"\U0010FFFF"), true);
        row("overlong two bytes", "\xC1\xBF;", "Á¿", false);
        row("overlong three bytes", "\xE0\x9F\xBF;", "àŸ¿", false);
        row("surrogate", "\xED\xA0\x80;", "í\u00A0€", false);
        row("beyond U+10FFFF", "\xF4\x90\x80\x80;", "ô\u0090€€", false);
        row("cut short at the end", "a\xC3", "aÃ", false);
        row("ä, then a DOS ä", "\xC3\xA4\x84", "Ã¤ä", false);
        row("ASCII only", "plain", "plain", false);
    }
    void utf8OrCodePage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(bool, utf8);
        Datei d;
        d.Oeffnen(write(bytes));
        QVERIFY(d.Lesen());
        QCOMPARE(d.Bereich, field);
        QCOMPARE(d.istUtf8(), utf8);
    }

    void cannotOpen_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        const QString missing = fixture("gibt_es_nicht.txt"), folder = QStringLiteral(TARVEL_TEST_DATA);
        const QString socket = m_tmp.filePath("socket");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path);
        QVERIFY(::bind(::socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QTest::newRow("missing") << missing
                                 << "Datei nicht gefunden (Datei „" + missing + "“: die Datei ist nicht vorhanden)";
        QTest::newRow("none chosen") << QString() << "Datei nicht gefunden (Datei „“: es ist keine Datei gewählt)";
        QTest::newRow("folder") << folder
                                << "Fehler beim Zugriff auf Pfad/Datei (Datei „" + folder
                                       + "“: das ist ein Ordner, keine Datei)";
        QTest::newRow("socket") << socket
                                << "Fehler beim Zugriff auf Pfad/Datei (Datei „" + socket
                                       + "“: die Datei lässt sich nicht öffnen)";
    }
    void cannotOpen()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        Datei counter;
        QCOMPARE(counter.GetAnzahl(path), 0);
        QVERIFY(!counter.Lesen());
        Datei d;
        qint64 records = -1;
        QCOMPARE(readAll(d, path, &records), text);
        QCOMPARE(records, 0);
        QVERIFY(!d.Lesen());
    }

    // The reader takes the file in blocks of 64 KiB: line ends on the seam.
    void lineEndsAcrossBlocks_data()
    {
        QTest::addColumn<int>("firstLength");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF split") << 65535 << QByteArray("\r\n");
        QTest::newRow("CR at block end") << 65535 << QByteArray("\r");
        QTest::newRow("LF at block start") << 65536 << QByteArray("\n");
    }
    void lineEndsAcrossBlocks()
    {
        QFETCH(int, firstLength);
        QFETCH(QByteArray, lineEnd);
        const QString path = write("7;" + QByteArray(firstLength - 2, 'x') + lineEnd + "zwei;2" + lineEnd);
        Datei d;
        d.Oeffnen(path);
        QVERIFY(d.Lesen());
        QCOMPARE(d.Bereich, QStringLiteral("7"));
        QCOMPARE(d.ArtikelNr.size(), firstLength - 2);
        QVERIFY(d.Lesen());
        QCOMPARE(d.Bereich, QStringLiteral("zwei"));
        QVERIFY(!d.Lesen());
        QCOMPARE(Datei().GetAnzahl(path), 2);
    }

    // Each file is read to its end with its NULs and long fields intact, or
    // stops at its overlong line; counting agrees with reading.
    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("records");
        QTest::addColumn<QString>("lastArtikelNr");
        QTest::addColumn<QString>("error");
        const QByteArray mb10(10 << 20, 'x'), mb16(16 << 20, 'x');
        QTest::newRow("NUL bytes in a field") << QByteArray("A;1\r\nB;mit\0NUL", 14) << qint64(2)
                                              << QString::fromLatin1("mit\0NUL", 7) << QString();
        QTest::newRow("only NUL bytes") << QByteArray(100000, '\0') << qint64(1) << QString() << QString();
        QTest::newRow("10 MB field, last line") << "A;1\r\nB;" + mb10 << qint64(2) << QString::fromLatin1(mb10)
                                                << QString();
        QTest::newRow("10 MB line without a separator") << "A;1\r\n" + mb10 + "\r\nB;2" << qint64(3) << "2" << QString();
        QTest::newRow("16 MB line") << "A;" + mb16.left(mb16.size() - 2) << qint64(1)
                                    << QString::fromLatin1(mb16.left(mb16.size() - 2)) << QString();
        QTest::newRow("16 MB and one byte") << "A;1\r\n" + mb16 + "y\r\nB;2" << qint64(1) << "1"
                                            << "Geräte-E/A-Fehler (Datei „artikel.txt“, Zeile 2: die Zeile ist länger "
                                               "als 16 MB, die Datei kann nicht weiter gelesen werden)";
        QTest::newRow("1 MB of line ends, more than 16 bits count")
            << QByteArray(1 << 20, '\n') << qint64(1 << 20) << QString() << QString();
    }
    void hostileFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, records);
        QFETCH(QString, lastArtikelNr);
        QFETCH(QString, error);
        const QString path = write(bytes);
        bytes = QByteArray();
        Datei d;
        qint64 read = 0;
        QCOMPARE(readAll(d, path, &read), error);
        QCOMPARE(read, records);
        QVERIFY(d.ArtikelNr == lastArtikelNr);
        if (error.isEmpty())
            QCOMPARE(Datei().GetAnzahl(path), records);
        else
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Datei().GetAnzahl(path));
    }

    // Deleted while read, the open file is read to its end; cut shorter, the
    // reader stops with error 57 at the line where the file ended early.
    void changedWhileRead_data()
    {
        QTest::addColumn<qint64>("rest"); // bytes left by a cut; -1: deleted
        QTest::addColumn<qint64>("records");
        QTest::addColumn<QString>("error");
        const QString cut = QStringLiteral("Geräte-E/A-Fehler (Datei „artikel.txt“, Zeile %1: die Datei wurde beim Lesen "
                                           "gekürzt, die Datei kann nicht weiter gelesen werden)");
        QTest::newRow("deleted") << qint64(-1) << qint64(10000) << QString();
        // 16 bytes a record: a block holds 4096.
        QTest::newRow("cut within the second block") << qint64(100000) << qint64(6250) << cut.arg(6251);
        QTest::newRow("cut to nothing") << qint64(0) << qint64(4096) << cut.arg(4097);
    }
    void changedWhileRead()
    {
        QFETCH(qint64, rest);
        QFETCH(qint64, records);
        QFETCH(QString, error);
        QByteArray bytes;
        for (int i = 1; i <= 10000; ++i)
            bytes += QByteArray::number(i).rightJustified(5, '0') + ";Kurztext\r\n";
        const QString path = write(bytes);
        Datei d;
        d.Oeffnen(path);
        for (int i = 0; i < 100; ++i)
            QVERIFY(d.Lesen());
        QVERIFY(rest < 0 ? QFile::remove(path) : QFile::resize(path, rest));
        qint64 read = 100;
        QString text;
        try {
            while (d.Lesen())
                ++read;
        } catch (const RuntimeError &e) {
            text = e.text();
        }
        QCOMPARE(text, error);
        QCOMPARE(read, records);
    }

    void readErrorNamesTheLine_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("time");      // the first read there: the code page check; the second: Lesen
        QTest::addColumn<bool>("counting"); // GetAnzahl instead of Oeffnen and Lesen
        QTest::addColumn<int>("line");
        // An empty line, then lines of 8 bytes: the first block of 64 KiB ends
        // inside line 8193.
        QTest::newRow("checking the code page, first block") << qint64(0) << 1 << false << 1;
        QTest::newRow("checking the code page, second block") << qint64(65536) << 1 << false << 8193;
        QTest::newRow("reading, second block") << qint64(65536) << 2 << false << 8193;
        QTest::newRow("counting, second block") << qint64(65536) << 1 << true << 8193;
    }
    void readErrorNamesTheLine()
    {
        QFETCH(qint64, offset);
        QFETCH(int, time);
        QFETCH(bool, counting);
        QFETCH(int, line);
        const QString path = write("\n" + QByteArray("abc;def\n").repeated(10000), QStringLiteral("lesefehler.txt"));
        g_failPath = QFileInfo(path).canonicalFilePath().toLocal8Bit();
        g_failOffset = offset;
        g_failLeft = time;
        Datei d;
        QString text;
        try {
            if (counting)
                d.GetAnzahl(path);
            d.Oeffnen(path);
            while (d.Lesen()) {
            }
        } catch (const RuntimeError &e) {
            text = e.text();
        }
        g_failLeft = 0;
        QCOMPARE(text, QStringLiteral("Geräte-E/A-Fehler (Datei „lesefehler.txt“, Zeile %1: Lesefehler, die Datei kann "
                                      "nicht weiter gelesen werden)")
                           .arg(line));
    }
};

QTEST_GUILESS_MAIN(TestDatei)
#include "tst_datei.moc"
