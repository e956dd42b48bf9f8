#include "runs/Util.h"

#include <array>

namespace tarvel::runs::Util {

namespace {

// Code page 1252 from 128 to 159; every other byte is its own Unicode code point.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char16_t fromCp1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte);
}

// The DOS letter that a character of code page 1252 stands for, or 0.
constexpr char16_t dosLetter(char16_t c)
{
    switch (c) {
    case fromCp1252(129): return u'ü';
    case fromCp1252(132): return u'ä';
    case fromCp1252(142): return u'Ä';
    case fromCp1252(148): return u'ö';
    case fromCp1252(153): return u'Ö';
    case fromCp1252(154): return u'Ü';
    case fromCp1252(225): return u'ß';
    default: return 0;
    }
}

} // namespace

void UmlauteWandeln(QString &Text)
{
    const qsizetype n = Text.size();
    const QChar *data = Text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (const char16_t letter = dosLetter(data[i].unicode())) {
            Text[i] = QChar(letter); // detaches only on the first change
            data = Text.constData();
        }
    }
}

QString ausCodepage1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(fromCp1252(static_cast<unsigned char>(bytes[i])));
    return text;
}

} // namespace tarvel::runs::Util
