#pragma once

#include <QtGlobal>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::sheets {

/// Confines a label's drawing to its place on the sheet for as long as it
/// lives, so a long text ends at the label's edge instead of on its
/// neighbour. Lifted again when it goes, also when drawing fails.
class LabelClip
{
public:
    LabelClip(platform::Printer &printer, qint32 x, qint32 y, qint32 width, qint32 height);
    ~LabelClip();
    LabelClip(const LabelClip &) = delete;
    LabelClip &operator=(const LabelClip &) = delete;

    /// Moves the clip to another part of the label (one of its columns).
    void to(qint32 x, qint32 y, qint32 width, qint32 height);

private:
    platform::Printer &m_printer;
};

} // namespace tarvel::sheets
