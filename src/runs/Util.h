#pragma once

#include <QByteArrayView>
#include <QString>

namespace tarvel::runs {

/// Character-set helpers of the article file reader.
namespace Util {

/// Turns, in place, the seven German letters of the DOS code page into their
/// letters: the characters that stand at 129, 132, 142, 148, 153, 154 and 225
/// in Windows code page 1252 become ü, ä, Ä, ö, Ö, Ü and ß. The text keeps its
/// length; every other character stays.
void UmlauteWandeln(QString &Text);

/// \a bytes read as Windows code page 1252 (the five unassigned bytes keep
/// their own code, as Windows reads them).
QString ausCodepage1252(QByteArrayView bytes);

} // namespace Util
} // namespace tarvel::runs
