#include "startup/DruckOptionen.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace tarvel::startup {

namespace {

const QStringList WertOptionen = {QStringLiteral("art"),        QStringLiteral("preis1"), QStringLiteral("preis2"),
                                  QStringLiteral("waehrung"),   QStringLiteral("startlabel"),
                                  QStringLiteral("kopien"),     QStringLiteral("seiten"), QStringLiteral("drucker")};
const QStringList Schalter = {QStringLiteral("lagerfach"), QStringLiteral("trotzdem"), QStringLiteral("hilfe"), QStringLiteral("help"),
                              QStringLiteral("h")};

constexpr int MaxSeite = 32767;
constexpr int MaxKopien = 32767;
constexpr int LabelsJeBogen = 16;

using Bedienfehler = DruckOptionen::Bedienfehler;

QString schreibweise(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The single value of option \a name; given twice is an error, since one would be lost.
std::optional<QString> einWert(const QCommandLineParser &parser, const QString &name)
{
    const QStringList werte = parser.values(name);
    if (werte.size() > 1)
        throw Bedienfehler(QStringLiteral("Option --%1 ist mehrfach angegeben („%2“); erlaubt ist ein Wert.")
                               .arg(name, werte.join(QStringLiteral("“, „"))));
    if (werte.isEmpty())
        return std::nullopt;
    return werte.constFirst();
}

// The value of option \a name as one of \a namen (letter case ignored): the
// enumerator whose index it has.
template<typename Enum>
std::optional<Enum> auswahl(const QCommandLineParser &parser, const QString &name, const QStringList &namen,
                            const QString &was)
{
    const auto wert = einWert(parser, name);
    if (!wert)
        return std::nullopt;
    const int i = namen.indexOf(wert->trimmed().toLower());
    if (i < 0)
        throw Bedienfehler(QStringLiteral("Option --%1: „%2“ ist %3; erlaubt sind %4 und %5.")
                               .arg(name, *wert, was, namen.mid(0, namen.size() - 1).join(QStringLiteral(", ")),
                                    namen.constLast()));
    return Enum(i);
}

// \a wert as a whole number from \a von to \a bis, or nothing when it is none.
std::optional<int> ganzeZahl(const QString &wert, int von, int bis)
{
    bool ok = false;
    const int n = wert.trimmed().toInt(&ok);
    if (!ok || n < von || n > bis)
        return std::nullopt;
    return n;
}

std::optional<int> zahl(const QCommandLineParser &parser, const QString &name, int bis, const QString &was)
{
    const auto wert = einWert(parser, name);
    if (!wert)
        return std::nullopt;
    const auto n = ganzeZahl(*wert, 1, bis);
    if (!n)
        throw Bedienfehler(
            QStringLiteral("Option --%1: „%2“ ist %3 von 1 bis %4.").arg(name, *wert, was).arg(bis));
    return n;
}

} // namespace

const QStringList &DruckOptionen::artNamen()
{
    static const QStringList namen = {QStringLiteral("liste"), QStringLiteral("label"), QStringLiteral("laser")};
    return namen;
}

const QStringList &DruckOptionen::preisNamen()
{
    static const QStringList namen = {QStringLiteral("ek"), QStringLiteral("vk"), QStringLiteral("liste"),
                                      QStringLiteral("leer")};
    return namen;
}

DruckOptionen DruckOptionen::lesen(const QStringList &argumente)
{
    QCommandLineParser parser;
    for (const QString &name : WertOptionen)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("WERT")));
    parser.addOption(QCommandLineOption(QStringLiteral("lagerfach")));
    parser.addOption(QCommandLineOption(QStringLiteral("trotzdem")));
    parser.addOption(
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("hilfe"), QStringLiteral("help")}));
    const bool gelesen = parser.parse(QStringList{QStringLiteral("tarvel")} + argumente);

    // Every word is named here first: the parser's own messages are English, and
    // it would read "-liste.txt" as the short options l, i, s, ... and "-xh" as
    // a wish for help. After "--" only the file follows.
    for (qsizetype i = 0; i < argumente.size(); ++i) {
        const QString &a = argumente[i];
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(u'-') || a == QLatin1String("-") || a == QLatin1String("-h"))
            continue;
        if (!a.startsWith(QLatin1String("--")))
            throw Bedienfehler(QStringLiteral("Unbekannte Option „%1“. Eine Datei, deren Name mit „-“ beginnt, "
                                              "steht hinter „--“: tarvel drucken [Optionen] -- %1")
                                   .arg(a));
        const QString name = a.mid(2).section(u'=', 0, 0);
        const bool mitWert = a.contains(u'=');
        if (WertOptionen.contains(name)) {
            if (!mitWert && ++i == argumente.size()) // the next word is the value, whatever it looks like
                throw Bedienfehler(QStringLiteral("Option --%1: der Wert fehlt.").arg(name));
        } else if (!Schalter.contains(name)) {
            throw Bedienfehler(QStringLiteral("Unbekannte Option „--%1“.").arg(name));
        } else if (mitWert) {
            throw Bedienfehler(QStringLiteral("Option --%1 nimmt keinen Wert („%2“).").arg(name, a));
        }
    }
    DruckOptionen o;
    if (parser.isSet(QStringLiteral("hilfe"))) {
        o.hilfeGewuenscht = true;
        return o;
    }
    if (!gelesen) {
        const QStringList unbekannt = parser.unknownOptionNames();
        if (!unbekannt.isEmpty())
            throw Bedienfehler(QStringLiteral("Unbekannte Option „%1“.").arg(schreibweise(unbekannt.constFirst())));
        throw Bedienfehler(QStringLiteral("Die Befehlszeile ist nicht lesbar: %1").arg(parser.errorText()));
    }

    o.art = auswahl<runs::Art>(parser, QStringLiteral("art"), artNamen(), QStringLiteral("keine Art"));
    o.preis1 = auswahl<sheets::Preis>(parser, QStringLiteral("preis1"), preisNamen(), QStringLiteral("kein Preis"));
    o.preis2 = auswahl<sheets::Preis>(parser, QStringLiteral("preis2"), preisNamen(), QStringLiteral("kein Preis"));
    if (const auto w = einWert(parser, QStringLiteral("waehrung")))
        o.waehrung = *w;
    o.lagerfach = parser.isSet(QStringLiteral("lagerfach"));
    o.trotzdem = parser.isSet(QStringLiteral("trotzdem"));
    o.startLabel = zahl(parser, QStringLiteral("startlabel"), LabelsJeBogen, QStringLiteral("keine Labelnummer"));
    o.kopien = zahl(parser, QStringLiteral("kopien"), MaxKopien, QStringLiteral("keine Anzahl"));

    if (const auto seiten = einWert(parser, QStringLiteral("seiten"))) {
        static const QRegularExpression bereich(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+)\\s*)?$"));
        const auto m = bereich.match(*seiten);
        const auto von = m.hasMatch() ? ganzeZahl(m.captured(1), 1, MaxSeite) : std::nullopt;
        const auto bis = m.hasMatch() ? ganzeZahl(m.hasCaptured(2) ? m.captured(2) : m.captured(1), 1, MaxSeite)
                                      : std::nullopt;
        if (!von || !bis || *bis < *von)
            throw Bedienfehler(QStringLiteral("Option --seiten: „%1“ ist kein Seitenbereich; erwartet wird "
                                              "VON-BIS mit 1 ≤ VON ≤ BIS ≤ %2, etwa 2-5.")
                                   .arg(*seiten)
                                   .arg(MaxSeite));
        o.vonSeite = von;
        o.bisSeite = bis;
    }

    if (const auto d = einWert(parser, QStringLiteral("drucker"))) {
        if (d->trimmed().isEmpty())
            throw Bedienfehler(QStringLiteral("Option --drucker: der Druckername fehlt."));
        o.drucker = *d;
    }

    const QStringList dateien = parser.positionalArguments();
    if (dateien.isEmpty() || dateien.constFirst().isEmpty())
        throw Bedienfehler(QStringLiteral("Keine Artikeldatei angegeben."));
    if (dateien.size() > 1)
        throw Bedienfehler(QStringLiteral("Nur eine Artikeldatei ist möglich; angegeben sind „%1“.")
                               .arg(dateien.join(QStringLiteral("“, „"))));
    o.datei = dateien.constFirst();
    return o;
}

void DruckOptionen::passtZu(runs::Art art, const QString &herkunft) const
{
    using runs::Art;
    const auto nurFuer = [&](bool gegeben, bool passt, const QString &option, const QString &fuer) {
        if (gegeben && !passt)
            throw Bedienfehler(QStringLiteral("Option --%1 gilt nur für --art %2; gewählt ist „%3“ (%4).")
                                   .arg(option, fuer, artNamen().value(int(art)), herkunft));
    };
    nurFuer(preis2.has_value(), art == Art::Liste, QStringLiteral("preis2"), QStringLiteral("liste"));
    nurFuer(vonSeite.has_value(), art == Art::Liste, QStringLiteral("seiten"), QStringLiteral("liste"));
    nurFuer(kopien.has_value(), art != Art::Liste, QStringLiteral("kopien"), QStringLiteral("label und laser"));
    nurFuer(startLabel.has_value(), art == Art::Laser, QStringLiteral("startlabel"), QStringLiteral("laser"));
}

QString DruckOptionen::hilfe()
{
    return QStringLiteral(
        "Aufruf: tarvel drucken [Optionen] DATEI\n"
        "\n"
        "Druckt jeden Satz der Artikeldatei DATEI ohne Fenster, genau wie „Drucken“\n"
        "im Fenster „Barcode drucken“: als Barcode-Liste, als Labels auf dem\n"
        "Labeldrucker oder auf Laser-Bögen mit 2 × 8 Labels. Die Datei hat einen\n"
        "Artikel je Zeile mit elf durch „;“ getrennten Feldern: Bereich, ArtikelNr,\n"
        "BestellNr, KurzText1, KurzText2, KurzText3, EK, VK, Listenpreis,\n"
        "LagerfachNr, MatchCode.\n"
        "\n"
        "Optionen:\n"
        "  --art liste|label|laser    was gedruckt wird\n"
        "                             (Vorgabe: die zuletzt im Fenster gewählte Art)\n"
        "  --preis1 ek|vk|liste|leer  erster Preis (Vorgabe: die Wahl im Fenster)\n"
        "  --preis2 ek|vk|liste|leer  zweiter Preis, nur für die Liste\n"
        "                             (Vorgabe: die Wahl im Fenster)\n"
        "  --waehrung TEXT            Währung hinter jedem Preis (Vorgabe: „€“)\n"
        "  --lagerfach                die Lagerfachnummer mitdrucken\n"
        "  --startlabel N             erstes Label auf dem ersten Bogen, 1 bis 16,\n"
        "                             nur für laser (Vorgabe: 1)\n"
        "  --kopien N                 Exemplare je Satz, nur für label und laser\n"
        "                             (Vorgabe: 1)\n"
        "  --seiten VON-BIS           nur diese Seiten der Liste drucken\n"
        "  --drucker NAME             Drucker (Vorgabe: der Standarddrucker des\n"
        "                             Systems, sonst „PDF-Datei“)\n"
        "  --trotzdem                 trotz Warnungen der Prüfung drucken\n"
        "  -h, --hilfe, --help        diese Hilfe zeigen\n"
        "  --                         Ende der Optionen: danach darf der Dateiname\n"
        "                             mit „-“ beginnen\n"
        "\n"
        "Vor dem Druck wird die ganze Datei geprüft. Fehler (ein Barcode mit\n"
        "Zeichen, die Code 128 nicht kennt, oder zu breit für seinen Platz)\n"
        "verhindern den Druck immer; Warnungen (Zeilen mit mehr als elf Feldern,\n"
        "Preise, die keine Zahlen sind, Komma oder Tabulator statt „;“, Texte, die\n"
        "am Rand ihres Labels abgeschnitten werden, Zeilen in UTF-8 und in\n"
        "Windows-1252 in einer Datei) nur ohne --trotzdem. Jeder\n"
        "Befund steht mit Zeile und Feld in der Fehlerausgabe.\n"
        "\n"
        "Der Drucker „PDF-Datei“ legt jeden Auftrag als PDF im Ordner „Tarvel“ der\n"
        "Dokumente ab. Die Einstellungen des Fensters werden gelesen, nie geändert.\n"
        "\n"
        "Ausgabe: eine Zeile, wohin der Auftrag ging: der Pfad der PDF-Datei oder\n"
        "der Drucker mit der Auftragsnummer, etwa „Etiketten (Auftrag 42)“. Auf\n"
        "einem Terminal zeigt die Fehlerausgabe den Fortschritt.\n"
        "\n"
        "Rückgabewert: 0 gedruckt; 1 Befunde der Prüfung, Fehler in der Datei,\n"
        "einem Satz oder beim Drucker (der Auftrag wird verworfen); 2 falscher\n"
        "Aufruf.\n"
        "\n"
        "Beispiel:\n"
        "  tarvel drucken --art laser --preis1 vk --startlabel 5 artikel.txt\n");
}

} // namespace tarvel::startup
