#pragma once

#include <QPoint>
#include <QRect>
#include <optional>

#include "platform/RuntimeError.h"

namespace tarvel::platform {
class Printer;
}

namespace tarvel::sheets {

struct Artikel;
struct ArtikelWahl;

/// Where a record stands on its page, as its layout places it (twips).
struct SatzPlatz
{
    QRect box;    ///< the label, or the list row, that the record fills
    QPoint notiz; ///< where a short note about the record fits inside the box
};

/// A layout of the main window's runs as their record loop sees it: it prints
/// one record at its next place, starts pages itself and knows where each
/// record goes. Its geometry (label size, places, rows a page) is its own:
/// runs, check and preview ask it, none keeps a copy.
class DateiLayout
{
public:
    explicit DateiLayout(platform::Printer &printer) : m_printer(printer) {}
    virtual ~DateiLayout() = default;
    DateiLayout(const DateiLayout &) = delete;
    DateiLayout &operator=(const DateiLayout &) = delete;

    /// The place the next record takes.
    virtual SatzPlatz platz() = 0;
    /// Prints \a artikel at that place.
    virtual void Drucke(const Artikel &artikel, const ArtikelWahl &wahl) = 0;
    /// Moves on to the next place, ending the page where it is full.
    virtual void naechsterPlatz() = 0;
    /// Whether the layout takes another record (a list stops after its last page).
    virtual bool weiter() const { return true; }

    /// Going on past a barcode that cannot be drawn: the record's texts are
    /// still printed, and the barcode's error is raised at the record's end.
    /// For the check and the preview, which show every record.
    virtual void setWeiterBeiFehler(bool weiter) { m_weiterBeiFehler = weiter; }

protected:
    /// Draws a barcode with \a draw under the field tag "BestellNr", and keeps
    /// its error for satzEnde when going on past errors.
    template<typename Draw>
    void barcode(Draw &&draw)
    {
        try {
            draw();
        } catch (const platform::RuntimeError &fehler) {
            if (!m_weiterBeiFehler)
                throw;
            m_barcodeFehler = fehler;
        }
    }
    /// Raises a barcode error kept by barcode(), told at the field BestellNr.
    void satzEnde();

    platform::Printer &m_printer;

private:
    bool m_weiterBeiFehler = false;
    std::optional<platform::RuntimeError> m_barcodeFehler;
};

} // namespace tarvel::sheets
