#include "web/DruckApi.h"

#include "web/CupsAuftragsZustand.h"
#include "web/DruckerStatus.h"
#include "web/EtikettenAdaptor.h"
#include "web/Zugang.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

namespace tarvel::web {

namespace {

const QByteArray Status = "/v1/status";
const QByteArray Auftraege = "/v1/auftraege";

HttpResponse methodeFalsch(const QByteArray &erlaubt)
{
    HttpResponse r = HttpResponse::fehler(405, 405, QStringLiteral("Hier gilt nur %1.").arg(QString::fromLatin1(erlaubt)));
    r.setHeader("Allow", erlaubt);
    return r;
}

} // namespace

DruckApi::DruckApi(Zugang &zugang, QString version) : m_zugang(zugang), m_version(std::move(version)) {}

std::optional<HttpResponse> DruckApi::pruefeKopf(const HttpRequest &head)
{
    return m_zugang.pruefe(head);
}

void DruckApi::ergaenze(const HttpRequest &request, HttpResponse &response)
{
    m_zugang.cors(request, response);
}

HttpResponse DruckApi::beantworte(const HttpRequest &request)
{
    const QByteArray path = request.path();
    if (request.method == "OPTIONS")
        return m_zugang.preflight(request);
    if (path == Status)
        return request.method == "GET" ? HttpResponse::json(200, DruckerStatus::bericht(m_version)) : methodeFalsch("GET");
    if (path == Auftraege)
        return request.method == "POST" ? drucken(request) : methodeFalsch("POST");
    if (path.startsWith(Auftraege + '/'))
        return request.method == "GET" ? auftrag(path.mid(Auftraege.size() + 1)) : methodeFalsch("GET");
    return HttpResponse::fehler(404, 404, QStringLiteral("Unbekannter Pfad; der Dienst kennt /v1/status, /v1/auftraege "
                                                         "und /v1/auftraege/{id}."));
}

HttpResponse DruckApi::drucken(const HttpRequest &request)
{
    QJsonParseError fehler;
    const QJsonDocument doc = QJsonDocument::fromJson(request.body, &fehler);
    if (fehler.error != QJsonParseError::NoError)
        return HttpResponse::fehler(400, 400, QStringLiteral("Der Körper ist kein gültiges JSON (bei Byte %1: %2).")
                                                  .arg(fehler.offset)
                                                  .arg(fehler.errorString()));
    if (!doc.isObject())
        return HttpResponse::fehler(400, 400, QStringLiteral("Der Körper muss ein JSON-Objekt sein: {\"etiketten\": [...]}."));
    try {
        QElapsedTimer uhr;
        uhr.start();
        const EtikettenAdaptor::Auftrag a = EtikettenAdaptor::drucken(doc.object());
        const double druckMs = uhr.nsecsElapsed() / 1e6;
        const int id = m_auftraege.eintragen({0, a.drucker, a.ziel, a.cupsAuftrag, a.etiketten, {}});
        QJsonObject antwort{{QStringLiteral("auftrag"), id},
                            {QStringLiteral("drucker"), a.drucker},
                            {QStringLiteral("ziel"), a.ziel},
                            {QStringLiteral("etiketten"), a.etiketten}};
        if (a.cupsAuftrag > 0)
            antwort.insert(QStringLiteral("cupsAuftrag"), a.cupsAuftrag);
        HttpResponse r = HttpResponse::json(201, antwort);
        r.setHeader("Location", Auftraege + '/' + QByteArray::number(id));
        // The time the job took to draw and deliver, apart from the HTTP around it.
        r.setHeader("Server-Timing", "druck;dur=" + QByteArray::number(druckMs, 'f', 3));
        return r;
    } catch (const EtikettenAdaptor::Fehler &f) {
        return HttpResponse::fehler(f.status, f.nummer, f.meldung, f.etikett);
    }
}

HttpResponse DruckApi::auftrag(const QByteArray &id)
{
    bool ok = false;
    const int nummer = id.toInt(&ok);
    const AuftragsListe::Eintrag *e = ok && !id.startsWith('+') ? m_auftraege.finden(nummer) : nullptr;
    if (!e)
        return HttpResponse::fehler(404, 404, QStringLiteral("Einen Auftrag „%1“ kennt dieser Dienst nicht (mehr).")
                                                  .arg(QString::fromLatin1(id.left(20))));
    QJsonObject o{{QStringLiteral("auftrag"), e->id},
                  {QStringLiteral("drucker"), e->drucker},
                  {QStringLiteral("ziel"), e->ziel},
                  {QStringLiteral("etiketten"), e->etiketten},
                  {QStringLiteral("zeit"), e->zeit.toString(Qt::ISODate)}};
    if (e->cupsAuftrag > 0) {
        o.insert(QStringLiteral("cupsAuftrag"), e->cupsAuftrag);
        const auto z = CupsAuftragsZustand::abfragen(e->cupsAuftrag);
        if (!z)
            return HttpResponse::fehler(503, 482, QStringLiteral("CUPS gibt über Auftrag %1 keine Auskunft.").arg(e->cupsAuftrag));
        o.insert(QStringLiteral("zustand"), z->text);
        o.insert(QStringLiteral("cupsZustand"), z->ipp);
        o.insert(QStringLiteral("cupsGruende"), z->gruende);
    } else {
        o.insert(QStringLiteral("zustand"), QFileInfo::exists(e->ziel) ? QStringLiteral("gedruckt")
                                                                       : QStringLiteral("Datei entfernt"));
    }
    return HttpResponse::json(200, o);
}

} // namespace tarvel::web
