#pragma once

#include <QObject>
#include <deque>
#include <functional>

namespace tarvel::automation {

/// Runs clients' calls one at a time. A call that arrives while another runs
/// (for instance while that one lets pending events run) waits its turn, and
/// so does one that arrives during a user action in a dialog (hold).
class CallQueue : public QObject
{
    Q_OBJECT
public:
    explicit CallQueue(QObject *parent = nullptr);

    /// Runs \a call now if nothing runs or waits, otherwise after the others.
    void post(std::function<void()> call);
    /// Keeps calls waiting until as many unhold() as hold() have been made.
    void hold();
    void unhold();
    /// Nothing runs, waits or holds.
    bool idle() const { return !m_running && m_holds == 0 && m_calls.empty(); }

private:
    void schedule();
    void runNext();
    void runOne(std::function<void()> &call);

    std::deque<std::function<void()>> m_calls;
    bool m_running = false;
    bool m_scheduled = false;
    int m_holds = 0;
};

} // namespace tarvel::automation
