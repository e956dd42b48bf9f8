#pragma once

// The article file the benchmarks of the window's runs read: German texts with
// DOS umlauts, a different order number, price and storage bin each record.
#include "runs/DateiDruck.h"

#include <QFile>
#include <QString>

namespace tarvel::bench {

/// Writes \a count records into "artikel-<count>.txt" in \a folder; returns its path.
inline QString writeArticles(const QString &folder, int count)
{
    const QString path = folder + QStringLiteral("/artikel-%1.txt").arg(count);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (int i = 0; i < count; ++i) {
        // DOS code page: 0x81 is "ü", 0xE1 is "ß".
        f.write(QStringLiteral("Buch;%1;B-%2;Gr\x81\xe1" "e aus M\x81nchen %1;Reisef\x81hrer;;%3,50;%4,90;%4,95;R%5;MATCH%1\r\n")
                    .arg(100000 + i)
                    .arg(i, 7, 10, QLatin1Char('0'))
                    .arg(i % 90 + 5)
                    .arg(i % 90 + 9)
                    .arg(i % 40)
                    .toLatin1());
    }
    return path;
}

/// The choices the benchmarks print with: both prices, a currency and the storage bin.
inline runs::DateiDruck::Auswahl typicalChoice()
{
    runs::DateiDruck::Auswahl auswahl;
    auswahl.preis1 = sheets::Preis::VK;
    auswahl.preis2 = sheets::Preis::Listenpreis;
    auswahl.waehrung = QStringLiteral("€");
    auswahl.lagerfach = true;
    return auswahl;
}

} // namespace tarvel::bench
