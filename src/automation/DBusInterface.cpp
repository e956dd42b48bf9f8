#include "automation/DBusInterface.h"

#include "automation/Variants.h"
#include "platform/RuntimeError.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDBus, "tarvel.dbus")

namespace tarvel::automation {

using platform::RuntimeError;

namespace {

const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

QString dbusSignature(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qvariant_cast<QDBusArgument>(value).currentSignature();
    const char *sig = QDBusMetaType::typeToSignature(value.metaType());
    return sig ? QString::fromLatin1(sig) : QStringLiteral("?");
}

/// The signature of \a call's arguments; a call made in this process carries none until it is sent.
QString signatureOf(const QDBusMessage &call)
{
    if (!call.signature().isEmpty())
        return call.signature();
    QString sig;
    for (const QVariant &a : call.arguments())
        sig += dbusSignature(a);
    return sig;
}

QString accessName(DBusInterface::Access access)
{
    switch (access) {
    case DBusInterface::Read: return QStringLiteral("read");
    case DBusInterface::Write: return QStringLiteral("write");
    case DBusInterface::ReadWrite: return QStringLiteral("readwrite");
    }
    return {};
}

QString signatureOf(const QList<DBusInterface::Arg> &args)
{
    QString sig;
    for (const auto &a : args)
        sig += a.type;
    return sig;
}

} // namespace

DBusInterface::DBusInterface(QString name) : m_name(std::move(name)) {}

DBusInterface &DBusInterface::method(const QString &name, QList<Arg> args, Call call)
{
    return method(name, std::move(args), {}, [call = std::move(call)](const QVariantList &a) {
        call(a);
        return QVariantList();
    });
}

DBusInterface &DBusInterface::method(const QString &name, QList<Arg> args, QList<Arg> results, CallWithResults call)
{
    Member m;
    m.name = name;
    m.args = std::move(args);
    m.results = std::move(results);
    m.call = std::move(call);
    m_members.append(std::move(m));
    return *this;
}

DBusInterface &DBusInterface::property(const QString &name, const QString &type, Access access, Setter set,
                                       Getter get)
{
    Member m;
    m.name = name;
    m.isProperty = true;
    m.type = type;
    m.access = access;
    m.set = std::move(set);
    m.get = std::move(get);
    m_members.append(std::move(m));
    return *this;
}

QString DBusInterface::introspectionXml() const
{
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(m_name);
    // Values change only through clients' own calls; no change signals are sent.
    xml += QStringLiteral("    <annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"false\"/>\n");
    for (const Member &m : m_members) {
        if (m.isProperty) {
            xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\"/>\n")
                       .arg(m.name, m.type, accessName(m.access));
        } else if (m.args.isEmpty() && m.results.isEmpty()) {
            xml += QStringLiteral("    <method name=\"%1\"/>\n").arg(m.name);
        } else {
            xml += QStringLiteral("    <method name=\"%1\">\n").arg(m.name);
            for (const Arg &a : m.args)
                xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"in\"/>\n").arg(a.name, a.type);
            for (const Arg &a : m.results)
                xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"out\"/>\n").arg(a.name, a.type);
            xml += QStringLiteral("    </method>\n");
        }
    }
    xml += QStringLiteral("  </interface>\n");
    return xml;
}

const DBusInterface::Member *DBusInterface::find(const QString &name, bool property) const
{
    for (const Member &m : m_members) {
        if (m.name == name && m.isProperty == property)
            return &m;
    }
    return nullptr;
}

QVariant DBusInterface::unwrap(const QVariant &value)
{
    QVariant v = value;
    while (v.metaType() == QMetaType::fromType<QDBusVariant>())
        v = qvariant_cast<QDBusVariant>(v).variant();
    return v;
}

QVariant DBusInterface::convert(const QVariant &value, const QString &type, const QString &where)
{
    const QVariant v = unwrap(value);
    auto mismatch = [&](const QString &wanted) {
        return RuntimeError(RuntimeError::TypeMismatch,
                            QStringLiteral("%1: D-Bus-Typ %2 ist %3").arg(where, dbusSignature(v), wanted));
    };
    try {
        if (type == QLatin1String("v"))
            return Variants::toText(v);
        if (type == QLatin1String("n"))
            return QVariant::fromValue(Variants::toInt16(v));
    } catch (RuntimeError &e) {
        if (e.number() == RuntimeError::TypeMismatch && v.metaType() != QMetaType::fromType<QString>())
            throw mismatch(type == QLatin1String("v") ? QStringLiteral("kein Text") : QStringLiteral("keine Zahl"));
        e.note(where);
        throw;
    }
    if (type == QLatin1String("s")) {
        if (v.metaType() != QMetaType::fromType<QString>())
            throw mismatch(QStringLiteral("kein Text (s)"));
        return v;
    }
    if (type == QLatin1String("as")) {
        if (v.metaType() != QMetaType::fromType<QStringList>())
            throw mismatch(QStringLiteral("keine Liste von Texten (as)"));
        return v;
    }
    throw RuntimeError(RuntimeError::TypeMismatch, QStringLiteral("%1: Typ %2 wird nicht unterstützt").arg(where, type));
}

QDBusMessage DBusInterface::errorReply(const QDBusMessage &call, std::exception_ptr error)
{
    const QString prefix = QLatin1String(ErrorPrefix);
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError &e) {
        return call.createErrorReply(prefix + e.name(), e.message());
    } catch (const std::exception &e) {
        qCCritical(lcDBus) << "Interner Fehler bei" << call.member() << "auf" << call.path() << ":" << e.what();
        return call.createErrorReply(prefix + QStringLiteral("Failed"),
                                     QStringLiteral("Interner Fehler bei %1: %2").arg(call.member(), QString::fromLocal8Bit(e.what())));
    } catch (...) {
        qCCritical(lcDBus) << "Unbekannter interner Fehler bei" << call.member() << "auf" << call.path();
        return call.createErrorReply(prefix + QStringLiteral("Failed"),
                                     QStringLiteral("Unbekannter interner Fehler bei %1").arg(call.member()));
    }
}

QDBusMessage DBusInterface::dispatch(const QDBusMessage &call) const
{
    try {
        const QString iface = call.interface();
        if (iface == PropertiesInterface) {
            const QString sig = signatureOf(call);
            if (call.member() == QLatin1String("Get") && sig == QLatin1String("ss"))
                return getProperty(call);
            if (call.member() == QLatin1String("Set") && sig == QLatin1String("ssv"))
                return setProperty(call);
            if (call.member() == QLatin1String("GetAll") && sig == QLatin1String("s"))
                return getAll(call);
            return call.createErrorReply(QDBusError::UnknownMethod,
                                         QStringLiteral("%1.%2(%3) gibt es nicht").arg(iface, call.member(), sig));
        }
        if (!iface.isEmpty() && iface != m_name)
            return call.createErrorReply(QDBusError::UnknownInterface,
                                         QStringLiteral("Die Schnittstelle %1 gibt es unter %2 nicht").arg(iface, call.path()));
        const Member *m = find(call.member(), false);
        if (!m)
            return call.createErrorReply(QDBusError::UnknownMethod,
                                         QStringLiteral("Die Methode %1 gibt es in %2 nicht").arg(call.member(), m_name));
        return callMethod(*m, call);
    } catch (...) {
        return errorReply(call, std::current_exception());
    }
}

QDBusMessage DBusInterface::callMethod(const Member &m, const QDBusMessage &call) const
{
    const QVariantList given = call.arguments();
    if (given.size() != m.args.size())
        throw RuntimeError(RuntimeError::InvalidArgument,
                           QStringLiteral("%1 erwartet %2 Argumente (%3), erhalten %4 (%5)")
                               .arg(m.name)
                               .arg(m.args.size())
                               .arg(signatureOf(m.args))
                               .arg(given.size())
                               .arg(signatureOf(call)));
    QVariantList args;
    for (qsizetype i = 0; i < given.size(); ++i)
        args << convert(given[i], m.args[i].type, QStringLiteral("Argument %1 von %2").arg(m.args[i].name, m.name));
    return call.createReply(m.call(args));
}

QVariant DBusInterface::wireValue(const Member &m) const
{
    const QVariant value = m.get();
    // A "v" property's value is itself a variant: it travels wrapped once more.
    if (m.type == QLatin1String("v"))
        return QVariant::fromValue(QDBusVariant(value));
    return value;
}

const DBusInterface::Member *DBusInterface::findProperty(const QDBusMessage &call, QDBusMessage &error) const
{
    const QString iface = call.arguments().at(0).toString();
    const QString name = call.arguments().at(1).toString();
    if (!iface.isEmpty() && iface != m_name) {
        error = call.createErrorReply(QDBusError::UnknownInterface,
                                      QStringLiteral("Die Schnittstelle %1 gibt es unter %2 nicht").arg(Variants::shown(iface), call.path()));
        return nullptr;
    }
    const Member *m = find(name, true);
    if (!m)
        error = call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
                                      QStringLiteral("Die Eigenschaft %1 gibt es in %2 nicht").arg(Variants::shown(name), m_name));
    return m;
}

QDBusMessage DBusInterface::getProperty(const QDBusMessage &call) const
{
    QDBusMessage error;
    const Member *m = findProperty(call, error);
    if (!m)
        return error;
    const QString name = m->name;
    if (!(m->access & Read) || !m->get)
        return call.createErrorReply(QDBusError::InvalidArgs,
                                     QStringLiteral("Die Eigenschaft %1 kann nur geschrieben werden").arg(name));
    return call.createReply(QVariant::fromValue(QDBusVariant(wireValue(*m))));
}

QDBusMessage DBusInterface::setProperty(const QDBusMessage &call) const
{
    QDBusMessage error;
    const Member *m = findProperty(call, error);
    if (!m)
        return error;
    const QString name = m->name;
    if (!(m->access & Write) || !m->set)
        return call.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
                                     QStringLiteral("Die Eigenschaft %1 kann nur gelesen werden").arg(name));
    m->set(convert(call.arguments().at(2), m->type, QStringLiteral("Eigenschaft %1").arg(name)));
    return call.createReply();
}

QDBusMessage DBusInterface::getAll(const QDBusMessage &call) const
{
    const QString iface = call.arguments().at(0).toString();
    QVariantMap values;
    // The standard interfaces every object has carry no properties.
    if (iface.startsWith(QLatin1String("org.freedesktop.DBus.")))
        return call.createReply(QVariant::fromValue(values));
    if (!iface.isEmpty() && iface != m_name)
        return call.createErrorReply(QDBusError::UnknownInterface,
                                     QStringLiteral("Die Schnittstelle %1 gibt es unter %2 nicht").arg(Variants::shown(iface), call.path()));
    for (const Member &m : m_members) {
        if (m.isProperty && (m.access & Read) && m.get)
            values.insert(m.name, wireValue(m));
    }
    return call.createReply(QVariant::fromValue(values));
}

} // namespace tarvel::automation
