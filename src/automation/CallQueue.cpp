#include "automation/CallQueue.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcQueue, "tarvel.automation.queue")

namespace tarvel::automation {

CallQueue::CallQueue(QObject *parent) : QObject(parent) {}

void CallQueue::post(std::function<void()> call)
{
    if (idle()) {
        runOne(call);
        return;
    }
    m_calls.push_back(std::move(call));
    schedule();
}

void CallQueue::hold()
{
    ++m_holds;
}

void CallQueue::unhold()
{
    if (m_holds > 0 && --m_holds == 0 && !m_calls.empty())
        schedule();
}

void CallQueue::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, &CallQueue::runNext, Qt::QueuedConnection);
}

void CallQueue::runNext()
{
    m_scheduled = false;
    // Inside a running call or a held user action this is a nested event
    // loop: the waiting calls go on when that call or action has ended.
    if (m_running || m_holds > 0 || m_calls.empty())
        return;
    auto call = std::move(m_calls.front());
    m_calls.pop_front();
    runOne(call);
}

void CallQueue::runOne(std::function<void()> &call)
{
    m_running = true;
    try {
        call();
    } catch (const std::exception &e) {
        qCCritical(lcQueue) << "Aufruf mit unbehandeltem Fehler beendet:" << e.what();
    } catch (...) {
        qCCritical(lcQueue) << "Aufruf mit unbekanntem Fehler beendet";
    }
    m_running = false;
    if (m_holds == 0 && !m_calls.empty())
        schedule();
}

} // namespace tarvel::automation
