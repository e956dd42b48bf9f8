#pragma once

#include <QString>

namespace tarvel::labelprinter {

/// The two boxes of the bar-width step: `Strichbreite` (read and rewritten)
/// and `MaxZeichen` (written). The setup dialog SetupFrm and the main window
/// Quelm implement it with their text boxes; layouts run without a window, as
/// in the tests, use PlainBarWidthBoxes.
class BarWidthBoxes
{
public:
    virtual ~BarWidthBoxes() = default;
    virtual QString strichbreite() const = 0;
    virtual void setStrichbreite(const QString &text) = 0;
    virtual void setMaxZeichen(const QString &text) = 0;
};

/// Boxes that are plain texts, for layouts run without a window.
class PlainBarWidthBoxes final : public BarWidthBoxes
{
public:
    explicit PlainBarWidthBoxes(QString strichbreite = QStringLiteral("0")) : m_strichbreite(std::move(strichbreite)) {}
    QString strichbreite() const override { return m_strichbreite; }
    void setStrichbreite(const QString &text) override { m_strichbreite = text; }
    void setMaxZeichen(const QString &text) override { m_maxZeichen = text; }
    QString maxZeichen() const { return m_maxZeichen; }

private:
    QString m_strichbreite;
    QString m_maxZeichen;
};

} // namespace tarvel::labelprinter
