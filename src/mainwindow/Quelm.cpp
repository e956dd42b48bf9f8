#include "mainwindow/Quelm.h"

#include "barcode/BarcodePicture.h"
#include "mainwindow/VorschauSeiten.h"
#include "labelprinter/BarWidthStep.h"
#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/RuntimeError.h"
#include "runs/Datei.h"
#include "runs/GespeicherteWahl.h"
#include "runs/Pruefung.h"
#include "runs/Vorschau.h"
#include "sheets/DateiLaserLabels.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace tarvel::mainwindow {

namespace BarcodePicture = barcode::BarcodePicture;
using platform::RuntimeError;
using runs::Art;
using runs::Datei;
using runs::DateiDruck;
using runs::GespeicherteWahl;
using sheets::Preis;

namespace {

const QString PdfDrucker = QString::fromLatin1(platform::PdfBackend::DeviceName);

} // namespace

Quelm::Quelm(QWidget *parent) : QWidget(parent)
{
    buildControls();
    Form_Load();
}

Quelm::~Quelm() = default;

QRect Quelm::tw(int left, int top, int width, int height) const
{
    const double sx = logicalDpiX() / 1440.0, sy = logicalDpiY() / 1440.0;
    return QRect(qRound(left * sx), qRound(top * sy), qRound(width * sx), qRound(height * sy));
}

void Quelm::buildControls()
{
    setObjectName(QStringLiteral("Quelm"));
    setWindowTitle(QStringLiteral("Barcode drucken"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(QIcon(BarcodePicture::draw(QSize(32, 32), QStringLiteral("T"), false)));
    setFixedSize(tw(0, 0, 4530, 6585).size());
    QFont small = font(); // the controls are sized for 8-point captions of Arial width
    small.setFamily(QStringLiteral("Liberation Sans"));
    small.setPointSizeF(8);
    setFont(small);

    const auto named = [](QWidget *w, const QString &name, const QRect &r) {
        w->setObjectName(name);
        w->setGeometry(r);
        return w;
    };
    const auto label = [&](QWidget *parent, const QString &name, const QString &text, const QRect &r) {
        auto *l = new QLabel(text, parent);
        named(l, name, r);
        return l;
    };

    // Created from the bottom of the stack up, so later ones stand over earlier ones.
    auto *framePreis1 = new QGroupBox(QStringLiteral("Preis 1"), this);
    named(framePreis1, QStringLiteral("FramePreis1"), tw(120, 120, 1335, 1815));

    m_gruppe1 = new QButtonGroup(this);
    const QStringList preise = {QStringLiteral("EK-Preis"), QStringLiteral("VK-Preis"),
                                QStringLiteral("Listenpreis"), QStringLiteral("leer")};
    for (int i = 0; i < 4; ++i) {
        m_option1[i] = new QRadioButton(preise[i], this);
        named(m_option1[i], QStringLiteral("Option1(%1)").arg(i), tw(240, 480 + 360 * i, 1095, 255));
        m_gruppe1->addButton(m_option1[i], i);
    }

    m_framePreis2 = new QGroupBox(QStringLiteral("Preis 2"), this);
    named(m_framePreis2, QStringLiteral("FramePreis2"), tw(1680, 120, 1335, 1815));
    m_gruppe2 = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        m_option2[i] = new QRadioButton(preise[i], m_framePreis2);
        named(m_option2[i], QStringLiteral("Option2(%1)").arg(i), tw(120, 360 + 360 * i, 1095, 255));
        m_gruppe2->addButton(m_option2[i], i);
    }

    auto *frame1 = new QGroupBox(QStringLiteral("Art"), this);
    named(frame1, QStringLiteral("Frame1"), tw(3240, 120, 1095, 1455));
    m_gruppe3 = new QButtonGroup(this);
    const QStringList arten = {QStringLiteral("Liste"), QStringLiteral("Label"), QStringLiteral("Laser")};
    for (int i = 0; i < 3; ++i) {
        m_option3[i] = new QRadioButton(arten[i], frame1);
        named(m_option3[i], QStringLiteral("Option3(%1)").arg(i), tw(120, 240 + 360 * i, 735, 375));
        m_gruppe3->addButton(m_option3[i], i);
    }

    m_drucken = new QPushButton(QStringLiteral("Drucken"), this);
    named(m_drucken, QStringLiteral("Drucken"), tw(3240, 1680, 1095, 375));
    m_probeDruck = new QPushButton(QStringLiteral("Probe Druck"), this);
    named(m_probeDruck, QStringLiteral("ProbeDruck"), tw(3240, 2040, 1095, 375));
    m_vorschau = new QPushButton(QStringLiteral("Vorschau"), this);
    named(m_vorschau, QStringLiteral("Vorschau"), tw(3240, 2400, 1095, 375));

    m_lagerfachNr = new QCheckBox(QStringLiteral("Lagerfachnummer drucken"), this);
    named(m_lagerfachNr, QStringLiteral("LagerfachNr"), tw(240, 2040, 2775, 255));

    auto *label3 = label(this, QStringLiteral("Label3"), QStringLiteral("Startlabel..................."),
                         tw(120, 2520, 1035, 255));
    m_startLabel = new QLineEdit(this);
    named(m_startLabel, QStringLiteral("StartLabel"), tw(1200, 2460, 855, 285));
    label3->setBuddy(m_startLabel);

    auto *label4 = label(this, QStringLiteral("Label4"), QStringLiteral("Währung..................."),
                         tw(120, 2880, 1035, 255));
    m_waehrung = new QComboBox(this);
    m_waehrung->setEditable(true);
    m_waehrung->setInsertPolicy(QComboBox::NoInsert);
    m_waehrung->setEditText(QStringLiteral("Combo1"));
    named(m_waehrung, QStringLiteral("Währung"), tw(1200, 2820, 855, 315));
    label4->setBuddy(m_waehrung);

    m_druckerFrame = new QGroupBox(this);
    named(m_druckerFrame, QStringLiteral("DruckerFrame"), tw(120, 3360, 4215, 1695));
    label(m_druckerFrame, QStringLiteral("Label1"), QStringLiteral("Strichbreite..................."),
          tw(120, 360, 1335, 255));
    label(m_druckerFrame, QStringLiteral("Label5"), QStringLiteral("Max. Zeichen........"),
          tw(120, 720, 1335, 255));
    auto *shape1 = new QFrame(m_druckerFrame);
    shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    named(shape1, QStringLiteral("Shape1"), tw(2400, 300, 1695, 735));
    m_strichbreite = new QLineEdit(m_druckerFrame);
    named(m_strichbreite, QStringLiteral("Strichbreite"), tw(1560, 300, 735, 285));
    m_strichbreite->installEventFilter(this);
    m_maxZeichen = new QLineEdit(m_druckerFrame);
    m_maxZeichen->setReadOnly(true);
    named(m_maxZeichen, QStringLiteral("MaxZeichen"), tw(1560, 660, 735, 285));
    auto *picture2 = new QLabel(m_druckerFrame);
    named(picture2, QStringLiteral("Picture2"), tw(2520, 480, 1500, 375));
    picture2->setPixmap(BarcodePicture::draw(picture2->size(), QStringLiteral("Tarvel"), false));
    m_druckerAuswahl = new QPushButton(QStringLiteral("Drucker Einstellungen"), m_druckerFrame);
    named(m_druckerAuswahl, QStringLiteral("DruckerAuswahl"), tw(120, 1200, 2175, 375));

    m_dateiFrame = new QGroupBox(this);
    named(m_dateiFrame, QStringLiteral("DateiFrame"), tw(120, 5160, 4215, 1335));
    label(m_dateiFrame, QStringLiteral("Label2"), QStringLiteral("Anzahl:"), tw(120, 360, 615, 255));
    m_anzahl = label(m_dateiFrame, QStringLiteral("Anzahl"), QString(), tw(720, 360, 1095, 255));
    m_dateiAuswahl = new QPushButton(QStringLiteral("Datei auswählen"), m_dateiFrame);
    named(m_dateiAuswahl, QStringLiteral("DateiAuswahl"), tw(120, 840, 1455, 375));

    auto *picture1 = new QLabel(this);
    named(picture1, QStringLiteral("Picture1"), tw(2160, 5400, 1920, 930));
    picture1->setPixmap(BarcodePicture::draw(picture1->size(), QStringLiteral("TARVEL"), true));

    // Keyboard order as designed; Drucken comes first and has the focus.
    const std::pair<QWidget *, int> order[] = {
        {m_drucken, 0},       {m_option1[3], 4},    {m_option1[2], 3},   {m_option1[1], 2},
        {m_option1[0], 5},    {m_option2[0], 7},    {m_option2[1], 8},   {m_option2[2], 9},
        {m_option2[3], 10},   {m_option3[0], 13},   {m_option3[1], 14},  {m_probeDruck, 15}, {m_vorschau, 16},
        {m_druckerAuswahl, 20}, {m_dateiAuswahl, 22}, {m_lagerfachNr, 24}, {m_option3[2], 25},
        {m_startLabel, 26},   {m_waehrung, 29},     {m_strichbreite, 32},
    };
    std::vector<std::pair<QWidget *, int>> sorted(std::begin(order), std::end(order));
    std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
    for (size_t i = 1; i < sorted.size(); ++i)
        setTabOrder(sorted[i - 1].first, sorted[i].first);
    m_maxZeichen->setFocusPolicy(Qt::NoFocus);
    m_drucken->setDefault(true);
    m_drucken->setFocus();

    connect(m_gruppe1, &QButtonGroup::idClicked, this, &Quelm::Option1_Click);
    connect(m_gruppe2, &QButtonGroup::idClicked, this, &Quelm::Option2_Click);
    connect(m_gruppe3, &QButtonGroup::idClicked, this, &Quelm::Option3_Click);
    connect(m_dateiAuswahl, &QPushButton::clicked, this, &Quelm::DateiAuswahl_Click);
    connect(m_druckerAuswahl, &QPushButton::clicked, this, &Quelm::DruckerAuswahl_Click);
    connect(m_drucken, &QPushButton::clicked, this, &Quelm::Drucken_Click);
    connect(m_probeDruck, &QPushButton::clicked, this, &Quelm::ProbeDruck_Click);
    connect(m_vorschau, &QPushButton::clicked, this, &Quelm::Vorschau_Click);
}

void Quelm::Form_Load()
{
    m_druckerFrame->setTitle(m_printer.DeviceName());
    m_dateiFrame->setTitle(QString(GespeicherteWahl::datei()).replace(u'&', QLatin1String("&&")));
    m_dateiFrame->setToolTip(QDir::toNativeSeparators(datei()));
    anzahlZeigen();
    waehlen(m_gruppe1, int(GespeicherteWahl::preis1()));
    waehlen(m_gruppe2, int(GespeicherteWahl::preis2()));
    waehlen(m_gruppe3, int(GespeicherteWahl::art()));
    InitStrichbreite(0);
    m_waehrung->addItems({QStringLiteral("DM"), QStringLiteral("€"), QStringLiteral("EUR")});
    m_waehrung->setEditText(QDate::currentDate().year() >= 2002 ? QStringLiteral("€") : QStringLiteral("DM"));
}

void Quelm::waehlen(QButtonGroup *gruppe, int index)
{
    gruppe->button(index)->setChecked(true);
    // Selecting a button runs its handler, as a click does.
    if (gruppe == m_gruppe1)
        Option1_Click(index);
    else if (gruppe == m_gruppe2)
        Option2_Click(index);
    else
        Option3_Click(index);
}

void Quelm::anzahlZeigen()
{
    Datei zaehler;
    try {
        m_anzahl->setText(QString::number(zaehler.GetAnzahl(datei())));
        m_anzahl->setToolTip({});
    } catch (const RuntimeError &e) {
        m_anzahl->setText(QStringLiteral("0"));
        m_anzahl->setToolTip(e.text());
    }
}

QString Quelm::datei() const
{
    // The title shows each "&" of the path doubled, so that none becomes a shortcut.
    return m_dateiFrame->title().replace(QLatin1String("&&"), QLatin1String("&"));
}

void Quelm::Option1_Click(int index)
{
    GespeicherteWahl::setPreis1(Preis(index));
}

void Quelm::Option2_Click(int index)
{
    GespeicherteWahl::setPreis2(Preis(index));
}

void Quelm::Option3_Click(int index)
{
    const Art art = Art(index);
    m_framePreis2->setEnabled(art == Art::Liste);
    m_probeDruck->setEnabled(art == Art::Label);
    QPalette palette = m_startLabel->palette();
    if (art != Art::Laser) {
        m_startLabel->setReadOnly(true);
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        m_startLabel->setText(QStringLiteral("1"));
    } else {
        m_startLabel->setReadOnly(false);
        palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Base));
    }
    m_startLabel->setPalette(palette);
    GespeicherteWahl::setArt(art);
}

QString Quelm::strichbreite() const { return m_strichbreite->text(); }
void Quelm::setStrichbreite(const QString &text) { m_strichbreite->setText(text); }
void Quelm::setMaxZeichen(const QString &text) { m_maxZeichen->setText(text); }

void Quelm::InitStrichbreite(qint16 breite)
{
    labelprinter::BarWidthStep::InitStrichbreite(m_printer, m_code, *this, breite);
}

void Quelm::Strichbreite_LostFocus()
{
    const QString refused = labelprinter::BarWidthStep::edited(m_printer, m_code, *this);
    if (!refused.isEmpty())
        report(QMessageBox::Warning, refused);
}

void Quelm::DateiAuswahl_Click()
{
    const QString aktuell = datei();
    const QString gewaehlt = m_dateiWahl ? m_dateiWahl(aktuell) : dateiDialogZeigen(aktuell);
    m_dateiFrame->setTitle(QString(gewaehlt).replace(u'&', QLatin1String("&&")));
    m_dateiFrame->setToolTip(QDir::toNativeSeparators(gewaehlt));
    GespeicherteWahl::setDatei(gewaehlt);
    anzahlZeigen();
}

QString Quelm::dateiDialogZeigen(const QString &aktuell)
{
    QFileDialog dialog(this, QStringLiteral("Barcode-Datei auswählen"));
    dialog.setNameFilters({QStringLiteral("Text (*.txt)"), QStringLiteral("Alle Dateien (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QFileInfo info(aktuell);
    if (!aktuell.isEmpty() && info.absoluteDir().exists()) {
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    } else {
        dialog.setDirectory(QDir::homePath());
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        return dialog.selectedFiles().constFirst();
    return aktuell;
}

void Quelm::DruckerAuswahl_Click()
{
    DruckerWahl aktuell = m_wahl;
    aktuell.drucker = platform::PrinterChoice::instance().current();
    const auto gewaehlt = m_druckerDialog ? m_druckerDialog(aktuell) : druckerDialogZeigen(aktuell);
    if (gewaehlt) {
        m_wahl = *gewaehlt;
        platform::PrinterChoice::instance().setCurrent(m_wahl.drucker.isEmpty() ? PdfDrucker : m_wahl.drucker);
    }
    druckerZeigen();
    InitStrichbreite(0);
}

void Quelm::druckerZeigen()
{
    // Copies chosen in the printer dialog hold for every later run: the frame says so.
    const QString name = m_printer.DeviceName();
    m_druckerFrame->setTitle(m_wahl.kopien > 1 ? QStringLiteral("%1, %2 Kopien").arg(name).arg(m_wahl.kopien) : name);
}

bool Quelm::startLabelGueltig()
{
    if (Art(m_gruppe3->checkedId()) != Art::Laser)
        return true;
    // Empty acts as 1, as the window leaves the box after a restart.
    const QString text = m_startLabel->text().trimmed();
    constexpr int plaetze = sheets::DateiLaserLabels::Grid.places();
    bool zahl = false;
    const int n = text.toInt(&zahl);
    if (text.isEmpty() || (zahl && n >= 1 && n <= plaetze))
        return true;
    report(QMessageBox::Warning,
           QStringLiteral("Startlabel „%1“ ist keine Labelnummer von 1 bis %2. Es wurde nichts gedruckt.")
               .arg(m_startLabel->text())
               .arg(plaetze));
    m_startLabel->setFocus();
    m_startLabel->selectAll();
    return false;
}

std::optional<Quelm::DruckerWahl> Quelm::druckerDialogZeigen(const DruckerWahl &aktuell)
{
    QPrinter printer(QPrinter::HighResolution);
    auto &choice = platform::PrinterChoice::instance();
    choice.prepareDialog(printer);
    printer.setCopyCount(std::max(1, aktuell.kopien));
    if (aktuell.seitenBereich) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(std::max(1, aktuell.vonSeite), std::max(1, aktuell.bisSeite));
    }
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Drucker Einstellungen"));
    // The dialog only settles the printer; "Drucken" in the window prints.
    if (auto *knoepfe = dialog.findChild<QDialogButtonBox *>())
        knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, 32767);
    if (aktuell.drucker == PdfDrucker) {
        // Once shown, offer the PDF entry (the last one), not the first system printer.
        QTimer::singleShot(0, &dialog, [&dialog] {
            auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
            if (printers && printers->count())
                printers->setCurrentIndex(printers->count() - 1);
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    DruckerWahl wahl;
    choice.takeDialog(printer);
    wahl.drucker = choice.current();
    wahl.kopien = printer.copyCount();
    wahl.seitenBereich = printer.printRange() == QPrinter::PageRange;
    wahl.vonSeite = printer.fromPage();
    wahl.bisSeite = printer.toPage();
    return wahl;
}

DateiDruck::Auswahl Quelm::auswahl() const
{
    DateiDruck::Auswahl a;
    a.preis1 = Preis(m_gruppe1->checkedId());
    a.preis2 = Preis(m_gruppe2->checkedId());
    a.waehrung = m_waehrung->currentText();
    a.lagerfach = m_lagerfachNr->isChecked();
    a.startLabel = m_startLabel->text();
    a.kopien = m_wahl.kopien;
    a.seitenBereich = m_wahl.seitenBereich;
    a.vonSeite = m_wahl.vonSeite;
    a.bisSeite = m_wahl.bisSeite;
    return a;
}

void Quelm::Drucken_Click()
{
    if (!startLabelGueltig())
        return;
    // The whole file is checked before the first page is drawn.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    runs::Pruefung pruefung(m_printer, m_code);
    const runs::Befunde befunde = pruefung.pruefen(Art(m_gruppe3->checkedId()), datei(), auswahl());
    QApplication::restoreOverrideCursor();
    // Notes alone (texts cut at a label's edge) ask nothing: the preview marks them.
    if (runs::Pruefung::hatWarnungen(befunde) && !befundeZeigen(befunde))
        return;
    drucken(pruefung.saetze());
}

bool Quelm::befundeZeigen(const runs::Befunde &befunde)
{
    QString bericht = runs::Pruefung::bericht(befunde, datei());
    const bool fehler = runs::Pruefung::hatFehler(befunde);
    bericht += fehler ? QStringLiteral("\nFehler verhindern den Druck: es wird nichts gedruckt.")
                      : QStringLiteral("\nDie markierten Labels zeigt die Vorschau.");
    const bool trotzdem = m_pruefDialog ? m_pruefDialog(befunde, bericht) : pruefDialogZeigen(befunde, bericht);
    return trotzdem && !fehler;
}

bool Quelm::pruefDialogZeigen(const runs::Befunde &befunde, const QString &bericht)
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Pruefung"));
    dialog.setWindowTitle(QStringLiteral("Prüfung vor dem Druck"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *liste = new QPlainTextEdit(bericht, &dialog);
    liste->setReadOnly(true);
    liste->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    liste->setMinimumSize(560, 260);
    layout->addWidget(liste);
    auto *knoepfe = new QDialogButtonBox(&dialog);
    if (runs::Pruefung::hatFehler(befunde)) {
        knoepfe->addButton(QDialogButtonBox::Ok);
    } else {
        knoepfe->addButton(QStringLiteral("Trotzdem drucken"), QDialogButtonBox::AcceptRole);
        knoepfe->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)->setDefault(true);
    }
    connect(knoepfe, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(knoepfe);
    return dialog.exec() == QDialog::Accepted && !runs::Pruefung::hatFehler(befunde);
}

void Quelm::Vorschau_Click()
{
    if (!startLabelGueltig())
        return;
    std::unique_ptr<QDialog> vorschau = vorschauDialog();
    const bool drucken = m_vorschauZeigen ? m_vorschauZeigen(*vorschau) : vorschau->exec() == QDialog::Accepted;
    const auto *seiten = vorschau->findChild<VorschauSeiten *>(QStringLiteral("Seiten"));
    // "Drucken" waits for the check; until then its findings are still being written.
    const bool geprueft = seiten->geprueft();
    const runs::Vorschau::Pruefergebnis pruefung = geprueft ? seiten->pruefung() : runs::Vorschau::Pruefergebnis();
    vorschau.reset();
    // What the preview showed, findings and all, was seen: its warnings need no second question.
    if (drucken && geprueft && !runs::Pruefung::hatFehler(pruefung.befunde))
        this->drucken(pruefung.saetze);
}

std::unique_ptr<QDialog> Quelm::vorschauDialog()
{
    auto dialog = std::make_unique<QDialog>(this);
    dialog->setObjectName(QStringLiteral("VorschauDialog"));
    dialog->setWindowTitle(QStringLiteral("Vorschau – %1").arg(QFileInfo(datei()).fileName()));
    auto *layout = new QVBoxLayout(dialog.get());

    // The pages as the printer the run goes to lays them out, drawn as they come
    // into view; the check runs meanwhile, and its marks follow.
    const auto lauf = std::make_shared<const runs::Vorschau>(
        Art(m_gruppe3->checkedId()), datei(), auswahl(), m_code.DrawWidth(), runs::Befunde(),
        runs::Vorschau::einrichtung(platform::PrinterChoice::instance().current()));
    auto *seiten = new VorschauSeiten(lauf, dialog.get());
    seiten->setObjectName(QStringLiteral("Seiten"));
    seiten->setMinimumSize(640, 720);
    layout->addWidget(seiten);

    auto *hinweis = new QLabel(QStringLiteral("Die Datei wird geprüft …"), dialog.get());
    hinweis->setObjectName(QStringLiteral("Befunde"));
    hinweis->setWordWrap(true);
    layout->addWidget(hinweis);

    auto *knoepfe = new QDialogButtonBox(dialog.get());
    auto *drucken = knoepfe->addButton(QStringLiteral("Drucken"), QDialogButtonBox::AcceptRole);
    drucken->setObjectName(QStringLiteral("VorschauDrucken"));
    drucken->setEnabled(false); // until the check is done
    knoepfe->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    connect(knoepfe, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
    layout->addWidget(knoepfe);

    const QString name = datei();
    connect(seiten, &VorschauSeiten::geprueftFertig, hinweis, [seiten, hinweis, drucken, name] {
        const runs::Befunde &befunde = seiten->pruefung().befunde;
        const bool fehler = runs::Pruefung::hatFehler(befunde);
        if (befunde.isEmpty())
            hinweis->setText(QStringLiteral("Die Prüfung fand nichts; so wird gedruckt."));
        else
            hinweis->setText(runs::Pruefung::bericht(befunde, name).section(u'\n', 0, 0)
                             + (fehler ? QStringLiteral(" Rot markiert; wegen der Fehler wird nichts gedruckt.")
                                       : QStringLiteral(" Rot markiert.")));
        hinweis->setToolTip(runs::Pruefung::bericht(befunde, name));
        drucken->setEnabled(!fehler); // the count, done later, may still refuse it
    });
    // A file the run cannot read is told where the pages would be, and prints nothing.
    connect(seiten, &VorschauSeiten::seitenGezaehlt, hinweis, [seiten, hinweis, drucken] {
        if (seiten->zaehlErgebnis().art == DateiDruck::Ergebnis::Fehler) {
            hinweis->setText(seiten->zaehlErgebnis().meldung);
            drucken->setEnabled(false);
        }
    });
    return dialog;
}

void Quelm::drucken(qint64 saetze)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The copy count 0 becomes 1 for this and later runs.
    if (m_wahl.kopien == 0)
        m_wahl.kopien = 1;

    DateiDruck druck(m_printer, m_code);
    druck.setGesamt(saetze);
    QElapsedTimer uhr;
    uhr.start();
    std::unique_ptr<QProgressDialog> fortschritt;
    qint64 zuletzt = -1000;
    druck.setFortschritt([&](qint64 erledigt, qint64 gesamt) {
        // A short run shows no progress; a longer one after half a second.
        if (!fortschritt && uhr.elapsed() >= 500 && erledigt < gesamt) {
            fortschritt = std::make_unique<QProgressDialog>(QString(), QStringLiteral("Abbrechen"), 0,
                                                            int(std::min<qint64>(gesamt, INT_MAX)), this);
            fortschritt->setWindowTitle(QStringLiteral("Barcode drucken"));
            fortschritt->setWindowModality(Qt::WindowModal);
            fortschritt->setMinimumDuration(0);
            fortschritt->setAutoClose(false);
            fortschritt->setAutoReset(false);
            QApplication::setOverrideCursor(Qt::ArrowCursor); // the dialog's button stays usable
            fortschritt->show();
        }
        if (fortschritt && (uhr.elapsed() - zuletzt >= 50 || erledigt == gesamt)) {
            zuletzt = uhr.elapsed();
            fortschritt->setLabelText(QStringLiteral("Datensatz %1 von %2 gedruckt").arg(erledigt).arg(gesamt));
            fortschritt->setValue(int(std::min<qint64>(erledigt, INT_MAX)));
            QCoreApplication::processEvents();
            if (fortschritt->wasCanceled())
                return false;
        }
        return true;
    });

    const DateiDruck::Ergebnis ergebnis = druck.Drucken(Art(m_gruppe3->checkedId()), datei(), auswahl());
    if (fortschritt) {
        fortschritt.reset();
        QApplication::restoreOverrideCursor();
    }
    QApplication::restoreOverrideCursor();
    zeigen(ergebnis);
}

void Quelm::ProbeDruck_Click()
{
    DateiDruck druck(m_printer, m_code);
    zeigen(druck.ProbeDrucken(auswahl()));
}

void Quelm::zeigen(const DateiDruck::Ergebnis &ergebnis)
{
    if (ergebnis.art == DateiDruck::Ergebnis::Fehler) {
        report(QMessageBox::Warning, ergebnis.meldung);
        return;
    }
    QString info;
    if (ergebnis.ok() && QFileInfo(ergebnis.ziel).isFile())
        info = QStringLiteral("Gespeichert als %1").arg(QDir::toNativeSeparators(ergebnis.ziel));
    report(QMessageBox::Information, ergebnis.meldung, info);
}

void Quelm::report(QMessageBox::Icon icon, const QString &text, const QString &info)
{
    if (m_meldung) {
        m_meldung(icon, text, info);
        return;
    }
    QMessageBox box(icon, QStringLiteral("Tarvel"), text, QMessageBox::Ok, this);
    box.setInformativeText(info);
    box.exec();
}

void Quelm::Warten()
{
    m_beendet = false;
    QEventLoop loop;
    connect(this, &Quelm::geschlossen, &loop, &QEventLoop::quit);
    while (!m_beendet)
        loop.exec();
}

void Quelm::closeEvent(QCloseEvent *event)
{
    m_beendet = true;
    event->accept();
    emit geschlossen();
}

bool Quelm::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the box counts; switching to another window or a popup does not.
    if (watched == m_strichbreite && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Strichbreite_LostFocus();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarvel::mainwindow
