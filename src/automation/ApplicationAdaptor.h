#pragma once

#include "automation/Application.h"
#include "automation/DBusInterface.h"
#include "automation/ServedObject.h"

#include <QObject>
#include <memory>

namespace tarvel::automation {

/// Serves an Application object on D-Bus as the interface "Tarvel.Application":
/// its 42 members in their fixed order, then Release.
class ApplicationAdaptor final : public QObject, public ServedObject
{
    Q_OBJECT
public:
    explicit ApplicationAdaptor(std::unique_ptr<Application> application);
    ~ApplicationAdaptor() override;

    const DBusInterface &dbusInterface() const override { return m_interface; }
    void release() override;
    bool released() const override { return m_application->released(); }

    static constexpr const char *InterfaceName = "Tarvel.Application";

private:
    void describe();

    std::unique_ptr<Application> m_application;
    DBusInterface m_interface;
};

} // namespace tarvel::automation
