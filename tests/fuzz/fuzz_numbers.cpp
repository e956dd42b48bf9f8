// Fuzz target of the number conversions: the leading-number parse of typed
// text, the strict text conversions, the rounding conversions to 16 and 32
// bits (halves to even, error 6 beyond the range, never a wrap-around) and the
// checked 32-bit arithmetic.

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

// Runs \a f; the number of the run-time error it raises, or 0 with its value.
template<typename F>
auto attempt(F f) -> std::pair<int, std::optional<decltype(f())>>
{
    try {
        return {0, f()};
    } catch (const RuntimeError &e) {
        return {e.number(), std::nullopt};
    }
}

// A whole-number conversion of \a v to T: the nearest whole number, halves to
// the even one, or error 6 when that lies outside T or v is not finite.
template<typename T>
void checkRounding(double v, const std::pair<int, std::optional<T>> &got)
{
    if (!std::isfinite(v)) {
        if (got.first != RuntimeError::Overflow)
            fail("nicht endlicher Wert ohne Überlauf", v);
        return;
    }
    const long double fl = std::floor((long double)v);
    const long double frac = (long double)v - fl;
    long double want = frac < 0.5L ? fl : frac > 0.5L ? fl + 1 : (std::fmod(fl, 2.0L) == 0 ? fl : fl + 1);
    const bool inRange = want >= std::numeric_limits<T>::min() && want <= std::numeric_limits<T>::max();
    if (!inRange) {
        if (got.first != RuntimeError::Overflow)
            fail("Wert außerhalb des Bereichs ohne Überlauf", v, double(sizeof(T)));
        return;
    }
    if (got.first != 0)
        fail("Wert im Bereich mit Fehler", v, got.first);
    if ((long double)*got.second != want)
        fail("falsch gerundet", v, double(*got.second));
}

void checkLeading(const QString &text)
{
    const auto base = attempt([&] { return Numbers::leadingNumber(text); });
    if (base.first != 0 && base.first != RuntimeError::Overflow)
        fail("leadingNumber: unerwarteter Fehler", base.first);
    if (base.second && !std::isfinite(*base.second))
        fail("leadingNumber: nicht endlich", *base.second);
    // Nothing after the number changes it, and neither do blanks before it.
    const auto tail = attempt([&] { return Numbers::leadingNumber(text + QStringLiteral("x;")); });
    const auto lead = attempt([&] { return Numbers::leadingNumber(QStringLiteral(" \t ") + text); });
    if (tail != base)
        fail("leadingNumber hängt von Folgendem ab", base.second.value_or(-1), tail.second.value_or(-1));
    if (lead != base)
        fail("leadingNumber hängt von Leerzeichen davor ab", base.second.value_or(-1), lead.second.value_or(-1));
    // A run of up to 15 digits standing alone is that whole number.
    qsizetype n = 0;
    while (n < text.size() && n < 16 && text[n] >= u'0' && text[n] <= u'9')
        ++n;
    if (n > 0 && n <= 15 && (n == text.size() || QStringView(u"0123456789.eE \t").indexOf(text[n]) < 0)) {
        const double whole = QStringView(text).left(n).toString().toDouble();
        if (!base.second || *base.second != whole)
            fail("leadingNumber einer Ziffernfolge", whole, base.second.value_or(-1));
    }
    if (base.second) {
        checkRounding<qint16>(*base.second, attempt([&] { return Numbers::toInt16(*base.second); }));
        checkRounding<qint32>(*base.second, attempt([&] { return Numbers::toInt32(*base.second); }));
    }
}

void checkStrict(const QString &text)
{
    const auto w32 = attempt([&] { return Numbers::toInt32(text); });
    const auto w16 = attempt([&] { return Numbers::toInt16(text); });
    for (int e : {w32.first, w16.first})
        if (e != 0 && e != RuntimeError::Overflow && e != RuntimeError::TypeMismatch)
            fail("strikte Umwandlung: unerwarteter Fehler", e);
    if (w32.first == RuntimeError::TypeMismatch && w16.first != RuntimeError::TypeMismatch)
        fail("16 und 32 Bit sehen verschiedene Zahlen", w16.first);
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
    const QString latin1 = QString::fromLatin1(chars, qsizetype(size));
    const QString utf8 = QString::fromUtf8(chars, qsizetype(size));
    checkLeading(latin1);
    checkLeading(utf8);
    checkStrict(latin1);
    checkStrict(utf8);

    // The first 8 bytes as a double (any bit pattern: NaN, infinities,
    // subnormals), and as two 32-bit numbers for the checked arithmetic.
    if (size >= 8) {
        double v;
        std::memcpy(&v, data, 8);
        checkRounding<qint16>(v, attempt([&] { return Numbers::toInt16(v); }));
        checkRounding<qint32>(v, attempt([&] { return Numbers::toInt32(v); }));
        if (std::isfinite(v)) {
            const QString shown = Numbers::numberText(v);
            bool ok = false;
            const double back = QLocale().toDouble(shown, &ok);
            if (!ok || back != v)
                fail("numberText liest sich nicht zurück", v, back);
        }
        qint32 a, b;
        std::memcpy(&a, data, 4);
        std::memcpy(&b, data + 4, 4);
        const qint64 sum = qint64(a) + b, product = qint64(a) * b;
        const auto add = attempt([&] { return Numbers::add32(a, b); });
        const auto mul = attempt([&] { return Numbers::mul32(a, b); });
        const auto fits = [](qint64 r) { return r >= INT32_MIN && r <= INT32_MAX; };
        if (fits(sum) ? (!add.second || *add.second != sum) : add.first != RuntimeError::Overflow)
            fail("add32", a, b);
        if (fits(product) ? (!mul.second || *mul.second != product) : mul.first != RuntimeError::Overflow)
            fail("mul32", a, b);
    }
    return 0;
}
