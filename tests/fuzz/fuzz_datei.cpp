// Fuzz target of the article file reader Datei: any bytes as an article file.
// The counting reader, the record reader and the line structure of the bytes
// must agree; fields never hold a separator or a line end; ASCII lines split
// into exactly the fields their text gives.

#include "runs/Datei.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <vector>

using tarvel::runs::Datei;
using tarvel::platform::RuntimeError;

namespace {

QString g_path;
constexpr uint8_t BlockFlag = 0xB1;

[[noreturn]] void fail(const char *what, long long a = 0, long long b = 0)
{
    std::fprintf(stderr, "Datei: %s (%lld, %lld)\n", what, a, b);
    std::abort();
}

// The lines of a file: CR LF, CR and LF each end one; a last line needs no end.
std::vector<QByteArray> linesOf(const QByteArray &bytes)
{
    std::vector<QByteArray> lines;
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype i = start;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.mid(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size())
        lines.push_back(bytes.mid(start));
    return lines;
}

bool isAscii(const QByteArray &line)
{
    for (char c : line)
        if (static_cast<unsigned char>(c) > 127)
            return false;
    return true;
}

// The eleven fields of an ASCII line: blanks stripped at both ends, split at
// every ";", missing fields empty, fields after the eleventh dropped.
QStringList asciiFields(const QByteArray &line)
{
    QByteArray t = line;
    while (!t.isEmpty() && t.front() == ' ')
        t.remove(0, 1);
    while (!t.isEmpty() && t.back() == ' ')
        t.chop(1);
    QStringList fields;
    qsizetype from = 0;
    for (int i = 0; i < Datei::FeldAnzahl; ++i) {
        const qsizetype semi = t.indexOf(';', from);
        if (from > t.size()) {
            fields << QString();
        } else if (semi < 0) {
            fields << QString::fromLatin1(t.mid(from));
            from = t.size() + 1;
        } else {
            fields << QString::fromLatin1(t.mid(from, semi - from));
            from = semi + 1;
        }
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tarvel-fuzz-datei-XXXXXX"));
    if (!dir.isValid())
        fail("kein temporärer Ordner");
    g_path = dir.filePath(QStringLiteral("artikel.txt"));
    return 0;
}

// Input: one flag byte, one shift byte, then the file. With the flag BlockFlag
// the file is preceded by a first line of nearly 64 KiB, so that the rest
// straddles the reader's block boundary at 65536 bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    QByteArray bytes;
    if (data[0] == BlockFlag)
        bytes = QByteArray(65536 - 1 - data[1], 'A');
    bytes.append(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    {
        QFile f(g_path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            fail("Datei nicht geschrieben");
    }
    const std::vector<QByteArray> lines = linesOf(bytes);

    try {
        Datei zaehler;
        const qint64 anzahl = zaehler.GetAnzahl(g_path);
        if (anzahl != qint64(lines.size()))
            fail("GetAnzahl zählt anders als die Zeilenenden", anzahl, qint64(lines.size()));

        Datei leser;
        leser.Oeffnen(g_path);
        qint64 n = 0;
        while (leser.Lesen()) {
            if (n >= qint64(lines.size()))
                fail("mehr Sätze als Zeilen", n);
            ++n;
            if (leser.zeile() != n)
                fail("Zeilennummer", leser.zeile(), n);
            for (int i = 0; i < Datei::FeldAnzahl; ++i) {
                const QString &f = leser.feld(i);
                if (f.contains(u';') || f.contains(u'\r') || f.contains(u'\n'))
                    fail("Trennzeichen oder Zeilenende im Feld", n, i);
            }
            const QByteArray &line = lines[size_t(n - 1)];
            if (isAscii(line)) {
                const QStringList expected = asciiFields(line);
                for (int i = 0; i < Datei::FeldAnzahl; ++i)
                    if (leser.feld(i) != expected[i])
                        fail("Feld einer ASCII-Zeile", n, i);
            }
        }
        if (n != anzahl)
            fail("Lesen liest anders viele Sätze als GetAnzahl zählt", n, anzahl);
        const QString letzter = leser.MatchCode;
        if (leser.Lesen() || leser.MatchCode != letzter)
            fail("Lesen nach dem Ende");
    } catch (const RuntimeError &e) {
        fail(qPrintable(e.message()));
    }
    return 0;
}
