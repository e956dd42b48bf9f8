#pragma once

#include "platform/PainterBackend.h"

#include <memory>

class QPrinter;

namespace tarvel::platform {

/// A printer of the system, through QPrinter and CUPS. The job goes to the
/// printer at its end.
class SystemPrinterBackend final : public PainterBackend
{
public:
    explicit SystemPrinterBackend(const QString &printerName);
    ~SystemPrinterBackend() override;

    QString deviceName() const override { return m_name; }
    double dpiX() const override;
    double dpiY() const override;

    void beginJob() override;
    QString endJob() override;
    void cancelJob() override;

    /// Whether the system knows a printer of that name.
    static bool exists(const QString &printerName);

private:
    QString m_name;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace tarvel::platform
