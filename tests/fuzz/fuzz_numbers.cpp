// Fuzz target of the number reading: the leading-number parse of typed text
// against a plain model (blanks and tabs skipped, a sign, digits with one "."
// among them, an exponent only with digits, read by strtod), the rounding to
// 16 and 32 bits (halves to even, error 6 outside, never a wrap-around) and the
// checked 32-bit sums and products, against long-double and 64-bit reckoning.

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

using namespace tarvel::platform;

namespace {

[[noreturn]] void fail(const char *what, double a = 0, double b = 0)
{
    std::fprintf(stderr, "Numbers: %s (%.17g, %.17g)\n", what, a, b);
    std::abort();
}

// The value \a f returns, or nothing when it raises error 6; any other error is a finding.
template<typename F>
auto attempt(F f) -> std::optional<decltype(f())>
{
    try {
        return f();
    } catch (const RuntimeError &e) {
        if (e.number() != RuntimeError::Overflow)
            fail("Fehler außer 6", e.number());
        return std::nullopt;
    }
}

// The model of the leading-number parse: nothing when the number is too large for a double.
std::optional<double> modelNumber(const QString &text)
{
    std::string n;
    qsizetype i = 0;
    const auto blank = [&](qsizetype k) { return k < text.size() && (text[k] == u' ' || text[k] == u'\t'); };
    while (blank(i))
        ++i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        n += char(text[i++].unicode());
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (blank(i))
            continue;
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c != u'.' || point)
            break;
        point = point || c == u'.';
        n += char(c);
    }
    if (!digit)
        return 0.0;
    if (i + 1 < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::string e = "e";
        qsizetype j = i + 1;
        if (text[j] == u'-' || text[j] == u'+')
            e += char(text[j++].unicode());
        const auto before = e.size();
        while (j < text.size() && text[j] >= u'0' && text[j] <= u'9')
            e += char(text[j++].unicode());
        if (e.size() > before)
            n += e;
    }
    const double v = std::strtod(n.c_str(), nullptr);
    if (std::isinf(v))
        return std::nullopt;
    return v;
}

template<typename T>
void checkRounding(double v)
{
    const auto got = attempt([&] { return sizeof(T) == 2 ? Numbers::toInt16(v) : Numbers::toInt32(v); });
    const long double fl = std::floor((long double)v), frac = (long double)v - fl;
    const long double want = frac < 0.5L ? fl : frac > 0.5L ? fl + 1 : (std::fmod(fl, 2.0L) == 0 ? fl : fl + 1);
    const bool fits = std::isfinite(v) && want >= std::numeric_limits<T>::min() && want <= std::numeric_limits<T>::max();
    if (fits != got.has_value() || (fits && (long double)*got != want))
        fail("falsch gerundet", v, got.value_or(-1));
}

} // namespace

// Input: the text (Latin-1); its first 8 bytes are also a double and two 32-bit numbers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto got = attempt([&] { return Numbers::leadingNumber(text); });
    const auto want = modelNumber(text);
    if (got.has_value() != want.has_value() || (got && std::memcmp(&*got, &*want, sizeof(double)) != 0))
        fail("leadingNumber weicht vom Modell ab", got.value_or(-1), want.value_or(-1));
    if (got) {
        checkRounding<qint16>(*got);
        checkRounding<qint32>(*got);
    }
    if (size < 8)
        return 0;
    double v;
    std::memcpy(&v, data, 8);
    checkRounding<qint16>(v);
    checkRounding<qint32>(v);
    qint32 a, b;
    std::memcpy(&a, data, 4);
    std::memcpy(&b, data + 4, 4);
    const auto fits = [](qint64 r) { return r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max(); };
    for (const auto &[result, exact] : {std::pair{attempt([&] { return Numbers::add32(a, b); }), qint64(a) + b},
                                        std::pair{attempt([&] { return Numbers::mul32(a, b); }), qint64(a) * b}})
        if (fits(exact) ? result != exact : result.has_value())
            fail("add32/mul32", a, b);
    return 0;
}
