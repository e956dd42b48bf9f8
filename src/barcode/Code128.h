#pragma once

#include <QList>
#include <QString>
#include <array>

namespace tarvel::platform {
class Printer;
}

namespace tarvel::barcode {

/// Code 128, drawn as bars on the printer surface. InitBreite sets the bar width
/// once; Drucke draws a barcode with its top-left corner at the surface's current
/// position. Code set B carries every text; where a layout names the room its
/// barcode has and set B does not fit there, runs of digits go into code set C.
class Code128
{
public:
    /// The code sets an encoding may use.
    enum class Zeichensatz {
        NurB, ///< code set B alone, as Drucke draws it without a room
        MitC, ///< the shortest symbol: code set C for the runs of digits where that saves symbols
    };

    Code128();

    /// Sets the module width: \a Breite device pixels, or for 0 the default of
    /// 20 twips in pixels. Sets the surface's pen and fill state. Returns how
    /// many 11-module characters fit into the 4000-twip barcode field.
    double InitBreite(platform::Printer &printer, qint16 Breite);

    /// Draws the barcode of \a Text in code set B, \a Hoehe twips high. A character
    /// outside codes 32 to 127 is refused before the first bar (error 6 below 32,
    /// error 9 above 127), naming the character and its position; so is a text whose
    /// value × position passes 32767 somewhere (error 6, "Text zu lang").
    void Drucke(platform::Printer &printer, const QString &Text, qint16 Hoehe);

    /// As Drucke, for a barcode whose place is \a PlatzTwips wide (from its left edge
    /// to the next thing printed on its right, or the printable edge): set B where
    /// that fits with a quiet zone of 10 modules, else satzFuer's shortest symbol.
    /// A symbol too wide even so is drawn all the same; fits() tells beforehand.
    void Drucke(platform::Printer &printer, const QString &Text, qint16 Hoehe, qint32 PlatzTwips);

    /// The symbol values of \a Text: start, data (with code set changes), check,
    /// stop. Throws as Drucke, with the same errors for either \a satz.
    QList<int> symbolValues(const QString &Text, Zeichensatz satz = Zeichensatz::NurB) const;

    /// Width of the symbol in modules: 11 a symbol, 13 for the stop.
    int moduleCount(const QString &Text, Zeichensatz satz) const;

    /// Width in twips from the first bar's left edge to the end of the last, as Drucke
    /// draws the symbol at the bar width and pen InitBreite set.
    qint32 widthTwips(const QString &Text, Zeichensatz satz) const;

    /// The code set Drucke uses in a place \a PlatzTwips wide: NurB where it fits, else MitC.
    Zeichensatz satzFuer(const QString &Text, qint32 PlatzTwips) const;

    /// Whether the barcode of \a Text and its quiet zone fit \a PlatzTwips, in either code set.
    bool fits(const QString &Text, qint32 PlatzTwips) const;

    /// The widest bar width (device pixels, at most the current one) at which the
    /// shortest symbol of \a Text fits \a PlatzTwips; 0 if not even 1 pixel does.
    qint16 passendeBreite(const QString &Text, qint32 PlatzTwips) const;

    /// The bar/space widths of symbol \a value (0..106), as in the symbol table;
    /// empty for 107 to 128, error 9 beyond.
    QString pattern(int value) const;

    /// Whether Drucke leaves out, instead of refusing, a text it cannot encode:
    /// the preview shows such a record, marked by the check, with its texts.
    void setUnmoeglichAuslassen(bool auslassen) { m_unmoeglichAuslassen = auslassen; }

    qint16 DrawWidth() const { return m_modulePixels; }
    double moduleWidth() const { return m_moduleWidth; }

    static constexpr int CodeC = 99;  ///< in code set B: change to C
    static constexpr int CodeB = 100; ///< in code set C: change to B
    static constexpr int StartB = 104;
    static constexpr int StartC = 105;
    static constexpr int Stop = 106;
    static constexpr int QuietZoneModules = 10; ///< free space a barcode needs on its right
    static constexpr double FieldWidth = 4000.0; ///< twips the characters-that-fit figure refers to

private:
    qint32 measure(const QList<int> &values, double moduleWidth) const;
    bool fitsWith(const QList<int> &values, double moduleWidth, qint32 PlatzTwips) const;
    void draw(platform::Printer &printer, const QList<int> &values, qint16 Hoehe);
    /// The symbol values Drucke draws, or none where it leaves the text out.
    QList<int> encodeForDrawing(const QString &Text, const qint32 *PlatzTwips) const;

    std::array<QString, 129> m_table;
    qint16 m_modulePixels = 0;
    double m_moduleWidth = 0.0;
    double m_twipsPerPixel = 0.0;
    bool m_unmoeglichAuslassen = false;
};

} // namespace tarvel::barcode
