#include "startup/DruckerListe.h"

#include "labelprinter/MediaFit.h"
#include "platform/PageSetup.h"
#include "platform/PrinterChoice.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPrinterInfo>
#include <QTextStream>

namespace tarvel::startup {

using labelprinter::MediaFit;

namespace {

QString mm(double value)
{
    return QLocale(QLocale::German).toString(value, 'f', 1);
}

void beschreiben(QTextStream &out, const QString &queue)
{
    const platform::PageSetup setup = platform::PrinterChoice::instance().setupFor(queue);
    out << queue << '\n';
    if (!setup.mediaProblem.isEmpty()) {
        out << "  Medium: unbekannt: " << setup.mediaProblem << '\n';
        return;
    }
    const QSizeF media = setup.layout.fullRect(QPageLayout::Millimeter).size();
    const QRectF area = setup.layout.paintRect(QPageLayout::Millimeter);
    out << "  Medium: " << mm(media.width()) << " × " << mm(media.height()) << " mm (" << setup.media << ")\n"
        << "  Bedruckbar: " << mm(area.width()) << " × " << mm(area.height()) << " mm, ab " << mm(area.left())
        << " mm links und " << mm(area.top()) << " mm oben\n"
        << "  Auflösung: " << setup.dpiX << " × " << setup.dpiY << " dpi\n";
    QStringList passt, passtNicht;
    for (const auto &[layout, fit] : MediaFit::forPrinter(queue)) {
        if (fit.fits)
            passt << MediaFit::name(layout) + (fit.landscape ? QStringLiteral(" (quer)") : QString());
        else
            passtNicht << fit.message;
    }
    out << "  Passt: " << (passt.isEmpty() ? QStringLiteral("nichts") : passt.join(QStringLiteral(", "))) << '\n';
    for (const QString &warum : passtNicht)
        out << "  Passt nicht: " << warum << '\n';
}

} // namespace

int DruckerListe::main(int argc, char **argv)
{
    // Measuring the layouts needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = app.arguments().mid(2);
    if (args.size() > 1 || (args.size() == 1 && args.first().startsWith(u'-'))) {
        err << "Aufruf: tarvel drucker [WARTESCHLANGE]\n";
        return 2;
    }
    const QStringList queues = QPrinterInfo::availablePrinterNames();
    if (!args.isEmpty() && !queues.contains(args.first())) {
        err << QStringLiteral("tarvel drucker: CUPS kennt die Warteschlange „%1“ nicht.\n").arg(args.first());
        return 1;
    }
    if (queues.isEmpty()) {
        err << "tarvel drucker: CUPS kennt keine Warteschlange (oder ist nicht erreichbar).\n";
        return 1;
    }
    for (const QString &queue : args.isEmpty() ? queues : args)
        beschreiben(out, queue);
    return 0;
}

} // namespace tarvel::startup
