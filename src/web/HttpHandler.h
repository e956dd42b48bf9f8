#pragma once

#include "web/HttpRequest.h"
#include "web/HttpResponse.h"

#include <optional>

namespace tarvel::web {

/// What a WebServer does with the requests it reads.
class HttpHandler
{
public:
    virtual ~HttpHandler() = default;
    /// Looks at a request whose head is in, before its body is read: a refusal
    /// (or a complete answer, as to a preflight) ends the request there.
    virtual std::optional<HttpResponse> pruefeKopf(const HttpRequest &head) = 0;
    /// Answers a complete request that pruefeKopf let through.
    virtual HttpResponse beantworte(const HttpRequest &request) = 0;
    /// Adds what every answer to \a request carries (CORS headers), refusals included.
    virtual void ergaenze(const HttpRequest &request, HttpResponse &response) = 0;
};

} // namespace tarvel::web
