#pragma once

#include "platform/PageSetup.h"
#include "runs/Befund.h"
#include "runs/DateiDruck.h"

#include <QHash>
#include <QImage>
#include <functional>

namespace tarvel::platform {
class PrinterBackend;
}

namespace tarvel::runs {

/// A run of the main window as the preview shows it, one page at a time: the
/// same run code as printing, on the page and at the resolution of the printer
/// it will print on, so a page of the preview is the page that will print, with
/// a red frame and a short note on every label or row the check found something
/// on. A record whose barcode cannot be drawn shows, framed, with its texts,
/// and the records after it follow. Nothing but the page asked for is kept:
/// each page is drawn by running the records up to it again, drawing nothing
/// before it, and stopping after it.
class Vorschau
{
public:
    /// The run \a art over \a datei with \a auswahl, its bars \a strichbreite
    /// device pixels wide (0: the default width), its labels marked for
    /// \a befunde, on pages as \a seite gives them.
    Vorschau(Art art, QString datei, DateiDruck::Auswahl auswahl, qint16 strichbreite, const Befunde &befunde,
             platform::PageSetup seite);

    /// The page and resolution of printer \a drucker, as its run will print.
    static platform::PageSetup einrichtung(const QString &drucker);
    const platform::PageSetup &einrichtung() const { return m_seite; }

    /// What a pass over the run gave: the pages it began, and how it ended (a
    /// file that cannot be read, say). A pass that got its page ends Gedruckt.
    struct Durchlauf
    {
        int seiten = 0;
        DateiDruck::Ergebnis ergebnis;
    };

    /// What the check before printing found, on the page and at the resolution
    /// the run will print with, and how many records it read.
    struct Pruefergebnis
    {
        Befunde befunde;
        qint64 saetze = 0;
    };
    Pruefergebnis pruefen() const;
    /// This preview with its labels marked for \a befunde.
    Vorschau mitBefunden(const Befunde &befunde) const;

    /// Runs the whole file without drawing: the run's pages. \a weiter is asked
    /// after each record; false stops the pass (Abgebrochen).
    Durchlauf zaehlen(const std::function<bool()> &weiter = {}) const;
    /// Draws page \a seite (from 1) of the run onto \a ziel, and nothing else.
    Durchlauf zeichnen(int seite, platform::PrinterBackend &ziel) const;
    /// Page \a seite as a picture of its printable area at \a dpi dots per inch;
    /// white where the page does not exist.
    QImage bild(int seite, int dpi, Durchlauf *lauf = nullptr) const;

    /// The notes of \a befunde by line, several of one line joined.
    static QHash<qint64, QString> marken(const Befunde &befunde);

private:
    Durchlauf laufen(int seite, platform::PrinterBackend *ziel, const std::function<bool()> &weiter) const;

    Art m_art;
    QString m_datei;
    DateiDruck::Auswahl m_auswahl;
    qint16 m_strichbreite;
    QHash<qint64, QString> m_marken;
    platform::PageSetup m_seite;
};

} // namespace tarvel::runs
