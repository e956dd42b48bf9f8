#pragma once

#include "runs/DateiDruck.h"
#include "sheets/Artikel.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvel::startup {

/// The options of "tarvel drucken [Optionen] DATEI", read from the words after
/// "drucken". A choice that is not given stays empty, so the caller can take
/// the stored one. Wrong use of the command raises Bedienfehler.
class DruckOptionen
{
public:
    /// Wrong use of the command line: a German text naming the option and its value.
    class Bedienfehler
    {
    public:
        explicit Bedienfehler(QString text) : m_text(std::move(text)) {}
        const QString &text() const { return m_text; }

    private:
        QString m_text;
    };

    /// Reads \a argumente, the words after "drucken". Throws Bedienfehler.
    static DruckOptionen lesen(const QStringList &argumente);
    /// The German help text of the command.
    static QString hilfe();

    /// Throws Bedienfehler when an option was given that the run \a art does
    /// not use; \a herkunft says where the art came from, for the message.
    void passtZu(runs::Art art, const QString &herkunft) const;

    bool hilfeGewuenscht = false;
    QString datei;
    std::optional<runs::Art> art;
    std::optional<sheets::Preis> preis1;
    std::optional<sheets::Preis> preis2;
    QString waehrung = QStringLiteral("€");
    bool lagerfach = false;
    bool trotzdem = false;         ///< print despite the check's warnings (never despite its errors)
    std::optional<int> startLabel; ///< 1 to 16
    std::optional<int> kopien;     ///< 1 to 32767
    std::optional<int> vonSeite;   ///< with bisSeite: the list's page range
    std::optional<int> bisSeite;
    std::optional<QString> drucker;

    static const QStringList &artNamen();   ///< "liste", "label", "laser", in the order of runs::Art
    static const QStringList &preisNamen(); ///< "ek", "vk", "liste", "leer", in the order of sheets::Preis
};

} // namespace tarvel::startup
