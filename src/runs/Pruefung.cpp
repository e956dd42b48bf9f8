#include "runs/Pruefung.h"

#include "labelprinter/MediaFit.h"

#include "barcode/Code128.h"
#include "platform/MeasuringBackend.h"
#include "platform/Printer.h"
#include "platform/RuntimeError.h"
#include "runs/Datei.h"

#include <QFileInfo>
#include <QSet>
#include <cmath>

namespace tarvel::runs {

using barcode::Code128;
using platform::RuntimeError;
using sheets::Artikel;
using sheets::Preis;

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

bool Pruefung::hatWarnungen(const Befunde &befunde)
{
    return std::any_of(befunde.begin(), befunde.end(), [](const Befund &b) { return b.art != Befund::Hinweis; });
}

QString Pruefung::hinweisZeile(const Befunde &befunde)
{
    QStringList wo;
    for (const Befund &b : befunde)
        if (b.art == Befund::Hinweis)
            wo << QStringLiteral("Zeile %1 %2").arg(b.zeile).arg(b.feld);
    if (wo.isEmpty())
        return {};
    constexpr qsizetype Genannt = 5;
    const qsizetype alle = wo.size();
    if (alle > Genannt) {
        wo = wo.first(Genannt);
        wo << QStringLiteral("…");
    }
    return QStringLiteral("%1 am Rand des Etiketts oder der Spalte abgeschnitten (%2); gedruckt wird trotzdem.")
        .arg(alle == 1 ? QStringLiteral("1 Text wird") : QStringLiteral("%1 Texte werden").arg(alle), wo.join(u", "));
}

QString Pruefung::bericht(const Befunde &befunde, const QString &datei)
{
    const auto zahl = [&](Befund::Art art) {
        return std::count_if(befunde.begin(), befunde.end(), [art](const Befund &b) { return b.art == art; });
    };
    const auto fehler = zahl(Befund::Fehler);
    const auto warnungen = zahl(Befund::Warnung);
    const auto anzahl = [](qsizetype n, const QString &eins, const QString &mehr) {
        return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? eins : mehr);
    };
    QString text = QStringLiteral("Die Prüfung von „%1“ ergab %2 und %3.\n")
                       .arg(QFileInfo(datei).fileName(),
                            anzahl(fehler, QStringLiteral("Fehler"), QStringLiteral("Fehler")),
                            anzahl(warnungen, QStringLiteral("Warnung"), QStringLiteral("Warnungen")));
    for (const Befund &b : befunde)
        if (b.art != Befund::Hinweis)
            text += b.zeileText() + u'\n';
    if (const QString hinweise = hinweisZeile(befunde); !hinweise.isEmpty())
        text += hinweise + u'\n';
    return text;
}

Befunde Pruefung::pruefen(Art art, const QString &datei, const DateiDruck::Auswahl &auswahl)
{
    Befunde befunde;
    m_saetze = 0;
    // Labels that go across the label printer's media have its length as width.
    if (art == Art::Label)
        labelprinter::MediaFit::orient(m_printer, labelprinter::MediaFit::Layout::Label);
    // The run as it will print, on a surface of the printer's resolution and page that measures.
    auto backend = std::make_unique<platform::MeasuringBackend>(
        1440.0 / m_printer.TwipsPerPixelX(), QSizeF(m_printer.ScaleWidth(), m_printer.ScaleHeight()));
    platform::MeasuringBackend &messung = *backend;
    platform::Printer printer(std::move(backend));
    barcode::Code128 code = m_code;
    code.InitBreite(printer, m_code.DrawWidth());

    bool semikolon = false;
    qint64 andereTrennung = 0; // first line with "," or a tab
    QChar trenner;
    qint64 fremdeZeile = 0; // first line in the other character set
    bool utf8 = false;
    DateiDruck lauf(printer, code);
    lauf.setBeiFehler(DateiDruck::BeiFehler::Weiter);
    lauf.setSatzFertig([&](const Datei &artikel, const RuntimeError *fehler) {
        ++m_saetze;
        fremdeZeile = artikel.fremdeZeile();
        utf8 = artikel.istUtf8();
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
        datenPruefen(artikel, befunde);
        if (fehler && fehler->number() != RuntimeError::PrinterError) {
            Befund b;
            b.art = Befund::Fehler;
            b.zeile = artikel.zeile();
            b.feld = QStringLiteral("BestellNr");
            b.text = fehler->detail() + u'.';
            b.notiz = QStringLiteral("Barcode unmöglich");
            befunde.append(b);
        }
        gemessen(messung.take(), artikel, code, befunde);
    });
    // Every record, on the places it will take; the run names a file it cannot read.
    DateiDruck::Auswahl alle = auswahl;
    alle.seitenBereich = false;
    lauf.Drucken(art, datei, alle);

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
    if (const qint64 zeile = fremdeZeile) {
        Befund b;
        b.zeile = zeile;
        b.text = utf8
            ? QStringLiteral("Die Zeile ist kein UTF-8, die übrige Datei schon: ihre Umlaute werden als „�“ gedruckt.")
            : QStringLiteral("Die Zeile ist UTF-8, die übrige Datei Windows-1252 (DOS): ihre Umlaute werden falsch "
                             "gedruckt, etwa „MÃ¼ller“ statt „Müller“.");
        b.text += QStringLiteral(" Die Datei in einem Zeichensatz speichern.");
        b.notiz = QStringLiteral("Zeichensatz gemischt");
        befunde.insert(std::find_if(befunde.begin(), befunde.end(), [&](const Befund &f) { return f.zeile > zeile; }), b);
    }
    return befunde;
}

void Pruefung::datenPruefen(const Datei &artikel, Befunde &befunde)
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
}

void Pruefung::gemessen(const QList<platform::MeasuredItem> &items, const Datei &artikel, const Code128 &code,
                        Befunde &befunde)
{
    using platform::MeasuredItem;
    QSet<QString> genannt; // a field once a record, whatever its copies
    for (const MeasuredItem &item : items) {
        if (!item.cut() || item.field.isEmpty() || item.record != artikel.zeile() || genannt.contains(item.field))
            continue;
        genannt.insert(item.field);
        Befund b;
        b.zeile = artikel.zeile();
        b.feld = item.field;
        if (item.kind == MeasuredItem::Text) {
            b.art = Befund::Hinweis;
            b.text = QStringLiteral("Der Text ist zu lang für seinen Platz und wird am Rand abgeschnitten.");
            b.notiz = QStringLiteral("%1 abgeschnitten").arg(item.field);
            befunde.append(b);
            continue;
        }
        // Bars end with their quiet zone before the next thing on their right: cut, they do not fit.
        b.art = Befund::Fehler;
        const qint32 platz = qint32(std::lround(item.clip.right() - item.whole.left() + std::floor(code.quietZone())));
        const qint16 breite = code.passendeBreite(artikel.BestellNr, platz);
        const qint16 lesbar = code.kleinsteLesbareBreite();
        const bool passt = breite >= lesbar;
        b.text = QStringLiteral("Der Barcode „%1“ ist bei Strichbreite %2 zu breit für seinen Platz, auch im "
                                "Zeichensatz C (%3 Module und Ruhezone in %4 Twips); %5.")
                     .arg(kurz(artikel.BestellNr))
                     .arg(code.DrawWidth())
                     .arg(code.moduleCount(artikel.BestellNr, Code128::Zeichensatz::MitC))
                     .arg(platz)
                     .arg(passt ? QStringLiteral("er passt bei Strichbreite %1").arg(breite)
                                : QStringLiteral("er passt bei keiner lesbaren Strichbreite (Module ab 0,19 mm, "
                                                 "hier Strichbreite %1): eine kürzere Nummer wählen")
                                      .arg(lesbar));
        b.notiz = passt ? QStringLiteral("Barcode zu breit, passt bei Strichbreite %1").arg(breite)
                        : QStringLiteral("Barcode zu breit, Nummer kürzen");
        befunde.append(b);
    }
}

} // namespace tarvel::runs
