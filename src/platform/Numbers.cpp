#include "platform/Numbers.h"

#include "platform/RuntimeError.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace tarvel::platform::Numbers {

double leadingNumber(QStringView text)
{
    QString digits;
    digits.reserve(text.size());
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        digits += text[i++];
        skipBlanks();
    }
    bool anyDigit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t')
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            anyDigit = true;
        } else if (c == u'.' && !point) {
            digits += c;
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0.0;
    // An exponent counts only when digits follow it ("3e" is 3).
    if (i + 1 < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            exponent += text[j++];
        bool expDigit = false;
        while (j < text.size() && text[j].isDigit() && text[j].unicode() < 128) {
            exponent += text[j++];
            expDigit = true;
        }
        if (expDigit)
            digits += exponent;
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    // Too small for a double ("1e-400") is 0, with its sign; too large is an overflow.
    if (!ok && value == 0.0)
        return digits.startsWith(u'-') ? -0.0 : 0.0;
    if (!ok || !std::isfinite(value))
        throw RuntimeError(RuntimeError::Overflow);
    return value;
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

template<typename T>
static T checkedRound(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < double(std::numeric_limits<T>::min())
        || r > double(std::numeric_limits<T>::max()))
        throw RuntimeError(RuntimeError::Overflow);
    return static_cast<T>(r);
}

qint16 toInt16(double value) { return checkedRound<qint16>(value); }
qint32 toInt32(double value) { return checkedRound<qint32>(value); }

static double strictNumber(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || t.isEmpty())
        throw RuntimeError(RuntimeError::TypeMismatch);
    return v;
}

qint32 toInt32(const QString &text) { return toInt32(strictNumber(text)); }
qint16 toInt16(const QString &text) { return toInt16(strictNumber(text)); }

QString numberText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

QString numberText(double value, int digits)
{
    if (!std::isfinite(value))
        return numberText(value);
    return numberText(QString::number(value, 'g', digits).toDouble());
}

qint32 add32(qint32 a, qint32 b)
{
    qint32 r;
    if (__builtin_add_overflow(a, b, &r))
        throw RuntimeError(RuntimeError::Overflow);
    return r;
}

qint32 mul32(qint32 a, qint32 b)
{
    qint32 r;
    if (__builtin_mul_overflow(a, b, &r))
        throw RuntimeError(RuntimeError::Overflow);
    return r;
}

} // namespace tarvel::platform::Numbers
