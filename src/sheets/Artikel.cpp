#include "sheets/Artikel.h"

#include "platform/RuntimeError.h"

namespace tarvel::sheets {

using platform::RuntimeError;

QString &Artikel::feld(int index)
{
    static constexpr QString Artikel::*Felder[FeldAnzahl] = {
        &Artikel::Bereich,   &Artikel::ArtikelNr, &Artikel::BestellNr,   &Artikel::KurzText1,
        &Artikel::KurzText2, &Artikel::KurzText3, &Artikel::EK,          &Artikel::VK,
        &Artikel::Listenpreis, &Artikel::LagerfachNr, &Artikel::MatchCode,
    };
    if (index < 0 || index >= FeldAnzahl)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange, QStringLiteral("Feld %1").arg(index));
    return this->*Felder[index];
}

const QString &Artikel::feld(int index) const
{
    return const_cast<Artikel *>(this)->feld(index);
}

QString Artikel::preis(Preis preis) const
{
    switch (preis) {
    case Preis::EK: return EK;
    case Preis::VK: return VK;
    case Preis::Listenpreis: return Listenpreis;
    case Preis::Leer: break;
    }
    return {};
}

QString Artikel::feldName(Preis preis)
{
    switch (preis) {
    case Preis::EK: return QStringLiteral("EK");
    case Preis::VK: return QStringLiteral("VK");
    case Preis::Listenpreis: return QStringLiteral("Listenpreis");
    case Preis::Leer: break;
    }
    return {};
}

} // namespace tarvel::sheets
