#pragma once

#include "sheets/Artikel.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <memory>

class QIODevice;

namespace tarvel::runs {

/// Reader of an article file: one record per line, eleven fields separated by
/// ";". Lines end at CR LF, CR or LF. The file is read as UTF-8 when it starts
/// with a byte order mark, or when it is valid UTF-8 and holds bytes above 127;
/// otherwise as Windows code page 1252 with the seven DOS umlauts converted.
/// The file is streamed: only the current line is held in memory. The fields
/// of the record read last are the public fields of Artikel.
class Datei : public sheets::Artikel
{
public:
    Datei();
    ~Datei();
    Datei(const Datei &) = delete;
    Datei &operator=(const Datei &) = delete;

    /// Opens \a datei for reading. A file that cannot be opened raises error 53
    /// (missing) or 75, naming the file and the reason; a read error while the
    /// character set is checked raises error 57.
    void Oeffnen(const QString &datei);

    /// Reads the next record into the eleven fields. False at the end of the
    /// file or when no file is open; the fields then stay as they were. A read
    /// error, a file that was cut shorter while it is read, or a line longer
    /// than 16 MB raises error 57, naming the file and the line.
    bool Lesen();

    /// Opens \a datei (a file that cannot be opened counts 0) and returns the
    /// number of its records. A read error raises error 57.
    qint64 GetAnzahl(const QString &datei);

    /// Makes Oeffnen and GetAnzahl of \a datei read \a inhalt instead of the file:
    /// for an input that cannot be read twice (a pipe), which the caller read once.
    /// Replaces the content given before.
    static void imSpeicher(const QString &datei, const QByteArray &inhalt);

    /// Line number of the record read last; 0 before the first.
    qint64 zeile() const { return m_zeilenNr; }
    /// The path given to Oeffnen or GetAnzahl.
    QString dateiName() const { return m_name; }
    /// True when the open file is read as UTF-8.
    bool istUtf8() const { return m_utf8; }
    /// The first line that does not fit the character set the file is read
    /// in, found by Oeffnen: in a file read as Windows-1252, a line of UTF-8
    /// ("MÃ¼ller" instead of "Müller"); in a UTF-8 file, a line that is no
    /// UTF-8. 0 when every line fits (or the input is a pipe).
    qint64 fremdeZeile() const { return m_fremdeZeile; }
    /// The line of the record read last, stripped and converted, as it was split.
    QStringView zeilenText() const { return QStringView(m_satz).first(std::max<qsizetype>(0, m_satz.size() - 1)); }
    /// What stood after the eleventh field: the fields the record ignores, with
    /// their ";" separators; empty for eleven fields and for a trailing ";".
    QStringView rest() const { return zeilenText().sliced(std::min(m_restAb, zeilenText().size())); }

    static constexpr int DateiNichtGefunden = 53;
    static constexpr int EinAusgabeFehler = 57;
    static constexpr int ZugriffsFehler = 75;

private:
    bool oeffnen(const QString &datei, QString *grund, int *nummer);
    void kodierungPruefen();
    bool nachfuellen();
    bool zeileLesen(QByteArray &zeile);
    [[noreturn]] void leseFehler(qint64 zeile, const QString &grund) const;

    std::unique_ptr<QIODevice> m_file;
    QString m_name;
    QByteArray m_puffer;
    qsizetype m_pos = 0;
    bool m_ersterBlock = true;
    bool m_utf8 = false;
    qint64 m_zeilenNr = 0;
    qint64 m_groesse = 0; ///< size when opened: a file that ends before it was cut while being read
    qint64 m_gelesen = 0;
    qint64 m_fremdeZeile = 0;
    QByteArray m_zeile;
    QString m_satz;         ///< the last line, with the ";" appended for splitting
    qsizetype m_restAb = 0; ///< where in m_satz the ignored fields begin
};

} // namespace tarvel::runs
