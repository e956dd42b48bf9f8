#include "platform/FieldTag.h"

#include "platform/Printer.h"

#include <exception>

namespace tarvel::platform {

FieldTag::FieldTag(Printer &printer, const QString &field)
    : m_printer(printer), m_before(printer.tag().field), m_unwinding(std::uncaught_exceptions())
{
    set(field);
}

FieldTag::~FieldTag()
{
    if (std::uncaught_exceptions() == m_unwinding)
        m_printer.setTagField(m_before);
}

void FieldTag::set(const QString &field)
{
    m_printer.setTagField(field);
}

} // namespace tarvel::platform
