#pragma once

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <functional>
#include <memory>

namespace tarvel::test {

/// A print job on the recording backend, with the bar width set as the setup
/// dialog leaves it, and readers of what the job recorded.
class RecordedJob
{
public:
    using Op = platform::RecordedOp;
    using Ops = QList<platform::RecordedOp>;

    explicit RecordedJob(double dpi = 300.0);

    platform::Printer &printer() { return *m_printer; }
    barcode::Code128 &code() { return m_code; }
    const Ops &ops() const { return m_rec->ops(); }
    /// What \a action recorded.
    Ops during(const std::function<void()> &action);
    /// Prints one short line, so that a page break still pending shows in the recording.
    void probe();
    int count(Op::Kind kind) const;
    /// Line height and text width in a font of the surface (Arial unless named).
    double lineHeight(double size, bool bold = false, const QString &font = QStringLiteral("Arial"));
    double width(const QString &text, double size, bool bold = false);

    static Ops texts(const Ops &ops);
    /// The first text op showing \a text, or null.
    static const Op *text(const Ops &ops, const QString &text);
    /// The first op of \a kind (for Line: the first bar), or null.
    static const Op *first(const Ops &ops, Op::Kind kind);
    /// The number of the run-time error \a action raises, 0 for none.
    static int errorOf(const std::function<void()> &action);

private:
    platform::RecordingBackend *m_rec;
    std::unique_ptr<platform::Printer> m_printer;
    barcode::Code128 m_code;
};

} // namespace tarvel::test
