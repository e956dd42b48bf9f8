#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>
#include <chrono>

class QDBusServiceWatcher;
class QTimer;

namespace tarvel::automation {

/// Knows which connections have called each object. When the last of them has
/// closed, the object waits a grace period for a call from a new connection;
/// if none comes, it is abandoned and the server releases it.
class CallerTracker : public QObject
{
    Q_OBJECT
public:
    CallerTracker(const QDBusConnection &connection, std::chrono::milliseconds grace, QObject *parent = nullptr);
    ~CallerTracker() override;

    /// \a caller (a unique bus name) has called \a object, or created it.
    void noteCall(const QString &object, const QString &caller);
    /// \a object is gone: no more tracking, no abandonment.
    void forget(const QString &object);

signals:
    /// No connection that called \a object is left, and no new one came in the grace period.
    void abandoned(const QString &object);

private:
    void callerGone(const QString &caller);
    void startGrace(const QString &object);
    void stopGrace(const QString &object);

    QDBusConnection m_connection;
    std::chrono::milliseconds m_grace;
    QDBusServiceWatcher *m_watcher;
    QHash<QString, QSet<QString>> m_callers;   // object -> callers
    QHash<QString, QSet<QString>> m_objects;   // caller -> objects
    QHash<QString, QTimer *> m_graceTimers;    // object -> its grace period
};

} // namespace tarvel::automation
