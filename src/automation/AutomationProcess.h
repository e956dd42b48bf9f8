#pragma once

#include <QObject>
#include <chrono>

namespace tarvel::automation {

/// The process started as automation server (start mode 1): it owns the bus
/// names of the public classes, serves them until the last object is gone,
/// then waits a little for a new client and ends.
class AutomationProcess : public QObject
{
    Q_OBJECT
public:
    /// Runs the server; returns the process's exit code. A process that finds
    /// the names owned by another one leaves them to it and ends with 0.
    static int run(int &argc, char **argv);

    /// How long an object waits for a new caller once its callers are gone.
    static constexpr std::chrono::seconds CallerGrace{30};
    /// CallerGrace; in a build with the tests, the milliseconds in the
    /// environment variable TARVEL_TEST_GRACE_MS instead, so that the tests of
    /// abandoned objects need not wait 30 s. Never set outside the tests.
    static std::chrono::milliseconds callerGrace();
    /// How long the process waits for a new object once the last one is gone.
    static constexpr std::chrono::seconds IdleExit{10};
    /// IdleExit; in a build with the tests, the milliseconds in
    /// TARVEL_TEST_IDLE_MS instead (the tests of a server's end).
    static std::chrono::milliseconds idleExit();
    /// How long a server that has given up its names still answers calls
    /// that were sent to it before.
    static constexpr std::chrono::milliseconds LastCalls{500};

private:
    AutomationProcess() = default;
    /// Lets SIGTERM and SIGINT end the event loop, so open jobs are still delivered.
    void watchTerminationSignals();
};

} // namespace tarvel::automation
