#pragma once

#include "barcode/Code128.h"
#include "labelprinter/BarWidthBoxes.h"
#include "platform/Printer.h"
#include "runs/Befund.h"
#include "runs/DateiDruck.h"

#include <QMessageBox>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QDialog;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarvel::mainwindow {

/// The main window "Barcode drucken": the user picks an article file, the kind
/// of print (list, labels, laser sheets), the prices, the currency and the
/// printer, and prints the file. Price and kind choices and the file are kept
/// in the settings store. The runs it starts are those of runs/DateiDruck.
class Quelm : public QWidget, public labelprinter::BarWidthBoxes
{
    Q_OBJECT

public:
    /// What the printer dialog settles: the printer and the run's page choices.
    struct DruckerWahl
    {
        QString drucker;
        int kopien = 1;
        bool seitenBereich = false;
        int vonSeite = 0;
        int bisSeite = 0;
    };
    /// Shows a message: icon, text, and an optional second line of detail.
    using MeldungsZiel = std::function<void(QMessageBox::Icon, const QString &text, const QString &info)>;
    /// Asks for a file, starting from the current one; returns the current one on cancel.
    using DateiWahl = std::function<QString(const QString &aktuell)>;
    /// Shows the printer dialog; nothing when the user cancelled.
    using DruckerDialog = std::function<std::optional<DruckerWahl>(const DruckerWahl &aktuell)>;
    /// Shows the check's findings before a run; true: print all the same (only
    /// ever asked when there are warnings alone).
    using PruefDialog = std::function<bool(const runs::Befunde &befunde, const QString &bericht)>;
    /// Shows the preview dialog; true when the clerk pressed "Drucken" in it.
    using VorschauZeigen = std::function<bool(QDialog &vorschau)>;

    explicit Quelm(QWidget *parent = nullptr);
    ~Quelm() override;

    /// Replaces the message boxes, the file dialog and the printer dialog (tests, batch front ends).
    void setMeldungsZiel(MeldungsZiel ziel) { m_meldung = std::move(ziel); }
    void setDateiWahl(DateiWahl wahl) { m_dateiWahl = std::move(wahl); }
    void setDruckerDialog(DruckerDialog dialog) { m_druckerDialog = std::move(dialog); }
    void setPruefDialog(PruefDialog dialog) { m_pruefDialog = std::move(dialog); }
    void setVorschauZeigen(VorschauZeigen zeigen) { m_vorschauZeigen = std::move(zeigen); }

    /// Processes window events until the window is closed.
    void Warten();

    /// The window's choices as a run takes them.
    runs::DateiDruck::Auswahl auswahl() const;
    /// The settings of the printer dialog as the runs use them.
    const DruckerWahl &druckerWahl() const { return m_wahl; }
    /// The article file shown in the file frame.
    QString datei() const;

    QString strichbreite() const override;
    void setStrichbreite(const QString &text) override;
    void setMaxZeichen(const QString &text) override;

    void DateiAuswahl_Click();
    void DruckerAuswahl_Click();
    void Strichbreite_LostFocus();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Option3_Click(int index);
    void Drucken_Click();
    void ProbeDruck_Click();
    void Vorschau_Click();

signals:
    /// The window was closed; Warten returns.
    void geschlossen();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void InitStrichbreite(qint16 breite);
    void anzahlZeigen();
    /// The printer's name in the frame, and the copies when more than one.
    void druckerZeigen();
    /// False, with a message, when the laser run's start label is no place of the sheet.
    bool startLabelGueltig();
    void waehlen(QButtonGroup *gruppe, int index);
    void zeigen(const runs::DateiDruck::Ergebnis &ergebnis);
    void drucken(qint64 saetze);
    bool befundeZeigen(const runs::Befunde &befunde);
    bool pruefDialogZeigen(const runs::Befunde &befunde, const QString &bericht);
    std::unique_ptr<QDialog> vorschauDialog();
    void report(QMessageBox::Icon icon, const QString &text, const QString &info = {});
    QRect tw(int left, int top, int width, int height) const;

    std::optional<DruckerWahl> druckerDialogZeigen(const DruckerWahl &aktuell);
    QString dateiDialogZeigen(const QString &aktuell);

    platform::Printer m_printer;
    barcode::Code128 m_code;
    DruckerWahl m_wahl;
    bool m_beendet = false;

    MeldungsZiel m_meldung;
    DateiWahl m_dateiWahl;
    DruckerDialog m_druckerDialog;
    PruefDialog m_pruefDialog;
    VorschauZeigen m_vorschauZeigen;

    QComboBox *m_waehrung = nullptr;
    QLineEdit *m_startLabel = nullptr;
    QCheckBox *m_lagerfachNr = nullptr;
    QGroupBox *m_druckerFrame = nullptr;
    QLineEdit *m_strichbreite = nullptr;
    QPushButton *m_druckerAuswahl = nullptr;
    QLineEdit *m_maxZeichen = nullptr;
    QGroupBox *m_dateiFrame = nullptr;
    QPushButton *m_dateiAuswahl = nullptr;
    QLabel *m_anzahl = nullptr;
    QPushButton *m_probeDruck = nullptr;
    QPushButton *m_vorschau = nullptr;
    QGroupBox *m_framePreis2 = nullptr;
    QPushButton *m_drucken = nullptr;
    std::array<QRadioButton *, 4> m_option1{};
    std::array<QRadioButton *, 4> m_option2{};
    std::array<QRadioButton *, 3> m_option3{};
    QButtonGroup *m_gruppe1 = nullptr;
    QButtonGroup *m_gruppe2 = nullptr;
    QButtonGroup *m_gruppe3 = nullptr;
};

} // namespace tarvel::mainwindow
