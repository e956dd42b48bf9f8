// Fuzz target of the Code 128 encoder: any text, in code set B alone and as
// the shortest symbol with code set C. Either both refuse it with the error
// of its first character that cannot be carried (found here independently),
// or each symbol reads back as the text, carries the check symbol of its
// values (mod 103) and the stop; set B's has one symbol a character, and the
// shortest is never longer than set B's.

#include "barcode/Code128.h"
#include "platform/RuntimeError.h"

#include <cstdio>
#include <cstdlib>

using tarvel::barcode::Code128;
using tarvel::platform::RuntimeError;

namespace {

[[noreturn]] void fail(const char *what, long long a = 0, long long b = 0)
{
    std::fprintf(stderr, "Code128: %s (%lld, %lld)\n", what, a, b);
    std::abort();
}

// The first character below 32 (6), above 127 (9), or whose value times its position passes 32767 (6).
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

// The text a reader gets from the symbol values, following the code set changes; checks the
// start, check and stop symbols and each symbol's width on the way.
QString readBack(const Code128 &code, const QList<int> &values)
{
    if (values.size() < 3 || (values.front() != Code128::StartB && values.front() != Code128::StartC))
        fail("Startsymbol", values.value(0));
    if (values.back() != Code128::Stop)
        fail("Stoppsymbol", values.back());
    long long check = values.front();
    bool setC = values.front() == Code128::StartC;
    QString text;
    for (qsizetype i = 1; i < values.size() - 2; ++i) {
        const int v = values[i];
        check += static_cast<long long>(v) * i;
        if (v == (setC ? Code128::CodeB : Code128::CodeC))
            setC = !setC;
        else if (setC && v < 100)
            text += QString::asprintf("%02d", v);
        else if (!setC && v < 96)
            text += QChar(v + 32);
        else
            fail("Symbol, das im Zeichensatz nicht vorkommt", v, setC);
    }
    if (values[values.size() - 2] != check % 103)
        fail("Prüfsymbol", values[values.size() - 2], check % 103);
    int modules = 0;
    for (const int v : values)
        for (const QChar w : code.pattern(v))
            modules += w.unicode() - u'0';
    if (modules != 11 * (values.size() - 1) + 13)
        fail("Breite in Modulen", modules, values.size());
    return text;
}

} // namespace

// Input: the text, as Latin-1 bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Code128 code;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const int expected = expectedError(text);
    QList<int> b, c;
    for (const auto satz : {Code128::Zeichensatz::NurB, Code128::Zeichensatz::MitC}) {
        try {
            (satz == Code128::Zeichensatz::NurB ? b : c) = code.symbolValues(text, satz);
            if (expected)
                fail("Text angenommen, der nicht in den Barcode passt", expected);
        } catch (const RuntimeError &e) {
            if (e.number() != expected)
                fail("falscher Fehler", e.number(), expected);
        }
    }
    if (expected)
        return 0;
    if (b.size() != text.size() + 3 || b.front() != Code128::StartB)
        fail("Zeichensatz B: nicht ein Symbol je Zeichen", b.size(), text.size());
    if (readBack(code, b) != text || readBack(code, c) != text)
        fail("Symbol liest sich anders als der Text");
    if (c.size() > b.size())
        fail("kürzestes Symbol länger als Zeichensatz B", c.size(), b.size());
    if (code.moduleCount(text, Code128::Zeichensatz::MitC) != 11 * (c.size() - 1) + 13)
        fail("moduleCount", code.moduleCount(text, Code128::Zeichensatz::MitC), c.size());
    return 0;
}
