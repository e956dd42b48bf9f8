#include "platform/PrintTransaction.h"

#include "platform/Printer.h"

namespace tarvel::platform {

PrintTransaction::PrintTransaction(Printer &printer) : m_printer(printer), m_open(printer.mark()) {}

PrintTransaction::~PrintTransaction()
{
    if (m_open)
        m_printer.rollback();
}

void PrintTransaction::commit()
{
    if (!m_open)
        return;
    m_open = false;
    m_printer.commit();
}

} // namespace tarvel::platform
