#include "runs/Vorschau.h"

#include "barcode/Code128.h"
#include "platform/PrinterChoice.h"
#include "platform/Printer.h"
#include "runs/Pruefung.h"
#include "runs/VorschauBackend.h"
#include "runs/VorschauBild.h"

#include <cmath>

namespace tarvel::runs {

Vorschau::Vorschau(Art art, QString datei, DateiDruck::Auswahl auswahl, qint16 strichbreite,
                   const Befunde &befunde, platform::PageSetup seite)
    : m_art(art), m_datei(std::move(datei)), m_auswahl(std::move(auswahl)), m_strichbreite(strichbreite),
      m_marken(marken(befunde)), m_seite(std::move(seite))
{
}

platform::PageSetup Vorschau::einrichtung(const QString &drucker)
{
    return platform::PrinterChoice::instance().setupFor(drucker);
}

Vorschau::Durchlauf Vorschau::laufen(int seite, platform::PrinterBackend *ziel,
                                     const std::function<bool()> &weiter) const
{
    auto eigen = std::make_unique<VorschauBackend>(m_seite, QStringLiteral("Vorschau"), seite, ziel);
    VorschauBackend &backend = *eigen;
    platform::Printer printer(std::move(eigen));
    barcode::Code128 code;
    code.InitBreite(printer, m_strichbreite);
    DateiDruck druck(printer, code);
    // A record whose barcode fails shows framed with its texts, and the records after it follow.
    druck.setBeiFehler(DateiDruck::BeiFehler::Weiter);
    druck.setMarken(m_marken);
    druck.setGesamt(0); // the progress needs no count of the records
    druck.setFortschritt([&](qint64, qint64) { return !backend.fertig() && (!weiter || weiter()); });
    Durchlauf lauf;
    lauf.ergebnis = druck.Drucken(m_art, m_datei, m_auswahl);
    lauf.seiten = backend.seiten();
    if (backend.fertig())
        lauf.ergebnis = {};
    return lauf;
}

Vorschau::Pruefergebnis Vorschau::pruefen() const
{
    platform::Printer printer(std::make_unique<VorschauBackend>(m_seite, QStringLiteral("Vorschau")));
    barcode::Code128 code;
    code.InitBreite(printer, m_strichbreite);
    Pruefung pruefung(printer, code);
    Pruefergebnis e;
    e.befunde = pruefung.pruefen(m_art, m_datei, m_auswahl);
    e.saetze = pruefung.saetze();
    return e;
}

Vorschau Vorschau::mitBefunden(const Befunde &befunde) const
{
    Vorschau v = *this;
    v.m_marken = marken(befunde);
    return v;
}

Vorschau::Durchlauf Vorschau::zaehlen(const std::function<bool()> &weiter) const
{
    return laufen(0, nullptr, weiter);
}

Vorschau::Durchlauf Vorschau::zeichnen(int seite, platform::PrinterBackend &ziel) const
{
    return laufen(seite, &ziel, {});
}

QImage Vorschau::bild(int seite, int dpi, Durchlauf *lauf) const
{
    const QSizeF twips = m_seite.layout.paintRect(QPageLayout::Point).size() * 20.0;
    QImage bild(std::max(1, int(std::ceil(twips.width() * dpi / 1440.0))),
                std::max(1, int(std::ceil(twips.height() * dpi / 1440.0))), QImage::Format_RGB32);
    bild.setDotsPerMeterX(qRound(dpi / 0.0254));
    bild.setDotsPerMeterY(qRound(dpi / 0.0254));
    bild.fill(Qt::white);
    VorschauBild ziel(bild);
    const Durchlauf d = zeichnen(seite, ziel);
    if (lauf)
        *lauf = d;
    return bild;
}

QHash<qint64, QString> Vorschau::marken(const Befunde &befunde)
{
    QHash<qint64, QString> notizen;
    for (const Befund &b : befunde) {
        QString &notiz = notizen[b.zeile];
        if (!notiz.contains(b.notiz))
            notiz += (notiz.isEmpty() ? QString() : QStringLiteral("; ")) + b.notiz;
    }
    // The note stays within its label's right column.
    constexpr qsizetype MaxZeichen = 34;
    for (QString &notiz : notizen)
        if (notiz.size() > MaxZeichen)
            notiz = notiz.first(MaxZeichen - 1) + u'…';
    return notizen;
}

} // namespace tarvel::runs
