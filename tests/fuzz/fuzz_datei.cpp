// Fuzz target of the article file reader Datei: any bytes as an article file.
// Counting and reading agree with the line ends of the bytes; fields never hold
// a separator or a line end; ASCII lines split into exactly their fields.

#include "runs/Datei.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using tarvel::runs::Datei;
using tarvel::platform::RuntimeError;

namespace {

QString g_path;

[[noreturn]] void fail(const char *what, long long a = 0, long long b = 0)
{
    std::fprintf(stderr, "Datei: %s (%lld, %lld)\n", what, a, b);
    std::abort();
}

// The lines of a file: CR LF, CR and LF each end one; a last line needs no end.
QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype i = start; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            lines << bytes.mid(start, i - start);
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < bytes.size())
        lines << bytes.mid(start);
    return lines;
}

// The eleven fields of an ASCII line: blanks stripped at both ends, split at
// every ";", missing fields empty, fields after the eleventh dropped.
QStringList asciiFields(QByteArray line)
{
    while (line.startsWith(' '))
        line.remove(0, 1);
    while (line.endsWith(' '))
        line.chop(1);
    QStringList fields = QString::fromLatin1(line).split(u';');
    fields.resize(Datei::FeldAnzahl);
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

// Input: one flag byte, one shift byte, then the file. With the flag 0xB1 the
// file is preceded by a first line of nearly 64 KiB, so that the rest
// straddles the reader's block boundary at 65536 bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    QByteArray bytes = data[0] == 0xB1 ? QByteArray(65536 - 1 - data[1], 'A') : QByteArray();
    bytes.append(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    QFile f(g_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("Datei nicht geschrieben");
    f.close();
    const QList<QByteArray> lines = linesOf(bytes);
    try {
        Datei leser;
        if (leser.GetAnzahl(g_path) != lines.size())
            fail("GetAnzahl zählt anders als die Zeilenenden", leser.GetAnzahl(g_path), lines.size());
        leser.Oeffnen(g_path);
        qint64 n = 0;
        while (leser.Lesen()) {
            if (++n > lines.size() || leser.zeile() != n)
                fail("mehr Sätze als Zeilen oder Zeilennummer falsch", n, leser.zeile());
            const QByteArray &line = lines[n - 1];
            const bool ascii = std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 128; });
            const QStringList expected = asciiFields(line);
            for (int i = 0; i < Datei::FeldAnzahl; ++i) {
                const QString &field = leser.feld(i);
                if (field.contains(u';') || field.contains(u'\r') || field.contains(u'\n'))
                    fail("Trennzeichen oder Zeilenende im Feld", n, i);
                if (ascii && field != expected[i])
                    fail("Feld einer ASCII-Zeile", n, i);
            }
        }
        if (n != lines.size())
            fail("Lesen liest anders viele Sätze als Zeilen", n, lines.size());
        const QString letzter = leser.MatchCode;
        if (leser.Lesen() || leser.MatchCode != letzter)
            fail("Lesen nach dem Ende");
    } catch (const RuntimeError &e) {
        fail(qPrintable(e.message()));
    }
    return 0;
}
