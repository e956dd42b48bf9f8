// The print service's front door, without a socket: how a request's bytes are
// read (limits, framing a second reader could see differently), who is let in
// (Host, Origin, token, preflight), which origins can be allowed, and the token file.
#include "platform/RuntimeError.h"
#include "web/DienstToken.h"
#include "web/Herkuenfte.h"
#include "web/HttpRequestParser.h"
#include "web/Zugang.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace tarvel::web;
using Stand = HttpRequestParser::Stand;

class TstWebZugang : public QObject
{
    Q_OBJECT
private slots:
    void parser_data();
    void parser();
    void zugang_data();
    void zugang();
    void herkunft_data();
    void herkunft();
    void token();
};

void TstWebZugang::parser_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");   // 0: read complete
    QTest::addColumn<int>("requests"); // complete requests read before
    QTest::addColumn<QByteArray>("body");

    const QByteArray get = "GET /v1/status HTTP/1.1\r\nHost: a\r\n\r\n";
    QTest::newRow("get") << get << 0 << 1 << QByteArray();
    QTest::newRow("post body") << QByteArray("POST /v1/auftraege HTTP/1.1\r\nHost: a\r\nContent-Length: 5\r\n\r\n{\"a\"}")
                               << 0 << 1 << QByteArray("{\"a\"}");
    QTest::newRow("pipelined") << get + get + get << 0 << 3 << QByteArray();
    QTest::newRow("1 MB body") << "POST / HTTP/1.1\r\nContent-Length: 1048576\r\n\r\n" + QByteArray(1048576, 'x') << 0 << 1
                               << QByteArray(1048576, 'x');
    QTest::newRow("1 MB + 1 refused from its length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1048577\r\n\r\n")
                                                      << 413 << 0 << QByteArray();
    QTest::newRow("head over 16 KB") << "GET / HTTP/1.1\r\nX: " + QByteArray(16400, 'a') << 431 << 0 << QByteArray();
    QTest::newRow("chunked") << QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n") << 400 << 0 << QByteArray();
    QTest::newRow("two lengths") << QByteArray("POST / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\nxx") << 400 << 0 << QByteArray();
    QTest::newRow("signed length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: +1\r\n\r\nx") << 400 << 0 << QByteArray();
    QTest::newRow("two hosts") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n") << 400 << 0 << QByteArray();
    QTest::newRow("folded header") << QByteArray("GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n") << 400 << 0 << QByteArray();
    QTest::newRow("bare LF") << QByteArray("GET / HTTP/1.1\nHost: a\r\n\r\n") << 400 << 0 << QByteArray();
    QTest::newRow("space before colon") << QByteArray("GET / HTTP/1.1\r\nHost : a\r\n\r\n") << 400 << 0 << QByteArray();
    QTest::newRow("HTTP/2 preface") << QByteArray("PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n") << 400 << 0 << QByteArray();
    QTest::newRow("HTTP/0.9") << QByteArray("GET / HTTP/0.9\r\n\r\n") << 505 << 0 << QByteArray();
    QTest::newRow("bad request after a good one") << get + "garbage\r\n\r\n" << 400 << 1 << QByteArray();
}

void TstWebZugang::parser()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(int, requests);
    QFETCH(QByteArray, body);

    // Byte by byte where short, so that no split point changes what is read.
    HttpRequestParser p;
    int complete = 0;
    QByteArray lastBody;
    const qsizetype step = bytes.size() < 4096 ? 1 : 65536;
    Stand s = Stand::BraucheMehr;
    for (qsizetype at = 0; at < bytes.size() && s != Stand::Fehler; at += step) {
        p.append(bytes.mid(at, step));
        while ((s = p.weiter()) == Stand::KopfFertig || s == Stand::Fertig) {
            if (s == Stand::Fertig) {
                ++complete;
                lastBody = p.take().body;
            }
        }
    }
    QCOMPARE(s == Stand::Fehler ? p.fehlerStatus() : 0, status);
    QCOMPARE(complete, requests);
    if (status == 0)
        QCOMPARE(lastBody, body);
}

void TstWebZugang::zugang_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("origin"); // empty: none sent
    QTest::addColumn<QByteArray>("authorization");
    QTest::addColumn<int>("status"); // 0: let through
    QTest::addColumn<QByteArray>("allowOrigin");

    const QByteArray ok = "Bearer " + QByteArray(64, 'a');
    const QByteArray kasse = "http://127.0.0.1:8123";
    QTest::newRow("token, no origin") << QByteArray("GET") << QByteArray("127.0.0.1:9180") << QByteArray() << ok << 0 << QByteArray();
    QTest::newRow("allowed origin") << QByteArray("POST") << QByteArray("localhost:9180") << kasse << ok << 0 << kasse;
    QTest::newRow("IPv6 host") << QByteArray("GET") << QByteArray("[::1]:9180") << QByteArray() << ok << 0 << QByteArray();
    QTest::newRow("scheme in lower case") << QByteArray("GET") << QByteArray("127.0.0.1:9180") << QByteArray() << "bearer " + QByteArray(64, 'a') << 0 << QByteArray();
    QTest::newRow("no token") << QByteArray("GET") << QByteArray("127.0.0.1:9180") << QByteArray() << QByteArray() << 401 << QByteArray();
    QTest::newRow("wrong token") << QByteArray("GET") << QByteArray("127.0.0.1:9180") << kasse << "Bearer " + QByteArray(63, 'a') + 'b' << 401 << kasse;
    QTest::newRow("token without scheme") << QByteArray("GET") << QByteArray("127.0.0.1:9180") << QByteArray() << QByteArray(64, 'a') << 401 << QByteArray();
    QTest::newRow("foreign origin with token") << QByteArray("POST") << QByteArray("127.0.0.1:9180") << QByteArray("http://evil.example") << ok << 403 << QByteArray();
    QTest::newRow("same host, other port") << QByteArray("POST") << QByteArray("127.0.0.1:9180") << QByteArray("http://127.0.0.1:8124") << ok << 403 << QByteArray();
    QTest::newRow("origin null") << QByteArray("POST") << QByteArray("127.0.0.1:9180") << QByteArray("null") << ok << 403 << QByteArray();
    QTest::newRow("rebound name") << QByteArray("GET") << QByteArray("evil.example:9180") << QByteArray() << ok << 403 << QByteArray();
    QTest::newRow("host without port") << QByteArray("GET") << QByteArray("localhost") << QByteArray() << ok << 403 << QByteArray();
    QTest::newRow("other port") << QByteArray("GET") << QByteArray("127.0.0.1:80") << QByteArray() << ok << 403 << QByteArray();
    QTest::newRow("no host") << QByteArray("GET") << QByteArray() << QByteArray() << ok << 403 << QByteArray();
    QTest::newRow("preflight") << QByteArray("OPTIONS") << QByteArray("127.0.0.1:9180") << kasse << QByteArray() << 204 << kasse;
    QTest::newRow("preflight, foreign") << QByteArray("OPTIONS") << QByteArray("127.0.0.1:9180") << QByteArray("http://evil.example") << QByteArray() << 403 << QByteArray();
}

void TstWebZugang::zugang()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, origin);
    QFETCH(QByteArray, authorization);
    QFETCH(int, status);
    QFETCH(QByteArray, allowOrigin);

    QTemporaryDir dir;
    QFile tokenFile(dir.filePath(DienstToken::dateiName()));
    QVERIFY(tokenFile.open(QIODevice::WriteOnly));
    tokenFile.write(QByteArray(64, 'a'));
    tokenFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    tokenFile.close();
    Herkuenfte herkuenfte(dir.path());
    herkuenfte.erlaube(QStringLiteral("http://127.0.0.1:8123/"));
    Zugang zugang(DienstToken::laden(dir.path()), herkuenfte, 9180);

    HttpRequest r;
    r.method = method;
    r.target = "/v1/status";
    if (!host.isEmpty())
        r.headers.append(qMakePair(QByteArray("host"), QByteArray(host)));
    if (!origin.isEmpty())
        r.headers.append(qMakePair(QByteArray("origin"), QByteArray(origin)));
    if (!authorization.isEmpty())
        r.headers.append(qMakePair(QByteArray("authorization"), QByteArray(authorization)));
    r.headers.append(qMakePair(QByteArray("access-control-request-private-network"), QByteArray("true")));
    std::optional<HttpResponse> answer = zugang.pruefe(r);
    if (!answer && method == "OPTIONS")
        answer = zugang.preflight(r);
    QCOMPARE(answer ? answer->status : 0, status);
    HttpResponse response = answer.value_or(HttpResponse{});
    zugang.cors(r, response);
    QByteArray allowed, privateNetwork;
    for (const auto &[name, value] : response.headers) {
        if (name == "Access-Control-Allow-Origin")
            allowed = value;
        if (name == "Access-Control-Allow-Private-Network")
            privateNetwork = value;
    }
    QCOMPARE(allowed, allowOrigin);
    QCOMPARE(privateNetwork, QByteArray(status == 204 ? "true" : ""));
}

void TstWebZugang::herkunft_data()
{
    QTest::addColumn<QString>("eingabe");
    QTest::addColumn<QString>("herkunft"); // empty: refused with error 5
    QTest::newRow("port") << "http://127.0.0.1:8123" << "http://127.0.0.1:8123";
    QTest::newRow("trailing slash, capitals") << "HTTP://Kasse.Local:8080/" << "http://kasse.local:8080";
    QTest::newRow("default port dropped") << "https://kasse.example:443" << "https://kasse.example";
    QTest::newRow("IPv6") << "http://[::1]:8000" << "http://[::1]:8000";
    QTest::newRow("path") << "http://kasse.local/kasse" << "";
    QTest::newRow("wildcard") << "http://*.example" << "";
    QTest::newRow("null") << "null" << "";
    QTest::newRow("file") << "file:///home/kasse" << "";
    QTest::newRow("user info") << "http://a@kasse.local" << "";
}

void TstWebZugang::herkunft()
{
    QFETCH(QString, eingabe);
    QFETCH(QString, herkunft);
    QString got;
    try {
        got = Herkuenfte::normalisiert(eingabe);
    } catch (const tarvel::platform::RuntimeError &e) {
        QCOMPARE(e.number(), 5);
    }
    QCOMPARE(got, herkunft);
}

void TstWebZugang::token()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/Tarvel"));
    const QByteArray first = DienstToken::laden(folder).wert();
    QCOMPARE(first.size(), 64); // 256 bits
    QCOMPARE(DienstToken::laden(folder).wert(), first);
    QVERIFY(DienstToken::laden(dir.filePath(QStringLiteral("other"))).wert() != first);
    struct stat s = {};
    QCOMPARE(::stat(QFile::encodeName(folder + QStringLiteral("/dienst-token")).constData(), &s), 0);
    QCOMPARE(s.st_mode & 0777, 0600u);
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &s), 0);
    QCOMPARE(s.st_mode & 0777, 0700u);
    // A token others could read may be known to them: refused, not used.
    QFile::setPermissions(folder + QStringLiteral("/dienst-token"), QFileDevice::ReadOwner | QFileDevice::ReadOther);
    QVERIFY_THROWS_EXCEPTION(tarvel::platform::RuntimeError, DienstToken::laden(folder));
}

QTEST_GUILESS_MAIN(TstWebZugang)
#include "tst_web_zugang.moc"
