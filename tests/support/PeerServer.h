#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QList>
#include <QTemporaryDir>
#include <memory>

class QDBusServer;

namespace tarvel::platform {
class RecordingBackend;
}
namespace tarvel::automation {
class Application;
class AutomationServer;
}

namespace tarvel::test {

/// The automation server in the test's own process and a client of it, over a
/// peer-to-peer D-Bus connection: no bus, no server process, and each object
/// printing on a recording printer of its own. The runtime folder (where the
/// server keeps its object numbers) becomes a temporary one.
class PeerServer
{
public:
    PeerServer();
    ~PeerServer(); ///< releases every object, then closes the connection

    /// False (with a warning) if the client did not get through.
    bool isConnected() const { return m_server != nullptr; }
    QDBusConnection client() const { return m_client; }
    automation::AutomationServer &server() { return *m_server; }

    /// The newest Application object and its recording; valid until it is released.
    struct Made
    {
        automation::Application *application;
        platform::RecordingBackend *recording;
    };
    Made newest() const { return m_made.value(m_made.size() - 1); }

    /// A call of the client, waiting for the reply with the events running
    /// (the server lives in this thread); \a iface empty: the object's class.
    QDBusMessage call(const QString &path, const QString &member, const QVariantList &args = {}, QString iface = {}) const;
    /// As call(), without waiting.
    QDBusPendingCall async(const QString &path, const QString &member, const QVariantList &args = {}, QString iface = {}) const;
    /// Sets a property of the object's class; the value travels in a variant.
    QDBusMessage set(const QString &path, const QString &property, const QVariant &value) const;
    /// A property's value, every variant around it removed; "<NAME>" for an error.
    QString get(const QString &path, const QString &property) const;
    /// The path of a new object of \a progId, or empty (with a warning).
    QString create(const QString &progId = QStringLiteral("Tarvel.Application")) const;
    /// The error name of \a reply, or "kein Fehler".
    static QString errorOf(const QDBusMessage &reply);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QDBusServer> m_listener;
    automation::AutomationServer *m_server = nullptr;
    QString m_name;
    QDBusConnection m_client{QString()};
    QList<Made> m_made;
};

} // namespace tarvel::test
