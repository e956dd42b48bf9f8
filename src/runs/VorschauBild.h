#pragma once

#include "platform/PainterBackend.h"

#include <QImage>

namespace tarvel::runs {

/// Draws one page of a preview onto an image of the page's printable area, at
/// the scale the image's dots per metre give: the preview's picture of a page,
/// drawn as the PDF and the system printers draw it. Takes no second page.
class VorschauBild final : public platform::PainterBackend
{
public:
    /// \a bild stays the caller's and must outlive the backend's job; it is
    /// filled white when the page begins.
    explicit VorschauBild(QImage &bild);
    ~VorschauBild() override;

    QString deviceName() const override { return QStringLiteral("Vorschau"); }
    double dpiX() const override;
    double dpiY() const override;
    void beginJob() override;
    QString endJob() override;
    void cancelJob() override;

private:
    QImage &m_bild;
};

} // namespace tarvel::runs
