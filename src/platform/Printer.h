#pragma once

#include "platform/FontMetricsCache.h"
#include "platform/FontSpec.h"

#include <QColor>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tarvel::platform {

class PrinterBackend;
class PrinterChoice;

/// The printer surface every layout draws on. Units are twips from the top-left
/// of the printable area. A job opens with the first drawing and is delivered
/// only at EndDoc. Each owner of a job (an automation object, a standalone run)
/// has its own Printer, bound to a choice of printer or to a fixed backend.
/// PrinterStyleGuard keeps its style across a step, PrintTransaction holds a
/// call's output back until the call succeeds.
class Printer
{
public:
    /// A surface bound to \a choice. When another printer is chosen while a job
    /// is open, what the job holds is delivered as a job of its own on the old
    /// printer, and later output opens a new job on the new one.
    explicit Printer(PrinterChoice &choice);
    /// A surface bound to the process's choice.
    Printer();
    /// A surface on a fixed backend (tests, batch runs on a named printer).
    explicit Printer(std::unique_ptr<PrinterBackend> backend);
    ~Printer(); ///< an open job is cancelled, never delivered implicitly
    Printer(const Printer &) = delete;
    Printer &operator=(const Printer &) = delete;

    double CurrentX() const { return m_x; }
    double CurrentY() const { return m_y; }
    void setCurrentX(double x) { m_x = x; }
    void setCurrentY(double y) { m_y = y; }

    /// Prints \a text at the current position and ends the line: CurrentX = 0,
    /// CurrentY one line height of the current font further down.
    void Print(const QString &text = {});
    /// Prints \a text and stays behind it on the line ("Print text;").
    void PrintInline(const QString &text);
    /// A whole number as a print item: " 5 ", "-5 ".
    static QString NumberItem(qint64 value);

    QString FontName() const { return m_font.name; }
    void setFontName(const QString &name);
    double FontSize() const { return m_font.size; }
    void setFontSize(double points);
    bool FontBold() const { return m_font.bold; }
    void setFontBold(bool bold);
    bool FontItalic() const { return m_font.italic; }
    void setFontItalic(bool italic);
    const FontSpec &font() const { return m_font; }

    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor &color) { m_foreColor = color; }
    /// Italic off and colour black: the state every layout may take for granted
    /// unless it sets them itself (a list header leaves italic dark blue).
    void plainText();
    /// Colour \a index of the 16-colour palette (0 black, 1 dark blue, ...).
    static QColor QBColor(int index);

    /// Pen width in device pixels; widths below 1 are refused with error 5.
    int DrawWidth() const { return m_drawWidth; }
    void setDrawWidth(int pixels);
    /// Fill and line style as InitBreite sets them. Every bar and line is drawn
    /// solid black in any case, so nothing keeps them.
    enum Style { Solid = 0 };
    void setFillColor(const QColor &) {}
    void setFillStyle(int) {}
    void setDrawStyle(int) {}

    double TwipsPerPixelX();
    double TwipsPerPixelY();
    QString DeviceName();
    /// Width of the printable area in twips: the edge a layout's last column meets.
    double ScaleWidth();

    /// Confines what is drawn from now on to the rectangle (twips) until
    /// clearClip: a label's texts and bars end at its edge. It holds across
    /// pages; it reaches the printer with the next drawing.
    void setClip(double x, double y, double width, double height);
    /// Lifts the clip at once, so that what follows a label records no trace of
    /// it. Never throws: labels lift it while unwinding from a failure.
    void clearClip() noexcept;

    /// Printed width of \a text in the current font, in twips.
    double TextWidth(const QString &text);
    /// How many UTF-16 units of \a text, whole characters only, fit into
    /// \a maxTwips in the current font; in one pass, whatever the text's length.
    qsizetype fittingLength(const QString &text, double maxTwips);
    /// Height of one line of the current font, in twips.
    double TextHeight();

    /// A line of the current pen width from (x1, y1) to (x1 + dx, y1 + dy).
    void Line(double x1, double y1, double dx, double dy, const QColor &color = Qt::black);
    /// \a text turned 90 degrees counter-clockwise, its top-left corner (before
    /// turning) at the current position, \a emHeight twips high, in the default
    /// sans face at normal weight. The current position does not move.
    void PrintRotated(const QString &text, double emHeight);

    /// Ends the page; later drawing goes to a fresh page of the same job. A page
    /// that holds nothing yet is not ended (a pending break is not taken twice),
    /// so no call makes a blank page.
    void NewPage();
    /// The page that the next drawing lands on lies landscape, if it has not
    /// begun yet and the printer's own page is portrait (sheets laid out for a
    /// landscape page). A page already begun stays as it is.
    void wantLandscapePage();
    /// Ends the job and delivers it. Returns where it went (a PDF's path, a
    /// printer's name), or an empty text when no job was open. A NewPage right
    /// before adds no blank page.
    /// Both start the next job in plainText().
    QString EndDoc();
    /// Cancels the open job: nothing of it is delivered.
    void KillDoc();

    /// Whether a job is open on the current printer (a job of a printer chosen
    /// away from counts as delivered).
    bool hasOpenJob() const { return m_jobOpen && !choiceChanged(); }
    /// Whether the page that drawing goes to now holds anything (false with no
    /// open job, and when a page break is pending).
    bool pageHasOutput() const { return hasOpenJob() && m_pendingPageBreaks == 0 && !m_pageEmpty; }

private:
    friend class PrintTransaction;
    /// Output from here on is held back until commit() hands it on, or
    /// rollback() drops it with the pages it began. Marks do not nest: false
    /// when one already holds, which stays in force.
    bool mark();
    void commit();
    void rollback() noexcept;

    PrinterBackend &backend();
    bool choiceChanged() const;
    void beforeDrawing();
    QString finishJob();
    FontMetricsCache::Entry &metrics();
    /// Runs \a op on the backend now, or keeps it while a mark holds output back.
    template<typename Op>
    void send(Op &&op);
    void sendHeld();

    FontMetricsCache m_fonts; ///< before the backend, whose device fonts refer to it
    std::unique_ptr<PrinterBackend> m_backend;
    PrinterChoice *m_choice = nullptr;
    quint64 m_generation = 0;

    double m_x = 0, m_y = 0;
    FontSpec m_font;
    FontMetricsCache::Entry *m_metrics = nullptr;
    QColor m_foreColor = Qt::black;
    int m_drawWidth = 1;
    QRectF m_clip;     ///< null: no clip
    QRectF m_sentClip; ///< what the backend has on its current page

    bool m_jobOpen = false;
    int m_pendingPageBreaks = 0;
    bool m_pageEmpty = true;
    bool m_landscapeWish = false;

    /// What a mark keeps: the output held back and the state to return to.
    struct Mark
    {
        std::vector<std::function<void(PrinterBackend &)>> held;
        bool jobOpen = false;
        int pendingPageBreaks = 0;
        bool pageEmpty = true;
        bool landscapeWish = false;
        double x = 0, y = 0;
        QRectF clip, sentClip;
    };
    std::unique_ptr<Mark> m_mark;
};

} // namespace tarvel::platform
