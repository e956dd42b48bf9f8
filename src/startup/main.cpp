#include "mainwindow/Quelm.h"
#include "startup/BatchDruck.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

using namespace tarvel;

int main(int argc, char **argv)
{
    // "tarvel drucken [Optionen] DATEI" prints a file without a window.
    if (argc > 1 && qstrcmp(argv[1], "drucken") == 0)
        return startup::BatchDruck::main(argc, argv);

    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                           && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));

    // The standard dialogs (file, printer, progress) speak German as well.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);

    if (noDisplay)
        QTextStream(stderr) << "Kein Bildschirm gefunden (DISPLAY/WAYLAND_DISPLAY leer): das Fenster "
                               "„Barcode drucken“ läuft unsichtbar. Beenden mit Strg+C."
                            << Qt::endl;

    // Started by a user: the main window, until it is closed.
    mainwindow::Quelm window;
    window.show();
    window.Warten();
    return 0;
}
