#include "automation/AdressLabelsObject.h"

#include "automation/Variants.h"

#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/AdressLabels.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAdressLabels, "tarvel.adresslabels")

namespace tarvel::automation {

using platform::RuntimeError;

AdressLabelsObject::AdressLabelsObject() : AdressLabelsObject(std::make_unique<platform::Printer>()) {}

AdressLabelsObject::AdressLabelsObject(std::unique_ptr<platform::Printer> printer)
    : m_printer(printer ? std::move(printer) : std::make_unique<platform::Printer>()),
      m_labels(std::make_unique<sheets::AdressLabels>(*m_printer))
{
}

AdressLabelsObject::~AdressLabelsObject()
{
    if (!m_released) {
        try {
            Release();
        } catch (const RuntimeError &e) {
            qCWarning(lcAdressLabels).noquote() << "Druckauftrag der Adressetiketten beim Freigeben verloren:"
                                                << e.message();
        }
    }
}

void AdressLabelsObject::setStartPosition(qint16 pos)
{
    m_labels->setStartPosition(pos);
}

QStringList AdressLabelsObject::Drucke(qint16 FettZeile, const QStringList &Zeile)
{
    for (qsizetype i = 0; i < Zeile.size(); ++i)
        Variants::checkLength(QStringLiteral("Zeile(%1)").arg(i), Zeile[i]);
    return m_labels->Drucke(FettZeile, Zeile);
}

QString AdressLabelsObject::Release()
{
    if (m_released)
        return {};
    m_released = true;
    // A job is open once a label has drawn something; a refused call opens none.
    return m_printer->EndDoc();
}

} // namespace tarvel::automation
