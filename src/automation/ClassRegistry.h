#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tarvel::automation {

class ServedObject;

/// The public classes clients can create, by programmatic identifier. Each
/// identifier is also a bus name the server owns.
class ClassRegistry
{
public:
    using Factory = std::function<std::unique_ptr<ServedObject>()>;
    struct Entry
    {
        QString progId;   ///< "Tarvel.Application"
        QString pathName; ///< "Application": objects live at /Tarvel/<pathName>/<n>
        Factory create;
    };

    /// Adds or replaces the class \a progId.
    void add(const QString &progId, const QString &pathName, Factory create);
    const Entry *find(const QString &progId) const;
    const Entry *findByPathName(const QString &pathName) const;
    QStringList progIds() const;

    /// The classes of this program: Tarvel.Application and Tarvel.AdressLabels.
    static ClassRegistry standard();

private:
    QList<Entry> m_entries;
};

} // namespace tarvel::automation
