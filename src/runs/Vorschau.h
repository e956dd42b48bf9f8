#pragma once

#include "runs/Befund.h"
#include "runs/DateiDruck.h"

#include <QHash>

class QPrinter;

namespace tarvel::runs {

/// A run of the main window drawn onto the printer of a print preview: the
/// same run code as printing, so the preview shows what will print, with a red
/// frame and a short note on every label that the check found something on.
class Vorschau
{
public:
    /// The run \a art over \a datei with \a auswahl, its bars \a strichbreite
    /// device pixels wide (0: the default width), its labels marked for \a befunde.
    Vorschau(Art art, QString datei, DateiDruck::Auswahl auswahl, qint16 strichbreite, const Befunde &befunde);

    /// Gives \a ziel the page and resolution of printer \a drucker, as its run will print.
    static void einrichten(QPrinter &ziel, const QString &drucker);

    /// Draws the run's pages onto \a ziel.
    DateiDruck::Ergebnis zeichnen(QPrinter &ziel) const;

    /// The notes of \a befunde by line, several of one line joined.
    static QHash<qint64, QString> marken(const Befunde &befunde);

private:
    Art m_art;
    QString m_datei;
    DateiDruck::Auswahl m_auswahl;
    qint16 m_strichbreite;
    QHash<qint64, QString> m_marken;
};

} // namespace tarvel::runs
