#pragma once

#include "runs/Vorschau.h"

#include <QList>
#include <QWidget>
#include <atomic>
#include <limits>
#include <memory>

class QLabel;
class QScrollArea;
class QSpinBox;
class QThread;
class QToolButton;

namespace tarvel::mainwindow {

/// The pages of a preview, one in view: each drawn when it comes into view and
/// only a few kept, so a file of any length previews in little memory. In the
/// background the file is checked (the pages then show the findings' marks)
/// and its pages counted by a pass that draws nothing. Page up and down, a page
/// number, the whole page or larger.
class VorschauSeiten : public QWidget
{
    Q_OBJECT

public:
    explicit VorschauSeiten(std::shared_ptr<const runs::Vorschau> vorschau, QWidget *parent = nullptr);
    ~VorschauSeiten() override;

    /// Whether the check before printing is done, and what it found (once it is).
    bool geprueft() const { return m_geprueft; }
    const runs::Vorschau::Pruefergebnis &pruefung() const { return m_pruefung; }
    /// The run's pages; 0 until they are counted (and for a run without any).
    int pageCount() const { return m_seiten; }
    bool gezaehlt() const { return m_gezaehlt; }
    /// How the counting pass ended (a file that cannot be read, say); once gezaehlt.
    const runs::DateiDruck::Ergebnis &zaehlErgebnis() const { return m_zaehlung.ergebnis; }
    /// The page in view, from 1.
    int currentPage() const { return m_aktuell; }
    void setCurrentPage(int seite);
    /// The picture of the page in view, as drawn for the current size; null before it is.
    QImage seitenBild() const;
    /// Pixels a twip: the whole page in view, or as zoomed.
    double massstab() const;

public slots:
    void naechsteSeite() { setCurrentPage(m_aktuell + 1); }
    void vorigeSeite() { setCurrentPage(m_aktuell - 1); }
    /// The whole page in view, again as the window grows or shrinks.
    void ganzeSeite();
    void vergroessern();
    void verkleinern();

signals:
    /// The check is done; the pages show its marks.
    void geprueftFertig();
    /// The pages are counted.
    void seitenGezaehlt(int seiten);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    class Blatt;
    struct Bild
    {
        int seite = 0;
        int dpi = 0;
        QImage bild;
    };

    void zaehlenBeginnen();
    void pruefungBeendet();
    void zaehlenBeendet();
    void anzeigen();
    /// The picture of \a seite at the current scale, drawn if it is not kept.
    const Bild &bild(int seite);
    int dpi() const;

    std::shared_ptr<const runs::Vorschau> m_vorschau;
    QSizeF m_papier;     ///< twips
    QRectF m_druckbereich; ///< twips, within the paper
    int m_seiten = 0;
    bool m_gezaehlt = false;
    int m_aktuell = 1;
    int m_hoechstens = std::numeric_limits<int>::max(); ///< the last page, as far as known before the count
    double m_zoom = 0; ///< pixels a twip; 0: the whole page
    QList<Bild> m_bilder; ///< most recently shown first
    runs::Vorschau::Durchlauf m_zaehlung;
    runs::Vorschau::Pruefergebnis m_pruefung;
    bool m_geprueft = false;
    QThread *m_zaehler = nullptr;
    std::atomic<bool> m_abbrechen{false};

    QToolButton *m_zurueck = nullptr;
    QToolButton *m_vor = nullptr;
    QSpinBox *m_seite = nullptr;
    QLabel *m_von = nullptr;
    QScrollArea *m_flaeche = nullptr;
    Blatt *m_blatt = nullptr;
};

} // namespace tarvel::mainwindow
