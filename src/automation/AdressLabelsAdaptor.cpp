#include "automation/AdressLabelsAdaptor.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAdressLabelsAdaptor, "tarvel.automation.adresslabels")

namespace tarvel::automation {

AdressLabelsAdaptor::AdressLabelsAdaptor(std::unique_ptr<AdressLabelsObject> labels)
    : m_labels(std::move(labels)), m_interface(QString::fromLatin1(InterfaceName))
{
    describe();
}

AdressLabelsAdaptor::~AdressLabelsAdaptor() = default;

void AdressLabelsAdaptor::release()
{
    const QString where = m_labels->Release();
    if (!where.isEmpty())
        qCInfo(lcAdressLabelsAdaptor).noquote() << "Druckauftrag ausgegeben:" << where;
}

void AdressLabelsAdaptor::describe()
{
    AdressLabelsObject &labels = *m_labels;
    using Args = QVariantList;
    auto &i = m_interface;

    i.property(QStringLiteral("StartPosition"), QStringLiteral("n"), DBusInterface::Write,
               [&labels](const QVariant &v) { labels.setStartPosition(v.value<qint16>()); });
    i.method(QStringLiteral("Drucke"), {{QStringLiteral("FettZeile"), QStringLiteral("n")}, {QStringLiteral("Zeile"), QStringLiteral("as")}},
             {{QStringLiteral("Zeile"), QStringLiteral("as")}}, [&labels](const Args &a) {
                 return Args{labels.Drucke(a[0].value<qint16>(), a[1].toStringList())};
             });
    i.method(QStringLiteral("Release"), {}, [this](const Args &) { release(); });
}

} // namespace tarvel::automation
