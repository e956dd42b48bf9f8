#include "automation/ClassRegistry.h"

#include "automation/AdressLabelsAdaptor.h"
#include "automation/AdressLabelsObject.h"
#include "automation/Application.h"
#include "automation/ApplicationAdaptor.h"

namespace tarvel::automation {

void ClassRegistry::add(const QString &progId, const QString &pathName, Factory create)
{
    for (Entry &e : m_entries) {
        if (e.progId == progId) {
            e = {progId, pathName, std::move(create)};
            return;
        }
    }
    m_entries.append({progId, pathName, std::move(create)});
}

const ClassRegistry::Entry *ClassRegistry::find(const QString &progId) const
{
    for (const Entry &e : m_entries) {
        if (e.progId == progId)
            return &e;
    }
    return nullptr;
}

const ClassRegistry::Entry *ClassRegistry::findByPathName(const QString &pathName) const
{
    for (const Entry &e : m_entries) {
        if (e.pathName == pathName)
            return &e;
    }
    return nullptr;
}

QStringList ClassRegistry::progIds() const
{
    QStringList ids;
    for (const Entry &e : m_entries)
        ids << e.progId;
    return ids;
}

ClassRegistry ClassRegistry::standard()
{
    ClassRegistry r;
    r.add(QStringLiteral("Tarvel.Application"), QStringLiteral("Application"),
          [] { return std::make_unique<ApplicationAdaptor>(std::make_unique<Application>()); });
    r.add(QStringLiteral("Tarvel.AdressLabels"), QStringLiteral("AdressLabels"),
          [] { return std::make_unique<AdressLabelsAdaptor>(std::make_unique<AdressLabelsObject>()); });
    return r;
}

} // namespace tarvel::automation
