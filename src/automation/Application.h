#pragma once

#include "labelprinter/LabelData.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}
namespace tarvel::labelprinter {
class SetupFrm;
}
namespace tarvel::sheets {
class AdressLabels;
class LaserLabels;
class LaserLabels4Bahn;
class Liste;
}

namespace tarvel::automation {

/// The automation object clients print through: it holds the record of the
/// current article, owns the setup dialog with the label-printer layouts and
/// collects everything it prints in one job of its own, delivered at Release.
/// The sheet layouts (list, laser sheet, four-lane stock, address labels) are
/// created on first use and kept for the object's life, so page numbers and
/// places carry over from call to call. Free of any transport: an adaptor maps
/// D-Bus (or another transport) onto it. Members throw platform::RuntimeError.
class Application
{
public:
    /// Creates the object and loads its dialog; its job goes to the process's
    /// current printer.
    Application();
    /// As above, with \a printer as the surface of its own job.
    explicit Application(std::unique_ptr<platform::Printer> printer);
    ~Application(); ///< releases the object if Release was not called
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    /// Shows the dialog and waits for the user's OK (returns at once without a screen).
    void Setup();
    void DruckeLabel();
    void DruckeEtikett();
    void DruckeKanuEtikett();
    void DruckeAbholschein();
    void DruckeAbholscheinDINA4();
    void DruckeListe();
    void DruckeLaserLabel();
    void DruckeLaserLabel4Bahn();
    void DruckeAdressLabel(qint16 FettZeile);

    /// Where the next pickup slip and sheet label go, counted from 1 (0 acts
    /// as 1). A negative position is error 5, and nothing changes.
    void setStartPosition(qint16 pos);

    /// One of the six article fields (ArtikelNr ... ISBN): the stored text.
    QString recordField(QString labelprinter::LabelData::*field) const;
    // Every text setter refuses a text over Variants::MaxTextLength with error 5
    // and keeps the field as it was.

    /// Stores the text, shows it in the dialog's value label and lets the dialog repaint.
    void setRecordField(QString labelprinter::LabelData::*field, const QString &text);
    /// One of the sixteen book, customer and order texts, kept by the dialog.
    void setText(QString labelprinter::LabelData::*field, const QString &text);

    /// Free text line \a nr (0 to 5); error 9 outside, and nothing is stored.
    void setZeile(qint16 nr, const QString &st);
    const std::array<QString, 6> &Zeile() const { return m_zeile; }
    void setZuHaenden(const QString &text);
    QString zuHaenden() const { return m_zuHaenden; }
    void setAnrede(const QString &text);
    QString Anrede() const { return m_anrede; }

    /// Ends and sends the job if anything was printed, then unloads the
    /// dialog. Returns where the job went (empty if nothing was sent). The
    /// object is released even when sending fails; the error is thrown after.
    QString Release();
    bool released() const { return m_released; }

    qint16 printCount() const { return m_counter; }
    labelprinter::SetupFrm &dialog() { return *m_dialog; }

    /// The bar engine the dialogs of all automation objects share.
    static barcode::Code128 &sharedCode128();

private:
    /// Lets the platform process pending events ten times, so the dialog stays
    /// alive; stops early once a round finds none pending.
    void pause();
    void countPrint();
    sheets::Liste &liste();
    sheets::LaserLabels &laserLabels();
    sheets::LaserLabels4Bahn &laserLabels4Bahn();
    sheets::AdressLabels &adressLabels();
    /// A copy of the free text lines, for layouts that take a list.
    QStringList zeilen() const;
    /// New page if this object has printed before, count, then the layout.
    template<typename Layout>
    void labelStep(Layout layout);
    /// What a print member puts on its page; output of another kind gets a page of its own.
    enum class Kind { None, Label, Slip, SlipSheet, List, Laser, Laser4Bahn, Address };
    /// One print member: pause, then \a print on a page of its kind, from plain
    /// text. When it fails, its output is dropped with the page it began.
    template<typename Print>
    void printCall(Kind kind, Print print);
    /// Whether output of \a kind goes on the page the last print left.
    bool sharesPage(Kind kind);

    std::unique_ptr<platform::Printer> m_printer;
    std::unique_ptr<labelprinter::SetupFrm> m_dialog; // after the printer: it draws on it
    // The sheet layouts draw on the printer too, so they follow it as well.
    std::unique_ptr<sheets::Liste> m_liste;
    std::unique_ptr<sheets::LaserLabels> m_laserLabels;
    std::unique_ptr<sheets::LaserLabels4Bahn> m_laserLabels4Bahn;
    std::unique_ptr<sheets::AdressLabels> m_adressLabels;
    qint16 m_counter = 0;
    Kind m_lastKind = Kind::None; ///< of the last print that succeeded
    labelprinter::LabelData m_record; // only the six article fields are used
    std::array<QString, 6> m_zeile;
    QString m_zuHaenden;
    QString m_anrede;
    bool m_released = false;
};

} // namespace tarvel::automation
