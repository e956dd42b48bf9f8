#include "automation/AutomationProcess.h"
#include "barcode/Code128.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"

#include <QGuiApplication>
#include <QTextStream>

using namespace tarvel;

namespace {

/// A sample article label, so a fresh installation shows what it prints.
QString printSampleLabel()
{
    platform::Printer printer(std::make_unique<platform::PdfBackend>());
    barcode::Code128 code;
    code.InitBreite(printer, 0);
    printer.setFontName(QStringLiteral("Arial"));
    printer.setFontSize(16);
    printer.setFontBold(true);
    printer.setCurrentX(100);
    printer.setCurrentY(100);
    printer.Print(QStringLiteral("12,95 €          9,95 €"));
    printer.setFontBold(false);
    printer.Print();
    const qint32 y = qint32(printer.CurrentY());
    printer.setCurrentX(100);
    code.Drucke(printer, QStringLiteral("4711-0815"), 680);
    printer.setCurrentY(y + 710);
    printer.setCurrentX(100);
    printer.setFontSize(12);
    printer.setFontBold(true);
    printer.Print(QStringLiteral("4711-0815"));
    return printer.EndDoc();
}

/// Start mode 1 (automation server) for "--automation", otherwise 0 (standalone).
int startMode(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--automation") == 0)
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (startMode(argc, argv) == 1)
        return automation::AutomationProcess::run(argc, argv);
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    try {
        out << "Probe-Etikett gedruckt: " << printSampleLabel() << Qt::endl;
    } catch (const platform::RuntimeError &e) {
        QTextStream(stderr) << e.message() << Qt::endl;
        return 1;
    }
    return 0;
}
