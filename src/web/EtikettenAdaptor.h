#pragma once

#include <QJsonObject>
#include <QString>

namespace tarvel::web {

/// Prints the labels of one web request through an automation Application
/// object, as the session bus's clients do: the same members, the same
/// conversions, the same errors. One request is one job, all or nothing:
/// every label's values are checked before anything is drawn, and a label
/// that fails while drawing cancels the whole job.
class EtikettenAdaptor
{
public:
    static constexpr int MaxEtiketten = 1000;

    /// Why a request printed nothing: the HTTP status, the run-time error's
    /// number (or the status), a German text and the label's index (-1: none).
    struct Fehler
    {
        int status;
        int nummer;
        QString meldung;
        int etikett = -1;
    };

    /// Where a printed request went.
    struct Auftrag
    {
        QString drucker;
        QString ziel;       ///< the PDF's path, or "queue (Auftrag n)"
        int cupsAuftrag = 0; ///< CUPS's job id where it went to a queue
        int etiketten = 0;
    };

    /// Prints {"drucker": optional, "etiketten": [...]} on the named printer or
    /// the current one. Throws Fehler.
    static Auftrag drucken(const QJsonObject &anfrage);

    /// The label kinds ("label", "etikett", ...) in the order of the interface.
    static QStringList arten();
    /// The field names a label's "felder" may set.
    static QStringList feldNamen();
};

} // namespace tarvel::web
