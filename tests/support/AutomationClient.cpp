#include "support/AutomationClient.h"

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QDBusVariant>
#include <QDebug>

namespace tarvel::test {

namespace {
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");
}

AutomationClient::AutomationClient(const QDBusConnection &connection, bool onBus)
    : m_connection(connection), m_onBus(onBus)
{
}

QString AutomationClient::classOf(const QString &path)
{
    return path.startsWith(QLatin1String("/Tarvel/AdressLabels")) ? QStringLiteral("Tarvel.AdressLabels")
                                                                   : QStringLiteral("Tarvel.Application");
}

QDBusPendingCall AutomationClient::async(const QString &path, const QString &member, const QVariantList &args,
                                        QString iface) const
{
    if (iface.isEmpty())
        iface = classOf(path);
    auto msg = QDBusMessage::createMethodCall(m_onBus ? classOf(path) : QString(), path, iface, member);
    msg.setArguments(args);
    return m_connection.asyncCall(msg, 60000);
}

QDBusMessage AutomationClient::call(const QString &path, const QString &member, const QVariantList &args,
                                    QString iface) const
{
    return wait(async(path, member, args, iface));
}

QDBusMessage AutomationClient::wait(const QDBusPendingCall &pending) const
{
    // The events run meanwhile: the server may live in this very thread.
    QDBusPendingCallWatcher watcher(pending);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!pending.isFinished())
        loop.exec();
    return pending.reply();
}

QDBusMessage AutomationClient::set(const QString &path, const QString &property, const QVariant &value) const
{
    return call(path, QStringLiteral("Set"), {classOf(path), property, QVariant::fromValue(QDBusVariant(value))}, Props);
}

QString AutomationClient::get(const QString &path, const QString &property) const
{
    const QDBusMessage reply = call(path, QStringLiteral("Get"), {classOf(path), property}, Props);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return u'<' + reply.errorName() + u'>';
    QVariant v = reply.arguments().value(0);
    while (v.metaType() == QMetaType::fromType<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    return v.toString();
}

QString AutomationClient::create(const QString &progId) const
{
    // On a bus the factory answers under either class's name.
    auto msg = QDBusMessage::createMethodCall(m_onBus ? classOf(QStringLiteral("/Tarvel/") + progId.section(u'.', 1)) : QString(),
                                              QStringLiteral("/Tarvel"), QStringLiteral("Tarvel.Server"),
                                              QStringLiteral("CreateObject"));
    msg << progId;
    const QDBusMessage reply = wait(m_connection.asyncCall(msg, 60000));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qWarning() << "CreateObject:" << reply.errorName() << reply.errorMessage();
        return {};
    }
    return qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

QString AutomationClient::errorOf(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QStringLiteral("kein Fehler");
}

} // namespace tarvel::test
