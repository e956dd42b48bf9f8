#pragma once

#include "platform/PainterBackend.h"

#include <QPageLayout>
#include <QString>
#include <memory>

class QPdfWriter;
class QSaveFile;

namespace tarvel::platform {

/// The built-in PDF printer "PDF-Datei": 300 dots per inch, A4 portrait, one
/// file per job in the jobs folder. A job is written under a temporary name and
/// appears under its own name only when it is complete.
class PdfBackend final : public PainterBackend
{
public:
    static constexpr const char *DeviceName = "PDF-Datei";

    /// \a dpi other than 300 serves tests that emulate other printers.
    explicit PdfBackend(int dpi = 300);
    /// A PDF for another device: its resolution and page layout, written into
    /// \a folder (the system printers spool their jobs this way).
    PdfBackend(int dpi, const QPageLayout &layout, const QString &folder);
    ~PdfBackend() override;

    QString deviceName() const override { return QString::fromLatin1(DeviceName); }
    double dpiX() const override { return m_dpi; }
    double dpiY() const override { return m_dpi; }

    void beginJob() override;
    QString endJob() override;
    void cancelJob() override;

    /// The folder that receives the jobs: "Tarvel" in the user's documents.
    static QString jobsFolder();
    /// Sends the jobs elsewhere (tests, benchmarks, batch runs); empty restores the default.
    static void setJobsFolder(const QString &folder);

private:
    QString nextFileName() const;

    int m_dpi;
    QPageLayout m_layout;
    QString m_folder; ///< empty: the jobs folder
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};

} // namespace tarvel::platform
