#pragma once

#include "automation/ClassRegistry.h"
#include "automation/ObjectNumbers.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <chrono>
#include <map>
#include <memory>

namespace tarvel::automation {

class CallQueue;
class CallerTracker;
class ServedObject;

/// Serves the factory at /Tarvel (interface "Tarvel.Server", CreateObject) and
/// every object created through it at /Tarvel/<class>/<n>, n never used by an
/// earlier server (ObjectNumbers). Every call runs in turn through one queue,
/// so no call runs in the middle of another. Objects live until Release, or
/// until a grace period after the last connection that called them has closed.
class AutomationServer : public QDBusVirtualObject
{
    Q_OBJECT
public:
    AutomationServer(const QDBusConnection &connection, ClassRegistry registry,
                     std::chrono::milliseconds grace = std::chrono::seconds(30), QObject *parent = nullptr);
    ~AutomationServer() override;

    /// Registers /Tarvel and everything below it. False if the path is taken.
    bool start();
    int objectCount() const { return int(m_objects.size()); }
    /// Nothing runs or waits in the queue.
    bool idle() const;
    /// Releases every object as Release does (server shutdown).
    void releaseAll();
    /// CreateObject is error 429 from now on: another server holds the names,
    /// and a client retrying reaches that one.
    void refuseNewObjects() { m_refusing = true; }

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

    static constexpr const char *RootPath = "/Tarvel";
    /// Live objects one connection may have created, and all together: a
    /// runaway client gets error 429 instead of filling the memory.
    static constexpr int MaxObjectsPerCaller = 64;
    static constexpr int MaxObjects = 512;
    static constexpr const char *FactoryInterface = "Tarvel.Server";

signals:
    /// The number of live objects changed.
    void objectCountChanged(int count);
    /// A client asked for a new object.
    void createRequested();

private:
    void createObject(const QDBusMessage &call);
    void callObject(const QDBusMessage &call);
    /// \a path by value: callers pass keys of the table this erases from.
    void releaseObject(QString path, const char *why);
    void send(const QDBusMessage &call, const QDBusMessage &reply);
    /// Takes \a path off the count of the connection that created it.
    void forgetCreator(const QString &path);
    QString introspectionDocument(const QString &path) const;

    QDBusConnection m_connection;
    ClassRegistry m_registry;
    CallQueue *m_queue;
    CallerTracker *m_callers;
    std::map<QString, std::unique_ptr<ServedObject>> m_objects;
    ObjectNumbers m_numbers;
    std::map<QString, QString> m_creator; // object path -> connection that created it
    std::map<QString, int> m_created;     // connection -> its live objects
    bool m_refusing = false;
};

} // namespace tarvel::automation
