#pragma once

#include <QList>
#include <QString>

namespace tarvel::runs {

/// One finding of the check before printing: where in the article file
/// (line and field) and what is wrong there. An error stops the run; a
/// warning only when the user does not choose to print all the same.
struct Befund
{
    enum Art { Warnung, Fehler };

    Art art = Warnung;
    qint64 zeile = 0; ///< line of the file, counted from 1
    QString feld;     ///< the field's name ("BestellNr"), or a description of the place
    QString text;     ///< what is wrong, German, without line and field
    QString notiz;    ///< a few words for the mark on the label in the preview

    /// "Zeile 7, Feld BestellNr: Fehler: ..." as the report lists it.
    QString zeileText() const;
};

using Befunde = QList<Befund>;

} // namespace tarvel::runs
