#pragma once

#include <functional>

namespace tarvel::automation {

class DBusInterface;

/// An object the automation server serves to clients: its interface, and
/// whether a member (Release) has ended it.
class ServedObject
{
public:
    virtual ~ServedObject() = default;

    virtual const DBusInterface &dbusInterface() const = 0;
    /// Releases the object as its Release member does; throws what that throws.
    virtual void release() = 0;
    virtual bool released() const = 0;

    /// Told when a user action in the object's own windows starts (true) and
    /// ends (false), so that clients' calls wait for it.
    void setUserActionHandler(std::function<void(bool started)> handler) { m_userAction = std::move(handler); }

protected:
    void userAction(bool started)
    {
        if (m_userAction)
            m_userAction(started);
    }

private:
    std::function<void(bool)> m_userAction;
};

} // namespace tarvel::automation
