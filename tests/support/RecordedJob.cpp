#include "support/RecordedJob.h"

#include "platform/RuntimeError.h"

#include <algorithm>

namespace tarvel::test {

using platform::RecordingBackend;

RecordedJob::RecordedJob(double dpi)
    : m_rec(new RecordingBackend(dpi)), m_owned(std::make_unique<platform::Printer>(std::unique_ptr<RecordingBackend>(m_rec))),
      m_printer(m_owned.get()), m_ruler(std::make_unique<RecordingBackend>(dpi))
{
    m_code.InitBreite(*m_printer, 0);
}

RecordedJob::Ops RecordedJob::during(const std::function<void()> &action)
{
    const auto from = m_rec->ops().size();
    action();
    return m_rec->ops().mid(from);
}

RecordedJob::Ops RecordedJob::take()
{
    Ops out = m_rec->ops();
    m_rec->clear();
    return out;
}

int RecordedJob::count(Op::Kind kind) const
{
    return int(std::count_if(ops().begin(), ops().end(), [kind](const Op &op) { return op.kind == kind; }));
}

QList<RecordedJob::Ops> RecordedJob::pages() const
{
    QList<Ops> out(1);
    for (const auto &op : ops())
        if (op.kind == Op::NewPage)
            out.append(Ops{});
        else if (op.kind == Op::Text || op.kind == Op::Line)
            out.last().append(op);
    return out;
}

double RecordedJob::lineHeight(double size, bool bold, const QString &font)
{
    m_ruler.setFontName(font);
    m_ruler.setFontSize(size);
    m_ruler.setFontBold(bold);
    return m_ruler.TextHeight();
}

double RecordedJob::width(const QString &text, double size, bool bold)
{
    lineHeight(size, bold);
    return m_ruler.TextWidth(text);
}

QRectF RecordedJob::box(const Op &text)
{
    const double height = lineHeight(text.font.size, text.font.bold, text.font.name);
    return QRectF(text.x, text.y, m_ruler.TextWidth(text.text), height);
}

QString RecordedJob::crowded(const Ops &ops, const QRectF &place)
{
    QList<std::pair<const Op *, QRectF>> seen;
    for (const auto &op : ops) {
        if (op.kind != Op::Text && op.kind != Op::RotatedText && !op.isBar())
            continue;
        const double rise = op.kind == Op::RotatedText ? width(op.text, op.font.size) : 0; // it grows upward
        const QRectF box = op.kind == Op::Text ? this->box(op)
                           : op.isBar()        ? QRectF(op.x, op.y, op.penWidth * m_ruler.TwipsPerPixelX(), op.height)
                                               : QRectF(op.x, op.y - rise, op.height, rise);
        const auto name = [](const Op &o) { return o.kind == Op::Line ? QStringLiteral("Strich") : o.text; };
        if (!place.contains(box))
            return name(op) + QStringLiteral(" außerhalb");
        for (const auto &[other, otherBox] : seen) {
            QRectF a = box, b = otherBox;
            if (op.kind == Op::Text && other->kind == Op::Text)
                a.setHeight(std::min(a.height(), b.height())), b.setHeight(a.height());
            const QRectF common = a.intersected(b);
            if (common.width() > 1 && common.height() > 1)
                return name(op) + QStringLiteral(" trifft ") + name(*other);
        }
        seen.append({&op, box});
    }
    return {};
}

RecordedJob::Ops RecordedJob::texts(const Ops &ops)
{
    Ops out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [](const Op &op) { return op.kind == Op::Text; });
    return out;
}

const RecordedJob::Op *RecordedJob::text(const Ops &ops, const QString &text)
{
    const auto it =
        std::find_if(ops.begin(), ops.end(), [&](const Op &op) { return op.kind == Op::Text && op.text == text; });
    return it == ops.end() ? nullptr : &*it;
}

const RecordedJob::Op *RecordedJob::first(const Ops &ops, Op::Kind kind)
{
    const auto it = std::find_if(ops.begin(), ops.end(),
                                 [kind](const Op &op) { return kind == Op::Line ? op.isBar() : op.kind == kind; });
    return it == ops.end() ? nullptr : &*it;
}

int RecordedJob::errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const platform::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

QString RecordedJob::messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const platform::RuntimeError &e) {
        return e.message();
    }
    return {};
}

} // namespace tarvel::test
