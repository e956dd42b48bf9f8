#pragma once

#include <QString>
#include <QStringList>

namespace tarvel::web {

/// The web origins ("http://kasse.local:8080") whose pages may use the print
/// service, kept one a line in a file of the user's settings folder. The
/// service reads the file again whenever it changed, so "tarvel dienst
/// --erlaube" and "--verbiete" take effect without a restart.
class Herkuenfte
{
public:
    explicit Herkuenfte(QString folder);

    /// Whether a request with this Origin header may be served.
    bool erlaubt(const QString &origin);
    QStringList liste();

    /// Adds \a origin; false if it was there already. Throws
    /// platform::RuntimeError (5) for what is no origin, (75) when the file
    /// cannot be written.
    bool erlaube(const QString &origin);
    /// Removes \a origin; false if it was not there.
    bool verbiete(const QString &origin);

    /// \a origin as browsers send it: scheme, host and a port other than the
    /// scheme's own, in lower case. Error 5 for anything else: a path, a
    /// wildcard, "null" (sandboxed frames and local files of any site send it).
    static QString normalisiert(const QString &origin);

    static QString dateiName() { return QStringLiteral("dienst-herkuenfte"); }

private:
    void neuLesen();
    void schreiben(const QStringList &liste);

    QString m_pfad;
    QStringList m_liste;
    QByteArray m_stand; ///< identity of the file last read (inode, size, time); empty: none
};

} // namespace tarvel::web
