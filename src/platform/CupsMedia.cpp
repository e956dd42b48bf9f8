#include "platform/CupsMedia.h"

#include <QFile>

#include <cups/ppd.h>
#include <QRegularExpression>
#include <QUrl>
#include <cstdlib>
#include <cstring>

namespace tarvel::platform {

namespace {

// Sizes of one media differ by rounding between their names (points, inches, mm).
constexpr int SameSize = 50; // hundredths of a millimetre

/// The size a media name stands for: a PWG name ("oe_4x2-label_4x2in"), a PPD
/// name ("w102h252", "62x100mm") or a legacy one ("4x6").
const pwg_media_t *sizeOf(const char *name)
{
    if (const pwg_media_t *m = pwgMediaForPWG(name))
        return m;
    if (const pwg_media_t *m = pwgMediaForPPD(name))
        return m;
    return pwgMediaForLegacy(name);
}

/// The default PageSize of the queue's PPD and the size its PaperDimension
/// gives, in hundredths of a millimetre; false where there is no PPD.
bool ppdDefault(cups_dest_t *dest, QByteArray *name, int *width, int *length)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char *file = cupsGetPPD(dest->name); // a temporary copy, or null for a queue without one
#pragma GCC diagnostic pop
    if (!file)
        return false;
    QFile ppd(QString::fromLocal8Bit(file));
    QByteArray text;
    if (ppd.open(QIODevice::ReadOnly))
        text = ppd.readAll();
    ppd.remove();
    const int at = text.indexOf("\n*DefaultPageSize:");
    if (at < 0)
        return false;
    const int end = text.indexOf('\n', at + 1);
    *name = text.mid(at + 18, end - at - 18).trimmed();
    // *PaperDimension NAME/Text: "width length" in points
    const QRegularExpression dim(QStringLiteral("\\n\\*PaperDimension %1(?:/[^:]*)?:\\s*\"([0-9.]+)\\s+([0-9.]+)\"")
                                     .arg(QRegularExpression::escape(QString::fromLatin1(*name))));
    const auto m = dim.match(QString::fromLatin1(text));
    if (!m.hasMatch())
        return false;
    *width = int(std::lround(m.captured(1).toDouble() * 2540.0 / 72.0));
    *length = int(std::lround(m.captured(2).toDouble() * 2540.0 / 72.0));
    return true;
}

/// The queue's media of \a width x \a length, if it offers one.
bool findSize(http_t *http, cups_dest_t *dest, cups_dinfo_t *info, int width, int length, cups_size_t *size)
{
    const int count = cupsGetDestMediaCount(http, dest, info, 0);
    for (int i = 0; i < count; ++i) {
        cups_size_t s;
        if (cupsGetDestMediaByIndex(http, dest, info, i, 0, &s) && std::abs(s.width - width) <= SameSize
            && std::abs(s.length - length) <= SameSize) {
            *size = s;
            return true;
        }
    }
    return false;
}

/// The printer's ready media, else its default, as its own IPP service tells
/// (a driverless queue's CUPS does not pass them on).
QList<QByteArray> printerMedia(cups_dest_t *dest)
{
    const QUrl uri(QString::fromUtf8(cupsGetOption("device-uri", dest->num_options, dest->options)));
    if (uri.scheme() != QLatin1String("ipp") && uri.scheme() != QLatin1String("ipps"))
        return {};
    http_t *http = httpConnect2(uri.host().toUtf8().constData(), uri.port(631), nullptr, AF_UNSPEC,
                                uri.scheme() == QLatin1String("ipps") ? HTTP_ENCRYPTION_ALWAYS
                                                                      : HTTP_ENCRYPTION_IF_REQUESTED,
                                1, 3000, nullptr);
    if (!http)
        return {};
    httpSetTimeout(http, 3.0, nullptr, nullptr);
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.toEncoded().constData());
    static const char *const wanted[] = {"media-ready", "media-default"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    ipp_t *answer = cupsDoRequest(http, request, uri.path().toUtf8().constData());
    QList<QByteArray> media;
    for (const char *attr : wanted) {
        ipp_attribute_t *a = answer ? ippFindAttribute(answer, attr, IPP_TAG_ZERO) : nullptr;
        for (int i = 0; a && i < ippGetCount(a); ++i) {
            if (const char *value = ippGetString(a, i, nullptr))
                media << value;
        }
    }
    ippDelete(answer);
    httpClose(http);
    return media;
}

} // namespace

bool CupsMedia::find(http_t *http, cups_dest_t *dest, cups_dinfo_t *info, const char *name, cups_size_t *size)
{
    if (!name || !*name)
        return false;
    // By index: cupsGetDestMediaByName answers a name it does not offer with another size.
    const int count = cupsGetDestMediaCount(http, dest, info, 0);
    for (int i = 0; i < count; ++i) {
        cups_size_t s;
        if (cupsGetDestMediaByIndex(http, dest, info, i, 0, &s) && qstrcmp(s.media, name) == 0) {
            *size = s;
            return true;
        }
    }
    const pwg_media_t *m = sizeOf(name);
    return m && findSize(http, dest, info, m->width, m->length, size);
}

CupsMedia::Choice CupsMedia::choose(http_t *http, cups_dest_t *dest, cups_dinfo_t *info)
{
    Choice c;
    // The user's own default ("lpoptions -o media=..."), else the queue's.
    const char *own = cupsGetOption("media", dest->num_options, dest->options);
    ipp_attribute_t *def = cupsFindDestDefault(http, dest, info, "media");
    const char *queueDefault = own ? own : def ? ippGetString(def, 0, nullptr) : nullptr;
    if (find(http, dest, info, queueDefault, &c.size))
        return c.found = true, c;
    QByteArray ppdName;
    int width = 0, length = 0;
    const bool hasPpd = ppdDefault(dest, &ppdName, &width, &length);
    if (hasPpd && findSize(http, dest, info, width, length, &c.size))
        return c.found = true, c;
    if (ipp_attribute_t *ready = cupsFindDestReady(http, dest, info, "media")) {
        for (int i = 0; i < ippGetCount(ready); ++i) {
            if (find(http, dest, info, ippGetString(ready, i, nullptr), &c.size))
                return c.found = true, c;
        }
    }
    for (const QByteArray &name : printerMedia(dest)) {
        if (find(http, dest, info, name.constData(), &c.size))
            return c.found = true, c;
    }
    const QString queue = QString::fromUtf8(dest->name);
    const QString named = QString::fromUtf8(hasPpd ? ppdName : QByteArray(queueDefault ? queueDefault : ""));
    c.problem = QStringLiteral("das Etikettenformat von „%1“ ist nicht bekannt (%2); einstellen mit "
                               "„lpadmin -p %1 -o PageSize=FORMAT“, die Formate zeigt „lpoptions -p %1 -l“")
                    .arg(queue, named.isEmpty() || named == QLatin1String("unknown")
                                    ? QStringLiteral("die Warteschlange nennt keines, das sie anbietet")
                                    : QStringLiteral("„%1“ bietet die Warteschlange nicht an").arg(named));
    return c;
}

} // namespace tarvel::platform
