// Prints one article label and one address label through the Tarvel automation
// server, with QtDBus. The session bus starts the server by itself.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QTextStream>

namespace {

bool failed(const QDBusMessage &reply, QTextStream &err)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    err << reply.errorName() << ": " << reply.errorMessage() << Qt::endl;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusInterface server(QStringLiteral("Tarvel.Application"), QStringLiteral("/Tarvel"),
                          QStringLiteral("Tarvel.Server"), bus);

    QDBusReply<QDBusObjectPath> created = server.call(QStringLiteral("CreateObject"), QStringLiteral("Tarvel.Application"));
    if (!created.isValid()) {
        err << created.error().message() << Qt::endl;
        return 1;
    }
    const QString path = created.value().path();
    QDBusInterface properties(QStringLiteral("Tarvel.Application"), path,
                              QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    const QList<std::pair<QString, QString>> record = {
        {QStringLiteral("ArtikelNr"), QStringLiteral("QT-2024-17")},
        {QStringLiteral("Preis1"), QStringLiteral("7,50 €")},
        {QStringLiteral("Preis2"), QStringLiteral("5,00 €")},
        {QStringLiteral("MatchCode"), QStringLiteral("KALENDER")},
        {QStringLiteral("WarenGruppe"), QStringLiteral("Kalender")},
        {QStringLiteral("ISBN"), QString()},
    };
    for (const auto &[name, value] : record) {
        if (failed(properties.call(QStringLiteral("Set"), QStringLiteral("Tarvel.Application"), name,
                                   QVariant::fromValue(QDBusVariant(value))),
                   err))
            return 1;
    }
    QDBusInterface label(QStringLiteral("Tarvel.Application"), path, QStringLiteral("Tarvel.Application"), bus);
    if (failed(label.call(QStringLiteral("DruckeLabel")), err) || failed(label.call(QStringLiteral("Release")), err))
        return 1;

    QDBusReply<QDBusObjectPath> adr = server.call(QStringLiteral("CreateObject"), QStringLiteral("Tarvel.AdressLabels"));
    if (!adr.isValid()) {
        err << adr.error().message() << Qt::endl;
        return 1;
    }
    QDBusInterface adressen(QStringLiteral("Tarvel.AdressLabels"), adr.value().path(),
                            QStringLiteral("Tarvel.AdressLabels"), bus);
    const QStringList zeilen = {QStringLiteral("Verlag Beispiel GmbH"), QStringLiteral("Vertrieb"),
                                QStringLiteral("Postfach 10 20 30"), QStringLiteral("10115 Berlin"), QString()};
    QDBusReply<QStringList> gedruckt = adressen.call(QStringLiteral("Drucke"), qint16(0), zeilen);
    if (!gedruckt.isValid()) {
        err << gedruckt.error().message() << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << gedruckt.value().join(u'\n') << Qt::endl;
    return failed(adressen.call(QStringLiteral("Release")), err) ? 1 : 0;
}
