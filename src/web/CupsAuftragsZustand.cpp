#include "web/CupsAuftragsZustand.h"

#include <QStringList>
#include <cups/cups.h>

namespace tarvel::web {

namespace {
constexpr int WarteMs = 3000;
}

QString CupsAuftragsZustand::textVon(int ipp)
{
    switch (ipp) {
    case IPP_JSTATE_PENDING: return QStringLiteral("wartet");
    case IPP_JSTATE_HELD: return QStringLiteral("angehalten");
    case IPP_JSTATE_PROCESSING: return QStringLiteral("wird gedruckt");
    case IPP_JSTATE_STOPPED: return QStringLiteral("gestoppt");
    case IPP_JSTATE_CANCELED: return QStringLiteral("abgebrochen");
    case IPP_JSTATE_ABORTED: return QStringLiteral("vom System abgebrochen");
    case IPP_JSTATE_COMPLETED: return QStringLiteral("gedruckt");
    default: return QStringLiteral("unbekannt");
    }
}

std::optional<CupsAuftragsZustand> CupsAuftragsZustand::abfragen(int id)
{
    // An own connection with a time limit: a hanging scheduler must not hold the service.
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, WarteMs, nullptr);
    if (!http)
        return std::nullopt;
    httpSetTimeout(http, WarteMs / 1000.0, nullptr, nullptr);
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char *const attrs[] = {"job-state", "job-state-reasons"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, attrs);
    ipp_t *response = cupsDoRequest(http, request, "/jobs/");
    std::optional<CupsAuftragsZustand> zustand;
    if (response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING) {
        if (ipp_attribute_t *state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) {
            CupsAuftragsZustand z;
            z.ipp = ippGetInteger(state, 0);
            z.text = textVon(z.ipp);
            QStringList gruende;
            if (ipp_attribute_t *r = ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD)) {
                for (int i = 0; i < ippGetCount(r); ++i)
                    gruende << QString::fromUtf8(ippGetString(r, i, nullptr));
            }
            z.gruende = gruende.join(u',');
            zustand = z;
        }
    }
    ippDelete(response);
    httpClose(http);
    return zustand;
}

} // namespace tarvel::web
