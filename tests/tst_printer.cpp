#include "barcode/Code128.h"
#include "labelprinter/Abholschein.h"
#include "labelprinter/BarWidthBoxes.h"
#include "labelprinter/LabelData.h"
#include "platform/PdfBackend.h"
#include "platform/PrintTransaction.h"
#include "platform/Printer.h"
#include "platform/PrinterChoice.h"
#include "platform/PrinterStyleGuard.h"
#include "platform/QtGerman.h"
#include "platform/RecordingBackend.h"
#include "platform/RuntimeError.h"
#include "support/PdfPages.h"

#include <QPrinter>
#include <QtTest>

using namespace tarvel::platform;
using tarvel::test::PdfPages;

namespace {
QList<RecordedOp> ofKind(const RecordingBackend &rec, RecordedOp::Kind kind)
{
    QList<RecordedOp> out;
    std::copy_if(rec.ops().begin(), rec.ops().end(), std::back_inserter(out), [&](auto &op) { return op.kind == kind; });
    return out;
}
/// The size of each page of a PDF in points ("595 x 842").
QStringList pageSizes(const QString &path)
{
    const PdfPages pdf(path);
    QStringList sizes;
    for (int page = 1; page <= pdf.pageCount(); ++page) {
        const QSize size = pdf.render(page, 72).size();
        sizes << QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
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
        QCOMPARE(QPointF(p->CurrentX(), p->CurrentY()), QPointF(0, 200 + p->TextHeight()));
        const auto texts = ofKind(*m_rec, RecordedOp::Text);
        QCOMPARE(texts[1].x, afterCaption);
        QCOMPARE(QPointF(texts[2].x, texts[2].y), QPointF(afterCaption + p->TextWidth("A"), 200));
        // The line height is that of the font in force at the line's end.
        p->setFontSize(8);
        p->PrintInline("klein");
        p->setFontSize(16);
        const double y = p->CurrentY();
        p->Print();
        QCOMPARE(p->CurrentY(), y + p->TextHeight());
        QCOMPARE(Printer::NumberItem(5) + Printer::NumberItem(0) + Printer::NumberItem(-5), QStringLiteral(" 5  0 -5 "));
    }

    void fontSizeIsDeviceIndependent()
    {
        for (double dpi : {203.0, 600.0}) {
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
    }

    // A PDF job appears complete and alone, its text at the nominal size; a
    // cancelled or abandoned one leaves nothing.
    void pdfJobsAreWholeAndAlone()
    {
        Printer(std::make_unique<PdfBackend>()).Print("offen"); // a job abandoned with its printer
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
        QCOMPARE(PdfPages(path).pageCount(), 3);
        QVERIFY(PdfPages(path).text(3).contains("Seite 3"));
        QVERIFY(!PdfPages(path).text().contains("verworfen"));

        pdf.setFontSize(16);
        pdf.setCurrentX(1440);
        pdf.setCurrentY(1440);
        pdf.Print("HHHH");
        const QImage page = PdfPages(pdf.EndDoc()).render(1, 300);
        // Cap height of Liberation Sans is 0.688 em: 16 pt at 300 dpi is 45.9 pixels.
        int inked = 0;
        for (int y = 250; y < 450; ++y)
            inked += std::any_of(page.constScanLine(y) + 300, page.constScanLine(y) + 700, [](uchar v) { return v < 128; });
        QVERIFY2(qAbs(inked - 45.9) <= 1.5, qPrintable(QString::number(inked)));
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
        const RecordedOp end = ofKind(*m_rec, RecordedOp::Line).last();
        QCOMPARE(QPointF(end.x2, end.y2), QPointF(310, 5));
        QCOMPARE(QPointF(p->CurrentX(), p->CurrentY()), QPointF(310, 5));
        p->setCurrentX(100);
        p->setCurrentY(5000);
        p->setFontBold(true);
        p->PrintRotated("Müller", 14 * 24);
        QCOMPARE(QPointF(p->CurrentX(), p->CurrentY()), QPointF(100, 5000));
        const auto turned = ofKind(*m_rec, RecordedOp::RotatedText);
        QVERIFY(turned.size() == 1 && !turned[0].font.bold);
        QCOMPARE(turned[0].height, 336.0);
    }

    // The PDF printer's paper and orientation from a dialog (in German) hold for later
    // processes; a file named in the dialog takes the next job, and only that one. What
    // was drawn before the choice goes out as a job of its own, the rest as a new job.
    void pdfPageFromTheDialog()
    {
        QVERIFY(installQtGerman());
        QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));
        PrinterChoice first(m_jobs.path());
        first.setCurrent(PdfBackend::DeviceName);
        Printer p(first);
        p.Print("vorher");
        QPrinter dialog;
        first.prepareDialog(dialog);
        dialog.setPageSize(QPageSize(QPageSize::A5));
        dialog.setPageOrientation(QPageLayout::Landscape);
        first.takeDialog(dialog); // the file field left as offered
        QVERIFY(!p.hasOpenJob());
        QCOMPARE(p.DeviceName(), QStringLiteral("PDF-Datei"));
        QCOMPARE(jobFiles().size(), 1);
        const QString before = m_jobs.filePath(jobFiles().first());
        QCOMPARE(PdfPages(before).text().trimmed() + pageSizes(before).join(""), QStringLiteral("vorher595 x 842"));
        dialog.setOutputFileName(m_jobs.filePath("eigene.pdf"));
        first.takeDialog(dialog);
        p.Print("nachher");
        const QString named = p.EndDoc();
        QCOMPARE(named, m_jobs.filePath("eigene.pdf"));
        QCOMPARE(PdfPages(named).text().trimmed() + pageSizes(named).join(""), QStringLiteral("nachher595 x 420"));
        p.Print("zwei");
        QVERIFY(p.EndDoc().startsWith(m_jobs.filePath("Tarvel-")));

        PrinterChoice later(m_jobs.path());
        later.setCurrent(PdfBackend::DeviceName);
        Printer again(later);
        again.Print("A5 quer");
        QCOMPARE(pageSizes(again.EndDoc()), QStringList{"595 x 420"});
    }

    // Four pickup slips to a sheet take a landscape page on the PDF printer's portrait A4
    // without any dialog (tst_sheets_pdf reads them in their quarters); the next is portrait again.
    void slipsFourToASheetOnALandscapePage()
    {
        Printer p(std::make_unique<PdfBackend>());
        tarvel::barcode::Code128 code;
        tarvel::labelprinter::PlainBarWidthBoxes boxes;
        tarvel::labelprinter::LabelData data;
        for (int i = 1; i <= 4; ++i)
            tarvel::labelprinter::Abholschein(p, code, boxes, data).Drucke(QStringList(5, QString()), {}, {}, 4);
        p.Print("danach");
        QCOMPARE(pageSizes(p.EndDoc()), (QStringList{"842 x 595", "595 x 842"}));
    }

    // A script of surface steps and what reaches the backend: B begin, N new
    // page ("q" landscape), E end, X cancel, texts as printed ("*" italic, "#" not black).
    // "mark" opens a transaction, "rollback" ends it uncommitted; "fail" is a call that
    // prints "f" in a style of its own in a transaction and guard, and then fails.
    void pagesMarksAndPlainText_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<QString>("hasOutput"); // pageHasOutput() after each step
        QTest::newRow("breaks: none on an empty job, one for two, none at the end")
            << "new end a new new b new end" << "B a N b E" << "0 0 1 0 0 1 0 0";
        QTest::newRow("landscape for a page not yet begun")
            << "land kill a land new land b new c end" << "B a Nq b N c E" << "0 0 1 1 0 0 1 0 1 0";
        QTest::newRow("landscape ends with the job") << "land a new land end b end" << "Bq a E B b E" << "0 1 0 0 0 1 0";
        QTest::newRow("committed") << "a mark new b commit end" << "B a N b E" << "1 1 0 1 1 0";
        QTest::newRow("rolled back with its page") << "a mark new b rollback c end" << "B a c E" << "1 1 0 1 1 1 0";
        QTest::newRow("rolled back with its job") << "mark a new b rollback end" << "" << "0 1 0 1 0 0";
        QTest::newRow("held until commit, then cancelled") << "a mark b kill" << "B a X" << "1 1 1 0";
        QTest::newRow("ended while held") << "mark a end rollback" << "B a E" << "0 1 0 0";
        QTest::newRow("a failed call leaves no output and no style") << "a fail b end" << "B a b E" << "1 1 1 0";
        QTest::newRow("plain after the end and after a cancel")
            << "blue a end b blue c kill d end" << "B a*# E B b c*# X B d E" << "0 1 0 1 1 1 0 1 0";
        QTest::newRow("plain on request") << "blue a plain b end" << "B a*# b E" << "0 1 1 1 0";
    }
    void pagesMarksAndPlainText()
    {
        QFETCH(QString, steps);
        QFETCH(QString, reached);
        QFETCH(QString, hasOutput);
        auto p = recorded();
        QStringList outputs, ops;
        std::optional<PrintTransaction> call;
        for (const QString &step : steps.split(' ')) {
            if (step == "new") p->NewPage();
            else if (step == "end") p->EndDoc();
            else if (step == "kill") p->KillDoc();
            else if (step == "mark") call.emplace(*p);
            else if (step == "commit") { call->commit(); call.reset(); }
            else if (step == "rollback") call.reset();
            else if (step == "fail") {
                const FontSpec font = p->font();
                try {
                    PrintTransaction failing(*p);
                    PrinterStyleGuard style(*p);
                    p->setFontItalic(true);
                    p->setFontBold(true);
                    p->setFontSize(20);
                    p->setForeColor(Printer::QBColor(1));
                    p->setDrawWidth(3);
                    p->Print("f");
                    p->setDrawWidth(0);
                } catch (const RuntimeError &) {
                }
                QVERIFY(p->font() == font);
                QCOMPARE(p->DrawWidth(), 1);
            }
            else if (step == "plain") p->plainText();
            else if (step == "land") p->wantLandscapePage();
            else if (step == "blue") { p->setFontItalic(true); p->setForeColor(Printer::QBColor(1)); }
            else p->Print(step);
            outputs << QString::number(int(p->pageHasOutput()));
        }
        static const QMap<RecordedOp::Kind, QString> letters{
            {RecordedOp::BeginJob, "B"}, {RecordedOp::NewPage, "N"}, {RecordedOp::EndJob, "E"}, {RecordedOp::CancelJob, "X"}};
        for (const auto &op : m_rec->ops()) {
            if (letters.contains(op.kind))
                ops << letters[op.kind] + (op.landscape ? "q" : "");
            else
                ops << op.text + (op.font.italic ? "*" : "") + (op.color != QColor(Qt::black) ? "#" : "");
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
};

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
