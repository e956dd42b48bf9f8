#include "automation/AutomationProcess.h"
#include "mainwindow/Quelm.h"
#include "platform/MemoryTuning.h"
#include "platform/QtGerman.h"
#include "startup/BatchDruck.h"

#include <QApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>

using namespace tarvel;

Q_LOGGING_CATEGORY(lcStart, "tarvel.start", QtInfoMsg)

namespace {

/// Start mode 1 (automation server) for "--automation", otherwise 0 (standalone).
int startMode(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--automation") == 0)
            return 1;
    }
    return 0;
}

/// Everything Tarvel prints is German: where the system names no language
/// (the "C" locale of services and fresh machines), dates and numbers follow German rules.
void germanWhereNoLocale()
{
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

// Qt's own dialogs speak German in every mode: the window, the automation
// server (its setup dialog's printer dialog) and the command line.
void qtGerman()
{
    platform::installQtGerman();
}
Q_COREAPP_STARTUP_FUNCTION(qtGerman)

} // namespace

int main(int argc, char **argv)
{
    germanWhereNoLocale();
    platform::keepPageBuffers();

    // "tarvel drucken [Optionen] DATEI" prints a file without a window.
    if (argc > 1 && qstrcmp(argv[1], "drucken") == 0)
        return startup::BatchDruck::main(argc, argv);

    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                           && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    if (startMode(argc, argv) == 1)
        return automation::AutomationProcess::run(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));

    if (noDisplay)
        QTextStream(stderr) << "Kein Bildschirm gefunden (DISPLAY/WAYLAND_DISPLAY leer): das Fenster "
                               "„Barcode drucken“ läuft unsichtbar. Beenden mit Strg+C."
                            << Qt::endl;

    // Started by a user: the main window, until it is closed.
    mainwindow::Quelm window;
    window.show();
    // Runs once the show has been processed; the start-up benchmark waits for it.
    QTimer::singleShot(0, [] { qCDebug(lcStart) << "Hauptfenster gezeigt"; });
    window.Warten();
    return 0;
}
