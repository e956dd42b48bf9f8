// Fuzz target of the Code 128 encoder and its drawing with Drucke on the
// recording printer. Any text, bar width, height, resolution and start point:
// either the barcode is refused with error 6 or 9 before its first bar, for
// the first character that cannot be carried, in either code set, or its symbols
// and bars are exactly those of code set B with the check symbol mod 103. The
// shortest symbol with code set C reads back as the text, has the fewest symbols
// any choice of sets B and C can give, and is set B's where that is as short.

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

using tarvel::barcode::Code128;
using tarvel::platform::Printer;
using tarvel::platform::RecordedOp;
using tarvel::platform::RecordingBackend;
using tarvel::platform::RuntimeError;

namespace {

[[noreturn]] void fail(const char *what, long long a = 0, long long b = 0)
{
    std::fprintf(stderr, "Code128: %s (%lld, %lld)\n", what, a, b);
    std::abort();
}

// The error a text must raise (0 for none), found independently of the encoder:
// the first character below 32 (6), above 127 (9), or whose value times its
// position exceeds 32767 (6).
int expectedError(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = text[i].unicode();
        if (code < 32)
            return RuntimeError::Overflow;
        if (code > 127)
            return RuntimeError::SubscriptOutOfRange;
        if ((code - 32) * (i + 1) > 32767)
            return RuntimeError::Overflow;
    }
    return 0;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Fewest data symbols (code set changes included) of any encoding in sets B and C:
// cost[i][s] encodes text[i..] in set s (0 = B, 1 = C) at i; the start symbol picks the set.
qsizetype fewestSymbols(const QString &text)
{
    const qsizetype n = text.size(), never = 4 * n + 4;
    std::vector<std::array<qsizetype, 2>> cost(n + 2, {0, 0});
    for (qsizetype i = n - 1; i >= 0; --i) {
        const qsizetype character = 1 + cost[i + 1][0];
        const qsizetype pair = i + 1 < n && isDigit(text[i]) && isDigit(text[i + 1]) ? 1 + cost[i + 2][1] : never;
        cost[i] = {std::min(character, 1 + pair), std::min(pair, 1 + character)};
    }
    return std::min(cost[0][0], cost[0][1]);
}

// The text a reader gets from start and data symbols \a values, following the code set changes.
QString readBack(const QList<int> &values)
{
    QString text;
    if (values.front() != Code128::StartB && values.front() != Code128::StartC)
        fail("Startsymbol", values.front());
    bool setC = values.front() == Code128::StartC;
    for (qsizetype i = 1; i < values.size() - 2; ++i) {
        const int v = values[i];
        if (v == (setC ? Code128::CodeB : Code128::CodeC))
            setC = !setC;
        else if (setC && v < 100)
            text += QString::asprintf("%02d", v);
        else if (!setC && v < 96)
            text += QChar(v + 32);
        else
            fail("Symbol, das im Zeichensatz nicht vorkommt", v, setC);
    }
    return text;
}

template<typename T>
T take(const uint8_t *&data, size_t &size)
{
    T v{};
    if (size >= sizeof(T)) {
        std::memcpy(&v, data, sizeof(T));
        data += sizeof(T);
        size -= sizeof(T);
    }
    return v;
}

} // namespace

// Input: resolution choice, bar width, text kind (1 byte each), height (16 bit),
// start x and y (32 bit each), then the text: Latin-1 bytes, or UTF-16 when
// bit 0 of the text kind is set.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const double Dpis[] = {72.0, 96.0, 203.0, 300.0, 600.0, 1200.0};
    const auto dpi = Dpis[take<uint8_t>(data, size) % 6];
    const qint16 breite = qint16(take<uint8_t>(data, size) % 12) - 1;
    const bool utf16 = take<uint8_t>(data, size) & 1;
    const qint16 hoehe = take<qint16>(data, size);
    const qint32 x0 = take<qint32>(data, size);
    const qint32 y0 = take<qint32>(data, size);
    const QString text = utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2))
                               : QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));

    Code128 code;
    auto backend = std::make_unique<RecordingBackend>(dpi);
    RecordingBackend *rec = backend.get();
    Printer printer(std::move(backend));
    try {
        code.InitBreite(printer, breite);
    } catch (const RuntimeError &e) {
        if (e.number() != RuntimeError::InvalidArgument || breite >= 0)
            fail("InitBreite", e.number(), breite);
        return 0;
    }
    if (breite < 0)
        fail("negative Strichbreite angenommen", breite);
    printer.setCurrentX(x0);
    printer.setCurrentY(y0);

    const int expected = expectedError(text);
    QList<int> values;
    try {
        values = code.symbolValues(text);
        if (expected)
            fail("Text angenommen, der nicht in den Barcode passt", expected);
    } catch (const RuntimeError &e) {
        if (e.number() != expected)
            fail("falscher Fehler beim Kodieren", e.number(), expected);
        for (int room : {-1, 0}) {
            try {
                if (room < 0)
                    code.Drucke(printer, text, hoehe);
                else
                    code.Drucke(printer, text, hoehe, room);
                fail("Drucke nimmt an, was symbolValues ablehnt");
            } catch (const RuntimeError &d) {
                if (d.number() != expected)
                    fail("Drucke meldet anderen Fehler", d.number(), expected);
            }
        }
        if (!rec->ops().isEmpty())
            fail("Striche trotz Fehler gezeichnet", rec->ops().size());
        return 0;
    }

    // Symbols: start B, one per character (code - 32), check, stop.
    if (values.size() != text.size() + 3 || values.front() != Code128::StartB || values.back() != Code128::Stop)
        fail("Symbolfolge", values.size(), text.size());
    qint64 check = Code128::StartB;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (values[i + 1] != text[i].unicode() - 32)
            fail("Symbolwert", i, values[i + 1]);
        check += qint64(values[i + 1]) * (i + 1);
    }
    if (values[values.size() - 2] != check % 103)
        fail("Prüfzeichen", values[values.size() - 2], check % 103);

    const QList<int> shortest = code.symbolValues(text, Code128::Zeichensatz::MitC);
    if (readBack(shortest) != text)
        fail("kürzestes Symbol liest sich anders", shortest.size());
    qint64 sum = shortest.front();
    for (qsizetype i = 1; i < shortest.size() - 2; ++i)
        sum += qint64(shortest[i]) * i;
    if (shortest[shortest.size() - 2] != sum % 103 || shortest.back() != Code128::Stop)
        fail("Prüfzeichen oder Stopp des kürzesten Symbols", shortest[shortest.size() - 2], sum % 103);
    if (shortest.size() - 3 != fewestSymbols(text))
        fail("Symbol nicht das kürzeste", shortest.size() - 3, fewestSymbols(text));
    if (shortest.size() == values.size() && shortest != values)
        fail("Zeichensatz C ohne Ersparnis");

    // Bars: one vertical line per bar module, left to right, all Hoehe high.
    qint64 barModules = 0, allModules = 0;
    for (int v : values) {
        const QString p = code.pattern(v);
        for (qsizetype k = 0; k < p.size(); ++k) {
            const int w = p[k].unicode() - u'0';
            allModules += w;
            if (k % 2 == 0)
                barModules += w;
        }
    }
    if (allModules != 11 * (text.size() + 2) + 13)
        fail("Breite in Modulen", allModules);
    const double width = double(allModules) * code.moduleWidth();
    const bool fits = double(x0) + width + allModules < double(std::numeric_limits<qint32>::max());
    try {
        code.Drucke(printer, text, hoehe);
    } catch (const RuntimeError &e) {
        if (e.number() != RuntimeError::Overflow || fits)
            fail("Fehler beim Zeichnen", e.number());
        return 0;
    }
    const qint64 linesPerModule = printer.DrawWidth() > 1 ? 1 : code.DrawWidth();
    qint64 lines = 0;
    double lastX = -std::numeric_limits<double>::infinity();
    for (const RecordedOp &op : rec->ops()) {
        if (op.kind == RecordedOp::BeginJob)
            continue;
        if (op.kind != RecordedOp::Line || !op.isBar())
            fail("etwas anderes als ein senkrechter Strich", op.kind);
        if (op.y != y0 || op.y2 != double(y0) + hoehe)
            fail("Strichhöhe", qint64(op.y2 - op.y), hoehe);
        if (!(op.x > lastX) || op.x < x0 || op.x > double(x0) + width + allModules)
            fail("Strich außerhalb oder nicht von links nach rechts", qint64(op.x), x0);
        lastX = op.x;
        ++lines;
    }
    if (lines != barModules * linesPerModule)
        fail("Anzahl der Striche", lines, barModules * linesPerModule);
    return 0;
}
