#pragma once

#include <QDBusConnection>
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

/// The automation server in the test's own process, reached by a client over a
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

    /// An Application object created through the factory and its recording,
    /// the newest first; valid until the object is released.
    struct Made
    {
        automation::Application *application;
        platform::RecordingBackend *recording;
    };
    Made newest() const { return m_made.value(m_made.size() - 1); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QDBusServer> m_listener;
    automation::AutomationServer *m_server = nullptr;
    QString m_name;
    QDBusConnection m_client{QString()};
    QList<Made> m_made;
};

} // namespace tarvel::test
