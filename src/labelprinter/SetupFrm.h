#pragma once

#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"

#include <QMessageBox>
#include <QScopeGuard>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvel::platform {
class Printer;
}
namespace tarvel::barcode {
class Code128;
}

namespace tarvel::labelprinter {

class LabelLayouts;

/// The printer setup dialog "Tarvel" of an automation object. It shows the
/// record the client has set, holds the bar width and the sheet offsets (kept
/// in the settings store), chooses the printer and prints a test label. The
/// label-printer layouts run on it: they read its record and its boxes and draw
/// on the printer of the object that owns it.
class SetupFrm : public QWidget, public BarWidthBoxes
{
    Q_OBJECT
public:
    /// Builds and loads the dialog: printer name, bar width and offsets from
    /// the settings store. Throws RuntimeError when the bar-width step fails.
    SetupFrm(platform::Printer &printer, barcode::Code128 &code, QWidget *parent = nullptr);
    ~SetupFrm() override;

    QString strichbreite() const override;
    void setStrichbreite(const QString &text) override;
    void setMaxZeichen(const QString &text) override;

    /// The record the layouts print.
    const LabelData &data() const { return m_data; }
    /// One of the six article fields: stored and shown in its value label.
    void setRecordField(QString LabelData::*field, const QString &text);
    /// One of the sixteen book, customer and order texts (not shown).
    void setText(QString LabelData::*field, const QString &text);
    void setStartPosition(qint16 pos) { m_data.StartPosition = pos; }

    /// The offsets in the boxes as whole numbers (halves to even). Error 13
    /// when a box holds no number, an empty box included.
    qint32 OffsetX() const;
    qint32 OffsetY() const;
    qint32 Abstand4Bahn() const;

    /// Waits until the user presses OK or closes the dialog. Where nobody can
    /// press OK (no screen), returns at once and logs why.
    void Setup();

    /// The book label. Errors go to the caller.
    void Etikett();
    /// The single article label. An error is reported in a message box and
    /// the result is false; where nobody can read a box, the error is logged
    /// and thrown on to the caller instead.
    bool EinLabel();
    /// The canoe label; errors as EinLabel.
    bool KanuEtikett();
    /// The pickup slip at the record's StartPosition, which it advances.
    /// \a SeitenProBlatt 1: one slip a page; 4: the quarters of a sheet.
    /// Errors go to the caller.
    void Abholschein(const QStringList &Zeile, const QString &zuHaenden, const QString &Anrede,
                     qint16 SeitenProBlatt);

    /// Unloads the dialog at the end of its object: ends a waiting Setup,
    /// lets pending events run and hides it. Its handlers do nothing afterwards.
    void unload();

    /// Whether a person can answer message boxes and dialogs. False on the
    /// offscreen platform: errors then go to the caller and to the log.
    bool interactive() const { return m_interactive; }
    void setInteractive(bool interactive) { m_interactive = interactive; }
    static bool screenAvailable();

    /// The controls' handlers, as the user's actions run them.
    void Strichbreite_LostFocus();
    void OffsetXCtrl_LostFocus();
    void OffsetYCtrl_LostFocus();
    void Abstand4BahnCtrl_LostFocus();
    void DruckerAuswahl_Click();
    void ProbeDruck_Click();
    void OK_Click();

signals:
    /// Every message the dialog shows in a box, or logs where no box can be shown.
    void reported(const QString &text, QMessageBox::Icon icon);
    /// Brackets a user action that prints or waits, so automation calls wait for it.
    void actionStarted();
    void actionFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct ValueLabel
    {
        QString LabelData::*field;
        QLabel *label;
    };

    /// Marks a user action (it may print, show a box or let events run) until
    /// the returned guard ends, so that automation calls wait for it.
    [[nodiscard]] QScopeGuard<std::function<void()>> userAction();
    void buildControls();
    void Form_Load();
    void InitStrichbreite(qint16 width);
    void saveOffset(QLineEdit *box, const QString &key);
    bool trapped(void (LabelLayouts::*layout)());
    void report(QMessageBox::Icon icon, const QString &text);
    qint32 boxNumber(const QLineEdit *box) const;

    platform::Printer &m_printer;
    barcode::Code128 &m_code;
    LabelData m_data;
    bool m_done = true;
    bool m_unloaded = false;
    bool m_interactive;
    bool m_strichbreiteEdited = false; ///< typed into since the bar width was last stored

    std::array<ValueLabel, 6> m_values{};
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_strichbreite = nullptr;
    QLineEdit *m_maxZeichen = nullptr;
    QLineEdit *m_offsetX = nullptr;
    QLineEdit *m_offsetY = nullptr;
    QLineEdit *m_abstand4Bahn = nullptr;
    QLabel *m_picture = nullptr;
    QPushButton *m_druckerAuswahl = nullptr;
    QPushButton *m_probeDruck = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace tarvel::labelprinter
