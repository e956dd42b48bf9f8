#include "web/Zugang.h"

#include "automation/Variants.h"
#include "web/Herkuenfte.h"

namespace tarvel::web {

namespace {
QString shown(const QByteArray &value)
{
    return automation::Variants::shown(QString::fromUtf8(value));
}
} // namespace

Zugang::Zugang(DienstToken token, Herkuenfte &herkuenfte, quint16 port)
    : m_token(std::move(token)), m_herkuenfte(herkuenfte)
{
    setPort(port);
}

void Zugang::setPort(quint16 port)
{
    const QByteArray p = ':' + QByteArray::number(port);
    m_hosts = {"127.0.0.1" + p, "[::1]" + p, "localhost" + p};
}

std::optional<HttpResponse> Zugang::pruefe(const HttpRequest &head)
{
    const QByteArray host = head.header("host").toLower();
    if (!m_hosts.contains(host))
        return HttpResponse::fehler(403, 403, QStringLiteral("Host „%1“ ist nicht dieser Dienst; er antwortet nur "
                                                             "unter %2.")
                                                  .arg(shown(host), QString::fromLatin1(m_hosts.join(", "))));
    const bool hasOrigin = head.hasHeader("origin");
    const QByteArray origin = head.header("origin");
    if (hasOrigin && !m_herkuenfte.erlaubt(QString::fromUtf8(origin)))
        return HttpResponse::fehler(403, 403, QStringLiteral("Seiten von „%1“ dürfen nicht drucken; freigeben "
                                                             "mit: tarvel dienst --erlaube %1")
                                                  .arg(shown(origin)));
    if (head.method == "OPTIONS")
        return std::nullopt; // a preflight carries no credentials: preflight() answers it from the Origin alone
    if (!m_token.passt(head.header("authorization"))) {
        HttpResponse r = HttpResponse::fehler(
            401, 401,
            head.hasHeader("authorization")
                ? QStringLiteral("Der Schlüssel stimmt nicht; er steht in der Ausgabe von „tarvel dienst --token“.")
                : QStringLiteral("Die Anfrage braucht „Authorization: Bearer SCHLÜSSEL“; den Schlüssel zeigt "
                                 "„tarvel dienst --token“."));
        r.setHeader("WWW-Authenticate", "Bearer realm=\"tarvel\"");
        return r;
    }
    return std::nullopt;
}

HttpResponse Zugang::preflight(const HttpRequest &request) const
{
    HttpResponse r;
    r.status = 204;
    r.setHeader("Allow", "GET, POST, OPTIONS");
    if (request.hasHeader("origin")) {
        r.setHeader("Access-Control-Allow-Methods", "GET, POST");
        r.setHeader("Access-Control-Allow-Headers", "Authorization, Content-Type");
        r.setHeader("Access-Control-Max-Age", "600");
        if (request.header("access-control-request-private-network").toLower() == "true")
            r.setHeader("Access-Control-Allow-Private-Network", "true");
    }
    return r;
}

void Zugang::cors(const HttpRequest &request, HttpResponse &response)
{
    if (!request.hasHeader("origin"))
        return;
    const QByteArray origin = request.header("origin");
    response.setHeader("Vary", "Origin");
    if (m_herkuenfte.erlaubt(QString::fromUtf8(origin)))
        response.setHeader("Access-Control-Allow-Origin", origin);
}

} // namespace tarvel::web
