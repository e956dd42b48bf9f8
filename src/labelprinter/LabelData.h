#pragma once

#include <QString>

namespace tarvel::labelprinter {

/// The record the label-printer layouts print: the six article fields (shown
/// in the setup dialog's value labels) and the book, customer and order texts.
/// No field is ever cleared; a field not set again prints its earlier text.
struct LabelData
{
    QString ArtikelNr, Preis1, Preis2, MatchCode, WarenGruppe, ISBN;

    QString Titel, Autor, Verlag, Bemerkung, VorgangsNr, Datum, BestellDatum, KdNr, Name1, Name2, Strasse, PLZ,
        Ort, Telefon, SchlussText, Menge;

    /// Place of the next pickup slip on its sheet, counted from 1.
    qint32 StartPosition = 0;
};

} // namespace tarvel::labelprinter
