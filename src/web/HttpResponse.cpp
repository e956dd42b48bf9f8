#include "web/HttpResponse.h"

#include <QJsonDocument>

namespace tarvel::web {

void HttpResponse::setHeader(const QByteArray &name, const QByteArray &value)
{
    for (auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) {
            h.second = value;
            return;
        }
    }
    headers.append(qMakePair(name, value));
}

HttpResponse HttpResponse::json(int status, const QJsonObject &object)
{
    HttpResponse r;
    r.status = status;
    r.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    r.setHeader("Content-Type", "application/json; charset=utf-8");
    return r;
}

HttpResponse HttpResponse::fehler(int status, int number, const QString &meldung, int etikett)
{
    QJsonObject o{{QStringLiteral("fehler"), number}, {QStringLiteral("meldung"), meldung}};
    if (etikett >= 0)
        o.insert(QStringLiteral("etikett"), etikett);
    return json(status, o);
}

QByteArray HttpResponse::reason(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Content Too Large";
    case 422: return "Unprocessable Content";
    case 431: return "Request Header Fields Too Large";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return status < 500 ? "Bad Request" : "Internal Server Error";
    }
}

QByteArray HttpResponse::serialize(bool keepAlive) const
{
    QByteArray out;
    out.reserve(256 + body.size());
    out += "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    for (const auto &[name, value] : headers)
        out += name + ": " + value + "\r\n";
    // Nothing the service answers may be kept or guessed at by a browser.
    out += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    out += body;
    return out;
}

} // namespace tarvel::web
