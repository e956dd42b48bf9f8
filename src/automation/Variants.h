#pragma once

#include <QString>
#include <QVariant>

namespace tarvel::automation {

/// The conversions of values that clients pass, whatever the transport.
namespace Variants {

/// A value as text: a string as it is, whole numbers as their decimal digits,
/// a fraction in the locale's shortest form ("1,5" in German), a boolean as
/// "Wahr" or "Falsch". Any other type is error 13.
QString toText(const QVariant &value);

/// A value as a 16-bit whole number: any whole number type, a fraction
/// (halves to even) or a text holding a number. Error 6 when it does not fit,
/// error 13 for other types and texts without a number.
qint16 toInt16(const QVariant &value);

/// A client's text as error messages and the log show it: whole up to 60
/// characters; a longer one cut there, with its length, so that no client can
/// make a reply or the log repeat megabytes.
QString shown(const QString &text);

} // namespace Variants
} // namespace tarvel::automation
