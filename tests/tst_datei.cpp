// The article file reader: line ends, code pages, hostile files, and read
// errors that name the line where reading stopped.
#include "runs/Datei.h"
#include "platform/RuntimeError.h"

#include <QTemporaryDir>
#include <QtTest>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using tarvel::runs::Datei;
using tarvel::platform::RuntimeError;

namespace {

// A disk that gives up halfway: a read of the file g_failPath at 64 KiB
// fails with EIO, the g_failLeft-th time one is asked for.
QByteArray g_failPath;
int g_failLeft = 0;

} // namespace

extern "C" __attribute__((visibility("default"))) ssize_t read(int fd, void *buf, size_t n)
{
    static const auto next = reinterpret_cast<ssize_t (*)(int, void *, size_t)>(dlsym(RTLD_NEXT, "read"));
    if (g_failLeft > 0 && lseek(fd, 0, SEEK_CUR) == 65536) {
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
/// The eleven fields joined by ";", without the empty ones at the end.
QString fieldsOf(const Datei &d)
{
    QStringList out;
    for (int i = 0; i < Datei::FeldAnzahl; ++i)
        out << d.feld(i);
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out.join(u';');
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

private slots:
    // Only complete, shortest-form UTF-8 up to U+10FFFF makes a file UTF-8;
    // anything else is code page 1252 throughout. What cannot be opened is named.
    void readsRecords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("error"); // of opening it
        const auto row = [](const char *name, const char *file, const QStringList &records, bool utf8 = false) {
            QTest::newRow(name) << fixture(file) << records << utf8 << QString();
        };
        int n = 0;
        const auto bytes = [&](const char *name, const char *data, const QString &field, bool utf8) {
            QTest::newRow(name) << write(data, QString::number(++n)) << QStringList{field} << utf8 << QString();
        };
        const auto fails = [](const char *name, const QString &path, const QString &error) {
            QTest::newRow(name) << path << QStringList() << false << error.arg(path);
        };
        row("CR LF, CR, LF, none at the end", "gemischt.txt", {"A;1", "B;2", "C;3", "D;4"});
        row("empty line and line of blanks", "leerzeilen.txt", {"a", "", "", "b"});
        row("two line ends at the end", "zwei_zeilenenden_am_ende.txt", {"a;b", ""});
        row("3 and 12 fields", "felder_3_und_12.txt", {"1;2;3", "1;2;3;4;5;6;7;8;9;10;11"});
        row("blanks around ;, tabs stay", "blanks.txt", {"a ; b", "\ta;b\t"});
        row("DOS umlauts, 130 is a low quote", "dos_umlaute.txt", {"üäÄöÖÜß;\u201A;Müller;Straße"});
        row("code page 1252", "cp1252.txt", {"café;€ 5;ß"});
        row("UTF-8 with BOM", "utf8_bom.txt", {"Bär;1", "plain;2"}, true);
        row("empty file", "leer.txt", {});
        // U+00B0 (the first lead byte), U+07FF and U+0800 (two- and three-byte forms), U+D7FF, U+10FFFF.
        bytes("UTF-8 boundaries", "20 \xC2\xB0 \xDF\xBF\xE0\xA0\x80 \xED\x9F\xBF \xF4\x8F\xBF\xBF",
              "20 ° \u07FF\u0800 \uD7FF " + QString::fromUcs4(U"\U0010FFFF"), true);
        bytes("overlong two bytes", "\xC1\xBF;", "Á¿", false);
        bytes("overlong three bytes", "\xE0\x9F\xBF;", "àŸ¿", false);
        bytes("surrogate", "\xED\xA0\x80;", "í\u00A0€", false);
        bytes("beyond U+10FFFF", "\xF4\x90\x80\x80;", "ô\u0090€€", false);
        bytes("cut short at the end", "a\xC3", "aÃ", false);
        bytes("ä, then a DOS ä", "\xC3\xA4\x84", "Ã¤ä", false);
        bytes("ä, then 128, the first byte above ASCII", "\xC3\xA4\x80", "Ã¤€", false);
        bytes("byte order mark, then blanks", "\xEF\xBB\xBF  B\xC3\xA4r", "Bär", true);
        const QString socket = m_tmp.filePath("socket");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path);
        QVERIFY(::bind(::socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        fails("missing", fixture("gibt_es_nicht.txt"), "Datei nicht gefunden (Datei „%1“: die Datei ist nicht vorhanden)");
        fails("none chosen", {}, "Datei nicht gefunden (Datei „%1“: es ist keine Datei gewählt)");
        fails("folder", TARVEL_TEST_DATA, "Fehler beim Zugriff auf Pfad/Datei (Datei „%1“: das ist ein Ordner, keine Datei)");
        fails("socket", socket, "Fehler beim Zugriff auf Pfad/Datei (Datei „%1“: die Datei lässt sich nicht öffnen)");
    }
    void readsRecords()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, records);
        QFETCH(bool, utf8);
        QFETCH(QString, error);
        Datei d; // counts, then reads: one reader serves several files
        QCOMPARE(d.GetAnzahl(file), records.size());
        QString text;
        try {
            d.Oeffnen(file);
        } catch (const RuntimeError &e) {
            text = e.text();
        }
        QCOMPARE(text, error);
        QCOMPARE(d.istUtf8(), utf8);
        QStringList read;
        while (d.Lesen() && read.size() < 100)
            read << fieldsOf(d) + (d.zeile() == read.size() + 1 ? "" : " (Zeilennummer falsch)");
        QCOMPARE(read, records);
        QVERIFY(!d.Lesen());
        QCOMPARE(fieldsOf(d), records.value(records.size() - 1)); // a failed read leaves the fields alone
    }

    // Each file is read to its end (NULs, long fields, line ends on the seams of the 64 KiB blocks,
    // deleted while read), or stops with error 57 at the line where reading failed: a line over
    // 16 MB, a file cut shorter while read, a disk that fails.
    void readToTheEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("change"); // after record 100: "delete", "cut N"; "fail N": the N-th read at 64 KiB
        QTest::addColumn<qint64>("records");
        QTest::addColumn<QString>("lastArtikelNr");
        QTest::addColumn<QString>("error");
        const QByteArray mb10(10 << 20, 'x'), mb16(16 << 20, 'x'), nul("A;1\r\nB;mit\0NUL", 14);
        QByteArray fixed; // 16 bytes a record: a block of 64 KiB holds 4096
        for (int i = 1; i <= 10000; ++i)
            fixed += QByteArray::number(i).rightJustified(5, '0') + ";Kurztext\r\n";
        // An empty line, then lines of 8 bytes (CR LF counts once): the first block ends inside line 8193.
        const QByteArray eights = "\r\n" + QByteArray("abc;de\r\n").repeated(10000);
        const QString e57 = QStringLiteral("Geräte-E/A-Fehler (Datei „artikel.txt“, Zeile %1: %2, die Datei kann nicht "
                                           "weiter gelesen werden)");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &change, qint64 records,
                            const QString &last, const QString &error = {}) {
            QTest::newRow(name) << bytes << change << records << last << error;
        };
        const QByteArray seam = "7;" + QByteArray(65533, 'x'); // line ends on the seam of the first two blocks
        row("CR LF across blocks", seam + "\r\nzwei;2\r\n", "", 2, "2");
        row("CR at a block's end", seam + "\rzwei;2\r", "", 2, "2");
        row("LF at a block's start", seam + "x\nzwei;2\n", "", 2, "2");
        row("UTF-8 character across blocks", "7;" + QByteArray(65531, 'x') + "\n;\xC3\xA4\n", "", 2, "ä");
        row("NUL bytes in a field", nul, "", 2, QString::fromLatin1(nul.mid(7)));
        row("only NUL bytes", QByteArray(100000, '\0'), "", 1, "");
        row("10 MB line without a separator", "A;1\r\n" + mb10 + "\r\nB;2", "", 3, "2");
        row("16 MB line", "A;" + mb16.left(mb16.size() - 2), "", 1, QString::fromLatin1(mb16.left(mb16.size() - 2)));
        row("16 MB and one byte", "A;1\r\n" + mb16 + "y\r\nB;2", "", 1, "1", e57.arg(2).arg("die Zeile ist länger als 16 MB"));
        row("1 MB of line ends, a count beyond 16 bits", QByteArray(1 << 20, '\n'), "", 1 << 20, "");
        row("deleted", fixed, "delete", 10000, "Kurztext");
        row("cut within the second block", fixed, "cut 100000", 6250, "Kurztext",
            e57.arg(6251).arg("die Datei wurde beim Lesen gekürzt"));
        row("cut to nothing", fixed, "cut 0", 4096, "Kurztext", e57.arg(4097).arg("die Datei wurde beim Lesen gekürzt"));
        row("read fails in the code page check", eights, "fail 1", 0, "", e57.arg(8193).arg("Lesefehler"));
        row("read fails in reading", eights, "fail 2", 8192, "de", e57.arg(8193).arg("Lesefehler"));
    }
    void readToTheEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, change);
        QFETCH(qint64, records);
        QFETCH(QString, lastArtikelNr);
        QFETCH(QString, error);
        const QString path = write(bytes);
        g_failPath = QFileInfo(path).canonicalFilePath().toLocal8Bit();
        g_failLeft = change.startsWith("fail") ? change.mid(5).toInt() : 0;
        Datei d;
        qint64 read = 0;
        QString text;
        try {
            d.Oeffnen(path);
            for (; d.Lesen(); ++read) {
                if (read == 99 && change == "delete")
                    QVERIFY(QFile::remove(path));
                else if (read == 99 && change.startsWith("cut"))
                    QVERIFY(QFile::resize(path, change.mid(4).toLongLong()));
            }
        } catch (const RuntimeError &e) {
            text = e.text();
        }
        g_failLeft = 0;
        QCOMPARE(text, error);
        QCOMPARE(read, records);
        QVERIFY(d.ArtikelNr == lastArtikelNr);
        if (change.isEmpty() && error.isEmpty())
            QCOMPARE(Datei().GetAnzahl(path), records);
        else if (change.isEmpty())
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Datei().GetAnzahl(path));
    }
};

QTEST_GUILESS_MAIN(TestDatei)
#include "tst_datei.moc"
