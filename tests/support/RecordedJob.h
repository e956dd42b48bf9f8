#pragma once

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <functional>
#include <memory>

namespace tarvel::test {

/// A print job on the recording backend, the bar width set as the setup dialog leaves it, and
/// readers of what it recorded: the one harness of the tests that look at what a layout draws.
class RecordedJob
{
public:
    using Op = platform::RecordedOp;
    using Ops = QList<platform::RecordedOp>;

    explicit RecordedJob(double dpi = 300.0);

    platform::Printer &printer() { return *m_printer; }
    barcode::Code128 &code() { return m_code; }
    platform::RecordingBackend &backend() { return *m_rec; }
    /// Gives the printer to an owner (an automation object); the job goes on
    /// reading what it records while that owner lives.
    std::unique_ptr<platform::Printer> handOver() { return std::move(m_owned); }

    const Ops &ops() const { return m_rec->ops(); }
    /// What \a action recorded.
    Ops during(const std::function<void()> &action);
    /// What was recorded so far, dropped from the recording: long runs stay small.
    Ops take();
    int count(Op::Kind kind) const;
    /// The texts and lines of each page, split at the page breaks.
    QList<Ops> pages() const;

    /// Line height and text width in a font (Arial unless named), measured
    /// apart from the job, whose font stays as the layouts left it.
    double lineHeight(double size, bool bold = false, const QString &font = QStringLiteral("Arial"));
    double width(const QString &text, double size, bool bold = false);
    /// The box a text op fills: its width and one line of its font.
    QRectF box(const Op &text);
    /// The first text, bar or turned text of \a ops that leaves \a place or meets
    /// another ("MUSTER trifft 12,00"); empty when all sit well. Two lines meet
    /// when one starts before the shorter of the two has ended.
    QString crowded(const Ops &ops, const QRectF &place);

    static Ops texts(const Ops &ops);
    /// The first text op showing \a text, or null.
    static const Op *text(const Ops &ops, const QString &text);
    /// The first op of \a kind (for Line: the first bar), or null.
    static const Op *first(const Ops &ops, Op::Kind kind);
    /// The number of the run-time error \a action raises, 0 for none.
    static int errorOf(const std::function<void()> &action);
    /// The message of the run-time error \a action raises, empty for none.
    static QString messageOf(const std::function<void()> &action);

private:
    platform::RecordingBackend *m_rec;
    std::unique_ptr<platform::Printer> m_owned;
    platform::Printer *m_printer;
    platform::Printer m_ruler;
    barcode::Code128 m_code;
};

} // namespace tarvel::test
