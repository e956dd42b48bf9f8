#pragma once

#include <QString>
#include <optional>

namespace tarvel::web {

/// The state of a job that went to a CUPS queue, as CUPS reports it now.
struct CupsAuftragsZustand
{
    int ipp = 0;       ///< IPP job-state: 3 pending ... 9 completed
    QString text;      ///< in German: "wartet", "angehalten", "wird gedruckt", ...
    QString gruende;   ///< job-state-reasons, as CUPS names them

    /// Asks CUPS about job \a id, waiting at most a few seconds; nothing when
    /// CUPS cannot be reached or knows no such job.
    static std::optional<CupsAuftragsZustand> abfragen(int id);
    static QString textVon(int ipp);
};

} // namespace tarvel::web
