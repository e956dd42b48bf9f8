#include "runs/Pruefung.h"

#include "barcode/Code128.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "runs/Datei.h"
#include "sheets/LabelFit.h"

#include <QFileInfo>

namespace tarvel::runs {

using barcode::Code128;
using platform::RuntimeError;
using sheets::Artikel;
using sheets::Preis;
namespace LabelFit = sheets::LabelFit;

namespace {

const char16_t *const FeldNamen[] = {u"Bereich",   u"ArtikelNr", u"BestellNr", u"KurzText1",
                                     u"KurzText2", u"KurzText3", u"EK",        u"VK",
                                     u"Listenpreis", u"LagerfachNr", u"MatchCode"};
constexpr int EkFeld = 6; ///< EK, VK and Listenpreis follow each other from here

QString kurz(QStringView text)
{
    constexpr qsizetype Max = 40;
    return text.size() <= Max ? text.toString() : text.first(Max - 1).toString() + u'…';
}

// The number of the first field of \a rest (the fields after the eleventh) that holds text, counted
// from 12; 0 when all of them are empty or blank.
int ersteTextFeld(QStringView rest)
{
    int nr = 12;
    for (const QChar c : rest) {
        if (c == u';')
            ++nr;
        else if (c != u' ')
            return nr;
    }
    return 0;
}

} // namespace

Pruefung::Pruefung(platform::Printer &printer, const Code128 &code) : m_printer(printer), m_code(code) {}

bool Pruefung::istPreis(QStringView text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1String(",-")))
        text.chop(2);
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        text = text.sliced(1);
    if (text.isEmpty() || !text.front().isDigit() || !text.back().isDigit())
        return false;
    int kommas = 0;
    for (const QChar c : text) {
        if (c == u',')
            ++kommas;
        else if (c != u'.' && !c.isDigit())
            return false;
    }
    return kommas <= 1;
}

bool Pruefung::hatFehler(const Befunde &befunde)
{
    return std::any_of(befunde.begin(), befunde.end(), [](const Befund &b) { return b.art == Befund::Fehler; });
}

QString Pruefung::bericht(const Befunde &befunde, const QString &datei)
{
    const auto fehler = std::count_if(befunde.begin(), befunde.end(),
                                      [](const Befund &b) { return b.art == Befund::Fehler; });
    const auto warnungen = befunde.size() - fehler;
    const auto anzahl = [](qsizetype n, const QString &eins, const QString &mehr) {
        return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? eins : mehr);
    };
    QString text = QStringLiteral("Die Prüfung von „%1“ ergab %2 und %3.\n")
                       .arg(QFileInfo(datei).fileName(),
                            anzahl(fehler, QStringLiteral("Fehler"), QStringLiteral("Fehler")),
                            anzahl(warnungen, QStringLiteral("Warnung"), QStringLiteral("Warnungen")));
    for (const Befund &b : befunde)
        text += b.zeileText() + u'\n';
    return text;
}

Befunde Pruefung::pruefen(Art art, const QString &datei, const sheets::ArtikelWahl &auswahl)
{
    Befunde befunde;
    m_saetze = 0;
    Datei artikel;
    bool semikolon = false;
    qint64 andereTrennung = 0; // first line with "," or a tab
    QChar trenner;
    try {
        artikel.Oeffnen(datei);
        while (artikel.Lesen()) {
            ++m_saetze;
            const QStringView zeile = artikel.zeilenText();
            if (!semikolon) {
                semikolon = zeile.contains(u';');
                if (!semikolon && !andereTrennung) {
                    for (const QChar c : {QChar(u','), QChar(u'\t')}) {
                        if (zeile.contains(c)) {
                            andereTrennung = artikel.zeile();
                            trenner = c;
                            break;
                        }
                    }
                }
            }
            zeilePruefen(art, artikel, auswahl, befunde);
        }
    } catch (const RuntimeError &) {
        // The run opens and reads the file again and names the fault.
    }
    if (!semikolon && andereTrennung) {
        Befund b;
        b.zeile = andereTrennung;
        b.feld = QStringLiteral("Bereich");
        b.text = QStringLiteral("Keine Zeile der Datei enthält „;“, diese aber %1: die Felder sind wohl anders "
                                "getrennt; jede Zeile stünde ganz im Feld Bereich, die Barcodes blieben leer.")
                     .arg(trenner == u',' ? QStringLiteral("„,“") : QStringLiteral("Tabulatoren"));
        b.notiz = QStringLiteral("kein „;“ in der Datei");
        befunde.prepend(b);
    }
    if (const qint64 zeile = artikel.fremdeZeile()) {
        Befund b;
        b.zeile = zeile;
        b.text = artikel.istUtf8()
            ? QStringLiteral("Die Zeile ist kein UTF-8, die übrige Datei schon: ihre Umlaute werden als „�“ gedruckt.")
            : QStringLiteral("Die Zeile ist UTF-8, die übrige Datei Windows-1252 (DOS): ihre Umlaute werden falsch "
                             "gedruckt, etwa „MÃ¼ller“ statt „Müller“.");
        b.text += QStringLiteral(" Die Datei in einem Zeichensatz speichern.");
        b.notiz = QStringLiteral("Zeichensatz gemischt");
        befunde.insert(std::find_if(befunde.begin(), befunde.end(), [&](const Befund &f) { return f.zeile > zeile; }), b);
    }
    return befunde;
}

void Pruefung::zeilePruefen(Art art, const Datei &artikel, const sheets::ArtikelWahl &auswahl, Befunde &befunde)
{
    const qint64 zeile = artikel.zeile();
    if (const int nr = ersteTextFeld(artikel.rest())) {
        Befund b;
        b.zeile = zeile;
        b.feld = QString::number(nr);
        b.text = QStringLiteral("Die Zeile hat mehr als elf Felder, und Feld %1 enthält Text („%2“): ein „;“ "
                                "in einem Feld (etwa in Anführungszeichen) verschiebt die Felder dahinter, die "
                                "Preise können falsch sein.")
                     .arg(nr)
                     .arg(kurz(artikel.rest()));
        for (int i = 0; i < Artikel::FeldAnzahl; ++i) {
            if (artikel.feld(i).startsWith(u'"')) {
                b.text += QStringLiteral(" Feld %1 beginnt mit einem Anführungszeichen.").arg(QStringView(FeldNamen[i]));
                break;
            }
        }
        b.notiz = QStringLiteral("Felder verschoben?");
        befunde.append(b);
    }
    for (int i = 0; i < 3; ++i) {
        const QString &preis = artikel.feld(EkFeld + i);
        if (preis.isEmpty() || istPreis(preis))
            continue;
        Befund b;
        b.zeile = zeile;
        b.feld = Artikel::feldName(Preis(i));
        b.text = QStringLiteral("„%1“ ist kein Preis (eine Überschrift oder verschobene Felder?).").arg(kurz(preis));
        b.notiz = QStringLiteral("%1 ist kein Preis").arg(b.feld);
        befunde.append(b);
    }
    barcodePruefen(art, artikel, befunde);
    textePruefen(art, artikel, auswahl, befunde);
}

void Pruefung::barcodePruefen(Art art, const Datei &artikel, Befunde &befunde)
{
    Befund b;
    b.art = Befund::Fehler;
    b.zeile = artikel.zeile();
    b.feld = QStringLiteral("BestellNr");
    LabelFit::BarcodeFit passt;
    try {
        passt = LabelFit::fitBestellNr(LabelFit::Layout(art), m_printer, m_code, artikel);
    } catch (const RuntimeError &e) {
        b.text = e.detail() + u'.';
        b.notiz = QStringLiteral("Barcode unmöglich");
        befunde.append(b);
        return;
    }
    if (passt.ergebnis != LabelFit::BarcodeFit::ZuBreit)
        return;
    const qint16 breite = passt.passendeStrichbreite;
    b.text = QStringLiteral("Der Barcode „%1“ ist bei Strichbreite %2 zu breit für seinen Platz, auch im "
                            "Zeichensatz C (%3 Module und Ruhezone in %4 Twips); %5.")
                 .arg(kurz(artikel.BestellNr))
                 .arg(m_code.DrawWidth())
                 .arg(passt.module)
                 .arg(passt.platzTwips)
                 .arg(breite > 0 ? QStringLiteral("er passt bei Strichbreite %1").arg(breite)
                                 : QStringLiteral("er passt bei keiner Strichbreite"));
    b.notiz = breite > 0 ? QStringLiteral("Barcode zu breit, passt bei Strichbreite %1").arg(breite)
                         : QStringLiteral("Barcode zu breit");
    befunde.append(b);
}

void Pruefung::textePruefen(Art art, const Datei &artikel, const sheets::ArtikelWahl &auswahl, Befunde &befunde)
{
    const QStringList felder = LabelFit::abgeschnitteneFelder(LabelFit::Layout(art), m_printer, artikel, auswahl);
    for (const QString &feld : felder) {
        Befund b;
        b.zeile = artikel.zeile();
        b.feld = feld;
        b.text = QStringLiteral("Der Text ist zu lang für seinen Platz und wird am Rand abgeschnitten.");
        b.notiz = QStringLiteral("%1 abgeschnitten").arg(feld);
        befunde.append(b);
    }
}

} // namespace tarvel::runs
