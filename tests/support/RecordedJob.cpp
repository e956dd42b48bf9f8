#include "support/RecordedJob.h"

#include "platform/RuntimeError.h"

namespace tarvel::test {

using platform::RecordingBackend;

RecordedJob::RecordedJob(double dpi)
{
    auto backend = std::make_unique<RecordingBackend>(dpi);
    m_rec = backend.get();
    m_printer = std::make_unique<platform::Printer>(std::move(backend));
    m_code.InitBreite(*m_printer, 0);
}

RecordedJob::Ops RecordedJob::during(const std::function<void()> &action)
{
    const auto from = m_rec->ops().size();
    action();
    return m_rec->ops().mid(from);
}

void RecordedJob::probe()
{
    m_printer->Print(QStringLiteral("Probe"));
}

int RecordedJob::count(Op::Kind kind) const
{
    return int(std::count_if(ops().begin(), ops().end(), [kind](const Op &op) { return op.kind == kind; }));
}

double RecordedJob::lineHeight(double size, bool bold, const QString &font)
{
    m_printer->setFontName(font);
    m_printer->setFontSize(size);
    m_printer->setFontBold(bold);
    return m_printer->TextHeight();
}

double RecordedJob::width(const QString &text, double size, bool bold)
{
    lineHeight(size, bold);
    return m_printer->TextWidth(text);
}

RecordedJob::Ops RecordedJob::texts(const Ops &ops)
{
    Ops out;
    for (const auto &op : ops)
        if (op.kind == Op::Text)
            out << op;
    return out;
}

const RecordedJob::Op *RecordedJob::text(const Ops &ops, const QString &text)
{
    for (const auto &op : ops)
        if (op.kind == Op::Text && op.text == text)
            return &op;
    return nullptr;
}

const RecordedJob::Op *RecordedJob::first(const Ops &ops, Op::Kind kind)
{
    for (const auto &op : ops)
        if (kind == Op::Line ? op.isBar() : op.kind == kind)
            return &op;
    return nullptr;
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

} // namespace tarvel::test
