#pragma once

#include "platform/PageSetup.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

class QPrinter;

namespace tarvel::platform {

class PrinterBackend;

/// Which printer a process prints to, and how: the system's default printer
/// where CUPS has one, otherwise the built-in PDF printer. A system printer's
/// page is the queue's own until the user picks another in a printer dialog;
/// that pick holds for the rest of the process. The PDF printer's paper and
/// orientation are stored per user, so every mode uses what was last chosen.
/// Surfaces bound to a choice follow it (Printer).
class PrinterChoice
{
public:
    /// A choice whose PDF jobs go into \a jobsFolder (empty: "Tarvel" in the user's documents).
    explicit PrinterChoice(QString jobsFolder = {});
    ~PrinterChoice();
    PrinterChoice(const PrinterChoice &) = delete;
    PrinterChoice &operator=(const PrinterChoice &) = delete;

    /// The process's choice, shared by its windows and automation objects.
    static PrinterChoice &instance();

    /// What CUPS told about a printer: its name and its queue's page as set up.
    struct Lookup
    {
        QString name;                   ///< "PDF-Datei" where CUPS has no default printer
        std::optional<PageSetup> queue; ///< empty for the PDF printer and queues CUPS does not know
        bool isDefault = false;         ///< the system's default printer was asked for
    };
    /// Asks CUPS about printer \a name, or about the system's default printer
    /// when \a name is empty. Touches no choice, so it may run on any thread.
    /// Throws printer error 482 when CUPS does not answer in time.
    static Lookup lookUp(const QString &name);
    /// The printer that the next backend would ask CUPS about: empty for the
    /// system's default while it is unknown; nothing where no question is due
    /// (the PDF printer, a printer picked in a dialog).
    std::optional<QString> dueLookUp() const;
    /// Takes what lookUp found: the default printer becomes the current one if
    /// none is chosen yet, and backends for that printer take its page from
    /// here, without asking CUPS, until the next lookup.
    void take(const Lookup &found);

    /// The name of the current printer ("PDF-Datei" for the built-in one).
    QString current();
    void setCurrent(const QString &name);

    /// Where PDF jobs go; empty when the user has no home folder (HOME unset).
    QString jobsFolder() const;
    void setJobsFolder(const QString &folder);

    /// The page of printer \a name: the user's pick, else the queue's own setup;
    /// for the PDF printer the stored paper and orientation at 300 dots per inch.
    PageSetup setupFor(const QString &name);

    /// Sets up \a printer for a printer dialog: the current printer with its page.
    void prepareDialog(QPrinter &printer);
    /// Takes the printer, paper, orientation, resolution and options picked in
    /// the dialog prepared on \a printer; the printer becomes the current one.
    /// A PDF file named there receives the next PDF job.
    void takeDialog(const QPrinter &printer);

    /// Raised by every change, so surfaces bound to the choice can follow it.
    quint64 generation() const { return m_generation; }

    /// A backend for the current printer.
    std::unique_ptr<PrinterBackend> createBackend();
    /// A backend for printer \a name ("PDF-Datei" or a CUPS queue).
    std::unique_ptr<PrinterBackend> backendFor(const QString &name);
    /// As backendFor, on the process's choice.
    static std::unique_ptr<PrinterBackend> createBackend(const QString &name);

private:
    static PageSetup storedPdfSetup();
    static void storePdfSetup(const QPageLayout &layout);

    QString m_jobsFolder;
    QString m_current;
    bool m_resolved = false;
    quint64 m_generation = 1;
    QHash<QString, PageSetup> m_picks; ///< by printer name
    std::optional<Lookup> m_found;     ///< the last lookup taken
    QString m_pdfFile;                 ///< receives the next PDF job
    QString m_offeredPdfFile;          ///< what the dialog's file field showed
};

} // namespace tarvel::platform
