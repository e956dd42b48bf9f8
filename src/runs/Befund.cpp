#include "runs/Befund.h"

namespace tarvel::runs {

QString Befund::zeileText() const
{
    const QString wo = feld.isEmpty() ? QStringLiteral("Zeile %1").arg(zeile)
                                      : QStringLiteral("Zeile %1, Feld %2").arg(zeile).arg(feld);
    const QString artText = art == Fehler    ? QStringLiteral("Fehler")
                            : art == Hinweis ? QStringLiteral("Hinweis")
                                             : QStringLiteral("Warnung");
    return QStringLiteral("%1: %2: %3").arg(wo, artText, text);
}

} // namespace tarvel::runs
