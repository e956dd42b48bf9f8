#include "runs/Befund.h"

namespace tarvel::runs {

QString Befund::zeileText() const
{
    const QString wo = feld.isEmpty() ? QStringLiteral("Zeile %1").arg(zeile)
                                      : QStringLiteral("Zeile %1, Feld %2").arg(zeile).arg(feld);
    return QStringLiteral("%1: %2: %3").arg(wo, art == Fehler ? QStringLiteral("Fehler") : QStringLiteral("Warnung"),
                                             text);
}

} // namespace tarvel::runs
