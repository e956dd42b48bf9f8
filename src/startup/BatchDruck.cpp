#include "startup/BatchDruck.h"

#include "barcode/Code128.h"
#include "runs/Datei.h"
#include "runs/DateiDruck.h"
#include "runs/GespeicherteWahl.h"
#include "runs/Pruefung.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "platform/SystemPrinterBackend.h"
#include "startup/DruckOptionen.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinterInfo>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvel::startup {

using runs::Datei;
using runs::DateiDruck;
using runs::GespeicherteWahl;
using platform::RuntimeError;

namespace {

volatile std::sig_atomic_t g_unterbrochen = 0;

constexpr int StopSignale[] = {SIGINT, SIGTERM, SIGHUP};

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
// An input read once into memory: far more than a shop's article file, far less than the machine's memory.
constexpr qsizetype MaxEingabeMB = 128;
constexpr int ZeilenJeSeite = 12; ///< rows of a list page

// A pipe, a FIFO, a terminal or a device: read, it is gone. A file that is not there is left
// to the run, which names why it cannot be opened.
bool nurEinmalLesbar(const QString &pfad)
{
    struct stat s = {};
    return ::stat(QFile::encodeName(pfad).constData(), &s) == 0 && !S_ISREG(s.st_mode) && !S_ISDIR(s.st_mode);
}

QString abgebrochen(const QString &datei)
{
    return QStringLiteral("Der Druck von „%1“ wurde abgebrochen; nichts davon wurde gedruckt.")
        .arg(QFileInfo(datei).fileName());
}

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
    for (int signal : StopSignale)
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
        throw RuntimeError(RuntimeError::PrinterError, QStringLiteral("Drucker „%1“ nicht gefunden; vorhanden: %2")
                                                           .arg(drucker, bekannteDrucker()));

    // The runs read the file twice (to count, then to print): an input that can be read only once is read into memory.
    if (nurEinmalLesbar(o.datei) && !einmalLesen(o.datei)) {
        m_fehler << Befehl << ": " << abgebrochen(o.datei) << Qt::endl;
        return Fehler;
    }
    if (art == runs::Art::Liste && seiteFehlt(o))
        return Fehler;

    platform::Printer printer(platform::PrinterChoice::createBackend(drucker));
    barcode::Code128 code;
    code.InitBreite(printer, 0); // the width a freshly opened window sets
    DateiDruck druck(printer, code);

    // The whole file is checked before the first page is drawn.
    runs::Pruefung pruefung(printer, code);
    const runs::Befunde befunde = pruefung.pruefen(art, o.datei, a);
    if (!befunde.isEmpty()) {
        m_fehler << Befehl << ": " << runs::Pruefung::bericht(befunde, o.datei);
        if (runs::Pruefung::hatFehler(befunde)) {
            m_fehler << QStringLiteral("Es wurde nichts gedruckt; Fehler verhindern den Druck auch mit --trotzdem.")
                     << Qt::endl;
            return Fehler;
        }
        if (!o.trotzdem) {
            m_fehler << QStringLiteral("Es wurde nichts gedruckt; mit --trotzdem wird trotz der Warnungen gedruckt.")
                     << Qt::endl;
            return Fehler;
        }
        m_fehler << QStringLiteral("Mit --trotzdem wird trotz der Warnungen gedruckt.") << Qt::endl;
    }
    druck.setGesamt(pruefung.saetze());
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

/// Reads all of \a pfad into memory, for Datei to read from. Waits for a writer and for data so that a
/// stop signal ends the wait: false then. A read error, or more than MaxEingabeMB, raises error 57.
bool BatchDruck::einmalLesen(const QString &pfad)
{
    // Not blocking: opening a FIFO would wait for a writer where no signal can end it.
    const int fd = ::open(QFile::encodeName(pfad).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true; // the run names why it cannot be opened
    // The stop signals arrive only inside ppoll, so that none slips between the check and the wait.
    sigset_t stop, vorher;
    sigemptyset(&stop);
    for (int signal : StopSignale)
        sigaddset(&stop, signal);
    sigprocmask(SIG_BLOCK, &stop, &vorher);
    QByteArray inhalt;
    QString fehler;
    bool gestoppt = false;
    for (;;) {
        if (m_abbruch && m_abbruch()) {
            gestoppt = true;
            break;
        }
        pollfd warten = {fd, POLLIN, 0};
        const int bereit = ::ppoll(&warten, 1, nullptr, &vorher);
        if (bereit < 0 && errno == EINTR)
            continue;
        char block[64 * 1024];
        const ssize_t n = bereit < 0 ? -1 : ::read(fd, block, sizeof block);
        if (n == 0)
            break;
        if (n < 0 && errno == EAGAIN)
            continue;
        if (n < 0) {
            fehler = QStringLiteral("Lesefehler");
            break;
        }
        if (inhalt.size() + n > MaxEingabeMB * 1024 * 1024) {
            fehler = QStringLiteral("mehr als %1 MB aus einer Pipe oder einem Gerät; eine so große Eingabe "
                                    "bitte als gewöhnliche Datei angeben")
                         .arg(MaxEingabeMB);
            break;
        }
        inhalt.append(block, n);
    }
    sigprocmask(SIG_SETMASK, &vorher, nullptr);
    ::close(fd);
    if (!fehler.isEmpty())
        throw RuntimeError(Datei::EinAusgabeFehler,
                           QStringLiteral("Datei „%1“: %2").arg(QFileInfo(pfad).fileName(), fehler));
    if (gestoppt)
        return false;
    Datei::imSpeicher(pfad, inhalt);
    return true;
}

/// True, after saying so, when the list's page range starts after its last page: that would print
/// an empty page.
bool BatchDruck::seiteFehlt(const DruckOptionen &o)
{
    if (!o.vonSeite)
        return false;
    Datei zaehler;
    zaehler.Oeffnen(o.datei); // a file that cannot be opened fails here, with its own message
    // Twelve rows to a page; an empty file still has its first page, with the header.
    const qint64 letzte = std::max<qint64>(1, (zaehler.GetAnzahl(o.datei) + ZeilenJeSeite - 1) / ZeilenJeSeite);
    if (*o.vonSeite <= letzte)
        return false;
    m_fehler << Befehl << ": "
             << QStringLiteral("Option --seiten: Seite %1 gibt es nicht; die Liste aus „%2“ endet mit Seite %3. "
                               "Es wurde nichts gedruckt.")
                    .arg(*o.vonSeite)
                    .arg(QFileInfo(o.datei).fileName())
                    .arg(letzte)
             << Qt::endl;
    return true;
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
