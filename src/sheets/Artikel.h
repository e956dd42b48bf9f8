#pragma once

#include <QString>

namespace tarvel::sheets {

/// Which price a layout of the article file prints, by the index of the main
/// window's buttons Option1(0..3) and Option2(0..3), stored as "Preis1" and "Preis2".
enum class Preis { EK = 0, VK = 1, Listenpreis = 2, Leer = 3 };

/// One record of an article file, its eleven fields in file order. The main
/// window's layouts (DateiLabel, DateiLaserLabels, DateiListe) print it;
/// runs::Datei reads it from the file.
struct Artikel
{
    QString Bereich;
    QString ArtikelNr;
    QString BestellNr;
    QString KurzText1;
    QString KurzText2;
    QString KurzText3;
    QString EK;
    QString VK;
    QString Listenpreis;
    QString LagerfachNr;
    QString MatchCode;

    static constexpr int FeldAnzahl = 11;
    /// Field \a index (0 to 10) in file order; any other index is error 9.
    QString &feld(int index);
    const QString &feld(int index) const;

    /// The price \a preis chooses; empty for Preis::Leer.
    QString preis(Preis preis) const;
    /// The name of that price's field ("EK"); empty for Preis::Leer.
    static QString feldName(Preis preis);
};

} // namespace tarvel::sheets
