#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QString>
#include <QVariant>

namespace tarvel::test {

/// A client of the automation server as the tests drive it, over a bus or
/// over a peer-to-peer connection straight to a server in the test's process.
/// Each call waits for its reply with the events running; an object's
/// interface and bus name follow from its path.
class AutomationClient
{
public:
    /// \a onBus: the calls name the class's bus name as their destination.
    explicit AutomationClient(const QDBusConnection &connection, bool onBus);

    QDBusConnection connection() const { return m_connection; }
    /// \a iface empty: the interface of the object's class.
    QDBusMessage call(const QString &path, const QString &member, const QVariantList &args = {},
                      QString iface = {}) const;
    /// As call(), without waiting for the reply.
    QDBusPendingCall async(const QString &path, const QString &member, const QVariantList &args = {},
                           QString iface = {}) const;
    /// Sets a property of the object's class; the value travels in a variant.
    QDBusMessage set(const QString &path, const QString &property, const QVariant &value) const;
    /// A property's value, every variant around it removed; "<NAME>" for an error.
    QString get(const QString &path, const QString &property) const;
    /// The path of a new object of \a progId, or empty (with a warning).
    QString create(const QString &progId = QStringLiteral("Tarvel.Application")) const;

    /// The error name of \a reply, or "kein Fehler".
    static QString errorOf(const QDBusMessage &reply);
    /// The interface (and bus name) of the class whose object lives at \a path.
    static QString classOf(const QString &path);

private:
    QDBusMessage wait(const QDBusPendingCall &pending) const;

    QDBusConnection m_connection;
    bool m_onBus;
};

} // namespace tarvel::test
