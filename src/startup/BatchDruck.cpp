#include "startup/BatchDruck.h"

#include "barcode/Code128.h"
#include "runs/DateiDruck.h"
#include "runs/GespeicherteWahl.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "platform/SystemPrinterBackend.h"
#include "startup/DruckOptionen.h"

#include <QGuiApplication>
#include <QPrinterInfo>
#include <QTextStream>
#include <csignal>
#include <unistd.h>

namespace tarvel::startup {

using runs::DateiDruck;
using runs::GespeicherteWahl;
using platform::RuntimeError;

namespace {

volatile std::sig_atomic_t g_unterbrochen = 0;

extern "C" void unterbrechen(int)
{
    g_unterbrochen = 1;
}

QtMessageHandler g_qtMeldungen = nullptr;

// Qt's note on a missing XDG_RUNTIME_DIR concerns desktop sessions: the batch
// uses no runtime folder, and a cron job has none.
void ohneLaufzeitOrdner(QtMsgType typ, const QMessageLogContext &kontext, const QString &text)
{
    if (!text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        g_qtMeldungen(typ, kontext, text);
}

const QString Befehl = QStringLiteral("tarvel drucken");
constexpr qint64 Takt = 100; ///< milliseconds between two progress lines

// Every printer the command can print to, for the message about an unknown one.
QString bekannteDrucker()
{
    QStringList namen{QString::fromLatin1(platform::PdfBackend::DeviceName)};
    namen += QPrinterInfo::availablePrinterNames();
    return QStringLiteral("„") + namen.join(QStringLiteral("“, „")) + QStringLiteral("“");
}

} // namespace

int BatchDruck::main(int argc, char **argv)
{
    // Read before Qt sees them: Qt's own options ("-platform", ...) mean nothing here.
    QStringList argumente;
    for (int i = 2; i < argc; ++i)
        argumente << QString::fromLocal8Bit(argv[i]);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    g_qtMeldungen = qInstallMessageHandler(ohneLaufzeitOrdner);
    QGuiApplication app(qtArgc, argv);
    qInstallMessageHandler(g_qtMeldungen);
    QGuiApplication::setApplicationName(QStringLiteral("Tarvel"));

    // Ctrl+C or a stop request cancels the job after the current record, so no half PDF is left.
    struct sigaction aktion = {};
    aktion.sa_handler = unterbrechen;
    sigemptyset(&aktion.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &aktion, nullptr);

    QTextStream ausgabe(stdout);
    QTextStream fehler(stderr);
    BatchDruck batch(ausgabe, fehler, isatty(STDERR_FILENO) == 1);
    batch.setAbbruch([] { return g_unterbrochen != 0; });
    return batch.ausfuehren(argumente);
}

BatchDruck::BatchDruck(QTextStream &ausgabe, QTextStream &fehler, bool terminal)
    : m_aus(ausgabe), m_fehler(fehler), m_terminal(terminal)
{
}

int BatchDruck::ausfuehren(const QStringList &argumente)
{
    try {
        const DruckOptionen optionen = DruckOptionen::lesen(argumente);
        if (optionen.hilfeGewuenscht) {
            m_aus << DruckOptionen::hilfe() << Qt::flush;
            return Gedruckt;
        }
        return drucken(optionen);
    } catch (const DruckOptionen::Bedienfehler &f) {
        m_fehler << Befehl << ": " << f.text() << '\n'
                 << QStringLiteral("Hilfe: %1 --hilfe").arg(Befehl) << Qt::endl;
        return Bedienfehler;
    } catch (const RuntimeError &f) {
        zeileBeenden();
        m_fehler << Befehl << ": " << f.text() << Qt::endl;
        return Fehler;
    }
}

int BatchDruck::drucken(const DruckOptionen &o)
{
    const runs::Art art = o.art.value_or(GespeicherteWahl::art());
    o.passtZu(art, o.art ? QStringLiteral("mit --art") : QStringLiteral("im Fenster gespeichert"));

    // The choices as the window hands them to its runs.
    DateiDruck::Auswahl a;
    a.preis1 = o.preis1.value_or(GespeicherteWahl::preis1());
    a.preis2 = o.preis2.value_or(GespeicherteWahl::preis2());
    a.waehrung = o.waehrung;
    a.lagerfach = o.lagerfach;
    a.startLabel = QString::number(art == runs::Art::Laser ? o.startLabel.value_or(1) : 1);
    a.kopien = o.kopien.value_or(1);
    a.seitenBereich = o.vonSeite.has_value();
    a.vonSeite = o.vonSeite.value_or(0);
    a.bisSeite = o.bisSeite.value_or(0);

    const QString drucker = o.drucker.value_or(platform::PrinterChoice::instance().current());
    if (drucker != QLatin1String(platform::PdfBackend::DeviceName)
        && !platform::SystemPrinterBackend::exists(drucker))
        throw RuntimeError(RuntimeError::PrinterError, QStringLiteral("(Drucker „%1“ nicht gefunden; vorhanden: %2)")
                                                           .arg(drucker, bekannteDrucker()));

    platform::Printer printer(platform::PrinterChoice::createBackend(drucker));
    barcode::Code128 code;
    code.InitBreite(printer, 0); // the width a freshly opened window sets
    DateiDruck druck(printer, code);
    druck.setFortschritt([this](qint64 erledigt, qint64 gesamt) { return fortschritt(erledigt, gesamt); });
    m_uhr.start();
    m_zuletzt = -1;

    const DateiDruck::Ergebnis e = druck.Drucken(art, o.datei, a);
    zeileBeenden();

    switch (e.art) {
    case DateiDruck::Ergebnis::Gedruckt:
        if (m_terminal)
            m_fehler << e.meldung << Qt::endl;
        if (e.ziel.isEmpty())
            m_fehler << QStringLiteral("Die Datei „%1“ enthält keine Sätze; es wurde nichts gedruckt.").arg(o.datei)
                     << Qt::endl;
        else
            m_aus << e.ziel << Qt::endl;
        return Gedruckt;
    case DateiDruck::Ergebnis::Abgebrochen:
        m_fehler << Befehl << ": " << e.meldung << Qt::endl;
        return Fehler;
    case DateiDruck::Ergebnis::Fehler:
        break;
    }
    m_fehler << Befehl << ": " << (e.fehler ? e.fehler->text() : e.meldung) << '\n'
             << QStringLiteral("Der Druckauftrag wurde abgebrochen.") << Qt::endl;
    return Fehler;
}

bool BatchDruck::fortschritt(qint64 erledigt, qint64 gesamt)
{
    if (m_abbruch && m_abbruch())
        return false;
    if (m_terminal && (m_zuletzt < 0 || m_uhr.elapsed() - m_zuletzt >= Takt || erledigt == gesamt)) {
        m_zuletzt = m_uhr.elapsed();
        m_fehler << QStringLiteral("\r%1/%2 Sätze").arg(erledigt).arg(gesamt) << Qt::flush;
    }
    return true;
}

void BatchDruck::zeileBeenden()
{
    if (m_zuletzt >= 0)
        m_fehler << '\n';
    m_zuletzt = -1;
}

} // namespace tarvel::startup
