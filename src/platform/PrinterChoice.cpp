#include "platform/PrinterChoice.h"

#include "platform/CupsQueue.h"
#include "platform/PdfBackend.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/SystemPrinterBackend.h"

#include <QDateTime>
#include <QDir>
#include <QLoggingCategory>
#include <QPrintEngine>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>

Q_LOGGING_CATEGORY(lcChoice, "tarvel.printerchoice")

namespace tarvel::platform {

namespace {

const QString Store = QStringLiteral("Tarvel");
const QString PdfSection = QString::fromLatin1(PdfBackend::DeviceName);
const QString Landscape = QStringLiteral("Querformat");

// The options of a printer dialog's "Eigenschaften" that CUPS applies (name, value, name, value, ...).
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Margins rounded to whole dots, so the printable area starts on the dot grid.
QPageLayout onDotGrid(QPageLayout layout, int dpi)
{
    const QMarginsF m = layout.margins(QPageLayout::Point);
    auto dots = [dpi](double points) { return std::round(points / 72.0 * dpi) * 72.0 / dpi; };
    layout.setUnits(QPageLayout::Point);
    layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
    layout.setMargins(QMarginsF(dots(m.left()), dots(m.top()), dots(m.right()), dots(m.bottom())));
    return layout;
}

// The queue's own page; the A4 default where CUPS does not answer (a job then
// fails when it begins, naming the silent scheduler).
PageSetup queueSetup(const QString &name)
{
    try {
        return CupsQueue::setup(name).value_or(PageSetup());
    } catch (const RuntimeError &e) {
        qCWarning(lcChoice).noquote() << e.text();
        return PageSetup();
    }
}

// Whether CUPS knows the queue; one just picked in a dialog counts as known while CUPS does not answer.
bool queueKnown(const QString &name)
{
    try {
        return CupsQueue::exists(name);
    } catch (const RuntimeError &e) {
        qCWarning(lcChoice).noquote() << e.text();
        return true;
    }
}

} // namespace

PrinterChoice::PrinterChoice(QString jobsFolder) : m_jobsFolder(std::move(jobsFolder)) {}

PrinterChoice::~PrinterChoice() = default;

PrinterChoice &PrinterChoice::instance()
{
    static PrinterChoice choice;
    return choice;
}

QString PrinterChoice::current()
{
    if (!m_resolved) {
        m_resolved = true;
        QString system;
        try {
            system = CupsQueue::defaultName();
        } catch (const RuntimeError &e) {
            qCWarning(lcChoice).noquote() << e.text() << QStringLiteral("– es gilt der Drucker") << PdfBackend::DeviceName;
        }
        m_current = system.isEmpty() ? QString::fromLatin1(PdfBackend::DeviceName) : system;
    }
    return m_current;
}

PrinterChoice::Lookup PrinterChoice::lookUp(const QString &name)
{
    Lookup found;
    found.isDefault = name.isEmpty();
    found.name = found.isDefault ? CupsQueue::defaultName() : name;
    if (found.name.isEmpty())
        found.name = QString::fromLatin1(PdfBackend::DeviceName);
    else if (found.name != QLatin1String(PdfBackend::DeviceName))
        found.queue = CupsQueue::setup(found.name);
    return found;
}

std::optional<QString> PrinterChoice::dueLookUp() const
{
    if (!m_resolved)
        return QString();
    if (m_current.isEmpty() || m_current == QLatin1String(PdfBackend::DeviceName) || m_picks.contains(m_current))
        return std::nullopt;
    return m_current;
}

void PrinterChoice::take(const Lookup &found)
{
    if (found.isDefault && !m_resolved)
        setCurrent(found.name);
    m_found = found;
}

void PrinterChoice::setCurrent(const QString &name)
{
    m_resolved = true;
    if (name == m_current)
        return;
    m_current = name;
    ++m_generation;
}

QString PrinterChoice::jobsFolder() const
{
    if (!m_jobsFolder.isEmpty())
        return m_jobsFolder;
    // Without HOME the documents folder would be "/Documents".
    if (qEnvironmentVariableIsEmpty("HOME"))
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Tarvel");
}

void PrinterChoice::setJobsFolder(const QString &folder)
{
    m_jobsFolder = folder;
    ++m_generation;
}

PageSetup PrinterChoice::storedPdfSetup()
{
    PageSetup s;
    static const QRegularExpression size(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*x\\s*(\\d+(?:\\.\\d+)?)\\s*$"));
    const auto m = size.match(SettingsStore::read(Store, PdfSection, QStringLiteral("Papier")));
    const double width = m.hasMatch() ? m.captured(1).toDouble() : 0;
    const double height = m.hasMatch() ? m.captured(2).toDouble() : 0;
    // Anything from a few centimetres to a large poster; other values are not ours.
    if (width >= 10 && height >= 10 && width <= 2000 && height <= 2000)
        s.layout.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    if (SettingsStore::read(Store, PdfSection, QStringLiteral("Ausrichtung")) == Landscape)
        s.layout.setOrientation(QPageLayout::Landscape);
    return s;
}

void PrinterChoice::storePdfSetup(const QPageLayout &layout)
{
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    SettingsStore::write(Store, PdfSection, QStringLiteral("Papier"),
                         QStringLiteral("%1x%2").arg(mm.width()).arg(mm.height()));
    SettingsStore::write(Store, PdfSection, QStringLiteral("Ausrichtung"),
                         layout.orientation() == QPageLayout::Landscape ? Landscape : QStringLiteral("Hochformat"));
}

PageSetup PrinterChoice::setupFor(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(PdfBackend::DeviceName))
        return storedPdfSetup();
    const auto pick = m_picks.constFind(name);
    if (pick != m_picks.constEnd())
        return *pick;
    if (m_found && m_found->name == name)
        return m_found->queue.value_or(PageSetup());
    return queueSetup(name);
}

void PrinterChoice::prepareDialog(QPrinter &printer)
{
    const QString name = current();
    const PageSetup setup = setupFor(name);
    if (name == QLatin1String(PdfBackend::DeviceName)) {
        // The file field shows where the next job goes; left as it is, jobs keep their own names.
        m_offeredPdfFile = m_pdfFile.isEmpty()
            ? QDir(jobsFolder()).filePath(QStringLiteral("Tarvel-%1.pdf").arg(
                  QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))))
            : m_pdfFile;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_offeredPdfFile);
    } else {
        m_offeredPdfFile.clear();
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
    }
    printer.setPageLayout(setup.layout);
}

void PrinterChoice::takeDialog(const QPrinter &printer)
{
    const QString name = printer.printerName();
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat || name.isEmpty() || !queueKnown(name);
    ++m_generation;
    if (toFile) {
        storePdfSetup(printer.pageLayout());
        const QString file = printer.outputFileName();
        m_pdfFile = file == m_offeredPdfFile && m_pdfFile.isEmpty() ? QString() : file;
        setCurrent(QString::fromLatin1(PdfBackend::DeviceName));
        return;
    }
    const PageSetup queue = queueSetup(name);
    PageSetup pick = queue;
    const QStringList options = printer.printEngine()->property(CupsOptionsKey).toStringList();
    static const QRegularExpression dpi(QStringLiteral("^(\\d+)(?:x(\\d+))?dpi$"));
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        pick.options.append({options[i].toUtf8(), options[i + 1].toUtf8()});
        const auto m = dpi.match(options[i + 1]);
        if (options[i] == QLatin1String("Resolution") && m.hasMatch()) {
            pick.dpiX = m.captured(1).toInt();
            pick.dpiY = m.captured(2).isEmpty() ? pick.dpiX : m.captured(2).toInt();
        }
    }
    pick.layout = onDotGrid(printer.pageLayout(), pick.dpiX);
    if (!pick.layout.pageSize().isEquivalentTo(queue.layout.pageSize()) || !queue.mediaProblem.isEmpty()) {
        pick.media = pick.layout.pageSize().key().toUtf8();
        pick.mediaProblem.clear();
    }
    m_picks.insert(name, pick);
    setCurrent(name);
}

std::unique_ptr<PrinterBackend> PrinterChoice::createBackend()
{
    return backendFor(current());
}

std::unique_ptr<PrinterBackend> PrinterChoice::backendFor(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(PdfBackend::DeviceName)) {
        // A file named in the dialog takes the next job; later jobs get names of their own.
        return std::make_unique<PdfBackend>(jobsFolder(), setupFor(name),
                                            [this] { return std::exchange(m_pdfFile, QString()); });
    }
    return std::make_unique<SystemPrinterBackend>(name, setupFor(name), jobsFolder());
}

std::unique_ptr<PrinterBackend> PrinterChoice::createBackend(const QString &name)
{
    return instance().backendFor(name);
}

} // namespace tarvel::platform
