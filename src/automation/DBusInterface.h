#pragma once

#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QVariant>
#include <exception>
#include <functional>

namespace tarvel::automation {

/// One D-Bus interface of a served object, described as a table of members
/// in their fixed order: methods with typed arguments and properties with
/// their access. It answers the introspection and runs calls, including the
/// standard property calls, converting arguments as clients pass them.
class DBusInterface
{
public:
    enum Access { Read = 1, Write = 2, ReadWrite = 3 };
    /// A method argument: its name and D-Bus type ("n", "s", "as" or "v").
    struct Arg
    {
        QString name;
        QString type;
    };
    /// Receives the arguments converted: qint16 for "n", QString for "s" and
    /// "v", QStringList for "as".
    using Call = std::function<void(const QVariantList &args)>;
    /// As Call, for a method with results: the values of its out arguments.
    using CallWithResults = std::function<QVariantList(const QVariantList &args)>;
    /// Receives the value converted as for a method argument of the property's type.
    using Setter = std::function<void(const QVariant &value)>;
    /// The property's value; a "v" property gives its text.
    using Getter = std::function<QVariant()>;

    explicit DBusInterface(QString name);

    QString name() const { return m_name; }
    DBusInterface &method(const QString &name, QList<Arg> args, Call call);
    /// A method that answers with \a results (for instance texts it changed).
    DBusInterface &method(const QString &name, QList<Arg> args, QList<Arg> results, CallWithResults call);
    DBusInterface &property(const QString &name, const QString &type, Access access, Setter set, Getter get = {});

    /// The <interface> element of the introspection.
    QString introspectionXml() const;

    /// Runs a method call of this interface, or Get, Set or GetAll of
    /// org.freedesktop.DBus.Properties on it. Never throws: failures become
    /// error replies.
    QDBusMessage dispatch(const QDBusMessage &call) const;

    /// The error reply for \a error: "Tarvel.Error.<Name>" with the run-time
    /// error's message.
    static QDBusMessage errorReply(const QDBusMessage &call, std::exception_ptr error);
    /// A value with every variant around it removed ("<<'4711'>>" gives "4711").
    static QVariant unwrap(const QVariant &value);
    /// Converts \a value to what a member of D-Bus type \a type receives.
    static QVariant convert(const QVariant &value, const QString &type, const QString &where);

    static constexpr const char *ErrorPrefix = "Tarvel.Error.";

private:
    struct Member
    {
        QString name;
        bool isProperty = false;
        QList<Arg> args;     // method
        QList<Arg> results;  // method
        CallWithResults call; // method
        QString type;        // property
        Access access = Read; // property
        Setter set;
        Getter get;
    };

    const Member *find(const QString &name, bool property) const;
    QDBusMessage callMethod(const Member &m, const QDBusMessage &call) const;
    /// The property a Get or Set call names, or null with \a error set to the reply.
    const Member *findProperty(const QDBusMessage &call, QDBusMessage &error) const;
    QDBusMessage getProperty(const QDBusMessage &call) const;
    QDBusMessage setProperty(const QDBusMessage &call) const;
    QDBusMessage getAll(const QDBusMessage &call) const;
    QVariant wireValue(const Member &m) const;

    QString m_name;
    QList<Member> m_members;
};

} // namespace tarvel::automation
