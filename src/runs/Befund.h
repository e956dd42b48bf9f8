#pragma once

#include <QList>
#include <QString>

namespace tarvel::runs {

/// One finding of the check before printing: where in the article file
/// (line and field) and what is wrong there. An error stops the run; a
/// warning only when the user does not choose to print all the same; a note
/// (a text cut at its label's edge) never stops it.
struct Befund
{
    enum Art {
        Warnung, ///< a data problem: shifted fields, a price that is no number, another separator
        Fehler,  ///< the record cannot print: its barcode cannot be encoded or is too wide
        Hinweis, ///< prints, but not whole: a text cut at the edge of its label or column
    };

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
