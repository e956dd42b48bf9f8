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

int GespeicherteWahl::preis1() { return index(QStringLiteral("Preis1"), 4, Leer); }
int GespeicherteWahl::preis2() { return index(QStringLiteral("Preis2"), 4, Leer); }
int GespeicherteWahl::art() { return index(QStringLiteral("Art"), 3, Liste); }

QString GespeicherteWahl::datei()
{
    return SettingsStore::read(App, Section, QStringLiteral("Datei"), QString());
}

void GespeicherteWahl::setPreis1(int index)
{
    SettingsStore::write(App, Section, QStringLiteral("Preis1"), QString::number(index));
}

void GespeicherteWahl::setPreis2(int index)
{
    SettingsStore::write(App, Section, QStringLiteral("Preis2"), QString::number(index));
}

void GespeicherteWahl::setArt(int index)
{
    SettingsStore::write(App, Section, QStringLiteral("Art"), QString::number(index));
}

void GespeicherteWahl::setDatei(const QString &datei)
{
    SettingsStore::write(App, Section, QStringLiteral("Datei"), datei);
}

} // namespace tarvel::runs
