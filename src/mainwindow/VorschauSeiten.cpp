#include "mainwindow/VorschauSeiten.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace tarvel::mainwindow {

namespace {

constexpr int Rand = 12;          ///< pixels round the paper
constexpr qsizetype Behalten = 4; ///< pictures kept
constexpr double Schritt = 1.25;  ///< one zoom step

} // namespace

/// The paper of the page in view, its picture in the printable area.
class VorschauSeiten::Blatt : public QWidget
{
public:
    explicit Blatt(VorschauSeiten &seiten) : QWidget(nullptr), m_seiten(seiten)
    {
        setObjectName(QStringLiteral("Blatt"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const double s = m_seiten.massstab();
        const QRectF papier(Rand, Rand, m_seiten.m_papier.width() * s, m_seiten.m_papier.height() * s);
        p.fillRect(papier.translated(3, 3), QColor(0, 0, 0, 60));
        p.fillRect(papier, Qt::white);
        const Bild &b = m_seiten.bild(m_seiten.m_aktuell);
        const QRectF bereich(papier.topLeft() + m_seiten.m_druckbereich.topLeft() * s,
                             m_seiten.m_druckbereich.size() * s);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(bereich.topLeft(), QSizeF(b.bild.size()) / b.bild.devicePixelRatio()), b.bild);
    }

private:
    VorschauSeiten &m_seiten;
};

VorschauSeiten::VorschauSeiten(std::shared_ptr<const runs::Vorschau> vorschau, QWidget *parent)
    : QWidget(parent), m_vorschau(std::move(vorschau))
{
    const QPageLayout &layout = m_vorschau->einrichtung().layout;
    m_papier = layout.fullRect(QPageLayout::Point).size() * 20.0;
    m_druckbereich = QRectF(layout.paintRect(QPageLayout::Point).topLeft() * 20.0,
                            layout.paintRect(QPageLayout::Point).size() * 20.0);

    const auto knopf = [this](const QString &name, const QString &text, const QString &tipp) {
        auto *k = new QToolButton(this);
        k->setObjectName(name);
        k->setText(text);
        k->setToolTip(tipp);
        return k;
    };
    m_zurueck = knopf(QStringLiteral("SeiteZurueck"), QStringLiteral("◀"), QStringLiteral("Vorige Seite (Bild ↑)"));
    m_vor = knopf(QStringLiteral("SeiteVor"), QStringLiteral("▶"), QStringLiteral("Nächste Seite (Bild ↓)"));
    auto *ganz = knopf(QStringLiteral("GanzeSeite"), QStringLiteral("Ganze Seite"), QStringLiteral("Die ganze Seite zeigen"));
    auto *kleiner = knopf(QStringLiteral("Verkleinern"), QStringLiteral("−"), QStringLiteral("Verkleinern"));
    auto *groesser = knopf(QStringLiteral("Vergroessern"), QStringLiteral("+"), QStringLiteral("Vergrößern"));
    m_seite = new QSpinBox(this);
    m_seite->setObjectName(QStringLiteral("SeiteNr"));
    m_seite->setKeyboardTracking(false); // a number typed is taken when complete
    m_seite->setRange(1, 1);
    m_seite->setMinimumWidth(80);
    m_von = new QLabel(QStringLiteral("von …"), this);
    m_von->setObjectName(QStringLiteral("SeitenZahl"));

    auto *leiste = new QHBoxLayout;
    leiste->addWidget(m_zurueck);
    leiste->addWidget(new QLabel(QStringLiteral("Seite"), this));
    leiste->addWidget(m_seite);
    leiste->addWidget(m_von);
    leiste->addWidget(m_vor);
    leiste->addStretch();
    leiste->addWidget(kleiner);
    leiste->addWidget(groesser);
    leiste->addWidget(ganz);

    m_blatt = new Blatt(*this);
    m_flaeche = new QScrollArea(this);
    m_flaeche->setObjectName(QStringLiteral("Flaeche"));
    m_flaeche->setBackgroundRole(QPalette::Dark);
    m_flaeche->setAlignment(Qt::AlignCenter);
    m_flaeche->setWidget(m_blatt);

    auto *spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->addLayout(leiste);
    spalte->addWidget(m_flaeche, 1);

    connect(m_zurueck, &QToolButton::clicked, this, &VorschauSeiten::vorigeSeite);
    connect(m_vor, &QToolButton::clicked, this, &VorschauSeiten::naechsteSeite);
    connect(ganz, &QToolButton::clicked, this, &VorschauSeiten::ganzeSeite);
    connect(kleiner, &QToolButton::clicked, this, &VorschauSeiten::verkleinern);
    connect(groesser, &QToolButton::clicked, this, &VorschauSeiten::vergroessern);
    connect(m_seite, &QSpinBox::valueChanged, this, &VorschauSeiten::setCurrentPage);
    for (const auto &[taste, ziel] : {std::pair{QKeySequence::MoveToPreviousPage, &VorschauSeiten::vorigeSeite},
                                      std::pair{QKeySequence::MoveToNextPage, &VorschauSeiten::naechsteSeite},
                                      std::pair{QKeySequence::ZoomIn, &VorschauSeiten::vergroessern},
                                      std::pair{QKeySequence::ZoomOut, &VorschauSeiten::verkleinern}})
        connect(new QShortcut(taste, this), &QShortcut::activated, this, ziel);

    anzeigen();
    zaehlenBeginnen();
}

VorschauSeiten::~VorschauSeiten()
{
    if (m_zaehler) {
        m_abbrechen = true;
        m_zaehler->wait();
        delete m_zaehler;
    }
}

void VorschauSeiten::zaehlenBeginnen()
{
    // The check and the counting pass draw nothing and touch nothing of the
    // window; the first pages of a long file are in view meanwhile.
    m_zaehler = QThread::create([this, vorschau = m_vorschau] {
        m_pruefung = vorschau->pruefen();
        QMetaObject::invokeMethod(this, &VorschauSeiten::pruefungBeendet, Qt::QueuedConnection);
        if (!m_abbrechen.load())
            m_zaehlung = vorschau->zaehlen([this] { return !m_abbrechen.load(std::memory_order_relaxed); });
    });
    connect(m_zaehler, &QThread::finished, this, &VorschauSeiten::zaehlenBeendet);
    m_zaehler->start(QThread::LowPriority);
}

void VorschauSeiten::pruefungBeendet()
{
    m_vorschau = std::make_shared<const runs::Vorschau>(m_vorschau->mitBefunden(m_pruefung.befunde));
    m_geprueft = true;
    m_bilder.clear(); // drawn without the marks
    anzeigen();
    emit geprueftFertig();
}

void VorschauSeiten::zaehlenBeendet()
{
    m_zaehler->wait();
    delete m_zaehler;
    m_zaehler = nullptr;
    m_seiten = m_zaehlung.seiten;
    m_gezaehlt = true;
    if (m_aktuell > std::max(1, m_seiten))
        m_aktuell = std::max(1, m_seiten);
    anzeigen();
    emit seitenGezaehlt(m_seiten);
}

void VorschauSeiten::setCurrentPage(int seite)
{
    const int letzte = m_gezaehlt ? std::max(1, m_seiten) : m_hoechstens;
    seite = std::clamp(seite, 1, letzte);
    if (seite == m_aktuell && m_seite->value() == seite)
        return;
    m_aktuell = seite;
    anzeigen();
}

double VorschauSeiten::massstab() const
{
    if (m_zoom > 0)
        return m_zoom;
    const QSize platz = m_flaeche->viewport()->size() - QSize(2 * Rand + 4, 2 * Rand + 4);
    return std::max(0.005, std::min(platz.width() / m_papier.width(), platz.height() / m_papier.height()));
}

int VorschauSeiten::dpi() const
{
    return std::max(1, qRound(massstab() * 1440.0 * devicePixelRatioF()));
}

const VorschauSeiten::Bild &VorschauSeiten::bild(int seite)
{
    const int d = dpi();
    for (qsizetype i = 0; i < m_bilder.size(); ++i) {
        if (m_bilder[i].seite == seite && m_bilder[i].dpi == d) {
            m_bilder.move(i, 0);
            return m_bilder.first();
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    runs::Vorschau::Durchlauf lauf;
    Bild b{seite, d, m_vorschau->bild(seite, d, &lauf)};
    b.bild.setDevicePixelRatio(devicePixelRatioF());
    QApplication::restoreOverrideCursor();
    if (lauf.ergebnis.ok() && lauf.seiten < seite && !m_gezaehlt) {
        // A page asked for before the count beyond the run's end: its last page is known now.
        m_hoechstens = std::max(1, lauf.seiten);
        QTimer::singleShot(0, this, [this] { setCurrentPage(m_aktuell); });
    }
    m_bilder.prepend(std::move(b));
    while (m_bilder.size() > Behalten)
        m_bilder.removeLast();
    return m_bilder.first();
}

QImage VorschauSeiten::seitenBild() const
{
    for (const Bild &b : m_bilder)
        if (b.seite == m_aktuell && b.dpi == dpi())
            return b.bild;
    return {};
}

void VorschauSeiten::anzeigen()
{
    {
        const QSignalBlocker still(m_seite);
        m_seite->setMaximum(m_gezaehlt ? std::max(1, m_seiten) : 999999);
        m_seite->setValue(m_aktuell);
    }
    m_von->setText(m_gezaehlt ? QStringLiteral("von %1").arg(m_seiten) : QStringLiteral("von …"));
    m_zurueck->setEnabled(m_aktuell > 1);
    m_vor->setEnabled(m_aktuell < (m_gezaehlt ? m_seiten : m_hoechstens));
    const double s = massstab();
    m_blatt->resize(qCeil(m_papier.width() * s) + 2 * Rand + 4, qCeil(m_papier.height() * s) + 2 * Rand + 4);
    m_blatt->update();
}

void VorschauSeiten::ganzeSeite()
{
    m_zoom = 0;
    anzeigen();
}

void VorschauSeiten::vergroessern()
{
    m_zoom = std::min(massstab() * Schritt, 0.5); // at most some 720 dots an inch
    anzeigen();
}

void VorschauSeiten::verkleinern()
{
    m_zoom = std::max(massstab() / Schritt, 0.01);
    anzeigen();
}

void VorschauSeiten::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_zoom == 0)
        anzeigen();
}

} // namespace tarvel::mainwindow
