#pragma once

#include "web/AuftragsListe.h"
#include "web/HttpHandler.h"

namespace tarvel::web {

class Zugang;

/// The print service's API under /v1, behind its Zugang:
/// GET /v1/status, POST /v1/auftraege, GET /v1/auftraege/{id}.
class DruckApi final : public HttpHandler
{
public:
    DruckApi(Zugang &zugang, QString version);

    std::optional<HttpResponse> pruefeKopf(const HttpRequest &head) override;
    HttpResponse beantworte(const HttpRequest &request) override;
    void ergaenze(const HttpRequest &request, HttpResponse &response) override;

private:
    HttpResponse drucken(const HttpRequest &request);
    HttpResponse auftrag(const QByteArray &id);

    Zugang &m_zugang;
    QString m_version;
    AuftragsListe m_auftraege;
};

} // namespace tarvel::web
