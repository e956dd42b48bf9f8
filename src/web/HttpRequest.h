#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace tarvel::web {

/// One HTTP/1.1 request as the service reads it: the head, and once complete
/// the body. Header names are kept in lower case.
struct HttpRequest
{
    QByteArray method;
    QByteArray target; ///< as sent: path and query
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    /// The value of header \a lowerName, or an empty value.
    QByteArray header(const QByteArray &lowerName) const
    {
        for (const auto &[name, value] : headers) {
            if (name == lowerName)
                return value;
        }
        return {};
    }
    bool hasHeader(const QByteArray &lowerName) const
    {
        for (const auto &h : headers) {
            if (h.first == lowerName)
                return true;
        }
        return false;
    }
    /// The path without the query.
    QByteArray path() const
    {
        const qsizetype q = target.indexOf('?');
        return q < 0 ? target : target.left(q);
    }
};

} // namespace tarvel::web
