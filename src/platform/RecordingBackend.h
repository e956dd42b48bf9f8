#pragma once

#include "platform/PrinterBackend.h"

#include <QList>

namespace tarvel::platform {

/// One recorded operation of the printer surface, in twips.
struct RecordedOp
{
    enum Kind { BeginJob, Text, Line, RotatedText, NewPage, EndJob, CancelJob, Clip, NoClip };
    Kind kind = BeginJob;
    double x = 0, y = 0;   ///< text: top-left of the line cell; line: start; bar: top; clip: top-left
    double x2 = 0, y2 = 0; ///< line: end point; clip: bottom-right
    double penWidth = 0;   ///< line: pen width in device pixels
    double height = 0;     ///< rotated text: em height; bar: y2 - y
    bool landscape = false; ///< begin job, new page: the page was wished landscape
    QString text;
    FontSpec font;
    QColor color;
    DrawTag tag; ///< drawings: the field and record they belong to

    static RecordedOp of(Kind k)
    {
        RecordedOp op;
        op.kind = k;
        return op;
    }
    bool isBar() const { return kind == Line && x == x2; }
};

/// Records every operation as plain data, for the tests. Delivers nothing.
class RecordingBackend final : public PrinterBackend
{
public:
    explicit RecordingBackend(double dpi = 300.0, QString deviceName = QStringLiteral("Aufzeichnung"));

    QString deviceName() const override { return m_deviceName; }
    double dpiX() const override { return m_dpi; }
    double dpiY() const override { return m_dpi; }
    /// A4 portrait without margins unless a test sets another.
    QSizeF printableSize() const override { return m_printable; }
    void setPrintableSize(const QSizeF &twips) { m_printable = twips; }

    void beginJob() override;
    void newPage() override;
    void setPageShape(bool landscape) override { m_landscape = landscape; }
    void drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face, const QColor &color,
                  const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override;
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                         const QColor &color, const QString &text) override;
    void setClip(const QRectF &twips) override;
    void setTag(const DrawTag &tag) override { m_tag = tag; }
    QString endJob() override;
    void cancelJob() override;

    const QList<RecordedOp> &ops() const { return m_ops; }
    void clear() { m_ops.clear(); }
    /// Makes the next operation fail with printer error 482 (fault tests).
    void failNextOperation() { m_failNext = true; }

private:
    void maybeFail();

    double m_dpi;
    QString m_deviceName;
    QList<RecordedOp> m_ops;
    bool m_failNext = false;
    DrawTag m_tag;
    bool m_landscape = false;
    QSizeF m_printable{11906.0, 16838.0};
};

} // namespace tarvel::platform
