#pragma once

#include "sheets/DateiLabel.h"
#include "sheets/SheetPlace.h"

namespace tarvel::sheets {

/// The main window's laser sheets: sixteen DateiLabel a sheet, 2 columns of 8,
/// filled down the columns from a chosen place; a new page right after the
/// last place of a sheet. The place lives as long as the object, one run.
class DateiLaserLabels : public DateiLayout
{
public:
    DateiLaserLabels(platform::Printer &printer, barcode::Code128 &code);

    /// Starts \a places places after the first. Skipping never starts a new
    /// sheet: past the sixteenth place it wraps to the top of the same sheet;
    /// 0 and below keep the first place.
    void skip(qint16 places);

    SatzPlatz platz() override;
    /// Prints the label of \a artikel at the next place.
    void Drucke(const Artikel &artikel, const ArtikelWahl &wahl) override;
    /// A new page right after the last place of a sheet.
    void naechsterPlatz() override;
    void setWeiterBeiFehler(bool weiter) override;

    /// 2 columns of 8 labels, 6000 twips across and 1930 down, the first at (100, 700).
    static constexpr SheetGrid Grid{8, 2, DateiLabel::Breite, DateiLabel::Hoehe, 100, 700};

private:
    DateiLabel m_label;
    SheetPlace m_place;
};

} // namespace tarvel::sheets
