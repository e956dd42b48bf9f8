#include "sheets/Liste.h"
#include "support/RecordedJob.h"

#include <QDate>
#include <QLocale>
#include <QtTest>

using namespace tarvel::platform;
using tarvel::sheets::Liste;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;
using Ops = RecordedJob::Ops;

namespace {

struct ListJob : RecordedJob
{
    Liste liste{printer(), code()};

    void row(int i)
    {
        liste.Drucke(QStringLiteral("A%1").arg(i), QStringLiteral("978-3-%1").arg(i), QStringLiteral("MC%1").arg(i),
                     QStringLiteral("%1,00").arg(i), QStringLiteral("%1,50").arg(i));
    }
    /// The texts and lines of each page, split at the page breaks.
    QList<Ops> pages() const
    {
        QList<Ops> out(1);
        for (const auto &op : ops()) {
            if (op.kind == Op::NewPage)
                out.append(Ops{});
            else if (op.kind == Op::Text || op.kind == Op::Line)
                out.last().append(op);
        }
        return out;
    }
};

/// Tops of the rows on a page: the y of each barcode's first bar.
QList<double> rowTops(const Ops &page)
{
    QList<double> tops;
    double lastX = 1e9;
    for (const auto &op : page) {
        if (!op.isBar())
            continue;
        if (op.x < lastX) // a new barcode starts at the left again
            tops << op.y;
        lastX = op.x;
    }
    return tops;
}

Ops headerTexts(const Ops &page)
{
    Ops out;
    for (const auto &op : page)
        if (op.kind == Op::Text && op.y == 300 && op.font.italic)
            out << op;
    return out;
}

} // namespace

class TestBarcodeList : public QObject
{
    Q_OBJECT

private slots:
    void twelveRowsAPage_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("rowsPerPage");
        QTest::newRow("11 rows") << 11 << QList<int>{11};
        QTest::newRow("12 rows: the second page holds its header only") << 12 << QList<int>{12, 0};
        QTest::newRow("13 rows") << 13 << QList<int>{12, 1};
        QTest::newRow("25 rows") << 25 << QList<int>{12, 12, 1};
    }
    void twelveRowsAPage()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, rowsPerPage);
        ListJob job;
        job.liste.Kopf();
        for (int i = 0; i < rows; ++i)
            job.row(i);
        const auto pages = job.pages();
        QCOMPARE(pages.size(), rowsPerPage.size());
        for (int n = 0; n < pages.size(); ++n) {
            const auto tops = rowTops(pages[n]);
            QCOMPARE(tops.size(), rowsPerPage[n]);
            for (int i = 0; i < tops.size(); ++i)
                QCOMPARE(tops[i], 900.0 + i * 1200);
            const auto header = headerTexts(pages[n]);
            QCOMPARE(header.size(), 3);
            QCOMPARE(header[2].text, Printer::NumberItem(n + 1));
            if (rowsPerPage[n] == 0)
                QCOMPARE(pages[n].size(), header.size()); // nothing but the header
        }
        QCOMPARE(job.liste.pageNumber(), qint16(pages.size()));
    }

    /// Another print came first: no header, rows from y = 0, and the header of the
    /// next page shows page 1.
    void rowsWithoutHeaderStartAtTheTop()
    {
        ListJob job;
        for (int i = 0; i < 13; ++i)
            job.row(i);
        const auto pages = job.pages();
        QCOMPARE(pages.size(), 2);
        const auto tops = rowTops(pages[0]);
        QCOMPARE(tops.size(), 12);
        QCOMPARE(tops.first(), 0.0);
        QCOMPARE(tops.last(), 13200.0);
        QVERIFY(headerTexts(pages[0]).isEmpty());
        QCOMPARE(headerTexts(pages[1])[2].text, QStringLiteral(" 1 "));
        QCOMPARE(rowTops(pages[1]), QList<double>{900.0});
    }

    /// "Seite", a blank, the blank in place of a sign, the number and one blank.
    void pageNumberBlanks()
    {
        ListJob job;
        job.liste.Kopf();
        job.liste.Kopf();
        const auto header = headerTexts(job.pages()[0]);
        QCOMPARE(header.size(), 6);
        QCOMPARE(header[4].text + header[5].text, QStringLiteral("Seite  2 "));
        QCOMPARE(header[4].x, 5500.0);
        QCOMPARE(header[5].x, 5500.0 + job.printer().TextWidth(QStringLiteral("Seite ")));
        QCOMPARE(header[0].x, 500.0);
        QCOMPARE(header[0].color, Printer::QBColor(1));
    }

    /// The whole date in the user's short format, four-digit years included.
    void headerDate_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("Sweden, four-digit year") << "sv_SE" << "yyyy-MM-dd";
        QTest::newRow("Hungary, long form") << "hu_HU" << "yyyy. MM. dd.";
        QTest::newRow("Germany, year in full") << "de_DE" << "dd.MM.yyyy";
    }
    void headerDate()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        ListJob job;
        job.liste.Kopf();
        QLocale::setDefault(before);
        const auto header = headerTexts(job.pages()[0]);
        QCOMPARE(header[0].text, QStringLiteral("Barcode-Liste vom ") + QDate::currentDate().toString(format));
    }
};

QTEST_MAIN(TestBarcodeList)
#include "tst_barcode_list.moc"
