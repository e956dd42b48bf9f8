#include "automation/ApplicationAdaptor.h"

#include "automation/RecordFields.h"
#include "labelprinter/SetupFrm.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAdaptor, "tarvel.automation")

namespace tarvel::automation {

using labelprinter::LabelData;

ApplicationAdaptor::ApplicationAdaptor(std::unique_ptr<Application> application)
    : m_application(std::move(application)), m_interface(QString::fromLatin1(InterfaceName))
{
    describe();
    auto &dialog = m_application->dialog();
    connect(&dialog, &labelprinter::SetupFrm::actionStarted, this, [this] { userAction(true); });
    connect(&dialog, &labelprinter::SetupFrm::actionFinished, this, [this] { userAction(false); });
}

ApplicationAdaptor::~ApplicationAdaptor() = default;

void ApplicationAdaptor::release()
{
    const QString where = m_application->Release();
    if (!where.isEmpty())
        qCInfo(lcAdaptor).noquote() << "Druckauftrag ausgegeben:" << where;
}

void ApplicationAdaptor::describe()
{
    Application &app = *m_application;
    using Args = QVariantList;
    auto none = QList<DBusInterface::Arg>{};
    auto &i = m_interface;

    i.method(QStringLiteral("Setup"), none, [&app](const Args &) { app.Setup(); });
    i.method(QStringLiteral("DruckeLabel"), none, [&app](const Args &) { app.DruckeLabel(); });
    i.method(QStringLiteral("DruckeEtikett"), none, [&app](const Args &) { app.DruckeEtikett(); });
    i.method(QStringLiteral("DruckeKanuEtikett"), none, [&app](const Args &) { app.DruckeKanuEtikett(); });
    i.method(QStringLiteral("DruckeAbholschein"), none, [&app](const Args &) { app.DruckeAbholschein(); });
    i.method(QStringLiteral("DruckeAbholscheinDINA4"), none, [&app](const Args &) { app.DruckeAbholscheinDINA4(); });
    i.method(QStringLiteral("DruckeListe"), none, [&app](const Args &) { app.DruckeListe(); });
    i.method(QStringLiteral("DruckeLaserLabel"), none, [&app](const Args &) { app.DruckeLaserLabel(); });
    i.method(QStringLiteral("DruckeLaserLabel4Bahn"), none, [&app](const Args &) { app.DruckeLaserLabel4Bahn(); });
    i.method(QStringLiteral("DruckeAdressLabel"), {{QStringLiteral("FettZeile"), QStringLiteral("n")}},
             [&app](const Args &a) { app.DruckeAdressLabel(a[0].value<qint16>()); });

    i.property(QStringLiteral("StartPosition"), QStringLiteral("n"), DBusInterface::Write,
               [&app](const QVariant &v) { app.setStartPosition(v.value<qint16>()); });

    for (const auto &[name, field] : ArticleFields) {
        i.property(QLatin1String(name), QStringLiteral("v"), DBusInterface::ReadWrite,
                   [&app, field = field](const QVariant &v) { app.setRecordField(field, v.toString()); },
                   [&app, field = field] { return QVariant(app.recordField(field)); });
    }

    for (const auto &[name, field] : TextFields) {
        i.property(QLatin1String(name), QStringLiteral("v"), DBusInterface::Write,
                   [&app, field = field](const QVariant &v) { app.setText(field, v.toString()); });
    }

    i.method(QStringLiteral("Zeile"), {{QStringLiteral("Nr"), QStringLiteral("n")}, {QStringLiteral("st"), QStringLiteral("s")}},
             [&app](const Args &a) { app.setZeile(a[0].value<qint16>(), a[1].toString()); });
    i.property(QStringLiteral("zuHaenden"), QStringLiteral("v"), DBusInterface::Write,
               [&app](const QVariant &v) { app.setZuHaenden(v.toString()); });
    i.property(QStringLiteral("Anrede"), QStringLiteral("v"), DBusInterface::Write,
               [&app](const QVariant &v) { app.setAnrede(v.toString()); });

    i.method(QStringLiteral("Release"), none, [this](const Args &) { release(); });
}

} // namespace tarvel::automation
