#include "web/EtikettenAdaptor.h"

#include "automation/Application.h"
#include "automation/RecordFields.h"
#include "automation/Variants.h"
#include "labelprinter/SetupFrm.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "platform/SystemPrinterBackend.h"

#include <QJsonArray>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <functional>
#include <optional>

namespace tarvel::web {

using automation::Application;
namespace Variants = automation::Variants;
using labelprinter::LabelData;
using platform::RuntimeError;

namespace {

using Druck = std::function<void(Application &, qint16 fettZeile)>;
using Setzen = std::function<void(Application &, const QString &)>;

const QList<std::pair<QString, Druck>> &artTabelle()
{
    static const QList<std::pair<QString, Druck>> t = {
        {QStringLiteral("label"), [](Application &a, qint16) { a.DruckeLabel(); }},
        {QStringLiteral("etikett"), [](Application &a, qint16) { a.DruckeEtikett(); }},
        {QStringLiteral("kanu"), [](Application &a, qint16) { a.DruckeKanuEtikett(); }},
        {QStringLiteral("abholschein"), [](Application &a, qint16) { a.DruckeAbholschein(); }},
        {QStringLiteral("abholschein-a4"), [](Application &a, qint16) { a.DruckeAbholscheinDINA4(); }},
        {QStringLiteral("liste"), [](Application &a, qint16) { a.DruckeListe(); }},
        {QStringLiteral("laser"), [](Application &a, qint16) { a.DruckeLaserLabel(); }},
        {QStringLiteral("laser-4bahn"), [](Application &a, qint16) { a.DruckeLaserLabel4Bahn(); }},
        {QStringLiteral("adresse"), [](Application &a, qint16 fett) { a.DruckeAdressLabel(fett); }},
    };
    return t;
}

// The record properties of the automation object, by their names on the bus.
const QList<std::pair<QString, Setzen>> &feldTabelle()
{
    static const QList<std::pair<QString, Setzen>> t = [] {
        QList<std::pair<QString, Setzen>> l;
        for (const auto &[name, field] : automation::ArticleFields)
            l.append({QLatin1String(name), [field = field](Application &a, const QString &v) { a.setRecordField(field, v); }});
        for (const auto &[name, field] : automation::TextFields)
            l.append({QLatin1String(name), [field = field](Application &a, const QString &v) { a.setText(field, v); }});
        l.append({QStringLiteral("zuHaenden"), [](Application &a, const QString &v) { a.setZuHaenden(v); }});
        l.append({QStringLiteral("Anrede"), [](Application &a, const QString &v) { a.setAnrede(v); }});
        return l;
    }();
    return t;
}

/// One label of a request, its values checked and converted as the bus converts them.
struct Etikett
{
    const Druck *druck = nullptr;
    QList<std::pair<const Setzen *, QString>> felder;
    QStringList zeilen;
    std::optional<qint16> startPosition;
    qint16 fettZeile = -1;
};

EtikettenAdaptor::Fehler ungueltig(int etikett, int nummer, const QString &was)
{
    return {422, nummer, QStringLiteral("Etikett %1: %2").arg(etikett + 1).arg(was), etikett};
}

/// A run-time error of label \a etikett, as the bus reports it, with the label's place.
EtikettenAdaptor::Fehler laufzeitfehler(int etikett, RuntimeError e, const QString &feld = {})
{
    if (!feld.isEmpty())
        e.at(QStringLiteral("Feld %1").arg(feld));
    e.at(QStringLiteral("Etikett %1").arg(etikett + 1));
    return {422, e.number(), e.message(), etikett};
}

/// A JSON value as the bus's variants convert it: texts, numbers and truth values.
QString alsText(const QJsonValue &v, int index, const QString &name)
{
    if (!(v.isString() || v.isDouble() || v.isBool()))
        throw ungueltig(index, RuntimeError::TypeMismatch,
                        QStringLiteral("„%1“ muss ein Text, eine Zahl oder ein Wahrheitswert sein.").arg(name));
    try {
        const QString text = Variants::toText(v.toVariant());
        Variants::checkLength(name, text);
        return text;
    } catch (const RuntimeError &e) {
        throw laufzeitfehler(index, e, name);
    }
}

qint16 alsZahl(const QJsonValue &v, int index, const QString &name)
{
    if (!v.isDouble())
        throw ungueltig(index, RuntimeError::TypeMismatch, QStringLiteral("„%1“ muss eine Zahl sein.").arg(name));
    try {
        return Variants::toInt16(v.toVariant());
    } catch (const RuntimeError &e) {
        throw laufzeitfehler(index, e, name);
    }
}

Etikett lesen(const QJsonValue &wert, int i)
{
    if (!wert.isObject())
        throw ungueltig(i, RuntimeError::TypeMismatch, QStringLiteral("ist kein JSON-Objekt."));
    const QJsonObject o = wert.toObject();
    Etikett e;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString key = it.key();
        if (key == QLatin1String("art")) {
            for (const auto &[name, druck] : artTabelle()) {
                if (it.value() == name)
                    e.druck = &druck;
            }
            if (!e.druck)
                throw ungueltig(i, RuntimeError::InvalidArgument,
                                QStringLiteral("unbekannte Art „%1“; bekannt sind: %2.")
                                    .arg(Variants::shown(it.value().toVariant().toString()),
                                         EtikettenAdaptor::arten().join(QStringLiteral(", "))));
        } else if (key == QLatin1String("felder")) {
            if (!it.value().isObject())
                throw ungueltig(i, RuntimeError::TypeMismatch, QStringLiteral("„felder“ muss ein JSON-Objekt sein."));
            const QJsonObject felder = it.value().toObject();
            for (auto f = felder.begin(); f != felder.end(); ++f) {
                const Setzen *setzen = nullptr;
                for (const auto &[name, s] : feldTabelle()) {
                    if (name == f.key())
                        setzen = &s;
                }
                if (!setzen)
                    throw ungueltig(i, RuntimeError::InvalidArgument,
                                    QStringLiteral("unbekanntes Feld „%1“; bekannt sind: %2.")
                                        .arg(Variants::shown(f.key()), EtikettenAdaptor::feldNamen().join(QStringLiteral(", "))));
                e.felder.append({setzen, alsText(f.value(), i, f.key())});
            }
        } else if (key == QLatin1String("zeilen")) {
            if (!it.value().isArray())
                throw ungueltig(i, RuntimeError::TypeMismatch, QStringLiteral("„zeilen“ muss eine Liste von Texten sein."));
            const QJsonArray zeilen = it.value().toArray();
            if (zeilen.size() > 6) // as Zeile(6) over the bus
                throw ungueltig(i, RuntimeError::SubscriptOutOfRange,
                                QStringLiteral("höchstens 6 Zeilen (0 bis 5), nicht %1.").arg(zeilen.size()));
            for (qsizetype z = 0; z < zeilen.size(); ++z)
                e.zeilen.append(alsText(zeilen[z], i, QStringLiteral("Zeile(%1)").arg(z)));
        } else if (key == QLatin1String("startposition")) {
            e.startPosition = alsZahl(it.value(), i, key);
            if (*e.startPosition < 0)
                throw ungueltig(i, RuntimeError::InvalidArgument,
                                QStringLiteral("„startposition“ darf nicht negativ sein (%1).").arg(*e.startPosition));
        } else if (key == QLatin1String("fettzeile")) {
            e.fettZeile = alsZahl(it.value(), i, key);
        } else {
            throw ungueltig(i, RuntimeError::InvalidArgument,
                            QStringLiteral("unbekannter Schlüssel „%1“ (bekannt: art, felder, zeilen, startposition, fettzeile).")
                                .arg(Variants::shown(key)));
        }
    }
    if (!e.druck)
        throw ungueltig(i, RuntimeError::InvalidArgument, QStringLiteral("„art“ fehlt."));
    return e;
}

QString druckerName(const QJsonObject &anfrage)
{
    const QJsonValue wert = anfrage.value(QStringLiteral("drucker"));
    if (wert.isUndefined() || wert.isNull())
        return platform::PrinterChoice::instance().current();
    if (!wert.isString())
        throw EtikettenAdaptor::Fehler{422, RuntimeError::TypeMismatch, QStringLiteral("„drucker“ muss ein Text sein.")};
    const QString name = wert.toString();
    if (name != QLatin1String(platform::PdfBackend::DeviceName) && !platform::SystemPrinterBackend::exists(name)) {
        QStringList namen{QString::fromLatin1(platform::PdfBackend::DeviceName)};
        namen += QPrinterInfo::availablePrinterNames();
        throw EtikettenAdaptor::Fehler{404, RuntimeError::PrinterError,
                                       QStringLiteral("Drucker „%1“ nicht gefunden; vorhanden: „%2“.")
                                           .arg(Variants::shown(name), namen.join(QStringLiteral("“, „")))};
    }
    return name;
}

} // namespace

QStringList EtikettenAdaptor::arten()
{
    QStringList l;
    for (const auto &a : artTabelle())
        l.append(a.first);
    return l;
}

QStringList EtikettenAdaptor::feldNamen()
{
    QStringList l;
    for (const auto &f : feldTabelle())
        l.append(f.first);
    return l;
}

EtikettenAdaptor::Auftrag EtikettenAdaptor::drucken(const QJsonObject &anfrage)
{
    for (auto it = anfrage.begin(); it != anfrage.end(); ++it) {
        if (it.key() != QLatin1String("drucker") && it.key() != QLatin1String("etiketten"))
            throw Fehler{422, RuntimeError::InvalidArgument,
                         QStringLiteral("Unbekannter Schlüssel „%1“ (bekannt: drucker, etiketten).").arg(Variants::shown(it.key()))};
    }
    const QJsonValue liste = anfrage.value(QStringLiteral("etiketten"));
    if (!liste.isArray() || liste.toArray().isEmpty())
        throw Fehler{422, RuntimeError::InvalidArgument, QStringLiteral("„etiketten“ muss eine Liste mit mindestens einem Etikett sein.")};
    const QJsonArray werte = liste.toArray();
    if (werte.size() > MaxEtiketten)
        throw Fehler{413, 413, QStringLiteral("Höchstens %1 Etiketten je Auftrag, nicht %2.").arg(MaxEtiketten).arg(werte.size())};

    // Every label is read and checked before the first is drawn.
    QList<Etikett> etiketten;
    etiketten.reserve(werte.size());
    for (qsizetype i = 0; i < werte.size(); ++i)
        etiketten.append(lesen(werte[i], int(i)));

    Auftrag auftrag;
    auftrag.drucker = druckerName(anfrage);
    auftrag.etiketten = int(etiketten.size());
    auto eigener = std::make_unique<platform::Printer>(platform::PrinterChoice::createBackend(auftrag.drucker));
    platform::Printer &printer = *eigener;
    Application app(std::move(eigener));
    app.dialog().setInteractive(false); // no message box: a failing label fails its request
    for (qsizetype i = 0; i < etiketten.size(); ++i) {
        const Etikett &e = etiketten[i];
        try {
            for (const auto &[setzen, text] : e.felder)
                (*setzen)(app, text);
            for (qsizetype z = 0; z < e.zeilen.size(); ++z)
                app.setZeile(qint16(z), e.zeilen[z]);
            if (e.startPosition)
                app.setStartPosition(*e.startPosition);
            (*e.druck)(app, e.fettZeile);
        } catch (const RuntimeError &f) {
            printer.KillDoc(); // nothing of the request reaches the printer
            throw laufzeitfehler(int(i), f);
        }
    }
    try {
        auftrag.ziel = app.Release();
    } catch (const RuntimeError &f) {
        throw Fehler{503, f.number(), f.message()};
    }
    // A queue's job reads "Name (Auftrag 42)".
    static const QRegularExpression cupsJob(QStringLiteral("^.* \\(Auftrag (\\d+)\\)$"));
    if (const auto m = cupsJob.match(auftrag.ziel); m.hasMatch())
        auftrag.cupsAuftrag = m.captured(1).toInt();
    return auftrag;
}

} // namespace tarvel::web
