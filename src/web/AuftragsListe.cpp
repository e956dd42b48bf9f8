#include "web/AuftragsListe.h"

namespace tarvel::web {

int AuftragsListe::eintragen(Eintrag eintrag)
{
    eintrag.id = ++m_letzte;
    eintrag.zeit = QDateTime::currentDateTimeUtc();
    m_eintraege.insert(eintrag.id, std::move(eintrag));
    while (m_eintraege.size() > Behalten)
        m_eintraege.erase(m_eintraege.begin());
    return m_letzte;
}

const AuftragsListe::Eintrag *AuftragsListe::finden(int id) const
{
    const auto it = m_eintraege.constFind(id);
    return it == m_eintraege.cend() ? nullptr : &*it;
}

} // namespace tarvel::web
