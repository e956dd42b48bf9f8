#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>

namespace tarvel::web {

/// The jobs the service has printed since it started, by their number, for
/// "GET /v1/auftraege/{id}". The oldest are forgotten beyond Behalten.
class AuftragsListe
{
public:
    static constexpr int Behalten = 10000;

    struct Eintrag
    {
        int id = 0;
        QString drucker;
        QString ziel;
        int cupsAuftrag = 0;
        int etiketten = 0;
        QDateTime zeit;
    };

    /// Keeps \a eintrag under the next number, which it returns.
    int eintragen(Eintrag eintrag);
    const Eintrag *finden(int id) const;

private:
    QMap<int, Eintrag> m_eintraege;
    int m_letzte = 0;
};

} // namespace tarvel::web
