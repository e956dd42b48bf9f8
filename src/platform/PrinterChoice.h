#pragma once

#include <QPageLayout>
#include <QString>
#include <memory>

namespace tarvel::platform {

class PrinterBackend;

/// The process's current printer: the system's default printer where CUPS has
/// one, otherwise the built-in PDF printer. It stays chosen for the life of the
/// process; the printer dialogs change it.
class PrinterChoice
{
public:
    static PrinterChoice &instance();

    /// The name of the current printer ("PDF-Datei" for the built-in one).
    QString current();
    void setCurrent(const QString &name);
    /// Orientation of the built-in PDF printer's A4 pages, as chosen in a
    /// printer dialog (the pickup slips four to a sheet want landscape).
    QPageLayout::Orientation pdfOrientation() const { return m_pdfOrientation; }
    void setPdfOrientation(QPageLayout::Orientation orientation);
    /// Raised by every change, so surfaces bound to the choice can follow it.
    quint64 generation() const { return m_generation; }

    /// A backend for the current printer.
    std::unique_ptr<PrinterBackend> createBackend();
    static std::unique_ptr<PrinterBackend> createBackend(const QString &name);

private:
    PrinterChoice() = default;
    QString m_current;
    bool m_resolved = false;
    quint64 m_generation = 1;
    QPageLayout::Orientation m_pdfOrientation = QPageLayout::Portrait;
};

} // namespace tarvel::platform
