#include "runs/Vorschau.h"

#include "barcode/Code128.h"
#include "platform/PrinterChoice.h"
#include "platform/Printer.h"
#include "runs/VorschauBackend.h"

#include <QPrinter>

namespace tarvel::runs {

Vorschau::Vorschau(Art art, QString datei, DateiDruck::Auswahl auswahl, qint16 strichbreite,
                   const Befunde &befunde)
    : m_art(art), m_datei(std::move(datei)), m_auswahl(std::move(auswahl)), m_strichbreite(strichbreite),
      m_marken(marken(befunde))
{
}

void Vorschau::einrichten(QPrinter &ziel, const QString &drucker)
{
    const platform::PageSetup setup = platform::PrinterChoice::instance().setupFor(drucker);
    ziel.setFullPage(false);
    ziel.setResolution(setup.dpiX);
    ziel.setPageLayout(setup.layout);
}

DateiDruck::Ergebnis Vorschau::zeichnen(QPrinter &ziel) const
{
    platform::Printer printer(std::make_unique<VorschauBackend>(ziel, QStringLiteral("Vorschau")));
    barcode::Code128 code;
    code.InitBreite(printer, m_strichbreite);
    DateiDruck druck(printer, code);
    druck.setMarken(m_marken);
    return druck.Drucken(m_art, m_datei, m_auswahl);
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
