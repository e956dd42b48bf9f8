#pragma once

#include <QList>
#include <QString>
#include <array>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::barcode {

/// Code 128 in code set B, drawn as bars on the printer surface.
/// InitBreite sets the bar width once; Drucke draws a barcode with its top-left
/// corner at the surface's current position.
class Code128
{
public:
    Code128();

    /// Sets the module width: \a Breite device pixels, or for 0 the default of
    /// 20 twips in pixels. Sets the surface's pen and fill state. Returns how
    /// many 11-module characters fit into the 4000-twip barcode field.
    double InitBreite(platform::Printer &printer, qint16 Breite);

    /// Draws the barcode of \a Text, \a Hoehe twips high. A character outside
    /// codes 32 to 127 is refused before the first bar (error 6 below 32,
    /// error 9 above 127), naming the character and its position.
    void Drucke(platform::Printer &printer, const QString &Text, qint16 Hoehe);

    /// The symbol values of \a Text: start B, data, check, stop. Throws as Drucke.
    QList<int> symbolValues(const QString &Text) const;

    /// The bar/space widths of symbol \a value (0..106), as in the symbol table.
    QString pattern(int value) const;

    qint16 DrawWidth() const { return m_modulePixels; }
    void setDrawWidth(qint16 pixels) { m_modulePixels = pixels; }
    double moduleWidth() const { return m_moduleWidth; }

    static constexpr int StartB = 104;
    static constexpr int Stop = 106;
    static constexpr double FieldWidth = 4000.0; ///< twips the characters-that-fit figure refers to

private:
    void drawSymbol(platform::Printer &printer, int value, qint32 &x, qint32 y, qint16 h);

    std::array<QString, 129> m_table;
    qint16 m_modulePixels = 0;
    double m_moduleWidth = 0.0;
};

} // namespace tarvel::barcode
