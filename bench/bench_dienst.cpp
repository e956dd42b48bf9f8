// The print service for web tills as a till on the same machine sees it: the
// built "tarvel dienst" in a home of its own, on the PDF printer, over loopback.
//
//   bench_dienst label [N]           N requests (default 1,000) of one label
//                                    each, one after the other on one kept-alive
//                                    connection: the time per request (median,
//                                    99th percentile), the part the job itself
//                                    took (Server-Timing) and the rest, HTTP.
//   bench_dienst clients [C] [L] [K] C clients (default 16) at once, each L
//                                    labels (default 500) in requests of K
//                                    labels (default 10): every job is read
//                                    back (pdftotext) and must hold exactly its
//                                    request's labels, in order: none lost,
//                                    duplicated or mixed with another's.
//
// Prints one row for bench/run (BenchRow.h).
#include "BenchRow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace bench = tarvel::bench;

namespace {

struct Antwort
{
    int status = 0;
    QByteArray body;
    double druckMs = 0; ///< from Server-Timing
};

/// One kept-alive HTTP/1.1 connection to the service, blocking.
class Verbindung
{
public:
    Verbindung(quint16 port, QByteArray token) : m_port(port), m_token(std::move(token))
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
            qFatal("keine Verbindung zum Dienst");
        int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~Verbindung() { ::close(m_fd); }

    Antwort post(const QByteArray &body)
    {
        QByteArray r = "POST /v1/auftraege HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port)
                       + "\r\nAuthorization: Bearer " + m_token + "\r\nContent-Type: application/json\r\nContent-Length: "
                       + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        for (qsizetype sent = 0; sent < r.size();) {
            const ssize_t n = ::send(m_fd, r.constData() + sent, size_t(r.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                qFatal("Senden fehlgeschlagen");
            sent += n;
        }
        // The head, then as many bytes as Content-Length says.
        qsizetype end;
        while ((end = m_rest.indexOf("\r\n\r\n")) < 0)
            lesen();
        const QByteArray head = m_rest.left(end);
        m_rest.remove(0, end + 4);
        Antwort a;
        a.status = head.mid(9, 3).toInt();
        static const QRegularExpression length(QStringLiteral("\r\nContent-Length: (\\d+)"), QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression timing(QStringLiteral("\r\nServer-Timing: druck;dur=([0-9.]+)"));
        const qsizetype bodySize = length.match(QString::fromLatin1(head)).captured(1).toLongLong();
        if (const auto m = timing.match(QString::fromLatin1(head)); m.hasMatch())
            a.druckMs = m.captured(1).toDouble();
        while (m_rest.size() < bodySize)
            lesen();
        a.body = m_rest.left(bodySize);
        m_rest.remove(0, bodySize);
        return a;
    }

private:
    void lesen()
    {
        char buffer[16384];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            qFatal("Verbindung vom Dienst geschlossen");
        m_rest.append(buffer, n);
    }

    int m_fd;
    quint16 m_port;
    QByteArray m_token;
    QByteArray m_rest;
};

QByteArray auftrag(const QStringList &nummern)
{
    QJsonArray etiketten;
    for (const QString &n : nummern)
        etiketten.append(QJsonObject{{"art", "label"}, {"felder", QJsonObject{{"ArtikelNr", n}, {"Preis1", "12,95"}}}});
    return QJsonDocument(QJsonObject{{"etiketten", etiketten}}).toJson(QJsonDocument::Compact);
}

/// "tarvel dienst" in a home of its own, on a free port.
struct Dienst
{
    QTemporaryDir home;
    QProcess proc;
    quint16 port = 0;
    QByteArray token;

    Dienst()
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        env.insert("CUPS_SERVER", "/nonexistent");
        proc.setProcessEnvironment(env);
        QProcess t;
        t.setProcessEnvironment(env);
        t.start(QStringLiteral(TARVEL_PROGRAM), {"dienst", "--token"});
        t.waitForFinished();
        token = t.readAllStandardOutput().trimmed();
        // Its log goes to a file: a pipe nobody reads would stop the service once full.
        proc.setStandardErrorFile(home.filePath("dienst.log"));
        proc.start(QStringLiteral(TARVEL_PROGRAM), {"dienst", "--port", "0"});
        static const QRegularExpression bereit(QStringLiteral("127\\.0\\.0\\.1:(\\d+)"));
        QFile log(home.filePath("dienst.log"));
        for (int i = 0; i < 200 && !port; ++i) {
            QThread::msleep(50);
            if (log.open(QIODevice::ReadOnly)) {
                port = quint16(bereit.match(QString::fromUtf8(log.readAll())).captured(1).toUInt());
                log.close();
            }
        }
        if (!port)
            qFatal("Dienst nicht bereit");
    }
    ~Dienst()
    {
        proc.terminate();
        proc.waitForFinished(10000);
    }
    QString jobs() const { return home.filePath("Documents/Tarvel"); }
};

double quantile(QList<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[std::min<qsizetype>(v.size() - 1, qsizetype(q * v.size()))];
}

int label(int n)
{
    Dienst d;
    Verbindung c(d.port, d.token);
    QList<double> gesamt, druck;
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        const Antwort a = c.post(auftrag({QStringLiteral("B-%1").arg(i)}));
        gesamt.append(t.nsecsElapsed() / 1e6);
        druck.append(a.druckMs);
        if (a.status != 201)
            qFatal("Antwort %d: %s", a.status, a.body.constData());
    }
    QList<double> http;
    for (qsizetype i = 0; i < gesamt.size(); ++i)
        http.append(gesamt[i] - druck[i]);
    const QString out = QStringLiteral("Median %1 ms, p99 %2 ms; davon Auftrag (Zeichnen, PDF, Ablage) Median %3 ms; "
                                       "HTTP und Dienst allein Median %4 ms, p99 %5 ms")
                            .arg(quantile(gesamt, 0.5), 0, 'f', 2)
                            .arg(quantile(gesamt, 0.99), 0, 'f', 2)
                            .arg(quantile(druck, 0.5), 0, 'f', 2)
                            .arg(quantile(http, 0.5), 0, 'f', 3)
                            .arg(quantile(http, 0.99), 0, 'f', 3);
    std::fprintf(stderr, "%s\n", qPrintable(out));
    bench::printRow(QStringLiteral("Dienst: ein Etikett je HTTP-Anfrage"), n, wall.nsecsElapsed() / 1e9,
                    QStringLiteral("%1 ms").arg(quantile(gesamt, 0.5), 0, 'f', 2), bench::peakMegabytes(), out);
    return 0;
}

int clients(int anzahl, int etiketten, int jeAnfrage)
{
    Dienst d;
    std::mutex lock;
    QHash<QString, QStringList> ziele; // PDF -> the labels its request held
    QSet<int> nummern;
    std::atomic<int> fehler{0}, bereit{0};
    QElapsedTimer wall;
    std::vector<std::thread> threads;
    for (int k = 0; k < anzahl; ++k) {
        threads.emplace_back([&, k] {
            Verbindung c(d.port, d.token);
            ++bereit;
            while (bereit < anzahl)
                std::this_thread::yield(); // all start at once
            for (int i = 0; i < etiketten; i += jeAnfrage) {
                QStringList labels;
                for (int j = i; j < std::min(etiketten, i + jeAnfrage); ++j)
                    labels << QStringLiteral("K%1-%2").arg(k).arg(j);
                const Antwort a = c.post(auftrag(labels));
                const QJsonObject o = QJsonDocument::fromJson(a.body).object();
                std::lock_guard guard(lock);
                if (a.status != 201 || ziele.contains(o["ziel"].toString()) || nummern.contains(o["auftrag"].toInt()))
                    ++fehler;
                ziele.insert(o["ziel"].toString(), labels);
                nummern.insert(o["auftrag"].toInt());
            }
        });
    }
    wall.start();
    for (auto &t : threads)
        t.join();
    const double sekunden = wall.nsecsElapsed() / 1e9;

    // Every job read back: exactly its request's labels, in order, and no job beyond them.
    int verloren = 0, gemischt = 0;
    static const QRegularExpression nummer(QStringLiteral("K\\d+-\\d+"));
    for (auto it = ziele.cbegin(); it != ziele.cend(); ++it) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {it.key(), QStringLiteral("-")});
        text.waitForFinished();
        QStringList gelesen;
        for (const auto &m : nummer.globalMatch(QString::fromUtf8(text.readAllStandardOutput())))
            gelesen << m.captured();
        if (gelesen.isEmpty())
            ++verloren;
        else if (gelesen != it.value())
            ++gemischt;
    }
    const qsizetype dateien = QDir(d.jobs()).entryList({QStringLiteral("*.pdf")}).size();
    const int doppelt = fehler + int(dateien - ziele.size());
    const QString out = QStringLiteral("%1 Clients × %2 Etiketten (%3 je Anfrage): %4 Etiketten/s; verloren %5, doppelt %6, "
                                       "vermischt %7")
                            .arg(anzahl)
                            .arg(etiketten)
                            .arg(jeAnfrage)
                            .arg(anzahl * etiketten / sekunden, 0, 'f', 0)
                            .arg(verloren)
                            .arg(doppelt)
                            .arg(gemischt);
    std::fprintf(stderr, "%s\n", qPrintable(out));
    bench::printRow(QStringLiteral("Dienst: Clients gleichzeitig"), qlonglong(anzahl) * etiketten, sekunden,
                    bench::perItemMs(sekunden, qlonglong(anzahl) * etiketten), bench::peakMegabytes(), out);
    return verloren + doppelt + gemischt == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    const QString mode = a.value(0, QStringLiteral("label"));
    if (mode == QLatin1String("clients"))
        return clients(a.value(1, "16").toInt(), a.value(2, "500").toInt(), std::max(1, a.value(3, "10").toInt()));
    return label(a.value(1, "1000").toInt());
}
