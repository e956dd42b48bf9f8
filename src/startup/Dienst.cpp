#include "startup/Dienst.h"

#include "platform/RuntimeError.h"
#include "web/DienstToken.h"
#include "web/DruckApi.h"
#include "web/Herkuenfte.h"
#include "web/WebServer.h"
#include "web/Zugang.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextStream>
#include <csignal>
#include <optional>
#include <fcntl.h>
#include <unistd.h>

namespace tarvel::startup {

using platform::RuntimeError;

namespace {

const QString Befehl = QStringLiteral("tarvel dienst");
int g_stopPipe[2] = {-1, -1};

extern "C" void stoppen(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_stopPipe[1], &c, 1);
}

} // namespace

QString Dienst::ordner()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Tarvel");
}

QString Dienst::hilfe()
{
    return QStringLiteral(
        "Aufruf:\n"
        "  tarvel dienst [--port N]      der Druckdienst für Web-Kassen: HTTP nur auf 127.0.0.1 und ::1\n"
        "                                (Port %1, wenn nicht anders angegeben); läuft, bis er beendet wird\n"
        "  tarvel dienst --token         den Schlüssel zeigen, den jede Anfrage braucht\n"
        "                                („Authorization: Bearer SCHLÜSSEL“); legt ihn beim ersten Mal an\n"
        "  tarvel dienst --erlaube HERKUNFT   Seiten dieser Herkunft drucken lassen (http://kasse.local:8080)\n"
        "  tarvel dienst --verbiete HERKUNFT  die Freigabe zurücknehmen\n"
        "  tarvel dienst --erlaubt       die freigegebenen Herkünfte zeigen\n"
        "\n"
        "Freigaben wirken sofort, auch bei laufendem Dienst.\n"
        "Rückgabewert: 0 erledigt; 1 Fehler; 2 falscher Aufruf.\n")
        .arg(StandardPort);
}

int Dienst::verwalten(const QStringList &a, const QString &ordner, QTextStream &aus, QTextStream &fehler,
                      quint16 *port)
{
    auto falsch = [&](const QString &was) {
        fehler << Befehl << ": " << was << "\nHilfe: " << Befehl << " --hilfe" << Qt::endl;
        return int(Bedienfehler);
    };
    try {
        if (a.isEmpty())
            return -1;
        const QString option = a.first();
        if (option == QLatin1String("--hilfe") || option == QLatin1String("-h") || option == QLatin1String("--help")) {
            aus << hilfe() << Qt::flush;
            return Erledigt;
        }
        if (option == QLatin1String("--port")) {
            bool ok = false;
            const uint n = a.value(1).toUInt(&ok);
            if (a.size() != 2 || !ok || n > 65535)
                return falsch(QStringLiteral("--port braucht eine Zahl von 0 bis 65535."));
            *port = quint16(n);
            return -1;
        }
        if (option == QLatin1String("--token") || option == QLatin1String("--erlaubt")) {
            if (a.size() != 1)
                return falsch(QStringLiteral("%1 steht allein.").arg(option));
            if (option == QLatin1String("--token"))
                aus << web::DienstToken::laden(ordner).wert() << Qt::endl;
            else
                for (const QString &o : web::Herkuenfte(ordner).liste())
                    aus << o << '\n';
            aus.flush();
            return Erledigt;
        }
        if (option == QLatin1String("--erlaube") || option == QLatin1String("--verbiete")) {
            if (a.size() != 2)
                return falsch(QStringLiteral("%1 braucht genau eine Herkunft, etwa http://kasse.local:8080.").arg(option));
            web::Herkuenfte herkuenfte(ordner);
            const QString o = web::Herkuenfte::normalisiert(a[1]);
            if (option == QLatin1String("--erlaube"))
                aus << (herkuenfte.erlaube(o) ? QStringLiteral("Erlaubt: %1") : QStringLiteral("War schon erlaubt: %1")).arg(o);
            else
                aus << (herkuenfte.verbiete(o) ? QStringLiteral("Nicht mehr erlaubt: %1") : QStringLiteral("War nicht erlaubt: %1")).arg(o);
            aus << Qt::endl;
            return Erledigt;
        }
        return falsch(QStringLiteral("Unbekannte Option „%1“.").arg(option));
    } catch (const RuntimeError &e) {
        fehler << Befehl << ": " << e.text() << Qt::endl;
        return e.number() == RuntimeError::InvalidArgument ? Bedienfehler : Fehler;
    }
}

int Dienst::main(int argc, char **argv)
{
    QStringList argumente;
    for (int i = 2; i < argc; ++i)
        argumente << QString::fromLocal8Bit(argv[i]);
    QTextStream aus(stdout);
    QTextStream fehler(stderr);
    const QString einstellungen = ordner();
    quint16 port = StandardPort;
    if (const int r = verwalten(argumente, einstellungen, aus, fehler, &port); r >= 0)
        return r;

    std::optional<web::DienstToken> token;
    try {
        token = web::DienstToken::laden(einstellungen);
    } catch (const RuntimeError &e) {
        fehler << Befehl << ": " << e.text() << Qt::endl;
        return Fehler;
    }

    // The service never shows a window: its automation objects' dialogs stay off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));

    web::Herkuenfte herkuenfte(einstellungen);
    web::Zugang zugang(*token, herkuenfte, port);
    web::DruckApi api(zugang, QStringLiteral(TARVEL_VERSION));
    web::WebServer server(api);
    QString warum;
    port = server.listen(port, &warum);
    if (port == 0) {
        fehler << Befehl << ": " << warum << Qt::endl;
        return Fehler;
    }
    zugang.setPort(port);

    // SIGTERM (systemctl stop) and Ctrl+C end the service between two requests.
    if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        struct sigaction aktion = {};
        aktion.sa_handler = stoppen;
        sigemptyset(&aktion.sa_mask);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaction(signal, &aktion, nullptr);
        auto *notifier = new QSocketNotifier(g_stopPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    }
    fehler << Befehl << ": bereit auf http://127.0.0.1:" << port << " und http://[::1]:" << port << Qt::endl;
    const int r = app.exec();
    fehler << Befehl << ": beendet." << Qt::endl;
    return r;
}

} // namespace tarvel::startup
