// Fuzz target of the number conversions: the leading-number parse of typed
// text, the strict text conversions, the rounding conversions to 16 and 32
// bits (halves to even, error 6 beyond the range, never a wrap-around) and the
// checked 32-bit arithmetic, each against a plain long-double reckoning.

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

using namespace tarvel::platform;

namespace {

[[noreturn]] void fail(const char *what, double a = 0, double b = 0)
{
    std::fprintf(stderr, "Numbers: %s (%.17g, %.17g)\n", what, a, b);
    std::abort();
}

// The run-time error number \a f raises (0 for none), and its value.
template<typename F>
auto attempt(F f) -> std::pair<int, std::optional<decltype(f())>>
{
    try {
        return {0, f()};
    } catch (const RuntimeError &e) {
        return {e.number(), std::nullopt};
    }
}

// \a v converted to T: the nearest whole number, halves to the even one, or
// error 6 when that lies outside T or v is not finite.
template<typename T>
void checkRounding(double v)
{
    const auto got = attempt([&] { return sizeof(T) == 2 ? Numbers::toInt16(v) : Numbers::toInt32(v); });
    const long double fl = std::floor((long double)v), frac = (long double)v - fl;
    const long double want = frac < 0.5L ? fl : frac > 0.5L ? fl + 1 : (std::fmod(fl, 2.0L) == 0 ? fl : fl + 1);
    if (!std::isfinite(v) || want < std::numeric_limits<T>::min() || want > std::numeric_limits<T>::max()) {
        if (got.first != RuntimeError::Overflow)
            fail("Wert außerhalb des Bereichs ohne Überlauf", v, double(sizeof(T)));
    } else if (got.first != 0 || (long double)*got.second != want) {
        fail("falsch gerundet", v, got.second.value_or(-1));
    }
}

void checkText(const QString &text)
{
    const auto base = attempt([&] { return Numbers::leadingNumber(text); });
    if (base.first != 0 && base.first != RuntimeError::Overflow)
        fail("leadingNumber: unerwarteter Fehler", base.first);
    // Nothing after the number changes it, and neither do blanks before it.
    if (attempt([&] { return Numbers::leadingNumber(text + QStringLiteral("x;")); }) != base
        || attempt([&] { return Numbers::leadingNumber(QStringLiteral(" \t ") + text); }) != base)
        fail("leadingNumber hängt vom Umfeld ab", base.second.value_or(-1));
    // A run of up to 15 digits standing alone is that whole number.
    qsizetype n = 0;
    while (n < text.size() && n < 16 && text[n] >= u'0' && text[n] <= u'9')
        ++n;
    if (n > 0 && n <= 15 && (n == text.size() || QStringView(u"0123456789.eE \t").indexOf(text[n]) < 0)
        && base.second != QStringView(text).left(n).toDouble())
        fail("leadingNumber einer Ziffernfolge", base.second.value_or(-1));
    if (base.second) {
        checkRounding<qint16>(*base.second);
        checkRounding<qint32>(*base.second);
    }
    const auto w32 = attempt([&] { return Numbers::toInt32(text); });
    const auto w16 = attempt([&] { return Numbers::toInt16(text); });
    for (int e : {w32.first, w16.first})
        if (e != 0 && e != RuntimeError::Overflow && e != RuntimeError::TypeMismatch)
            fail("strikte Umwandlung: unerwarteter Fehler", e);
    if ((w32.first == RuntimeError::TypeMismatch) != (w16.first == RuntimeError::TypeMismatch))
        fail("16 und 32 Bit sehen verschiedene Zahlen", w16.first, w32.first);
    if (w16.second && (!w32.second || *w32.second != *w16.second))
        fail("16 und 32 Bit runden verschieden", *w16.second, w32.second.value_or(-1));
    if (w32.second && text.trimmed().isEmpty())
        fail("leerer Text als Zahl");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "," as the decimal separator
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *chars = reinterpret_cast<const char *>(data);
    checkText(QString::fromLatin1(chars, qsizetype(size)));
    checkText(QString::fromUtf8(chars, qsizetype(size)));
    if (size < 8)
        return 0;
    // The first 8 bytes as a double (any bit pattern: NaN, infinities,
    // subnormals), and as two 32-bit numbers for the checked arithmetic.
    double v;
    std::memcpy(&v, data, 8);
    checkRounding<qint16>(v);
    checkRounding<qint32>(v);
    bool ok = false;
    if (std::isfinite(v) && QLocale().toDouble(Numbers::numberText(v), &ok) != v)
        fail("numberText liest sich nicht zurück", v);
    qint32 a, b;
    std::memcpy(&a, data, 4);
    std::memcpy(&b, data + 4, 4);
    const auto fits = [](qint64 r) { return r >= INT32_MIN && r <= INT32_MAX; };
    for (const auto &[got, want] : {std::pair{attempt([&] { return Numbers::add32(a, b); }), qint64(a) + b},
                                    std::pair{attempt([&] { return Numbers::mul32(a, b); }), qint64(a) * b}})
        if (fits(want) ? got.second != want : got.first != RuntimeError::Overflow)
            fail("add32/mul32", a, b);
    return 0;
}
