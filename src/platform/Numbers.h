#pragma once

#include <QString>
#include <QtGlobal>

namespace tarvel::platform {

/// Number conversions with the rules every layout relies on: halves round to
/// the even neighbour, and a value that does not fit raises error 6.
namespace Numbers {

/// Leading-number parse of user text: blanks and tabs are skipped, "." is the
/// decimal point, parsing stops at the first character that does not fit,
/// and text without a number gives 0.
double leadingNumber(QStringView text);

/// Rounds halves to the even neighbour.
double roundHalfEven(double value);

/// Rounds (halves to even) to a 16-bit whole number; error 6 if it does not fit.
qint16 toInt16(double value);
/// Rounds (halves to even) to a 32-bit whole number; error 6 if it does not fit.
qint32 toInt32(double value);

/// Strict conversion of a whole text: surrounding blanks allowed, the number in
/// the user's locale or with "." as decimal point. Error 13 if the text is not
/// a number, error 6 if it does not fit in 32 bits.
qint32 toInt32(const QString &text);
/// As toInt32(QString), for 16 bits.
qint16 toInt16(const QString &text);

/// A number as text in the user's locale, as short as possible ("18,14", "4").
QString numberText(double value);

/// \a value rounded to \a digits significant digits, then as numberText: the
/// binary noise of a client's fraction goes (29.849999999999998 gives "29,85"
/// with 15 digits, the precision a double holds in decimal).
QString numberText(double value, int digits);

/// Adds two 32-bit numbers; error 6 on overflow.
qint32 add32(qint32 a, qint32 b);
/// Multiplies two 32-bit numbers; error 6 on overflow.
qint32 mul32(qint32 a, qint32 b);

} // namespace Numbers
} // namespace tarvel::platform
