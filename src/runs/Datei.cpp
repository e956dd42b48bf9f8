#include "runs/Datei.h"

#include "runs/Util.h"
#include "platform/RuntimeError.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace tarvel::runs {

using platform::RuntimeError;

namespace {

constexpr qint64 BlockSize = 64 * 1024;
// No article line comes near this; a longer one is no article file, and
// holding it would take several times its size in memory.
constexpr qsizetype MaxLineBytes = 16 * 1024 * 1024;
constexpr char Bom[] = "\xEF\xBB\xBF";

// Strict UTF-8 check over a stream of pieces (no overlong forms, no surrogates,
// nothing above U+10FFFF).
class Utf8Check
{
public:
    void add(const char *data, qsizetype n)
    {
        for (qsizetype i = 0; i < n && m_valid; ++i) {
            const auto b = static_cast<unsigned char>(data[i]);
            if (m_need > 0) {
                if (b < m_lo || b > m_hi) {
                    m_valid = false;
                    break;
                }
                m_lo = 0x80;
                m_hi = 0xBF;
                --m_need;
                continue;
            }
            if (b < 0x80)
                continue;
            m_high = true;
            m_lo = 0x80;
            m_hi = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                m_need = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                m_need = 2;
                if (b == 0xE0)
                    m_lo = 0xA0;
                else if (b == 0xED)
                    m_hi = 0x9F;
            } else if (b >= 0xF0 && b <= 0xF4) {
                m_need = 3;
                if (b == 0xF0)
                    m_lo = 0x90;
                else if (b == 0xF4)
                    m_hi = 0x8F;
            } else {
                m_valid = false;
            }
        }
    }
    /// True when everything added is complete, valid UTF-8.
    bool valid() const { return m_valid && m_need == 0; }
    /// True when a byte above 127 was added.
    bool high() const { return m_high; }

private:
    bool m_valid = true;
    bool m_high = false;
    int m_need = 0;
    unsigned char m_lo = 0x80, m_hi = 0xBF;
};

// The lines of a stream of blocks (CR LF, CR and LF each end one), each checked
// for UTF-8: the first line that is UTF-8 with a byte above 127, and the first
// that is no UTF-8 at all.
class LineCodes
{
public:
    void add(const char *data, qsizetype n)
    {
        qsizetype i = 0;
        while (i < n) {
            qsizetype j = i;
            while (j < n && data[j] != '\r' && data[j] != '\n')
                ++j;
            if (j > i) {
                m_line.add(data + i, j - i);
                m_afterCr = false;
            }
            if (j == n)
                break;
            if (data[j] == '\r' || !m_afterCr)
                endLine();
            m_afterCr = data[j] == '\r';
            i = j + 1;
        }
    }
    /// Ends the last line, which needs no line end.
    void finish()
    {
        if (m_line.high() || !m_line.valid())
            endLine();
    }
    qint64 count() const { return m_count; }
    qint64 firstUtf8() const { return m_firstUtf8; }
    qint64 firstOther() const { return m_firstOther; }

private:
    void endLine()
    {
        ++m_count;
        if (!m_line.valid()) {
            if (!m_firstOther)
                m_firstOther = m_count;
        } else if (m_line.high() && !m_firstUtf8) {
            m_firstUtf8 = m_count;
        }
        m_line = Utf8Check();
    }

    Utf8Check m_line;
    qint64 m_count = 0;
    qint64 m_firstUtf8 = 0;
    qint64 m_firstOther = 0;
    bool m_afterCr = false;
};

// The content given to Datei::imSpeicher, and the path it stands for.
std::pair<QString, QByteArray> &gespeichert()
{
    static std::pair<QString, QByteArray> inhalt;
    return inhalt;
}

QString shownName(const QString &path)
{
    return QStringLiteral("„%1“").arg(QFileInfo(path).fileName());
}

} // namespace

Datei::Datei() = default;
Datei::~Datei() = default;

bool Datei::oeffnen(const QString &datei, QString *grund, int *nummer)
{
    m_file.reset();
    m_name = datei;
    m_puffer.clear();
    m_pos = 0;
    m_ersterBlock = true;
    m_utf8 = false;
    m_zeilenNr = 0;
    m_groesse = 0;
    m_gelesen = 0;
    m_fremdeZeile = 0;

    if (!datei.isEmpty() && gespeichert().first == datei) {
        auto puffer = std::make_unique<QBuffer>();
        puffer->setData(gespeichert().second);
        puffer->open(QIODevice::ReadOnly);
        m_groesse = puffer->size();
        m_file = std::move(puffer);
        return true;
    }
    const QFileInfo info(datei);
    *nummer = ZugriffsFehler;
    if (datei.isEmpty()) {
        *nummer = DateiNichtGefunden;
        *grund = QStringLiteral("es ist keine Datei gewählt");
        return false;
    }
    if (!info.exists()) {
        *nummer = DateiNichtGefunden;
        *grund = QStringLiteral("die Datei ist nicht vorhanden");
        return false;
    }
    if (info.isDir()) {
        *grund = QStringLiteral("das ist ein Ordner, keine Datei");
        return false;
    }
    auto file = std::make_unique<QFile>(datei);
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *grund = info.isReadable() ? QStringLiteral("die Datei lässt sich nicht öffnen")
                                   : QStringLiteral("keine Berechtigung zum Lesen");
        return false;
    }
    m_groesse = file->isSequential() ? 0 : file->size();
    m_file = std::move(file);
    return true;
}

void Datei::imSpeicher(const QString &datei, const QByteArray &inhalt)
{
    gespeichert() = {datei, inhalt};
}

void Datei::Oeffnen(const QString &datei)
{
    QString grund;
    int nummer = 0;
    if (!oeffnen(datei, &grund, &nummer))
        throw RuntimeError(nummer, QStringLiteral("Datei „%1“: %2").arg(QDir::toNativeSeparators(datei), grund));
    kodierungPruefen();
}

void Datei::kodierungPruefen()
{
    if (m_file->isSequential())
        return; // a pipe cannot be read twice: code page rules
    LineCodes lines;
    QByteArray block(BlockSize, Qt::Uninitialized);
    bool first = true;
    bool bom = false;
    for (;;) {
        const qint64 n = m_file->read(block.data(), BlockSize);
        if (n < 0)
            leseFehler(lines.count() + 1, QStringLiteral("Lesefehler"));
        if (n == 0)
            break;
        if (first) {
            bom = n >= 3 && std::memcmp(block.constData(), Bom, 3) == 0;
            first = false;
        }
        lines.add(block.constData(), n);
    }
    lines.finish();
    // UTF-8 when every line is, and one holds more than ASCII; a byte order mark decides alone.
    m_utf8 = bom || (!lines.firstOther() && lines.firstUtf8());
    m_fremdeZeile = m_utf8 ? lines.firstOther() : lines.firstUtf8();
    if (!m_file->seek(0))
        leseFehler(1, QStringLiteral("Lesefehler"));
}

bool Datei::nachfuellen()
{
    m_puffer.resize(BlockSize);
    const qint64 n = m_file->read(m_puffer.data(), BlockSize);
    if (n < 0)
        leseFehler(m_zeilenNr + 1, QStringLiteral("Lesefehler"));
    m_gelesen += n;
    if (n == 0 && m_gelesen < m_groesse)
        leseFehler(m_zeilenNr + 1, QStringLiteral("die Datei wurde beim Lesen gekürzt"));
    m_puffer.resize(n);
    m_pos = 0;
    if (m_ersterBlock && n > 0) {
        m_ersterBlock = false;
        if (n >= 3 && std::memcmp(m_puffer.constData(), Bom, 3) == 0) {
            m_pos = 3;
            m_utf8 = true;
        }
    }
    return m_pos < m_puffer.size();
}

bool Datei::zeileLesen(QByteArray &zeile)
{
    zeile.clear();
    if (m_pos >= m_puffer.size() && !nachfuellen())
        return false;
    for (;;) {
        const char *begin = m_puffer.constData() + m_pos;
        const char *end = m_puffer.constData() + m_puffer.size();
        const char *p = begin;
        while (p != end && *p != '\r' && *p != '\n')
            ++p;
        zeile.append(begin, p - begin);
        if (zeile.size() > MaxLineBytes)
            leseFehler(m_zeilenNr + 1, QStringLiteral("die Zeile ist länger als %1 MB").arg(MaxLineBytes >> 20));
        if (p != end) {
            const bool cr = *p == '\r';
            m_pos = p - m_puffer.constData() + 1;
            if (cr && (m_pos < m_puffer.size() || nachfuellen()) && m_puffer[m_pos] == '\n')
                ++m_pos;
            return true;
        }
        m_pos = m_puffer.size();
        if (!nachfuellen())
            return true; // the last line needs no line end
    }
}

void Datei::leseFehler(qint64 zeile, const QString &grund) const
{
    throw RuntimeError(EinAusgabeFehler, QStringLiteral("Datei %1, Zeile %2: %3, die Datei kann nicht "
                                                        "weiter gelesen werden")
                                             .arg(shownName(m_name))
                                             .arg(zeile)
                                             .arg(grund));
}

bool Datei::Lesen()
{
    if (!m_file || !zeileLesen(m_zeile))
        return false;
    ++m_zeilenNr;

    const char *d = m_zeile.constData();
    qsizetype a = 0, e = m_zeile.size();
    while (a < e && d[a] == ' ')
        ++a;
    while (e > a && d[e - 1] == ' ')
        --e;
    const QByteArrayView bytes(d + a, e - a);
    QString &satz = m_satz;
    if (m_utf8) {
        satz = QString::fromUtf8(bytes);
    } else {
        satz = Util::ausCodepage1252(bytes);
        Util::UmlauteWandeln(satz);
    }
    satz += u';';

    // Fields from the left; once no ";" is left, the remaining fields are empty.
    qsizetype start = 0;
    for (int i = 0; i < FeldAnzahl; ++i) {
        const qsizetype q = start < satz.size() ? satz.indexOf(u';', start) : -1;
        if (q < 0) {
            feld(i).clear();
            start = satz.size();
        } else {
            feld(i) = satz.sliced(start, q - start);
            start = q + 1;
        }
    }
    m_restAb = start;
    return true;
}

qint64 Datei::GetAnzahl(const QString &datei)
{
    QString grund;
    int nummer = 0;
    if (!oeffnen(datei, &grund, &nummer))
        return 0;
    qint64 anzahl = 0;
    while (zeileLesen(m_zeile)) {
        ++anzahl;
        ++m_zeilenNr;
    }
    return anzahl;
}

} // namespace tarvel::runs
