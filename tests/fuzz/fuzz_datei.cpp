// Fuzz target of the article file reader Datei: any bytes as an article file.
// Counting and reading agree with the line ends of the bytes; fields never hold
// a separator or a line end; ASCII lines split into exactly their fields.
// A broken check ends in qFatal, which aborts: libFuzzer keeps the input.

#include "runs/Datei.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using tarvel::runs::Datei;

// Input: one flag byte, one shift byte, then the file. With the flag 0xB1 the
// file is preceded by a first line of nearly 64 KiB, so that the rest
// straddles the reader's block boundary at 65536 bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    QByteArray bytes = data[0] == 0xB1 ? QByteArray(65536 - 1 - data[1], 'A') : QByteArray();
    bytes.append(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tarvel-fuzz-datei-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("artikel.txt"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("Datei nicht geschrieben");
    f.close();
    // The lines after the byte order mark: CR LF, CR and LF each end one; a last line needs no end.
    QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QList<QByteArray> lines = text.replace("\r\n", "\n").replace('\r', '\n').split('\n');
    if (lines.last().isEmpty()) // what follows the last line end
        lines.removeLast();
    // An ASCII line's eleven fields: blanks stripped at both ends (tabs stay), split at every ";".
    static const QRegularExpression outerBlanks(QStringLiteral("^ +| +$"));
    try {
        Datei leser;
        if (const qint64 anzahl = leser.GetAnzahl(path); anzahl != lines.size())
            qFatal("GetAnzahl zählt %lld Zeilen statt %lld", anzahl, qint64(lines.size()));
        leser.Oeffnen(path);
        qint64 n = 0;
        while (leser.Lesen()) {
            if (++n > lines.size() || leser.zeile() != n)
                qFatal("Satz %lld hat die Zeilennummer %lld, die Datei %lld Zeilen", n, leser.zeile(), qint64(lines.size()));
            const QByteArray &line = lines[n - 1];
            const bool ascii = std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 128; });
            QStringList expected = QString::fromLatin1(line).remove(outerBlanks).split(u';');
            expected.resize(Datei::FeldAnzahl);
            for (int i = 0; i < Datei::FeldAnzahl; ++i) {
                const QString &field = leser.feld(i);
                if (field.contains(u';') || field.contains(u'\r') || field.contains(u'\n'))
                    qFatal("Trennzeichen oder Zeilenende in Satz %lld, Feld %d", n, i);
                if (ascii && field != expected[i])
                    qFatal("Satz %lld, Feld %d einer ASCII-Zeile ist „%s“ statt „%s“", n, i, qPrintable(field),
                           qPrintable(expected[i]));
            }
        }
        if (n != lines.size())
            qFatal("Lesen liest %lld Sätze aus %lld Zeilen", n, qint64(lines.size()));
        const QString letzter = leser.MatchCode;
        if (leser.Lesen() || leser.MatchCode != letzter)
            qFatal("Lesen nach dem Ende");
    } catch (const tarvel::platform::RuntimeError &e) {
        qFatal("%s", qPrintable(e.message()));
    }
    return 0;
}
