#include "sheets/DateiLayout.h"

#include "platform/Printer.h"

namespace tarvel::sheets {

void DateiLayout::satzEnde()
{
    if (!m_barcodeFehler)
        return;
    const platform::RuntimeError fehler = *std::exchange(m_barcodeFehler, std::nullopt);
    m_printer.setTagField(QStringLiteral("BestellNr"));
    throw fehler;
}

} // namespace tarvel::sheets
