// Fuzz target of the automation interface: calls of every Tarvel.Application
// member, the standard property calls and the factory, with arguments of any
// D-Bus type and nesting, sent over a real D-Bus connection (peer to peer) to
// the automation server in this process. Every call gets a reply or a D-Bus
// error of a known name, never an internal error; a value written to a record
// property reads back as the conversion rules give it; nothing stays alive.

#include "automation/AutomationServer.h"
#include "platform/Numbers.h"
#include "support/PeerServer.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

using namespace tarvel;

namespace {

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "Automation: %s\n", qPrintable(what));
    std::abort();
}

const QString Iface = QStringLiteral("Tarvel.Application");
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");

// The members of Tarvel.Application in their order, then names that are none.
const QStringList Members = {
    "Setup", "DruckeLabel", "DruckeEtikett", "DruckeKanuEtikett", "DruckeAbholschein", "DruckeAbholscheinDINA4",
    "DruckeListe", "DruckeLaserLabel", "DruckeLaserLabel4Bahn", "DruckeAdressLabel", "StartPosition", "ArtikelNr",
    "Preis1", "Preis2", "MatchCode", "WarenGruppe", "ISBN", "Titel", "Autor", "Verlag", "Bemerkung", "VorgangsNr",
    "Datum", "BestellDatum", "KdNr", "Name1", "Name2", "Strasse", "PLZ", "Ort", "Telefon", "SchlussText", "Menge",
    "Zeile", "zuHaenden", "Anrede", "Release", "Get", "Set", "GetAll", "Introspect", "Unbekannt",
};
const QStringList RecordFields = {"ArtikelNr", "Preis1", "Preis2", "MatchCode", "WarenGruppe", "ISBN"};

// Error names a call may end with; anything else (Tarvel.Error.Failed above
// all, an internal error) is a finding.
bool knownError(const QString &name)
{
    static const QStringList known = {
        "Tarvel.Error.Overflow", "Tarvel.Error.SubscriptOutOfRange", "Tarvel.Error.TypeMismatch",
        "Tarvel.Error.InvalidArgument", "Tarvel.Error.CannotCreateObject",
        "org.freedesktop.DBus.Error.UnknownMethod", "org.freedesktop.DBus.Error.UnknownInterface",
        "org.freedesktop.DBus.Error.UnknownProperty", "org.freedesktop.DBus.Error.PropertyReadOnly",
        "org.freedesktop.DBus.Error.InvalidArgs", "org.freedesktop.DBus.Error.UnknownObject",
    };
    return known.contains(name);
}

struct Input
{
    const uint8_t *data;
    size_t size;
    uint8_t byte() { return size ? (--size, *data++) : 0; }
    template<typename T> T value()
    {
        T v{};
        const size_t n = std::min(sizeof(T), size);
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
    QString text()
    {
        const size_t n = std::min<size_t>(byte(), size);
        QString t = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(n));
        data += n;
        size -= n;
        return t.remove(QChar(0)); // a D-Bus string cannot carry NUL: the client library cuts it there
    }
};

// A value of any type clients can send, with its text by the conversion
// rules (empty optional: refused with error 13).
struct Wert
{
    QVariant value;
    std::optional<QString> text;
};

Wert wert(Input &in, int depth = 0)
{
    switch (in.byte() % 15) {
    case 0: { const QString t = in.text(); return {t, t}; }
    case 1: { const auto v = in.value<qint16>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 2: { const auto v = in.value<quint16>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 3: { const auto v = in.value<qint32>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 4: { const auto v = in.value<quint32>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 5: { const auto v = in.value<qint64>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 6: { const auto v = in.value<quint64>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 7: {
        auto v = in.value<double>();
        if (std::isnan(v))
            v = 0.5; // a NaN's bits need not survive the trip
        return {QVariant::fromValue(v), platform::Numbers::numberText(v)};
    }
    case 8: { const bool b = in.byte() & 1; return {b, b ? QStringLiteral("Wahr") : QStringLiteral("Falsch")}; }
    case 9: { const auto v = in.value<uchar>(); return {QVariant::fromValue(v), QString::number(v)}; }
    case 10: return {QStringList{in.text(), in.text()}, std::nullopt};
    case 11: return {QByteArray(in.text().toUtf8()), std::nullopt};
    case 12: return {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/Tarvel"))), std::nullopt};
    case 13: return {QVariant::fromValue(QDBusSignature(QStringLiteral("s"))), std::nullopt};
    default:
        if (depth < 3) {
            const Wert inner = wert(in, depth + 1);
            return {QVariant::fromValue(QDBusVariant(inner.value)), inner.text};
        }
        return {QString(), QString()};
    }
}

// Never destroyed: they live as long as the fuzzing process.
test::PeerServer *g_peer = nullptr;

QDBusMessage call(const QString &path, const QString &iface, const QString &member, const QVariantList &args)
{
    // An empty interface stays empty: the client picks none, as D-Bus allows.
    auto msg = QDBusMessage::createMethodCall(QString(), path, iface, member);
    msg.setArguments(args);
    QDBusPendingCall pending = g_peer->client().asyncCall(msg, 20000);
    QDeadlineTimer deadline(30000);
    while (!pending.isFinished()) {
        if (deadline.hasExpired())
            fail(QStringLiteral("%1 auf %2 bleibt ohne Antwort").arg(member, path));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QDBusMessage reply = pending.reply();
    if (reply.type() == QDBusMessage::ErrorMessage && !knownError(reply.errorName()))
        fail(QStringLiteral("%1 auf %2: %3 %4").arg(member, path, reply.errorName(), reply.errorMessage()));
    return reply;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir *settings = new QTemporaryDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings->path());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    new QApplication(*argc, *argv);
    QApplication::setQuitOnLastWindowClosed(false);
    g_peer = new test::PeerServer;
    if (!g_peer->isConnected())
        fail(QStringLiteral("keine Verbindung zum Server"));
    return 0;
}

// Input: a sequence of calls. Each starts with a byte choosing the member and
// the kind of call (method, Get, Set, GetAll, factory, other object), one byte
// with the number of arguments, then the arguments as typed values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    const QDBusMessage created = call(QStringLiteral("/Tarvel"), QStringLiteral("Tarvel.Server"),
                                      QStringLiteral("CreateObject"), {QStringLiteral("Tarvel.Application")});
    if (created.type() != QDBusMessage::ReplyMessage)
        fail(QStringLiteral("CreateObject: ") + created.errorMessage());
    const QString path = qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();

    for (int n = 0; n < 12 && in.size > 0; ++n) {
        const uint8_t choice = in.byte();
        const QString member = Members[in.byte() % Members.size()];
        QVariantList args;
        const int count = in.byte() % 4;
        std::optional<QString> text;
        for (int i = 0; i < count; ++i) {
            Wert w = wert(in);
            if (i == 0)
                text = w.text;
            args << w.value;
        }
        switch (choice % 6) {
        case 0: // a method call as it comes, on the object's interface or none
            call(path, choice & 0x80 ? QString() : Iface, member, args);
            break;
        case 1: // Set of a property, the value in a variant as clients send it
        {
            if (args.isEmpty()) {
                args << QString();
                text = QString();
            }
            const QVariant value = args.first();
            const QDBusMessage reply = call(path, Props, QStringLiteral("Set"),
                                            {Iface, member, QVariant::fromValue(QDBusVariant(value))});
            // A record property takes exactly the values with a text, and reads back that text.
            const bool gone = reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
            if (RecordFields.contains(member) && !gone) {
                const bool taken = reply.type() == QDBusMessage::ReplyMessage;
                if (taken != text.has_value())
                    fail(QStringLiteral("Set %1: angenommen %2, Text erwartet %3")
                             .arg(member).arg(taken).arg(text.has_value()));
                QVariant got = call(path, Props, QStringLiteral("Get"), {Iface, member}).arguments().value(0);
                while (got.metaType() == QMetaType::fromType<QDBusVariant>())
                    got = qvariant_cast<QDBusVariant>(got).variant();
                if (taken && got.toString() != *text)
                    fail(QStringLiteral("Get %1: \"%2\" statt \"%3\"").arg(member, got.toString(), *text));
            }
            break;
        }
        case 2: // the property calls with whatever arguments
            call(path, Props, QStringList{"Get", "Set", "GetAll"}[choice / 6 % 3], args);
            break;
        case 3: // the factory with whatever arguments
        {
            const QDBusMessage reply = call(QStringLiteral("/Tarvel"), choice & 0x80 ? QString() : "Tarvel.Server",
                                            member == QLatin1String("Unbekannt") ? member : "CreateObject", args);
            if (reply.type() == QDBusMessage::ReplyMessage)
                call(qvariant_cast<QDBusObjectPath>(reply.arguments().value(0)).path(), QString(),
                     QStringLiteral("Release"), {});
            break;
        }
        case 4: // objects that never existed
            call(QStringLiteral("/Tarvel/Application/%1").arg(in.value<quint16>() + 100000), Iface, member, args);
            break;
        default: // the introspection
            call(choice & 0x80 ? path : QStringLiteral("/Tarvel"), QStringLiteral("org.freedesktop.DBus.Introspectable"),
                 QStringLiteral("Introspect"), {});
            break;
        }
    }
    const QDBusMessage released = call(path, Iface, QStringLiteral("Release"), {});
    const bool wasReleased = released.type() == QDBusMessage::ErrorMessage
                             && released.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
    if (released.type() != QDBusMessage::ReplyMessage && !wasReleased)
        fail(QStringLiteral("Release: ") + released.errorName());
    if (g_peer->server().objectCount() != 0)
        fail(QStringLiteral("%1 Objekte leben nach der Freigabe").arg(g_peer->server().objectCount()));
    return 0;
}
