#include "web/DruckerStatus.h"

#include "web/EtikettenAdaptor.h"

#include "labelprinter/MediaFit.h"
#include "platform/PageSetup.h"
#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"

#include <QJsonArray>
#include <QPrinterInfo>

namespace tarvel::web {

namespace {

QJsonValue mm(double value)
{
    return qRound(value * 10) / 10.0;
}

/// The kinds of label (the "art" of a request) that fit a printer's media as
/// its queue is set up: on sheets every kind; on a label printer the label
/// layouts whose measured drawing of a sample record fits its printable area.
QJsonArray passend(const platform::PageSetup &setup)
{
    using labelprinter::MediaFit;
    if (!setup.rasterised)
        return QJsonArray::fromStringList(EtikettenAdaptor::arten());
    QJsonArray arten;
    if (!setup.mediaProblem.isEmpty())
        return arten;
    const std::pair<MediaFit::Layout, const char *> etiketten[] = {
        {MediaFit::Layout::EinLabel, "label"},
        {MediaFit::Layout::Etikett, "etikett"},
        {MediaFit::Layout::KanuEtikett, "kanu"},
        {MediaFit::Layout::Abholschein, "abholschein"},
    };
    for (const auto &[layout, art] : etiketten)
        if (MediaFit::check(setup, layout, MediaFit::sample()).fits)
            arten.append(QLatin1String(art));
    return arten;
}

} // namespace

QJsonObject DruckerStatus::drucker(const QString &name)
{
    const platform::PageSetup setup = platform::PrinterChoice::instance().setupFor(name);
    const QPageLayout &layout = setup.layout;
    const QSizeF size = layout.pageSize().size(QPageSize::Millimeter);
    const QRectF area = layout.paintRect(QPageLayout::Millimeter);
    const bool quer = layout.orientation() == QPageLayout::Landscape;
    return QJsonObject{
        {QStringLiteral("name"), name},
        {QStringLiteral("medium"),
         QJsonObject{{QStringLiteral("name"), layout.pageSize().name()},
                     {QStringLiteral("breiteMm"), mm(quer ? size.height() : size.width())},
                     {QStringLiteral("hoeheMm"), mm(quer ? size.width() : size.height())},
                     {QStringLiteral("ausrichtung"), quer ? QStringLiteral("quer") : QStringLiteral("hoch")},
                     {QStringLiteral("druckbereichMm"),
                      QJsonObject{{QStringLiteral("x"), mm(area.x())}, {QStringLiteral("y"), mm(area.y())},
                                  {QStringLiteral("breite"), mm(area.width())}, {QStringLiteral("hoehe"), mm(area.height())}}}}},
        {QStringLiteral("aufloesungDpi"), QJsonObject{{QStringLiteral("x"), setup.dpiX}, {QStringLiteral("y"), setup.dpiY}}},
        {QStringLiteral("passend"), passend(setup)},
    };
}

QJsonObject DruckerStatus::bericht(const QString &version)
{
    QJsonArray liste{drucker(QString::fromLatin1(platform::PdfBackend::DeviceName))};
    for (const QString &name : QPrinterInfo::availablePrinterNames())
        liste.append(drucker(name));
    return QJsonObject{
        {QStringLiteral("version"), version},
        {QStringLiteral("drucker"), liste},
        {QStringLiteral("standarddrucker"), platform::PrinterChoice::instance().current()},
    };
}

} // namespace tarvel::web
