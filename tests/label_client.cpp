// A client program for the load and fault tests of the automation server: it
// creates a Tarvel.Application object on the session bus, prints COUNT labels
// whose article numbers are PREFIX-0001, PREFIX-0002, ... and releases the
// object. It reports each label on standard output once the server has
// answered ("gedruckt N"), so a test knows what the server has printed when
// it kills the client.
//
// Usage: label_client PREFIX COUNT [--ohne-freigabe] [--pause MS]
//   --ohne-freigabe  waits after the last label instead of releasing the object
//   --pause MS       waits MS milliseconds after each label

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QTextStream>
#include <QThread>

namespace {

const QString Service = QStringLiteral("Tarvel.Application");
const QString Iface = QStringLiteral("Tarvel.Application");

QDBusMessage call(const QString &path, const QString &iface, const QString &member, const QVariantList &args = {})
{
    auto msg = QDBusMessage::createMethodCall(Service, path, iface, member);
    msg.setArguments(args);
    return QDBusConnection::sessionBus().call(msg, QDBus::Block, 120000);
}

int fehler(const QString &was, const QDBusMessage &reply)
{
    QTextStream(stderr) << "label_client: " << was << ": " << reply.errorName() << " " << reply.errorMessage()
                        << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "Aufruf: label_client PRÄFIX ANZAHL [--ohne-freigabe] [--pause MS]" << Qt::endl;
        return 2;
    }
    const QString prefix = args[1];
    const int count = args[2].toInt();
    const bool release = !args.contains(QStringLiteral("--ohne-freigabe"));
    const int pauseIndex = args.indexOf(QStringLiteral("--pause"));
    const int pause = pauseIndex > 0 ? args.value(pauseIndex + 1).toInt() : 0;
    QTextStream out(stdout);

    const QDBusMessage created = call(QStringLiteral("/Tarvel"), QStringLiteral("Tarvel.Server"),
                                      QStringLiteral("CreateObject"), {Service});
    if (created.type() != QDBusMessage::ReplyMessage)
        return fehler(QStringLiteral("CreateObject"), created);
    const QString path = qvariant_cast<QDBusObjectPath>(created.arguments().value(0)).path();
    out << "objekt " << path << Qt::endl;

    for (int i = 1; i <= count; ++i) {
        const QString number = QStringLiteral("%1-%2").arg(prefix).arg(i, 4, 10, QLatin1Char('0'));
        const QDBusMessage set = call(path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                                      {Iface, QStringLiteral("ArtikelNr"), QVariant::fromValue(QDBusVariant(number))});
        if (set.type() != QDBusMessage::ReplyMessage)
            return fehler(QStringLiteral("Set ArtikelNr"), set);
        const QDBusMessage printed = call(path, Iface, QStringLiteral("DruckeLabel"));
        if (printed.type() != QDBusMessage::ReplyMessage)
            return fehler(QStringLiteral("DruckeLabel"), printed);
        out << "gedruckt " << i << Qt::endl;
        if (pause > 0)
            QThread::msleep(pause);
    }
    if (!release) {
        out << "wartet" << Qt::endl;
        for (;;)
            QThread::sleep(60);
    }
    const QDBusMessage released = call(path, Iface, QStringLiteral("Release"));
    if (released.type() != QDBusMessage::ReplyMessage)
        return fehler(QStringLiteral("Release"), released);
    out << "freigegeben" << Qt::endl;
    return 0;
}
