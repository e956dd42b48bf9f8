#include "automation/AutomationServer.h"

#include "automation/CallQueue.h"
#include "automation/CallerTracker.h"
#include "automation/DBusInterface.h"
#include "automation/ServedObject.h"
#include "automation/Variants.h"
#include "platform/RuntimeError.h"

#include <QDBusObjectPath>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcServer, "tarvel.automation.server")

namespace tarvel::automation {

using platform::RuntimeError;

namespace {

const QString IntrospectableInterface = QStringLiteral("org.freedesktop.DBus.Introspectable");

const char *const StandardInterfaces =
    "  <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
    "    <method name=\"Introspect\">\n"
    "      <arg name=\"xml_data\" type=\"s\" direction=\"out\"/>\n"
    "    </method>\n"
    "  </interface>\n"
    "  <interface name=\"org.freedesktop.DBus.Peer\">\n"
    "    <method name=\"Ping\"/>\n"
    "    <method name=\"GetMachineId\">\n"
    "      <arg name=\"machine_uuid\" type=\"s\" direction=\"out\"/>\n"
    "    </method>\n"
    "  </interface>\n";

const char *const PropertiesInterfaceXml =
    "  <interface name=\"org.freedesktop.DBus.Properties\">\n"
    "    <method name=\"Get\">\n"
    "      <arg name=\"interface_name\" type=\"s\" direction=\"in\"/>\n"
    "      <arg name=\"property_name\" type=\"s\" direction=\"in\"/>\n"
    "      <arg name=\"value\" type=\"v\" direction=\"out\"/>\n"
    "    </method>\n"
    "    <method name=\"Set\">\n"
    "      <arg name=\"interface_name\" type=\"s\" direction=\"in\"/>\n"
    "      <arg name=\"property_name\" type=\"s\" direction=\"in\"/>\n"
    "      <arg name=\"value\" type=\"v\" direction=\"in\"/>\n"
    "    </method>\n"
    "    <method name=\"GetAll\">\n"
    "      <arg name=\"interface_name\" type=\"s\" direction=\"in\"/>\n"
    "      <arg name=\"values\" type=\"a{sv}\" direction=\"out\"/>\n"
    "    </method>\n"
    "  </interface>\n";

const char *const FactoryXml =
    "  <interface name=\"Tarvel.Server\">\n"
    "    <method name=\"CreateObject\">\n"
    "      <arg name=\"ProgId\" type=\"s\" direction=\"in\"/>\n"
    "      <arg name=\"object\" type=\"o\" direction=\"out\"/>\n"
    "    </method>\n"
    "  </interface>\n";

} // namespace

AutomationServer::AutomationServer(const QDBusConnection &connection, ClassRegistry registry,
                                   std::chrono::milliseconds grace, QObject *parent)
    : QDBusVirtualObject(parent),
      m_connection(connection),
      m_registry(std::move(registry)),
      m_queue(new CallQueue(this)),
      m_callers(new CallerTracker(connection, grace, this))
{
    connect(m_callers, &CallerTracker::abandoned, this, [this](const QString &path) {
        m_queue->post([this, path] { releaseObject(path, "Kein Aufrufer mehr"); });
    });
}

AutomationServer::~AutomationServer()
{
    releaseAll();
    m_connection.unregisterObject(QString::fromLatin1(RootPath), QDBusConnection::UnregisterTree);
}

bool AutomationServer::start()
{
    return m_connection.registerVirtualObject(QString::fromLatin1(RootPath), this, QDBusConnection::SubPath);
}

bool AutomationServer::idle() const
{
    return m_queue->idle();
}

void AutomationServer::send(const QDBusMessage &call, const QDBusMessage &reply)
{
    if (call.isReplyRequired())
        m_connection.send(reply);
}

bool AutomationServer::handleMessage(const QDBusMessage &message, const QDBusConnection &)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    if (message.member() == QLatin1String("Introspect")
        && (message.interface().isEmpty() || message.interface() == IntrospectableInterface)) {
        // Reading the description changes nothing, so it need not wait its turn.
        const QString xml = introspectionDocument(message.path());
        send(message, xml.isEmpty() ? message.createErrorReply(QDBusError::UnknownObject,
                                                               QStringLiteral("Unter %1 gibt es kein Objekt").arg(message.path()))
                                    : message.createReply(xml));
        return true;
    }
    if (message.interface() == QLatin1String("org.freedesktop.DBus.Peer"))
        return false;
    const QDBusMessage call = message;
    if (call.path() == QLatin1String(RootPath)) {
        emit createRequested();
        m_queue->post([this, call] { createObject(call); });
    } else {
        m_queue->post([this, call] { callObject(call); });
    }
    return true;
}

void AutomationServer::createObject(const QDBusMessage &call)
{
    try {
        if (!call.interface().isEmpty() && call.interface() != QLatin1String(FactoryInterface)) {
            send(call, call.createErrorReply(QDBusError::UnknownInterface,
                                             QStringLiteral("Die Schnittstelle %1 gibt es unter %2 nicht").arg(call.interface(), call.path())));
            return;
        }
        if (call.member() != QLatin1String("CreateObject")) {
            send(call, call.createErrorReply(QDBusError::UnknownMethod,
                                             QStringLiteral("Die Methode %1 gibt es in %2 nicht").arg(call.member(), QLatin1String(FactoryInterface))));
            return;
        }
        if (call.signature() != QLatin1String("s"))
            throw RuntimeError(RuntimeError::TypeMismatch,
                               QStringLiteral("CreateObject erwartet einen Text (s), erhalten \"%1\"").arg(call.signature()));
        const QString progId = call.arguments().at(0).toString();
        const ClassRegistry::Entry *entry = m_registry.find(progId);
        if (!entry)
            throw RuntimeError(RuntimeError::CannotCreateObject,
                               QStringLiteral("%1: unbekannte Klasse").arg(Variants::shown(progId)));
        if (m_refusing)
            throw RuntimeError(RuntimeError::CannotCreateObject,
                               QStringLiteral("%1: dieser Tarvel-Server endet gerade und ein neuer ist schon "
                                              "gestartet; CreateObject bitte wiederholen")
                                   .arg(progId));
        if (objectCount() >= MaxObjects)
            throw RuntimeError(RuntimeError::CannotCreateObject,
                               QStringLiteral("%1: der Server hält schon %2 Objekte, das Höchste; erst freigeben")
                                   .arg(progId)
                                   .arg(MaxObjects));
        if (const auto held = m_created.find(call.service());
            held != m_created.end() && held->second >= MaxObjectsPerCaller)
            throw RuntimeError(RuntimeError::CannotCreateObject,
                               QStringLiteral("%1: diese Verbindung hält schon %2 Objekte, das Höchste; erst "
                                              "freigeben")
                                   .arg(progId)
                                   .arg(MaxObjectsPerCaller));
        std::unique_ptr<ServedObject> object = entry->create();
        const QString path = QStringLiteral("%1/%2/%3")
                                 .arg(QLatin1String(RootPath), entry->pathName)
                                 .arg(m_numbers.next());
        object->setUserActionHandler([this](bool started) {
            if (started)
                m_queue->hold();
            else
                m_queue->unhold();
        });
        m_objects.emplace(path, std::move(object));
        m_creator[path] = call.service();
        ++m_created[call.service()];
        m_callers->noteCall(path, call.service());
        qCInfo(lcServer).noquote() << "Objekt" << path << "erstellt für" << call.service();
        emit objectCountChanged(objectCount());
        send(call, call.createReply(QVariant::fromValue(QDBusObjectPath(path))));
    } catch (...) {
        const QDBusMessage reply = DBusInterface::errorReply(call, std::current_exception());
        qCWarning(lcServer).noquote() << "CreateObject fehlgeschlagen:" << reply.errorMessage();
        send(call, reply);
    }
}

void AutomationServer::callObject(const QDBusMessage &call)
{
    const auto it = m_objects.find(call.path());
    if (it == m_objects.end()) {
        send(call, call.createErrorReply(QDBusError::UnknownObject,
                                         QStringLiteral("Unter %1 gibt es kein Objekt (freigegeben oder nie erstellt)").arg(call.path())));
        return;
    }
    ServedObject &object = *it->second;
    m_callers->noteCall(call.path(), call.service());
    const QDBusMessage reply = object.dbusInterface().dispatch(call);
    if (reply.type() == QDBusMessage::ErrorMessage)
        qCInfo(lcServer).noquote() << call.member() << "auf" << call.path() << ":" << reply.errorName() << reply.errorMessage();
    if (object.released()) {
        m_callers->forget(call.path());
        forgetCreator(call.path());
        m_objects.erase(call.path());
        qCInfo(lcServer).noquote() << "Objekt" << call.path() << "freigegeben";
        emit objectCountChanged(objectCount());
    }
    send(call, reply);
}

void AutomationServer::releaseObject(QString path, const char *why)
{
    const auto it = m_objects.find(path);
    if (it == m_objects.end())
        return;
    // Out of the table first: the release lets events run.
    std::unique_ptr<ServedObject> object = std::move(it->second);
    m_objects.erase(it);
    m_callers->forget(path);
    forgetCreator(path);
    qCInfo(lcServer).noquote() << QString::fromUtf8(why) + QStringLiteral(": Objekt") << path << "wird freigegeben";
    try {
        object->release();
    } catch (...) {
        const QDBusMessage dummy = QDBusMessage::createMethodCall(QString(), path, QString(), QStringLiteral("Release"));
        qCWarning(lcServer).noquote() << "Freigabe von" << path << "fehlgeschlagen:"
                                      << DBusInterface::errorReply(dummy, std::current_exception()).errorMessage();
    }
    object.reset();
    emit objectCountChanged(objectCount());
}

void AutomationServer::forgetCreator(const QString &path)
{
    const auto creator = m_creator.find(path);
    if (creator == m_creator.end())
        return;
    const auto count = m_created.find(creator->second);
    if (count != m_created.end() && --count->second <= 0)
        m_created.erase(count);
    m_creator.erase(creator);
}

void AutomationServer::releaseAll()
{
    while (!m_objects.empty())
        releaseObject(m_objects.begin()->first, "Server endet");
}

QString AutomationServer::introspect(const QString &path) const
{
    const QString doc = introspectionDocument(path);
    const qsizetype start = doc.indexOf(QLatin1String("<node>"));
    const qsizetype end = doc.lastIndexOf(QLatin1String("</node>"));
    return start < 0 || end < 0 ? QString() : doc.mid(start + 6, end - start - 6);
}

QString AutomationServer::introspectionDocument(const QString &path) const
{
    const QString root = QString::fromLatin1(RootPath);
    QString body;
    if (path == root) {
        body += QLatin1String(FactoryXml);
        QStringList children;
        for (const auto &[objectPath, object] : m_objects) {
            const QString name = objectPath.section(u'/', 2, 2);
            if (!children.contains(name))
                children << name;
        }
        for (const QString &c : children)
            body += QStringLiteral("  <node name=\"%1\"/>\n").arg(c);
    } else if (const auto it = m_objects.find(path); it != m_objects.end()) {
        body += QLatin1String(PropertiesInterfaceXml);
        body += it->second->dbusInterface().introspectionXml();
    } else if (path.startsWith(root + u'/') && path.count(u'/') == 2
               && m_registry.findByPathName(path.section(u'/', 2, 2))) {
        for (const auto &[objectPath, object] : m_objects) {
            if (objectPath.startsWith(path + u'/'))
                body += QStringLiteral("  <node name=\"%1\"/>\n").arg(objectPath.section(u'/', 3, 3));
        }
    } else {
        return {};
    }
    return QStringLiteral("<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
                          " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n<node>\n")
        + QLatin1String(StandardInterfaces) + body + QStringLiteral("</node>\n");
}

} // namespace tarvel::automation
