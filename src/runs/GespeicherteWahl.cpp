#include "runs/GespeicherteWahl.h"

#include "platform/Numbers.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcWahl, "tarvel.wahl")

namespace tarvel::runs {

using platform::SettingsStore;

namespace {

const QString App = QStringLiteral("Tarvel");
const QString Section = QStringLiteral("System");

// The stored index under \a key, or \a standard when it is no index below \a count.
int index(const QString &key, int count, int standard)
{
    const QString text = SettingsStore::read(App, Section, key, standard);
    try {
        const int n = platform::Numbers::toInt16(text);
        if (n >= 0 && n < count)
            return n;
    } catch (const platform::RuntimeError &) {
    }
    qCWarning(lcWahl) << "Einstellung" << key << "=" << text << "ist keine gültige Auswahl; es gilt" << standard;
    return standard;
}

} // namespace

sheets::Preis GespeicherteWahl::preis1()
{
    return sheets::Preis(index(QStringLiteral("Preis1"), 4, int(sheets::Preis::Leer)));
}

sheets::Preis GespeicherteWahl::preis2()
{
    return sheets::Preis(index(QStringLiteral("Preis2"), 4, int(sheets::Preis::Leer)));
}

Art GespeicherteWahl::art()
{
    return Art(index(QStringLiteral("Art"), 3, int(Art::Liste)));
}

QString GespeicherteWahl::datei()
{
    return SettingsStore::read(App, Section, QStringLiteral("Datei"), QString());
}

void GespeicherteWahl::setPreis1(sheets::Preis preis)
{
    SettingsStore::write(App, Section, QStringLiteral("Preis1"), QString::number(int(preis)));
}

void GespeicherteWahl::setPreis2(sheets::Preis preis)
{
    SettingsStore::write(App, Section, QStringLiteral("Preis2"), QString::number(int(preis)));
}

void GespeicherteWahl::setArt(Art art)
{
    SettingsStore::write(App, Section, QStringLiteral("Art"), QString::number(int(art)));
}

void GespeicherteWahl::setDatei(const QString &datei)
{
    SettingsStore::write(App, Section, QStringLiteral("Datei"), datei);
}

} // namespace tarvel::runs
