#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

namespace tarvel::web {

/// One answer of the service: a status, its headers and a body (JSON unless
/// set otherwise).
struct HttpResponse
{
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    void setHeader(const QByteArray &name, const QByteArray &value);

    /// \a object as UTF-8 JSON.
    static HttpResponse json(int status, const QJsonObject &object);
    /// The error answer {"fehler": number, "meldung": text} (and "etikett": index when >= 0).
    static HttpResponse fehler(int status, int number, const QString &meldung, int etikett = -1);

    /// The status line, the headers, Content-Length and Connection, then the body.
    QByteArray serialize(bool keepAlive) const;
    static QByteArray reason(int status);
};

} // namespace tarvel::web
