#pragma once

#include "automation/AdressLabelsObject.h"
#include "automation/DBusInterface.h"
#include "automation/ServedObject.h"

#include <QObject>
#include <memory>

namespace tarvel::automation {

/// Serves an AdressLabelsObject on D-Bus as the interface "Tarvel.AdressLabels":
/// StartPosition, Drucke (which answers with the lines as printed), Release.
class AdressLabelsAdaptor final : public QObject, public ServedObject
{
    Q_OBJECT
public:
    explicit AdressLabelsAdaptor(std::unique_ptr<AdressLabelsObject> labels);
    ~AdressLabelsAdaptor() override;

    const DBusInterface &dbusInterface() const override { return m_interface; }
    void release() override;
    bool released() const override { return m_labels->released(); }

    static constexpr const char *InterfaceName = "Tarvel.AdressLabels";

private:
    void describe();

    std::unique_ptr<AdressLabelsObject> m_labels;
    DBusInterface m_interface;
};

} // namespace tarvel::automation
