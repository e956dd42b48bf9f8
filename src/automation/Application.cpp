#include "automation/Application.h"

#include "automation/Variants.h"

#include "barcode/Code128.h"
#include "labelprinter/SetupFrm.h"
#include "platform/PrintTransaction.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "sheets/AdressLabels.h"
#include "sheets/LaserLabels.h"
#include "sheets/LaserLabels4Bahn.h"
#include "sheets/Liste.h"
#include "sheets/SheetPlace.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcApplication, "tarvel.application")

namespace tarvel::automation {

using labelprinter::LabelData;
using platform::RuntimeError;

namespace {

/// The property name of a record or dialog field, for error messages.
QString fieldName(QString LabelData::*field)
{
    static const std::pair<QString LabelData::*, const char *> names[] = {
        {&LabelData::ArtikelNr, "ArtikelNr"},       {&LabelData::Preis1, "Preis1"},
        {&LabelData::Preis2, "Preis2"},             {&LabelData::MatchCode, "MatchCode"},
        {&LabelData::WarenGruppe, "WarenGruppe"},   {&LabelData::ISBN, "ISBN"},
        {&LabelData::Titel, "Titel"},               {&LabelData::Autor, "Autor"},
        {&LabelData::Verlag, "Verlag"},             {&LabelData::Bemerkung, "Bemerkung"},
        {&LabelData::VorgangsNr, "VorgangsNr"},     {&LabelData::Datum, "Datum"},
        {&LabelData::BestellDatum, "BestellDatum"}, {&LabelData::KdNr, "KdNr"},
        {&LabelData::Name1, "Name1"},               {&LabelData::Name2, "Name2"},
        {&LabelData::Strasse, "Strasse"},           {&LabelData::PLZ, "PLZ"},
        {&LabelData::Ort, "Ort"},                   {&LabelData::Telefon, "Telefon"},
        {&LabelData::SchlussText, "SchlussText"},   {&LabelData::Menge, "Menge"},
    };
    for (const auto &[f, name] : names) {
        if (f == field)
            return QLatin1String(name);
    }
    return QStringLiteral("Feld");
}

} // namespace

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
    // A round that found nothing to do ends the pause: the rounds after it would
    // only poll the event sources again, ten system calls a label for nothing.
    QAbstractEventDispatcher *events = QAbstractEventDispatcher::instance();
    for (int i = 0; i < 10; ++i) {
        if (!events || !events->processEvents(QEventLoop::AllEvents))
            break;
    }
}

void Application::countPrint()
{
    if (m_counter == 32767)
        throw RuntimeError(RuntimeError::Overflow, QStringLiteral("Druckzähler des Objekts über 32767"));
    ++m_counter;
}

template<typename Print>
void Application::printCall(Kind kind, Print print)
{
    pause();
    platform::PrintTransaction call(*m_printer);
    m_printer->plainText();
    if (!sharesPage(kind) && m_printer->pageHasOutput())
        m_printer->NewPage();
    print();
    call.commit();
    m_lastKind = kind;
}

bool Application::sharesPage(Kind kind)
{
    if (kind == m_lastKind)
        return true;
    // Article and address labels fill the same 3 × 8 sheets: one goes on with
    // the sheet of the other as long as its place is still free there.
    if (kind == Kind::Laser && m_lastKind == Kind::Address)
        return laserLabels().firstFree() >= adressLabels().firstFree();
    if (kind == Kind::Address && m_lastKind == Kind::Laser)
        return adressLabels().firstFree() >= laserLabels().firstFree();
    return false;
}

template<typename Layout>
void Application::labelStep(Layout layout)
{
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
    printCall(Kind::Label, [this] { labelStep([this] { m_dialog->EinLabel(); }); });
}

void Application::DruckeEtikett()
{
    printCall(Kind::Label, [this] { labelStep([this] { m_dialog->Etikett(); }); });
}

void Application::DruckeKanuEtikett()
{
    printCall(Kind::Label, [this] { labelStep([this] { m_dialog->KanuEtikett(); }); });
}

sheets::Liste &Application::liste()
{
    if (!m_liste)
        m_liste = std::make_unique<sheets::Liste>(*m_printer, sharedCode128());
    return *m_liste;
}

sheets::LaserLabels &Application::laserLabels()
{
    if (!m_laserLabels)
        m_laserLabels = std::make_unique<sheets::LaserLabels>(*m_printer, sharedCode128());
    return *m_laserLabels;
}

sheets::LaserLabels4Bahn &Application::laserLabels4Bahn()
{
    if (!m_laserLabels4Bahn)
        m_laserLabels4Bahn = std::make_unique<sheets::LaserLabels4Bahn>(*m_printer, sharedCode128());
    return *m_laserLabels4Bahn;
}

sheets::AdressLabels &Application::adressLabels()
{
    if (!m_adressLabels)
        m_adressLabels = std::make_unique<sheets::AdressLabels>(*m_printer);
    return *m_adressLabels;
}

QStringList Application::zeilen() const
{
    return QStringList(m_zeile.begin(), m_zeile.end());
}

// The pickup slip and the sheet layouts manage their own pages: none of these
// members starts a page before it prints, unless another kind's output is on it.

void Application::DruckeAbholschein()
{
    printCall(Kind::Slip, [this] {
        countPrint();
        m_dialog->setStartPosition(1);
        m_dialog->Abholschein(zeilen(), m_zuHaenden, m_anrede, 1);
    });
}

void Application::DruckeAbholscheinDINA4()
{
    printCall(Kind::SlipSheet, [this] {
        countPrint();
        m_dialog->Abholschein(zeilen(), m_zuHaenden, m_anrede, 4);
    });
}

void Application::DruckeListe()
{
    printCall(Kind::List, [this] {
        // The header goes with the first row that prints, on a page nothing
        // else printed on: a first row that fails takes its header back with it.
        const bool kopf = m_lastKind == Kind::None;
        try {
            if (kopf)
                liste().Kopf();
            countPrint();
            const LabelData &r = m_record;
            liste().Drucke(r.ArtikelNr, r.ISBN, r.MatchCode, r.Preis1, r.Preis2);
        } catch (...) {
            if (kopf)
                m_liste.reset(); // page number and row as before the header
            throw;
        }
    });
}

void Application::DruckeLaserLabel()
{
    printCall(Kind::Laser, [this] {
        countPrint();
        const qint32 offsetX = m_dialog->OffsetX();
        const qint32 offsetY = m_dialog->OffsetY();
        const LabelData &r = m_record;
        laserLabels().Drucke(offsetX, offsetY, r.ArtikelNr, r.ISBN, r.MatchCode, r.Preis1, r.Preis2);
    });
}

void Application::DruckeLaserLabel4Bahn()
{
    printCall(Kind::Laser4Bahn, [this] {
        countPrint();
        const qint32 offsetX = m_dialog->OffsetX();
        const qint32 offsetY = m_dialog->OffsetY();
        const qint32 abstand = m_dialog->Abstand4Bahn();
        const LabelData &r = m_record;
        laserLabels4Bahn().Drucke(offsetX, offsetY, abstand, r.ArtikelNr, r.ISBN, r.MatchCode, r.Preis1, r.Preis2);
    });
}

void Application::DruckeAdressLabel(qint16 FettZeile)
{
    printCall(Kind::Address, [this, FettZeile] {
        countPrint();
        // The label prints its lines cut to width; the stored lines stay whole for
        // the pickup slip and later labels.
        adressLabels().Drucke(FettZeile, zeilen());
    });
}

void Application::setStartPosition(qint16 pos)
{
    // Checked once before any receiver changes, so a refused position leaves
    // the dialog and every sheet as they were.
    sheets::SheetPlace::checkStartPosition(pos);
    m_dialog->setStartPosition(pos);
    adressLabels().setStartPosition(pos);
    laserLabels().setStartPosition(pos);
    laserLabels4Bahn().setStartPosition(pos);
}

QString Application::recordField(QString LabelData::*field) const
{
    return m_record.*field;
}

void Application::setRecordField(QString LabelData::*field, const QString &text)
{
    Variants::checkLength(fieldName(field), text);
    m_record.*field = text;
    m_dialog->setRecordField(field, text);
    QCoreApplication::processEvents();
}

void Application::setText(QString LabelData::*field, const QString &text)
{
    Variants::checkLength(fieldName(field), text);
    m_dialog->setText(field, text);
}

void Application::setZeile(qint16 nr, const QString &st)
{
    if (nr < 0 || nr >= qint16(m_zeile.size()))
        throw RuntimeError(RuntimeError::SubscriptOutOfRange,
                           QStringLiteral("Zeile %1").arg(nr));
    Variants::checkLength(QStringLiteral("Zeile(%1)").arg(nr), st);
    m_zeile[size_t(nr)] = st;
}

void Application::setZuHaenden(const QString &text)
{
    Variants::checkLength(QStringLiteral("zuHaenden"), text);
    m_zuHaenden = text;
}

void Application::setAnrede(const QString &text)
{
    Variants::checkLength(QStringLiteral("Anrede"), text);
    m_anrede = text;
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
