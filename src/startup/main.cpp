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

/// Start mode 1 (automation server) for "--automation", as the bus starts it; otherwise 0 (standalone).
int startMode(int argc, char **argv)
{
    return argc == 2 && qstrcmp(argv[1], "--automation") == 0 ? 1 : 0;
}

bool noDisplay()
{
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

/// The platforms the automation server tries in turn (Qt takes the first that
/// opens): the one asked for, else the displays Qt itself would try; offscreen last.
QByteArray platformsToTry()
{
    QByteArrayList platforms;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        platforms << qgetenv("QT_QPA_PLATFORM");
    } else {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            platforms << "wayland";
        if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            platforms << "xcb";
    }
    if (!platforms.join(';').split(';').contains("offscreen"))
        platforms << "offscreen";
    return platforms.join(';');
}

QString usage()
{
    return QStringLiteral(
        "Aufruf:\n"
        "  tarvel                           das Fenster „Barcode drucken“ öffnen\n"
        "  tarvel drucken [Optionen] DATEI  eine Artikeldatei ohne Fenster drucken\n"
        "                                   (Hilfe: tarvel drucken --hilfe)\n"
        "  tarvel --automation              der Automatisierungsdienst am Sitzungsbus;\n"
        "                                   der Bus startet ihn von selbst\n"
        "  tarvel -h, --hilfe, --help       diese Hilfe zeigen\n"
        "  tarvel --version                 die Version zeigen\n"
        "\n"
        "Rückgabewert: 0 erledigt; 1 Fehler; 2 falscher Aufruf.\n");
}

/// Any call but a plain "tarvel" and the two run modes: help, version or wrong use.
/// Never starts a window, so that a typo in a script ends at once.
int answerCall(const QString &call)
{
    QTextStream out(stdout);
    if (call == QLatin1String("-h") || call == QLatin1String("--hilfe") || call == QLatin1String("--help")) {
        out << usage();
        return 0;
    }
    if (call == QLatin1String("--version")) {
        out << "tarvel " TARVEL_VERSION "\n";
        return 0;
    }
    QTextStream(stderr) << QStringLiteral("tarvel: Unbekannter Aufruf „%1“.\n\n").arg(call) << usage();
    return 2;
}

/// Everything Tarvel prints and stores is German, whatever the locale of the
/// user, the service or the machine (LANG, LC_ALL): prices, dates and the
/// numbers in the settings read alike in every mode and on every machine.
void germanNumbersAndDates()
{
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
    germanNumbersAndDates();
    platform::keepPageBuffers();

    // "tarvel drucken [Optionen] DATEI" prints a file without a window.
    if (argc > 1 && qstrcmp(argv[1], "drucken") == 0)
        return startup::BatchDruck::main(argc, argv);

    if (startMode(argc, argv) == 1) {
        // The bus may start the server where no display is, or with the display
        // of a session long gone: then it runs offscreen rather than not at all.
        if (noDisplay())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        else
            qputenv("QT_QPA_PLATFORM", platformsToTry());
        return automation::AutomationProcess::run(argc, argv);
    }

    if (argc > 1) {
        QStringList words;
        for (int i = 1; i < argc; ++i)
            words << QString::fromLocal8Bit(argv[i]);
        return answerCall(words.join(u' '));
    }

    if (noDisplay()) {
        QTextStream(stderr) << "tarvel: Kein Bildschirm gefunden (DISPLAY und WAYLAND_DISPLAY sind leer): das Fenster "
                               "„Barcode drucken“ lässt sich nicht öffnen. Ohne Bildschirm druckt "
                               "„tarvel drucken DATEI“ (Hilfe: tarvel drucken --hilfe)."
                            << Qt::endl;
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));

    // Started by a user: the main window, until it is closed.
    mainwindow::Quelm window;
    window.show();
    // Runs once the show has been processed; the start-up benchmark waits for it.
    QTimer::singleShot(0, [] { qCDebug(lcStart) << "Hauptfenster gezeigt"; });
    window.Warten();
    return 0;
}
