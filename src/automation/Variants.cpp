#include "automation/Variants.h"

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace tarvel::automation::Variants {

using platform::RuntimeError;

namespace {

bool isSigned(int type)
{
    switch (type) {
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

bool isUnsigned(int type)
{
    switch (type) {
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

RuntimeError typeMismatch(const QVariant &value, const char *wanted)
{
    const char *name = value.metaType().name();
    return RuntimeError(RuntimeError::TypeMismatch,
                        QStringLiteral("ein Wert vom Typ %1 ist %2")
                            .arg(name ? QString::fromLatin1(name) : QStringLiteral("leer"), QLatin1String(wanted)));
}

/// A fraction as the platform's variant conversion writes it: \a digits
/// significant digits without trailing zeros, in E notation from 10^digits up
/// and below 0,0001 ("1E+308", "1,5E-05"), with the locale's decimal sign. Not
/// a number and infinity have no such text: error 13.
QString fractionText(double value, int digits)
{
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeError::TypeMismatch,
                           QStringLiteral("%1 ist keine Zahl, die sich als Text schreiben lässt")
                               .arg(std::isnan(value) ? QStringLiteral("NaN")
                                                      : value > 0 ? QStringLiteral("+unendlich") : QStringLiteral("-unendlich")));
    char buffer[40];
    // + 0.0 turns -0 into 0.
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0, std::chars_format::general, digits);
    return QString::fromLatin1(buffer, written.ptr - buffer).toUpper().replace(u'.', QLocale().decimalPoint());
}

} // namespace

QString toText(const QVariant &value)
{
    const int type = value.typeId();
    if (type == QMetaType::QString)
        return value.toString();
    if (isSigned(type))
        return QString::number(value.toLongLong());
    if (isUnsigned(type))
        return QString::number(value.toULongLong());
    // To the digits the client's type holds: 9.95 * 3 arrives as 29.849999999999998.
    if (type == QMetaType::Double)
        return fractionText(value.toDouble(), 15);
    if (type == QMetaType::Float)
        return fractionText(value.toDouble(), 7);
    if (type == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
    throw typeMismatch(value, "kein Text");
}

qint16 toInt16(const QVariant &value)
{
    const int type = value.typeId();
    auto tooLarge = [](const QString &digits) {
        return RuntimeError(RuntimeError::Overflow, QStringLiteral("%1 passt nicht in 16 Bit").arg(digits));
    };
    if (isSigned(type)) {
        const qlonglong v = value.toLongLong();
        if (v < -32768 || v > 32767)
            throw tooLarge(QString::number(v));
        return qint16(v);
    }
    if (isUnsigned(type)) {
        const qulonglong v = value.toULongLong();
        if (v > 32767)
            throw tooLarge(QString::number(v));
        return qint16(v);
    }
    if (type == QMetaType::Double || type == QMetaType::Float)
        return platform::Numbers::toInt16(value.toDouble());
    if (type == QMetaType::QString) {
        try {
            return platform::Numbers::toInt16(value.toString());
        } catch (RuntimeError &e) {
            e.note(QStringLiteral("\"%1\"").arg(shown(value.toString())));
            throw;
        }
    }
    throw typeMismatch(value, "keine Zahl");
}

void checkLength(const QString &property, const QString &text)
{
    if (text.size() > MaxTextLength)
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("%1: %2 Zeichen, erlaubt sind höchstens %3")
                               .arg(property)
                               .arg(text.size())
                               .arg(MaxTextLength));
}

QString shown(const QString &text)
{
    constexpr qsizetype Most = 60;
    if (text.size() <= Most)
        return text;
    return text.left(Most) + QStringLiteral("… (%1 Zeichen)").arg(text.size());
}

} // namespace tarvel::automation::Variants
