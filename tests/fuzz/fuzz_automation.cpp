// Fuzz target of the automation interface as any local program can call it:
// calls of the members of Tarvel.Application and the property calls, with
// arguments of any type and nesting, dispatched by the adaptor of a real
// Application (printing on a recording printer) without a bus. Every call
// ends in a reply or an error of a known name whose message carries its
// number; a value written to a record field reads back as the conversion
// rules give it, and a free text line holds what was set where its number fits.

#include "automation/Application.h"
#include "automation/ApplicationAdaptor.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"

#include <QApplication>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

using namespace tarvel;
using automation::DBusInterface;

namespace {

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "Automation: %s\n", qPrintable(what));
    std::abort();
}

const QString Iface = QStringLiteral("Tarvel.Application");
const QString Props = QStringLiteral("org.freedesktop.DBus.Properties");
// Every member but Setup, which waits for the user; then names that are none.
const QStringList Members = {
    "DruckeLabel", "DruckeEtikett", "DruckeKanuEtikett", "DruckeAbholschein", "DruckeAbholscheinDINA4", "DruckeListe",
    "DruckeLaserLabel", "DruckeLaserLabel4Bahn", "DruckeAdressLabel", "StartPosition", "ArtikelNr", "Preis1", "Preis2",
    "MatchCode", "WarenGruppe", "ISBN", "Titel", "Name1", "Zeile", "zuHaenden", "Anrede", "Unbekannt", "",
};
const QStringList RecordFields = {"ArtikelNr", "Preis1", "Preis2", "MatchCode", "WarenGruppe", "ISBN"};
// The errors a call may end with, and the number each message names.
const QHash<QString, int> TarvelErrors = {{"InvalidArgument", 5}, {"Overflow", 6}, {"SubscriptOutOfRange", 9},
                                          {"TypeMismatch", 13}, {"PrinterError", 482}};
const QStringList DBusErrors = {"UnknownMethod", "UnknownInterface", "UnknownProperty", "PropertyReadOnly", "InvalidArgs"};

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
        const QString t = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(n));
        data += n;
        size -= n;
        return t;
    }
};

// A value of any type a client can send, the text it stands for (none: error 13), and
// its 16-bit number where the model knows it exactly (a whole number that fits).
struct Wert
{
    QVariant value;
    std::optional<QString> text;
    std::optional<qint64> whole;
};

Wert wert(Input &in, int depth = 0)
{
    const auto whole = [](auto v) { return Wert{QVariant::fromValue(v), QString::number(v), qint64(v)}; };
    switch (in.byte() % 13) {
    case 0: { const QString t = in.text(); return {t, t, {}}; }
    case 1: return whole(in.value<qint16>());
    case 2: return whole(in.value<quint16>());
    case 3: return whole(in.value<qint32>());
    case 4: return whole(in.value<quint32>());
    case 5: return whole(in.value<qint64>());
    case 6: return whole(in.value<uchar>());
    case 7: return {in.value<double>(), std::nullopt, {}}; // its text is checked by reading it back
    case 8: { const bool b = in.byte() & 1; return {b, b ? QStringLiteral("Wahr") : QStringLiteral("Falsch"), {}}; }
    case 9: return {QStringList{in.text(), in.text()}, std::nullopt, {}};
    case 10: return {in.text().toUtf8(), std::nullopt, {}};
    case 11: return {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/Tarvel"))), std::nullopt, {}};
    default:
        if (depth < 3) {
            Wert inner = wert(in, depth + 1);
            inner.value = QVariant::fromValue(QDBusVariant(inner.value));
            return inner;
        }
        return {QVariant::fromValue(QDBusSignature(QStringLiteral("s"))), std::nullopt, {}};
    }
}

QVariant unwrapped(QVariant v)
{
    while (v.metaType() == QMetaType::fromType<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    return v;
}

// The text a double stands for: back in German, it is the value to 15 significant digits.
bool fitsDouble(const QVariant &value, const QString &text)
{
    const double v = unwrapped(value).toDouble();
    if (!std::isfinite(v))
        return true; // how NaN and the infinities read is for the conversion to say
    bool ok = false;
    return QLocale(QLocale::German).toDouble(text, &ok) == QString::number(v, 'g', 15).toDouble() && ok;
}

QDBusMessage call(const DBusInterface &iface, const QString &interface, const QString &member, const QVariantList &args)
{
    QDBusMessage msg = QDBusMessage::createMethodCall(QString(), QStringLiteral("/Tarvel/Application/1"), interface, member);
    msg.setArguments(args);
    const QDBusMessage reply = iface.dispatch(msg);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    const QString name = reply.errorName();
    if (reply.type() != QDBusMessage::ErrorMessage)
        fail(QStringLiteral("%1: keine Antwort").arg(member));
    if (name.startsWith(QLatin1String("org.freedesktop.DBus.Error.")) && DBusErrors.contains(name.section(u'.', -1)))
        return reply;
    const int number = TarvelErrors.value(name.section(u'.', -1), -1);
    if (!name.startsWith(QLatin1String("Tarvel.Error.")) || number < 0
        || !reply.errorMessage().startsWith(QStringLiteral("Laufzeitfehler %1: ").arg(number)))
        fail(QStringLiteral("%1: %2 %3").arg(member, name, reply.errorMessage()));
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
    return 0;
}

// Input: up to 12 calls. Each: a byte for the kind of call, one for the member,
// one for the number of arguments, then the arguments as typed values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    auto owned = std::make_unique<automation::Application>(
        std::make_unique<platform::Printer>(std::make_unique<platform::RecordingBackend>()));
    automation::Application &app = *owned;
    automation::ApplicationAdaptor adaptor(std::move(owned));
    const DBusInterface &iface = adaptor.dbusInterface();
    for (int n = 0; n < 12 && in.size > 0; ++n) {
        const uint8_t kind = in.byte();
        const QString member = Members[in.byte() % Members.size()];
        QList<Wert> werte;
        QVariantList args;
        for (int i = in.byte() % 4; i > 0; --i) {
            werte << wert(in);
            args << werte.last().value;
        }
        switch (kind % 4) {
        case 0: { // a method call as it comes, on the interface or none
            const QDBusMessage reply = call(iface, kind & 0x80 ? QString() : Iface, member, args);
            if (member == QLatin1String("Zeile") && werte.size() == 2 && werte[0].whole
                && unwrapped(args[1]).metaType() == QMetaType::fromType<QString>()) {
                const qint64 nr = *werte[0].whole;
                const bool stored = nr >= 0 && nr <= 5;
                if ((reply.type() == QDBusMessage::ReplyMessage) != stored
                    || (stored && app.Zeile()[nr] != unwrapped(args[1]).toString()))
                    fail(QStringLiteral("Zeile %1: %2").arg(nr).arg(reply.errorName()));
            }
            break;
        }
        case 1: { // Set, the value in a variant as clients send it
            const Wert w = werte.isEmpty() ? Wert{QString(), QString(), {}} : werte.first();
            const QDBusMessage reply = call(iface, Props, QStringLiteral("Set"),
                                            {Iface, member, QVariant::fromValue(QDBusVariant(w.value))});
            if (!RecordFields.contains(member))
                break;
            const bool taken = reply.type() == QDBusMessage::ReplyMessage;
            const bool isDouble = unwrapped(w.value).metaType() == QMetaType::fromType<double>();
            if (!isDouble && taken != w.text.has_value())
                fail(QStringLiteral("Set %1: angenommen %2, erwartet %3").arg(member).arg(taken).arg(w.text.has_value()));
            const QString got = unwrapped(call(iface, Props, QStringLiteral("Get"), {Iface, member}).arguments().value(0)).toString();
            if (taken && (isDouble ? !fitsDouble(w.value, got) : got != *w.text))
                fail(QStringLiteral("Get %1: „%2“ statt „%3“").arg(member, got, w.text.value_or(QString())));
            break;
        }
        case 2: // the property calls with whatever arguments
            call(iface, Props, QStringList{"Get", "Set", "GetAll"}[kind / 4 % 3], args);
            break;
        default: // another interface
            call(iface, QStringLiteral("Tarvel.Anders"), member, args);
            break;
        }
    }
    call(iface, Iface, QStringLiteral("Release"), {});
    return 0;
}
