#include "platform/CupsQueue.h"

#include "platform/CupsConnection.h"
#include "platform/CupsMedia.h"

#include <QFile>
#include <QSizeF>
#include <cmath>

#include <cups/cups.h>

namespace tarvel::platform {

namespace {

// Margins in hundredths of a millimetre, rounded to whole dots so that the
// printable area starts on the printer's dot grid.
double wholeDots(int hundredthsMm, int dpi)
{
    const double dots = std::round(hundredthsMm / 2540.0 * dpi);
    return dots * 25.4 / dpi;
}

int dotsPerInch(int value, ipp_res_t units)
{
    return units == IPP_RES_PER_CM ? int(std::lround(value * 2.54)) : value;
}

// Why CUPS refused, in the user's words.
QString lastError()
{
    switch (cupsLastError()) {
    case IPP_STATUS_ERROR_INTERNAL: // the scheduler's socket cannot be reached
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE: return QStringLiteral("CUPS ist nicht erreichbar");
    case IPP_STATUS_ERROR_NOT_FOUND: return QStringLiteral("CUPS kennt die Warteschlange nicht");
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS: return QStringLiteral("die Warteschlange nimmt keine Aufträge an");
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED: return QStringLiteral("CUPS verweigert den Auftrag");
    default: return QStringLiteral("CUPS meldet „%1“").arg(QString::fromUtf8(cupsLastErrorString()));
    }
}

} // namespace

bool CupsQueue::exists(const QString &name)
{
    CupsConnection cups;
    cups_dest_t *dest = cups.http() ? cupsGetNamedDest(cups.http(), name.toUtf8().constData(), nullptr) : nullptr;
    cupsFreeDests(dest ? 1 : 0, dest);
    cups.requireAnswer();
    return dest != nullptr;
}

QString CupsQueue::defaultName()
{
    CupsConnection cups;
    cups_dest_t *dest = cups.http() ? cupsGetNamedDest(cups.http(), nullptr, nullptr) : nullptr;
    const QString name = dest ? QString::fromUtf8(dest->name) : QString();
    cupsFreeDests(dest ? 1 : 0, dest);
    cups.requireAnswer();
    return name;
}

QStringList CupsQueue::names()
{
    CupsConnection cups;
    QStringList names;
    if (cups.http()) {
        cups_dest_t *dests = nullptr;
        const int count = cupsGetDests2(cups.http(), &dests);
        for (int i = 0; i < count; ++i) {
            if (!dests[i].instance && !names.contains(QString::fromUtf8(dests[i].name)))
                names << QString::fromUtf8(dests[i].name);
        }
        cupsFreeDests(count, dests);
    }
    cups.requireAnswer();
    return names;
}

std::optional<PageSetup> CupsQueue::setup(const QString &name)
{
    CupsConnection cups;
    cups_dest_t *dest = cups.http() ? cupsGetNamedDest(cups.http(), name.toUtf8().constData(), nullptr) : nullptr;
    if (!dest) {
        cups.requireAnswer();
        return std::nullopt;
    }
    cups_dinfo_t *info = cupsCopyDestInfo(cups.http(), dest);
    PageSetup s;
    if (info) {
        if (ipp_attribute_t *res = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = ippGetResolution(res, 0, &y, &units);
            if (x > 0 && y > 0) {
                s.dpiX = dotsPerInch(x, units);
                s.dpiY = dotsPerInch(y, units);
            }
        }
        bool landscape = false;
        if (const char *o = cupsGetOption("orientation-requested", dest->num_options, dest->options))
            landscape = qstrcmp(o, "4") == 0 || qstrcmp(o, "5") == 0;
        else if (ipp_attribute_t *o = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "orientation-requested"))
            landscape = ippGetInteger(o, 0) == 4 || ippGetInteger(o, 0) == 5;
        s.rasterised = true;
        const CupsMedia::Choice chosen = CupsMedia::choose(CUPS_HTTP_DEFAULT, dest, info);
        s.mediaProblem = chosen.problem;
        if (chosen.found) {
            const cups_size_t &media = chosen.size;
            s.media = QByteArray(media.media);
            const QPageSize page(QSizeF(media.width / 100.0, media.length / 100.0), QPageSize::Millimeter, QString(),
                                 QPageSize::FuzzyMatch);
            const QMarginsF portrait(wholeDots(media.left, s.dpiX), wholeDots(media.top, s.dpiY),
                                     wholeDots(media.right, s.dpiX), wholeDots(media.bottom, s.dpiY));
            // Turned a quarter counter-clockwise, the media's bottom edge becomes the page's left.
            const QMarginsF margins = landscape ? QMarginsF(portrait.bottom(), portrait.left(), portrait.top(),
                                                            portrait.right())
                                                : portrait;
            s.layout = QPageLayout(page, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                                   QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    cups.requireAnswer();
    return s;
}

int CupsQueue::print(const QString &name, const QString &file, const QString &title, const PageSetup &setup,
                     QString *error)
{
    cups_option_t *options = nullptr;
    int count = 0;
    // The page is laid out at the media's size: no scaling on the way.
    count = cupsAddOption("print-scaling", "none", count, &options);
    // The media laid out for, so that CUPS cannot print on another.
    if (!setup.media.isEmpty())
        count = cupsAddOption("media", setup.media.constData(), count, &options);
    for (const auto &[key, value] : setup.options)
        count = cupsAddOption(key.constData(), value.constData(), count, &options);
    CupsConnection cups;
    const int job = cups.http() ? cupsPrintFile2(cups.http(), name.toUtf8().constData(),
                                                 QFile::encodeName(file).constData(), title.toUtf8().constData(),
                                                 count, options)
                                : 0;
    cupsFreeOptions(count, options);
    if (job <= 0 && error)
        *error = cups.silent()  ? cups.silenceText()
                 : cups.http() ? lastError()
                               : QStringLiteral("CUPS ist nicht erreichbar");
    return job > 0 ? job : 0;
}

} // namespace tarvel::platform
