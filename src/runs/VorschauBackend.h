#pragma once

#include "platform/PainterBackend.h"

class QPrinter;

namespace tarvel::runs {

/// Draws a run onto the QPrinter of a print preview: the same drawing as the
/// PDF and the system printers, on the page and at the resolution the preview's
/// printer was given. A job ends on the preview; nothing is delivered anywhere.
class VorschauBackend final : public platform::PainterBackend
{
public:
    /// \a ziel stays the caller's and must outlive the backend's job.
    VorschauBackend(QPrinter &ziel, QString name);
    ~VorschauBackend() override;

    QString deviceName() const override { return m_name; }
    double dpiX() const override;
    double dpiY() const override;
    QSizeF printableSize() const override;
    void beginJob() override;
    QString endJob() override;
    void cancelJob() override;

private:
    QPrinter &m_ziel;
    QString m_name;
};

} // namespace tarvel::runs
