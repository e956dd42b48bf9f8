#include "automation/CallerTracker.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcCallers, "tarvel.automation.callers", QtInfoMsg)

namespace tarvel::automation {

CallerTracker::CallerTracker(const QDBusConnection &connection, std::chrono::milliseconds grace, QObject *parent)
    : QObject(parent),
      m_connection(connection),
      m_grace(grace),
      m_watcher(new QDBusServiceWatcher(QString(), connection, QDBusServiceWatcher::WatchForUnregistration, this))
{
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &CallerTracker::callerGone);
}

CallerTracker::~CallerTracker() = default;

void CallerTracker::noteCall(const QString &object, const QString &caller)
{
    if (caller.isEmpty())
        return; // a direct connection without a bus: nothing to watch
    stopGrace(object);
    m_callers[object].insert(caller);
    const bool known = m_objects.contains(caller);
    m_objects[caller].insert(object);
    if (known)
        return;
    m_watcher->addWatchedService(caller);
    // A caller may have gone before the watch was in place (a shell's one-off
    // call): ask the bus, after the watch, whether the name still has an owner.
    const QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"))
        << caller;
    auto *pending = new QDBusPendingCallWatcher(m_connection.asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, caller](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<bool> reply = *w;
        if (reply.isValid() && !reply.value())
            callerGone(caller);
        w->deleteLater();
    });
}

void CallerTracker::forget(const QString &object)
{
    stopGrace(object);
    const QSet<QString> callers = m_callers.take(object);
    for (const QString &caller : callers) {
        auto it = m_objects.find(caller);
        if (it == m_objects.end())
            continue;
        it->remove(object);
        if (it->isEmpty()) {
            m_objects.erase(it);
            m_watcher->removeWatchedService(caller);
        }
    }
}

void CallerTracker::callerGone(const QString &caller)
{
    const QSet<QString> objects = m_objects.take(caller);
    if (objects.isEmpty())
        return;
    m_watcher->removeWatchedService(caller);
    for (const QString &object : objects) {
        auto it = m_callers.find(object);
        if (it == m_callers.end())
            continue;
        it->remove(caller);
        if (it->isEmpty()) {
            qCDebug(lcCallers).noquote() << "Letzte Verbindung zu" << object << "geschlossen; es wartet"
                                        << m_grace.count() / 1000.0 << "s auf einen neuen Aufruf";
            startGrace(object);
        }
    }
}

void CallerTracker::startGrace(const QString &object)
{
    if (m_graceTimers.contains(object))
        return;
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer); // the grace period is a promise to clients
    timer->setInterval(m_grace);
    connect(timer, &QTimer::timeout, this, [this, object] {
        stopGrace(object);
        emit abandoned(object);
    });
    m_graceTimers.insert(object, timer);
    timer->start();
}

void CallerTracker::stopGrace(const QString &object)
{
    if (QTimer *timer = m_graceTimers.take(object)) {
        timer->stop();
        timer->deleteLater();
    }
}

} // namespace tarvel::automation
