#pragma once

#include <QString>
#include <QVariant>

namespace tarvel::automation {

/// The conversions of values that clients pass, whatever the transport.
namespace Variants {

/// A value as text: a string as it is, whole numbers as their decimal digits,
/// a fraction to 15 significant digits (7 for a single) in the locale's
/// shortest form ("1,5" in German; 0.1 + 0.2 gives "0,3"; 1e308 gives
/// "1E+308"), a boolean as "Wahr" or "Falsch". Any other type, and a fraction
/// that is not a number or infinite, is error 13.
QString toText(const QVariant &value);

/// A value as a 16-bit whole number: any whole number type, a fraction
/// (halves to even) or a text holding a number. Error 6 when it does not fit,
/// error 13 for other types and texts without a number.
qint16 toInt16(const QVariant &value);

/// The longest text a client may hand over, in UTF-16 units (64 Ki): far more
/// than any label holds, and little enough that no call keeps the server busy
/// for long or makes it hold much memory.
constexpr qsizetype MaxTextLength = 65536;

/// Error 5 naming \a property and the limit when \a text is longer than MaxTextLength.
void checkLength(const QString &property, const QString &text);

/// A client's text as error messages and the log show it: whole up to 60
/// characters; a longer one cut there, with its length, so that no client can
/// make a reply or the log repeat megabytes.
QString shown(const QString &text);

} // namespace Variants
} // namespace tarvel::automation
