#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "platform/PdfBackend.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/QtGerman.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"
#include "support/BarcodeDecoder.h"
#include "support/PdfPages.h"

#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvel::platform;
using tarvel::test::PdfPages;

namespace {
QList<RecordedOp> ofKind(const RecordingBackend &rec, RecordedOp::Kind kind)
{
    QList<RecordedOp> out;
    for (const auto &op : rec.ops())
        if (op.kind == kind)
            out << op;
    return out;
}
/// The size of each page of a PDF in points, as pdfinfo reads it ("595 x 842").
QStringList pageSizes(const QString &path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QStringLiteral("-l"), QStringLiteral("99"), path});
    info.waitForFinished();
    QStringList sizes;
    static const QRegularExpression size(QStringLiteral("Page +\\d+ size: +(\\d+)(?:\\.\\d+)? x (\\d+)"));
    for (auto it = size.globalMatch(QString::fromUtf8(info.readAllStandardOutput())); it.hasNext();) {
        const auto m = it.next();
        sizes << m.captured(1) + QStringLiteral(" x ") + m.captured(2);
    }
    return sizes;
}
} // namespace

class TestPrinter : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;
    QTemporaryDir m_settings;
    RecordingBackend *m_rec = nullptr;

    QStringList jobFiles() const { return QDir(m_jobs.path()).entryList(QDir::Files | QDir::Hidden); }
    std::unique_ptr<Printer> recorded(double dpi = 300)
    {
        auto backend = std::make_unique<RecordingBackend>(dpi);
        m_rec = backend.get();
        return std::make_unique<Printer>(std::move(backend));
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        PdfBackend::setJobsFolder(m_jobs.path());
    }
    void init()
    {
        for (const QString &f : jobFiles())
            QFile::remove(m_jobs.filePath(f));
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear();
    }

    void printJoinsItemsAndBreaksLines()
    {
        auto p = recorded();
        p->setCurrentX(100);
        p->setCurrentY(200);
        p->PrintInline("Titel:");
        const double afterCaption = 100 + p->TextWidth("Titel:");
        p->PrintInline("A");
        p->Print("B");
        QCOMPARE(p->CurrentX(), 0.0);
        QCOMPARE(p->CurrentY(), 200 + p->TextHeight());
        const auto texts = ofKind(*m_rec, RecordedOp::Text);
        QCOMPARE(texts[1].x, afterCaption);
        QCOMPARE(texts[2].x, afterCaption + p->TextWidth("A"));
        QCOMPARE(texts[2].y, 200.0);
        // The line height is that of the font in force at the line's end.
        p->setFontSize(8);
        p->PrintInline("klein");
        p->setFontSize(16);
        const double y = p->CurrentY();
        p->Print();
        QCOMPARE(p->CurrentY(), y + p->TextHeight());
        QCOMPARE(Printer::NumberItem(5), QStringLiteral(" 5 "));
        QCOMPARE(Printer::NumberItem(-5), QStringLiteral("-5 "));
    }

    void fontSizeIsDeviceIndependent_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::newRow("203") << 203.0;
        QTest::newRow("600") << 600.0;
    }
    void fontSizeIsDeviceIndependent()
    {
        QFETCH(double, dpi);
        auto p = recorded(dpi);
        p->setFontSize(16);
        // Liberation Sans: line spacing 1.1499 em, em = 16 pt = 320 twips.
        QVERIFY2(qAbs(p->TextHeight() - 367.97) < 1.0, qPrintable(QString::number(p->TextHeight())));
        QCOMPARE(p->TwipsPerPixelX(), 1440.0 / dpi);
        p->setFontName("Courier New");
        p->setFontSize(20);
        // Fixed pitch: each character is 0.6 em = 240 twips at 20 pt.
        QVERIFY(qAbs(p->TextWidth("12345") - 1200.0) < 1.0);
    }

    void pdfTextHasTheNominalSize()
    {
        Printer p(std::make_unique<PdfBackend>());
        p.setFontSize(16);
        p.setCurrentX(1440);
        p.setCurrentY(1440);
        p.Print("HHHH");
        const QImage page = PdfPages(p.EndDoc()).render(1, 300);
        // Cap height of Liberation Sans is 0.688 em: 16 pt at 300 dpi is 45.9 pixels.
        QList<int> inked;
        for (int y = 250; y < 450; ++y)
            for (int x = 300; x < 700; ++x)
                if (page.constScanLine(y)[x] < 128 && (inked.isEmpty() || inked.last() != y))
                    inked << y;
        QVERIFY2(qAbs(inked.size() - 45.9) <= 1.5, qPrintable(QString::number(inked.size())));
    }

    void jobsAndPages()
    {
        auto p = recorded();
        QCOMPARE(p->EndDoc(), QString()); // nothing printed, nothing delivered
        p->Print("a");
        QVERIFY(p->hasOpenJob());
        p->NewPage();
        p->NewPage(); // the break is pending already: no blank page
        p->Print("b");
        p->NewPage(); // right before the end: adds nothing
        p->EndDoc();
        QCOMPARE(ofKind(*m_rec, RecordedOp::NewPage).size(), 1);
        QCOMPARE(m_rec->ops().first().kind, RecordedOp::BeginJob);
        QCOMPARE(m_rec->ops().last().kind, RecordedOp::EndJob);
        // A landscape wish holds for a page not yet begun, and ends with it or with the job.
        p->wantLandscapePage();
        p->KillDoc();
        p->Print("hoch");
        p->wantLandscapePage(); // the page has begun: no effect
        p->NewPage();
        p->wantLandscapePage();
        p->Print("quer");
        p->NewPage();
        p->Print("hoch");
        QCOMPARE(ofKind(*m_rec, RecordedOp::BeginJob).last().landscape, false);
        const auto pages = ofKind(*m_rec, RecordedOp::NewPage).last(2);
        QCOMPARE(QList<bool>({pages[0].landscape, pages[1].landscape}), QList<bool>({true, false}));

        // A PDF job appears complete and alone; a cancelled or abandoned one leaves nothing.
        {
            Printer abandoned(std::make_unique<PdfBackend>());
            abandoned.Print("offen");
        }
        Printer pdf(std::make_unique<PdfBackend>());
        pdf.Print("verworfen");
        pdf.KillDoc();
        QCOMPARE(jobFiles(), QStringList());
        for (int i = 1; i <= 3; ++i) {
            pdf.Print(QStringLiteral("Seite %1").arg(i));
            pdf.NewPage();
        }
        const QString path = pdf.EndDoc();
        QCOMPARE(jobFiles(), QStringList{QFileInfo(path).fileName()});
        QVERIFY(path.startsWith(m_jobs.filePath("Tarvel-")));
        QCOMPARE(PdfPages(path).pageCount(), 3);
        QVERIFY(PdfPages(path).text(3).contains("Seite 3"));
        QVERIFY(!PdfPages(path).text().contains("verworfen"));
    }

    void barsAndTurnedText()
    {
        auto p = recorded();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, p->setDrawWidth(0));
        p->setDrawWidth(4);
        p->Line(10, 20, 0, 680);
        const auto lines = ofKind(*m_rec, RecordedOp::Line);
        QVERIFY(lines.size() == 1 && lines[0].isBar());
        QCOMPARE(lines[0].penWidth, 4.0);
        // A line leaves the position at its end point.
        p->Line(10, 20, 300, -15);
        QCOMPARE(QPointF(p->CurrentX(), p->CurrentY()), QPointF(310, 5));
        QCOMPARE(QPointF(ofKind(*m_rec, RecordedOp::Line).last().x2, ofKind(*m_rec, RecordedOp::Line).last().y2),
                 QPointF(310, 5));
        p->setCurrentX(100);
        p->setCurrentY(5000);
        p->setFontBold(true);
        p->PrintRotated("Müller", 14 * 24);
        QCOMPARE(QPointF(p->CurrentX(), p->CurrentY()), QPointF(100, 5000));
        const auto turned = ofKind(*m_rec, RecordedOp::RotatedText);
        QCOMPARE(turned.size(), 1);
        QCOMPARE(turned[0].height, 336.0);
        QVERIFY(!turned[0].font.bold);
    }

    // The PDF printer's paper and orientation from a dialog hold for later
    // processes; a file named in the dialog takes the next job, and only that one.
    void pdfPageFromTheDialog()
    {
        PrinterChoice first(m_jobs.path());
        first.setCurrent(PdfBackend::DeviceName);
        QPrinter dialog;
        first.prepareDialog(dialog);
        dialog.setPageSize(QPageSize(QPageSize::A5));
        dialog.setPageOrientation(QPageLayout::Landscape);
        first.takeDialog(dialog); // the file field left as offered
        dialog.setOutputFileName(m_jobs.filePath("eigene.pdf"));
        first.takeDialog(dialog);

        PrinterChoice later(m_jobs.path());
        later.setCurrent(PdfBackend::DeviceName);
        Printer p(later);
        p.Print("A5 quer");
        QCOMPARE(pageSizes(p.EndDoc()), QStringList{"595 x 420"});
        Printer named(first);
        named.Print("eins");
        QCOMPARE(named.EndDoc(), m_jobs.filePath("eigene.pdf"));
        named.Print("zwei");
        QVERIFY(named.EndDoc().startsWith(m_jobs.filePath("Tarvel-")));
    }

    // Another printer (here: another page) chosen while a job is open: what
    // is drawn goes out as a job of its own, the rest as a new job.
    void printerChosenWhileAJobIsOpen()
    {
        PrinterChoice choice(m_jobs.path());
        choice.setCurrent(PdfBackend::DeviceName);
        Printer p(choice);
        p.Print("vorher");
        QPrinter dialog;
        choice.prepareDialog(dialog);
        dialog.setPageOrientation(QPageLayout::Landscape);
        choice.takeDialog(dialog);
        QVERIFY(!p.hasOpenJob());
        QCOMPARE(p.DeviceName(), QStringLiteral("PDF-Datei"));
        QCOMPARE(jobFiles().size(), 1);
        const QString before = m_jobs.filePath(jobFiles().first());
        p.Print("nachher");
        const QString after = p.EndDoc();
        QCOMPARE(PdfPages(before).text().trimmed() + pageSizes(before).join(""), QStringLiteral("vorher595 x 842"));
        QCOMPARE(PdfPages(after).text().trimmed() + pageSizes(after).join(""), QStringLiteral("nachher842 x 595"));
    }

    // Four pickup slips to a sheet fill the quarters of a landscape page, on
    // the PDF printer's portrait A4 without any dialog; the next page is portrait again.
    void slipsFourToASheetOnALandscapePage()
    {
        Printer p(std::make_unique<PdfBackend>());
        tarvel::barcode::Code128 code;
        tarvel::labelprinter::PlainBarWidthBoxes boxes;
        tarvel::labelprinter::LabelData data;
        QStringList numbers;
        for (int i = 1; i <= 4; ++i) {
            data.VorgangsNr = QStringLiteral("V-%1").arg(1000 + i);
            data.Bemerkung = QStringLiteral("Bemerkung %1").arg(i);
            numbers << data.VorgangsNr;
            tarvel::labelprinter::Abholschein(p, code, boxes, data).Drucke(QStringList(5, QString()), {}, {}, 4);
        }
        p.Print("danach");
        const QString path = p.EndDoc();
        QCOMPARE(pageSizes(path), (QStringList{"842 x 595", "595 x 842"}));
        QStringList decoded = tarvel::test::BarcodeDecoder::decodeAll(PdfPages(path).render(1));
        decoded.sort();
        QCOMPARE(decoded, numbers);
        const QString text = PdfPages(path).text(1);
        for (int i = 1; i <= 4; ++i)
            QVERIFY2(text.contains(QStringLiteral("Bemerkung %1").arg(i)), qPrintable(text));
    }

    // A script of surface steps and what reaches the backend: B begin, N new
    // page, E end, X cancel, texts as printed ("*" italic, "#" not black).
    void pagesMarksAndPlainText_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<QString>("hasOutput"); // pageHasOutput() after each step
        QTest::newRow("two breaks, one page") << "a new new b end" << "B a N b E" << "1 0 0 1 0";
        QTest::newRow("break on an empty job") << "new a end" << "B a E" << "0 1 0";
        QTest::newRow("committed") << "a mark new b commit end" << "B a N b E" << "1 1 0 1 1 0";
        QTest::newRow("rolled back with its page") << "a mark new b rollback c end" << "B a c E" << "1 1 0 1 1 1 0";
        QTest::newRow("rolled back with its job") << "mark a new b rollback end" << "" << "0 1 0 1 0 0";
        QTest::newRow("held until commit, then cancelled") << "a mark b kill" << "B a X" << "1 1 1 0";
        QTest::newRow("ended while held") << "mark a end rollback" << "B a E" << "0 1 0 0";
        QTest::newRow("plain after the end") << "blue a end b end" << "B a*# E B b E" << "0 1 0 1 0";
        QTest::newRow("plain after a cancel") << "blue a kill b end" << "B a*# X B b E" << "0 1 0 1 0";
        QTest::newRow("plain on request") << "blue a plain b end" << "B a*# b E" << "0 1 1 1 0";
    }
    void pagesMarksAndPlainText()
    {
        QFETCH(QString, steps);
        QFETCH(QString, reached);
        QFETCH(QString, hasOutput);
        auto p = recorded();
        QStringList outputs;
        for (const QString &step : steps.split(' ')) {
            if (step == "new") p->NewPage();
            else if (step == "end") p->EndDoc();
            else if (step == "kill") p->KillDoc();
            else if (step == "mark") p->mark();
            else if (step == "commit") p->commit();
            else if (step == "rollback") p->rollback();
            else if (step == "plain") p->plainText();
            else if (step == "blue") { p->setFontItalic(true); p->setForeColor(Printer::QBColor(1)); }
            else p->Print(step);
            outputs << QString::number(int(p->pageHasOutput()));
        }
        QStringList ops;
        for (const auto &op : m_rec->ops()) {
            switch (op.kind) {
            case RecordedOp::BeginJob: ops << "B"; break;
            case RecordedOp::NewPage: ops << "N"; break;
            case RecordedOp::EndJob: ops << "E"; break;
            case RecordedOp::CancelJob: ops << "X"; break;
            default:
                ops << op.text + (op.font.italic ? "*" : "") + (op.color != QColor(Qt::black) ? "#" : "");
            }
        }
        QCOMPARE(ops.join(' '), reached);
        QCOMPARE(outputs.join(' '), hasOutput);
    }

    // Cutting a text to a width measures it once, whatever its length.
    void fittingLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("room"); // the start that just fits, "-" for a hair less
        QTest::addColumn<int>("length");
        const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("whole fits exactly") << "WWW" << "WWW" << 3;
        QTest::newRow("one short") << "WWW" << "-WWW" << 2;
        QTest::newRow("pair kept whole") << "a" + smile + "b" << "a" + smile << 3;
        QTest::newRow("cut behind a pair") << "a" + smile + "b" << "-a" + smile + "b" << 3;
        QTest::newRow("nothing fits") << "W" << "-" << 0;
        QTest::newRow("empty") << "" << "" << 0;
        QTest::newRow("four million characters") << QString(4'000'000, 'W') << "WWWWWWWWWW" << 10;
    }
    void fittingLength()
    {
        QFETCH(QString, text);
        QFETCH(QString, room);
        QFETCH(int, length);
        auto p = recorded();
        const bool less = room.startsWith('-');
        const double width = p->TextWidth(less ? room.mid(1) : room) - (less ? 0.01 : 0.0);
        QCOMPARE(p->fittingLength(text, width), qsizetype(length));
    }

    void qtDialogsSpeakGerman()
    {
        QVERIFY(installQtGerman());
        QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));
    }
};

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
