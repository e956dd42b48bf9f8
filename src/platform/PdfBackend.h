#pragma once

#include "platform/PageSetup.h"
#include "platform/PainterBackend.h"

#include <QString>
#include <functional>
#include <memory>

class QPdfWriter;

namespace tarvel::platform {

class JobFile;

/// The built-in PDF printer "PDF-Datei": one file per job in a jobs folder,
/// at the page and resolution of its setup (A4 portrait, 300 dots per inch
/// unless the user chose otherwise). A job appears under its own name only
/// when it is complete (JobFile). Pages may differ in orientation.
class PdfBackend final : public PainterBackend
{
public:
    static constexpr const char *DeviceName = "PDF-Datei";

    /// Jobs into \a folder at \a setup. \a namedFile is asked at the start of
    /// each job for a file the user named; that file then receives the job
    /// instead of a new name in the folder.
    PdfBackend(const QString &folder, const PageSetup &setup, std::function<QString()> namedFile = {});
    /// Jobs into the process's jobs folder, A4 portrait; \a dpi other than 300
    /// serves tests that emulate other printers.
    explicit PdfBackend(int dpi = 300);
    ~PdfBackend() override;

    QString deviceName() const override { return QString::fromLatin1(DeviceName); }
    double dpiX() const override { return m_setup.dpiX; }
    double dpiY() const override { return m_setup.dpiY; }
    QSizeF printableSize() const override;

    void beginJob() override;
    void newPage() override;
    void setPageShape(bool landscape) override { m_landscape = landscape; }
    void setClip(const QRectF &twips) override;
    void drawText(double x, double y, const FontSpec &fontSpec, FontMetricsCache::Entry &face, const QColor &color,
                  const QString &text) override;
    void drawLine(double x1, double y1, double x2, double y2, double penWidth, const QColor &color) override;
    void drawRotatedText(double x, double y, double emHeight, double ascent, const QFont &font,
                         const QColor &color, const QString &text) override;
    QString endJob() override;
    void cancelJob() override;

    /// Ends painting and hands over the complete file, not yet published
    /// (a system printer's spooled job). Throws error 482 if it is incomplete.
    std::unique_ptr<JobFile> finishFile();
    /// The setup's layout, turned so that its long edge lies horizontal when \a landscape.
    QPageLayout layoutFor(bool landscape) const;

    /// The process's jobs folder ("Tarvel" in the user's documents); for callers
    /// that have no PrinterChoice at hand.
    static QString jobsFolder();
    /// Sends the process's jobs elsewhere (tests, benchmarks); empty restores the default.
    static void setJobsFolder(const QString &folder);

private:
    [[noreturn]] void failWriting();
    /// Throws error 482 unless a job is open: a job dropped after a write
    /// failure takes no more output, and only its own owner hears of it.
    void requireJob() const;
    /// Gives the writer the page for \a landscape, and the painter its origin.
    void setWriterLayout(bool landscape);

    QString m_folder; ///< empty: the process's jobs folder at the job's start
    PageSetup m_setup;
    std::function<QString()> m_namedFile;
    QString m_fixedPath; ///< the file the user named for the open job
    bool m_landscape = false;
    bool m_pageLandscape = false; ///< the shape of the page being drawn
    QString m_dropped; ///< why the job was dropped, until the next one begins
    std::unique_ptr<JobFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};

} // namespace tarvel::platform
