#include "automation/Application.h"

#include "automation/NotImplemented.h"
#include "barcode/Code128.h"
#include "labelprinter/SetupFrm.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcApplication, "tarvel.application")

namespace tarvel::automation {

using labelprinter::LabelData;
using platform::RuntimeError;

barcode::Code128 &Application::sharedCode128()
{
    static barcode::Code128 code;
    return code;
}

Application::Application() : Application(std::make_unique<platform::Printer>()) {}

Application::Application(std::unique_ptr<platform::Printer> printer)
    : m_printer(printer ? std::move(printer) : std::make_unique<platform::Printer>())
{
    m_dialog = std::make_unique<labelprinter::SetupFrm>(*m_printer, sharedCode128());
    m_dialog->show();
    QCoreApplication::processEvents();
}

Application::~Application()
{
    if (!m_released) {
        try {
            Release();
        } catch (const RuntimeError &e) {
            qCWarning(lcApplication).noquote() << "Druckauftrag beim Freigeben verloren:" << e.message();
        }
    }
}

void Application::pause()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
}

void Application::countPrint()
{
    if (m_counter == 32767)
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("(Druckzähler des Objekts über 32767)"));
    ++m_counter;
}

template<typename Layout>
void Application::labelStep(Layout layout)
{
    pause();
    // A test print in the dialog may have ended the job: then the label opens
    // a fresh one instead of leaving a blank first page.
    if (m_counter > 0 && m_printer->hasOpenJob())
        m_printer->NewPage();
    countPrint();
    layout();
}

void Application::Setup()
{
    m_dialog->show();
    QCoreApplication::processEvents();
    m_dialog->Setup();
}

void Application::DruckeLabel()
{
    labelStep([this] { m_dialog->EinLabel(); });
}

void Application::DruckeEtikett()
{
    labelStep([this] { m_dialog->Etikett(); });
}

void Application::DruckeKanuEtikett()
{
    labelStep([this] { m_dialog->KanuEtikett(); });
}

// The pickup slip and the sheet layouts come with the sheet printers. Each of
// these members refuses before it pauses or counts, so a refused call changes
// nothing. Wiring one in replaces its throw by the steps noted beside it.

void Application::DruckeAbholschein()
{
    // pause(); countPrint(); m_dialog->setStartPosition(1);
    // m_dialog->Abholschein(m_zeile, m_zuHaenden, m_anrede, 1);
    throw NotImplemented(QStringLiteral("DruckeAbholschein"));
}

void Application::DruckeAbholscheinDINA4()
{
    // pause(); countPrint(); m_dialog->Abholschein(m_zeile, m_zuHaenden, m_anrede, 4);
    throw NotImplemented(QStringLiteral("DruckeAbholscheinDINA4"));
}

void Application::DruckeListe()
{
    // pause(); if (m_counter == 0) liste().Kopf(); countPrint();
    // liste().Drucke(ArtikelNr, ISBN, MatchCode, Preis1, Preis2);
    throw NotImplemented(QStringLiteral("DruckeListe"));
}

void Application::DruckeLaserLabel()
{
    // pause(); countPrint(); const qint32 x = m_dialog->OffsetX(), y = m_dialog->OffsetY();
    // laserLabels().Drucke(x, y, ArtikelNr, ISBN, MatchCode, Preis1, Preis2);
    throw NotImplemented(QStringLiteral("DruckeLaserLabel"));
}

void Application::DruckeLaserLabel4Bahn()
{
    // pause(); countPrint(); OffsetX, OffsetY, Abstand4Bahn from the dialog;
    // laserLabels4Bahn().Drucke(x, y, abstand, ArtikelNr, ISBN, MatchCode, Preis1, Preis2);
    throw NotImplemented(QStringLiteral("DruckeLaserLabel4Bahn"));
}

void Application::DruckeAdressLabel(qint16 FettZeile)
{
    Q_UNUSED(FettZeile);
    // pause(); countPrint(); adressLabels().Drucke(FettZeile, m_zeile);
    throw NotImplemented(QStringLiteral("DruckeAdressLabel"));
}

void Application::setStartPosition(qint16 pos)
{
    m_dialog->setStartPosition(pos);
    // Then, in this order, on the address label, laser sheet and four-lane
    // printers, each created here on first use.
}

QString Application::recordField(QString LabelData::*field) const
{
    return m_record.*field;
}

void Application::setRecordField(QString LabelData::*field, const QString &text)
{
    m_record.*field = text;
    m_dialog->setRecordField(field, text);
    QCoreApplication::processEvents();
}

void Application::setText(QString LabelData::*field, const QString &text)
{
    m_dialog->setText(field, text);
}

void Application::setZeile(qint16 nr, const QString &st)
{
    if (nr < 0 || nr >= qint16(m_zeile.size()))
        throw RuntimeError(RuntimeError::SubscriptOutOfRange,
                           QStringLiteral("(Zeile %1)").arg(nr));
    m_zeile[size_t(nr)] = st;
}

QString Application::Release()
{
    if (m_released)
        return {};
    m_released = true;
    QString where;
    std::exception_ptr failure;
    try {
        if (m_counter > 0)
            where = m_printer->EndDoc();
        else
            m_printer->KillDoc();
    } catch (...) {
        failure = std::current_exception();
    }
    m_dialog->unload();
    if (failure)
        std::rethrow_exception(failure);
    return where;
}

} // namespace tarvel::automation
