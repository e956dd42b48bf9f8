#include "labelprinter/SetupFrm.h"

#include "labelprinter/MediaFit.h"
#include "platform/PageSetup.h"

#include "barcode/BarcodePicture.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthStep.h"
#include "labelprinter/LabelLayouts.h"
#include "labelprinter/PrintErrorText.h"
#include "platform/FontMetricsCache.h"
#include "platform/Numbers.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>

Q_LOGGING_CATEGORY(lcSetup, "tarvel.setup")

namespace tarvel::labelprinter {

using platform::RuntimeError;
namespace Numbers = platform::Numbers;

namespace {

const QString LoadApp = QStringLiteral("TarVel"); // the load steps' spelling; the store ignores case
const QString SaveApp = QStringLiteral("Tarvel");
const QString Section = QStringLiteral("System");

/// A place in dialog twips: left, top, width, height.
struct Place
{
    int left, top, width, height;
};

constexpr Place FramePlace{0, 2640, 5175, 2415};
constexpr int InnerWidth = 5280;
constexpr int InnerHeight = 5625;

} // namespace

SetupFrm::SetupFrm(platform::Printer &printer, barcode::Code128 &code, QWidget *parent)
    : QWidget(parent, Qt::Window), m_printer(printer), m_code(code), m_interactive(screenAvailable())
{
    setObjectName(QStringLiteral("SetupFrm"));
    setWindowTitle(QStringLiteral("Tarvel"));
    buildControls();
    // Without a screen nobody sees the dialog: painting it into an offscreen
    // buffer on every record write cost the server more than the label itself.
    // It stays shown (focus and activation behave as before), it just draws nothing.
    if (!m_interactive)
        setUpdatesEnabled(false);
    Form_Load();
}

SetupFrm::~SetupFrm() = default;

bool SetupFrm::screenAvailable()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void SetupFrm::buildControls()
{
    const double sx = logicalDpiX() / 1440.0;
    const double sy = logicalDpiY() / 1440.0;
    auto place = [&](QWidget *w, const Place &pl, const Place &origin = {0, 0, 0, 0}) {
        w->setGeometry(qRound((pl.left - origin.left) * sx), qRound((pl.top - origin.top) * sy),
                       qRound(pl.width * sx), qRound(pl.height * sy));
    };
    setFixedSize(qRound(InnerWidth * sx), qRound(InnerHeight * sy));

    QFont labelFont(platform::FontMetricsCache::familyFor(QStringLiteral("Arial")));
    labelFont.setPointSizeF(9.75);
    QFont valueFont = labelFont;
    valueFont.setBold(true);
    setFont(labelFont);

    auto label = [&](QWidget *parent, const char *name, const QString &caption, const Place &pl,
                     const Place &origin = {0, 0, 0, 0}) {
        auto *l = new QLabel(caption, parent);
        l->setObjectName(QLatin1String(name));
        place(l, pl, origin);
        return l;
    };

    // A caption reaches to just before the box or value beside it (\a right, in
    // dialog twips). Where its words are wider than that (the fonts here run
    // wider than those the dialog was drawn for), its type gets smaller rather
    // than the box covering their end; only the dot leaders may be cut.
    auto caption = [&](QWidget *parent, const char *name, const QString &text, const Place &pl, int right,
                       const Place &origin = {0, 0, 0, 0}) {
        constexpr int Gap = 45;
        QLabel *l = label(parent, name, text, {pl.left, pl.top, right - Gap - pl.left, pl.height}, origin);
        QString words = text; // without its dot leaders
        while (words.endsWith(u'.'))
            words.chop(1);
        QFont font = l->font();
        while (QFontMetrics(font).horizontalAdvance(words) > l->width() && font.pointSizeF() > 6)
            font.setPointSizeF(font.pointSizeF() - 0.25);
        l->setFont(font);
        return l;
    };

    // The record: caption on the left, the value in bold on the right.
    struct Row
    {
        const char *captionName;
        const char *caption;
        const char *valueName;
        QString LabelData::*field;
        int top;
    };
    const Row rows[6] = {
        {"Label8", "Artikel-Nummer................", "ArtikelNr", &LabelData::ArtikelNr, 240},
        {"Label6", "Preis1..........................", "Preis1", &LabelData::Preis1, 600},
        {"Label4", "Preis2..........................", "Preis2", &LabelData::Preis2, 960},
        {"Label3", "Matchcode................", "MatchCode", &LabelData::MatchCode, 1320},
        {"Label7", "Warengruppe..........................", "WarenGruppe", &LabelData::WarenGruppe, 1680},
        {"Label9", "ISBN/EAN..........................", "ISBN", &LabelData::ISBN, 2040},
    };
    for (int i = 0; i < 6; ++i) {
        const Row &r = rows[i];
        caption(this, r.captionName, QString::fromUtf8(r.caption), {240, r.top, 1695, 255}, 2160);
        QLabel *value = label(this, r.valueName, QString(), {2160, r.top, 2895, 255});
        // Fixed, as placed: a new value then does not post the dialog a layout
        // request on every record write.
        value->setFixedSize(value->size());
        value->setFont(valueFont);
        m_values[i] = {r.field, value};
    }

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("DruckerFrame"));
    place(m_frame, FramePlace);

    auto box = [&](QWidget *parent, const char *name, const Place &pl, const Place &origin) {
        auto *e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        place(e, pl, origin);
        e->installEventFilter(this);
        return e;
    };
    constexpr int Boxes = 1560;
    caption(m_frame, "Label1", QStringLiteral("Strichbreite..................."), {120, 3000, 1335, 255}, Boxes, FramePlace);
    m_strichbreite = box(m_frame, "Strichbreite", {1560, 3000, 735, 285}, FramePlace);
    caption(m_frame, "Label5", QStringLiteral("Max. Zeichen........"), {120, 3360, 1335, 255}, Boxes, FramePlace);
    m_maxZeichen = box(m_frame, "MaxZeichen", {1560, 3360, 735, 315}, FramePlace);
    m_maxZeichen->setReadOnly(true);
    m_maxZeichen->setFocusPolicy(Qt::NoFocus);
    QPalette grey = m_maxZeichen->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Button));
    m_maxZeichen->setPalette(grey);
    caption(m_frame, "Label2", QStringLiteral("Rand Horizontal...."), {120, 3840, 1335, 255}, Boxes, FramePlace);
    m_offsetX = box(m_frame, "OffsetXCtrl", {1560, 3840, 735, 285}, FramePlace);
    caption(m_frame, "Label10", QStringLiteral("Rand Vertikal........"), {120, 4200, 1335, 255}, Boxes, FramePlace);
    m_offsetY = box(m_frame, "OffsetYCtrl", {1560, 4200, 735, 285}, FramePlace);
    caption(m_frame, "Label11", QStringLiteral("4 bahning Abstand"), {120, 4560, 1455, 255}, Boxes, FramePlace);

    m_picture = new QLabel(m_frame);
    m_picture->setObjectName(QStringLiteral("Picture2"));
    place(m_picture, {2520, 2880, 2535, 840}, FramePlace);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setPixmap(barcode::BarcodePicture::draw(QSize(169, 56), QStringLiteral("Tarvel"), true));

    // Which layouts fit the current printer's labels.
    m_passt = new QLabel(m_frame);
    m_passt->setObjectName(QStringLiteral("PasstCtrl"));
    place(m_passt, {2520, 4260, 2535, 780}, FramePlace);
    m_passt->setWordWrap(true);
    m_passt->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_druckerAuswahl = new QPushButton(QStringLiteral("Drucker Einstellungen"), m_frame);
    m_druckerAuswahl->setObjectName(QStringLiteral("DruckerAuswahl"));
    place(m_druckerAuswahl, {2520, 3840, 2535, 375}, FramePlace);

    // This box stands on the frame but belongs to the dialog itself.
    m_abstand4Bahn = box(this, "Abstand4BahnCtrl", {1560, 4560, 735, 285}, {0, 0, 0, 0});
    m_abstand4Bahn->raise();

    m_probeDruck = new QPushButton(QStringLiteral("Probe Druck"), this);
    m_probeDruck->setObjectName(QStringLiteral("ProbeDruck"));
    place(m_probeDruck, {1560, 5160, 1095, 375});
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    place(m_ok, {2880, 5160, 615, 375});

    // Tab order as the controls are listed: the bar width first.
    setTabOrder(m_strichbreite, m_offsetX);
    setTabOrder(m_offsetX, m_offsetY);
    setTabOrder(m_offsetY, m_abstand4Bahn);
    setTabOrder(m_abstand4Bahn, m_druckerAuswahl);
    setTabOrder(m_druckerAuswahl, m_probeDruck);
    setTabOrder(m_probeDruck, m_ok);

    // The box's own modified flag goes with every text a client's label writes
    // into it; the user's typing is what counts.
    connect(m_strichbreite, &QLineEdit::textEdited, this, [this] { m_strichbreiteEdited = true; });
    connect(m_druckerAuswahl, &QPushButton::clicked, this, &SetupFrm::DruckerAuswahl_Click);
    connect(m_probeDruck, &QPushButton::clicked, this, &SetupFrm::ProbeDruck_Click);
    connect(m_ok, &QPushButton::clicked, this, &SetupFrm::OK_Click);
}

void SetupFrm::Form_Load()
{
    m_frame->setTitle(m_printer.DeviceName());
    showFit();
    InitStrichbreite(platform::SettingsStore::drawWidth());
    using platform::SettingsStore;
    m_offsetX->setText(SettingsStore::read(LoadApp, Section, QStringLiteral("OffsetX"), 0));
    m_offsetY->setText(SettingsStore::read(LoadApp, Section, QStringLiteral("OffsetY"), 0));
    m_abstand4Bahn->setText(SettingsStore::read(LoadApp, Section, QStringLiteral("Abstand4Bahn"), 0));
}

void SetupFrm::showFit()
{
    const platform::PageSetup *setup = m_printer.pageSetup();
    if (!setup || !setup->rasterised) {
        m_passt->clear(); // sheets of paper take every layout
        return;
    }
    if (!setup->mediaProblem.isEmpty()) {
        m_passt->setText(QStringLiteral("Etikettenformat unbekannt"));
        m_passt->setToolTip(setup->mediaProblem);
        return;
    }
    QStringList passt, nicht, warum;
    for (MediaFit::Layout layout : MediaFit::all()) {
        const MediaFit::Result r = MediaFit::check(*setup, layout, m_data, strichbreite());
        (r.fits ? passt : nicht) << MediaFit::name(layout) + (r.fits && r.landscape ? QStringLiteral(" (quer)") : QString());
        if (!r.fits)
            warum << r.message;
    }
    m_passt->setText(QStringLiteral("Passt: %1\nNicht: %2")
                         .arg(passt.isEmpty() ? QStringLiteral("nichts") : passt.join(QStringLiteral(", ")),
                              nicht.isEmpty() ? QStringLiteral("–") : nicht.join(QStringLiteral(", "))));
    m_passt->setToolTip(warum.join(u'\n'));
}

auto SetupFrm::userAction() -> QScopeGuard<std::function<void()>>
{
    emit actionStarted();
    return qScopeGuard(std::function<void()>([this] { emit actionFinished(); }));
}

QString SetupFrm::strichbreite() const { return m_strichbreite->text(); }
void SetupFrm::setStrichbreite(const QString &text) { m_strichbreite->setText(text); }
void SetupFrm::setMaxZeichen(const QString &text) { m_maxZeichen->setText(text); }

void SetupFrm::InitStrichbreite(qint16 width)
{
    BarWidthStep::InitStrichbreite(m_printer, m_code, *this, width);
}

void SetupFrm::setRecordField(QString LabelData::*field, const QString &text)
{
    m_data.*field = text;
    for (const ValueLabel &v : m_values) {
        if (v.field == field)
            v.label->setText(text);
    }
}

void SetupFrm::setText(QString LabelData::*field, const QString &text)
{
    m_data.*field = text;
}

qint32 SetupFrm::boxNumber(const QLineEdit *box) const
{
    try {
        return Numbers::toInt32(box->text());
    } catch (RuntimeError &e) {
        e.note(QStringLiteral("Feld %1 im Einrichtungsdialog: \"%2\"").arg(box->objectName(), box->text()));
        throw;
    }
}

qint32 SetupFrm::OffsetX() const { return boxNumber(m_offsetX); }
qint32 SetupFrm::OffsetY() const { return boxNumber(m_offsetY); }
qint32 SetupFrm::Abstand4Bahn() const { return boxNumber(m_abstand4Bahn); }

void SetupFrm::Setup()
{
    m_done = false;
    if (!m_interactive) {
        qCInfo(lcSetup) << "Kein Bildschirm: Der Einrichtungsdialog kann nicht gezeigt werden, Setup kehrt sofort zurück.";
        m_done = true;
        return;
    }
    while (!m_done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void SetupFrm::Etikett()
{
    LabelLayouts(m_printer, m_code, *this, m_data).Etikett();
}

bool SetupFrm::EinLabel() { return trapped(&LabelLayouts::EinLabel); }
bool SetupFrm::KanuEtikett() { return trapped(&LabelLayouts::KanuEtikett); }

void SetupFrm::Abholschein(const QStringList &Zeile, const QString &zuHaenden, const QString &Anrede,
                           qint16 SeitenProBlatt)
{
    labelprinter::Abholschein(m_printer, m_code, *this, m_data).Drucke(Zeile, zuHaenden, Anrede, SeitenProBlatt);
}

bool SetupFrm::trapped(void (LabelLayouts::*layout)())
{
    try {
        LabelLayouts layouts(m_printer, m_code, *this, m_data);
        (layouts.*layout)();
        return true;
    } catch (const RuntimeError &e) {
        report(QMessageBox::Warning, printErrorText(e));
        if (!m_interactive)
            throw; // nobody read the box: the caller must learn that the label failed
        return false;
    }
}

void SetupFrm::report(QMessageBox::Icon icon, const QString &text)
{
    emit reported(text, icon);
    if (!m_interactive) {
        const QString line = QString(text).replace(MessageBreak, QStringLiteral(" ")).replace(u'\n', u' ');
        if (icon == QMessageBox::Information)
            qCInfo(lcSetup).noquote() << line;
        else
            qCWarning(lcSetup).noquote() << line;
        return;
    }
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.exec();
}

void SetupFrm::unload()
{
    m_done = true;
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    m_unloaded = true;
    hide();
}

void SetupFrm::closeEvent(QCloseEvent *event)
{
    // Closing the window unloads the dialog as far as a waiting Setup is
    // concerned; the object keeps its record and shows the dialog again on Setup.
    const auto action = userAction();
    m_done = true;
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    event->accept();
}

bool SetupFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_unloaded) {
        const auto action = userAction();
        if (watched == m_strichbreite)
            Strichbreite_LostFocus();
        else if (watched == m_offsetX)
            OffsetXCtrl_LostFocus();
        else if (watched == m_offsetY)
            OffsetYCtrl_LostFocus();
        else if (watched == m_abstand4Bahn)
            Abstand4BahnCtrl_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

void SetupFrm::saveOffset(QLineEdit *box, const QString &key)
{
    // As with the bar width: only an edit is stored, never a value this dialog
    // has held since another one stored a newer.
    if (!box->isModified())
        return;
    box->setModified(false);
    try {
        platform::SettingsStore::write(SaveApp, Section, key, Numbers::numberText(Numbers::leadingNumber(box->text())));
    } catch (RuntimeError &e) {
        e.note(QStringLiteral("\"%1\"").arg(box->text()));
        report(QMessageBox::Warning, QStringLiteral("%1 wurde nicht gespeichert:\n%2").arg(key, e.text()));
    }
}

void SetupFrm::OffsetXCtrl_LostFocus() { saveOffset(m_offsetX, QStringLiteral("OffsetX")); }
void SetupFrm::OffsetYCtrl_LostFocus() { saveOffset(m_offsetY, QStringLiteral("OffsetY")); }
void SetupFrm::Abstand4BahnCtrl_LostFocus() { saveOffset(m_abstand4Bahn, QStringLiteral("Abstand4Bahn")); }

void SetupFrm::Strichbreite_LostFocus()
{
    // Only an edit is stored: focus also leaves when another object's dialog
    // appears, and this box may hold a width older than the user's last one.
    if (!m_strichbreiteEdited)
        return;
    m_strichbreiteEdited = false;
    const QString refused = BarWidthStep::edited(m_printer, m_code, *this);
    if (!refused.isEmpty()) {
        report(QMessageBox::Warning, refused);
        return;
    }
    platform::SettingsStore::write(SaveApp, Section, QStringLiteral("DrawWidth"),
                                   Numbers::numberText(Numbers::leadingNumber(m_strichbreite->text())));
}

void SetupFrm::DruckerAuswahl_Click()
{
    if (m_unloaded)
        return;
    const auto action = userAction();
    if (m_interactive) {
        auto &choice = platform::PrinterChoice::instance();
        QPrinter qprinter(QPrinter::HighResolution);
        choice.prepareDialog(qprinter);
        QPrintDialog dialog(&qprinter, this);
        dialog.setWindowTitle(QStringLiteral("Drucker wählen"));
        // The dialog only chooses the printer; it prints nothing.
        if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
            buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
        if (dialog.exec() == QDialog::Accepted)
            choice.takeDialog(qprinter);
    } else {
        qCInfo(lcSetup) << "Kein Bildschirm: Der Druckerdialog kann nicht gezeigt werden, der Drucker bleibt"
                        << platform::PrinterChoice::instance().current();
    }
    try {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        m_frame->setTitle(m_printer.DeviceName());
        showFit();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        InitStrichbreite(0);
    } catch (const RuntimeError &e) {
        report(QMessageBox::Warning, QStringLiteral("Der Drucker konnte nicht eingestellt werden:\n%1").arg(e.text()));
    }
}

void SetupFrm::ProbeDruck_Click()
{
    if (m_unloaded)
        return;
    const auto action = userAction();
    bool drawn = false;
    try {
        // Labels of the object's job stand on the open page: the test label
        // takes a page of its own instead of printing over the last one.
        if (m_printer.hasOpenJob())
            m_printer.NewPage();
        m_printer.plainText(); // not the italic blue of a list header before it
    } catch (const RuntimeError &e) {
        report(QMessageBox::Warning, printErrorText(e));
    }
    try {
        drawn = EinLabel();
    } catch (const RuntimeError &) {
        // Already logged by EinLabel; no success message follows.
    }
    QString where;
    try {
        where = m_printer.EndDoc();
        if (!where.isEmpty())
            qCInfo(lcSetup).noquote() << "Test-Label ausgegeben:" << where;
    } catch (const RuntimeError &e) {
        drawn = false;
        report(QMessageBox::Warning, printErrorText(e));
    }
    // As the main window's test label: a PDF is named, so it can be found.
    if (drawn)
        report(QMessageBox::Information,
               QStringLiteral("Test-Label erfolgreich gedruckt.")
                   + (QFileInfo(where).isFile() ? QStringLiteral("\nGespeichert als %1").arg(QDir::toNativeSeparators(where))
                                                : QString()));
}

void SetupFrm::OK_Click()
{
    m_done = true;
}

} // namespace tarvel::labelprinter
