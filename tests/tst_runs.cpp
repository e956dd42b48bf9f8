// The print runs over an article file on the recording surface: where each
// label and list row lands, what it shows, and how a failed run ends.
#include "platform/PrintTransaction.h"
#include "runs/Datei.h"
#include "runs/DateiDruck.h"
#include "runs/Pruefung.h"
#include "sheets/LaserLabels.h"
#include "sheets/Liste.h"
#include "runs/Vorschau.h"
#include "support/RecordedJob.h"

#include <QtTest>

using tarvel::runs::DateiDruck;
using tarvel::test::RecordedJob;
using Op = RecordedJob::Op;
using Ops = RecordedJob::Ops;
using Pages = QList<QStringList>;

namespace {

QString artikel(const QString &name)
{
    return name.startsWith(u'/') ? name : QStringLiteral(TARVEL_TEST_DATA "/artikel/") + name;
}

/// The run of \a kind: "liste", "label", "laser" (in the order of runs::Art), or the test label.
DateiDruck::Ergebnis run(DateiDruck &druck, const QString &kind, const QString &file, const DateiDruck::Auswahl &a)
{
    const qsizetype art = QStringList{"liste", "label", "laser"}.indexOf(kind);
    return art < 0 ? druck.ProbeDrucken(a) : druck.Drucken(tarvel::runs::Art(art), artikel(file), a);
}

/// The texts printed inside \a area as "text x,y size" (b: bold), relative to
/// its corner; x is "+" where the text goes on from the one before.
QStringList printed(RecordedJob &job, const Ops &ops, const QRectF &area)
{
    QStringList out;
    const Op *before = nullptr;
    for (const Op &op : ops) {
        if (op.kind != Op::Text || op.x < area.left() || op.x >= area.right() || op.y < area.top()
            || op.y >= area.bottom())
            continue;
        const bool goesOn = before && qAbs(before->y - op.y) < 0.5
                            && qAbs(before->x + job.width(before->text, before->font.size, before->font.bold) - op.x) < 0.5;
        const QString x = goesOn ? QStringLiteral("+") : QString::number(qRound(op.x - area.x()));
        out << QStringLiteral("%1 %2,%3 %4").arg(op.text, x).arg(qRound(op.y - area.y())).arg(op.font.size)
                   + (op.font.bold ? "b" : "");
        before = &op;
    }
    return out;
}

/// Where the labels of a page stand, by their order numbers (bold 12 point,
/// 700 below the label's top): "B-0001" at the label printer's corner,
/// "B-0001@9" at place 9 of the 2 × 8 laser sheet, "@?" anywhere else.
QStringList places(const Ops &page, bool laser)
{
    QStringList out;
    for (const Op &op : page) {
        if (op.kind != Op::Text || !op.font.bold || op.font.size != 12)
            continue;
        const int x = qRound(op.x) - (laser ? 100 : 0), y = qRound(op.y) - 700 - (laser ? 700 : 0);
        const bool placed = laser ? x % 6000 == 0 && y % 1930 == 0 && y / 1930 < 8 : x == 0 && y == 0;
        out << op.text + (!placed ? QStringLiteral("@?") : laser ? QStringLiteral("@%1").arg(x / 6000 * 8 + y / 1930 + 1) : "");
    }
    return out;
}

/// Each drawing op of \a ops as a line of text, the job's begin and end left out.
QStringList described(const Ops &ops)
{
    QStringList out;
    for (const Op &op : ops)
        if (op.kind != Op::BeginJob && op.kind != Op::EndJob)
            out << QStringLiteral("%1 %2,%3 %4,%5 %6 %7 %8 %9%10 %11")
                       .arg(op.kind).arg(op.x).arg(op.y).arg(op.x2).arg(op.y2).arg(op.penWidth)
                       .arg(op.color.name(), op.text, op.font.name).arg(op.font.size).arg(op.font.bold ? "b" : "");
    return out;
}

QStringList numbers(int from, int to, int place)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("B-%1@%2").arg(i, 4, 10, QLatin1Char('0')).arg(place++);
    return out;
}


/// A file of \a count records whose texts grow with their line, from short to far too long.
QString wachsendeTexte(const QTemporaryDir &dir, int count)
{
    const QString path = dir.filePath("wachsend.txt");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    for (int i = 1; i <= count; ++i) {
        const auto mehr = [i](const char *base, char c, int step) { return QString(base) + QString(i * step, QChar(c)); };
        f.write(QStringList{"Buch", mehr("100.", '9', 2), QStringLiteral("B-%1").arg(i, 4, 10, QChar('0')),
                            mehr("Titel ", 'W', 3), mehr("Untertitel ", 'm', 4), mehr("Reihe ", 'x', 6), "1,50",
                            mehr("1", '1', 1) + ",90", "12,95", mehr("R", '8', 2), mehr("M", 'M', 2)}
                    .join(';')
                    .toUtf8()
                + "\n");
    }
    return path;
}

/// What a recorded page shows amiss: each text that ends outside \a place(x, y) (its label or row,
/// from the text's origin), in a quiet zone of bars or past the page's edge; and each set of bars
/// without its whole number under it (at \a numberDown, 0: not asked). Into \a cut go the texts
/// the page shows cut, as "line field". A text "Ende" must show whole.
QStringList amiss(RecordedJob &job, const std::function<QRectF(double, double)> &place, double numberDown,
                  QStringList *cut = nullptr)
{
    QStringList out;
    const double quiet = 10 * job.code().moduleWidth(), page = job.backend().printableSize().width();
    QRectF clip;
    QList<QRectF> bars, texts;
    QList<const Op *> textOps;
    const auto seite = [&] {
        for (const QRectF &b : bars) {
            bool number = numberDown == 0;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                const QRectF q[] = {QRectF(b.left() - quiet, b.top(), quiet, b.height()), QRectF(b.right(), b.top(), quiet, b.height())};
                for (const QRectF &zone : q)
                    if (zone.adjusted(0.5, 0, -0.5, 0).intersects(texts[i]))
                        out << textOps[i]->text + " in der Ruhezone";
                number |= qAbs(texts[i].top() - b.top() - numberDown) < 0.5 && qAbs(texts[i].left() - b.left()) < 0.5
                          && textOps[i]->text.size() >= 4 && job.box(*textOps[i]) == texts[i];
            }
            if (!number)
                out << QStringLiteral("keine Nummer unter den Balken bei %1,%2").arg(b.left()).arg(b.top());
        }
        bars.clear(), texts.clear(), textOps.clear();
    };
    for (const Op &op : job.ops()) {
        if (op.kind == Op::NewPage || op.kind == Op::BeginJob || op.kind == Op::EndJob) {
            seite();
            clip = {};
        } else if (op.kind == Op::Clip || op.kind == Op::NoClip) {
            clip = op.kind == Op::Clip ? QRectF(QPointF(op.x, op.y), QPointF(op.x2, op.y2)) : QRectF();
        } else if (op.isBar()) {
            const QRectF bar = QRectF(op.x, op.y, op.penWidth * 1440 / 300, op.height) & (clip.isNull() ? QRectF(0, 0, 1e9, 1e9) : clip);
            if (!bars.isEmpty() && bars.last().top() == bar.top() && bar.left() - bars.last().right() < 6 * quiet / 10)
                bars.last() |= bar;
            else if (!bar.isEmpty())
                bars << bar;
        } else if (op.kind == Op::Text) {
            const QRectF box = job.box(op), shown = clip.isNull() ? box : box & clip;
            if (shown != box && cut && op.tag.record > 0)
                *cut << QStringLiteral("%1 %2").arg(op.tag.record).arg(op.tag.field);
            if (shown != box && op.text == "Ende") // drawn without a clip: nothing may cut it
                out << op.text + " verdeckt";
            if (shown.isEmpty())
                continue;
            const QRectF own = place(op.x, op.y);
            if (!own.adjusted(-0.5, -0.5, 0.5, 0.5).contains(shown) || shown.right() > page + 0.5)
                out << QStringLiteral("%1 endet bei %2,%3 außerhalb von %4,%5 %6x%7").arg(op.text.left(20)).arg(shown.right())
                           .arg(shown.bottom()).arg(own.x()).arg(own.y()).arg(own.width()).arg(own.height());
            texts << shown;
            textOps << &op;
        }
    }
    if (cut)
        cut->removeDuplicates();
    return out;
}

} // namespace

class TestRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // Where the labels of each page stand; a label flagged for the preview is drawn all the
    // same. A run that fails or is stopped delivers nothing; its message names the file, the
    // line and the field.
    void labelRuns_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("copies");
        QTest::addColumn<Pages>("pages");
        QTest::addColumn<QString>("fault"); // "printer": fails at record 2; "stop": stopped after record 3
        QTest::addColumn<QString>("message"); // of a run that fails or stops
        const auto row = [](const char *name, const char *kind, const QString &file, const char *start, int copies,
                            const Pages &pages, const char *fault = "", const QString &message = {}) {
            QTest::newRow(name) << kind << file << start << copies << pages << fault << message;
        };
        const QString fehler = QStringLiteral("Beim Drucken ist folgender Fehler aufgetreten:\n\r\n\r");
        row("labels, 3 copies", "label", "zwei.txt", "1", 3,
            {{"B-0001"}, {"B-0001"}, {"B-0001"}, {"B-0002"}, {"B-0002"}, {"B-0002"}});
        row("labels, 0 copies print once", "label", "zwei.txt", "1", 0, {{"B-0001"}, {"B-0002"}});
        row("labels, empty file", "label", TARVEL_TEST_DATA "/datei/leer.txt", "1", 1, {{}});
        row("laser from 16", "laser", "zwei.txt", "16", 1, {{"B-0001@16"}, {"B-0002@1"}});
        row("laser from 17 wraps", "laser", "zwei.txt", "17", 1, {numbers(1, 2, 1)});
        row("laser from no number", "laser", "zwei.txt", "x", 1, {numbers(1, 2, 1)});
        row("laser, 3 copies from 7", "laser", "zwei.txt", "7", 3,
            {{"B-0001@7", "B-0001@8", "B-0001@9", "B-0002@10", "B-0002@11", "B-0002@12"}});
        row("laser, 16 records fill a sheet", "laser", "sechzehn.txt", "1", 1, {numbers(1, 16, 1)});
        row("laser, 17 records", "laser", "siebzehn.txt", "1", 1, {numbers(1, 16, 1), {"B-0017@1"}});
        row("bad record", "label", "fehler_zeile7.txt", "1", 1, {}, "",
            fehler + "Index außerhalb des gültigen Bereichs (Datei „fehler_zeile7.txt“, Zeile 7, Feld BestellNr: "
                     "Zeichen \"ä\" an Stelle 2 kann nicht im Barcode stehen)");
        row("start label beyond 16 bits", "laser", "zwei.txt", "99999", 1, {}, "",
            fehler + "Überlauf (Feld Startlabel „99999“)");
        row("printer fails", "label", "zwei.txt", "1", 1, {}, "printer",
            fehler + "Druckerfehler (Datei „zwei.txt“, Zeile 2: Aufzeichnung gestört)");
        row("stopped", "laser", "siebzehn.txt", "1", 1, {}, "stop",
            "Der Druck von „siebzehn.txt“ wurde abgebrochen; nichts davon wurde gedruckt.");
    }
    void labelRuns()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(QString, start);
        QFETCH(int, copies);
        QFETCH(Pages, pages);
        QFETCH(QString, fault);
        QFETCH(QString, message);
        RecordedJob job;
        DateiDruck druck(job.printer(), job.code());
        if (message.isEmpty())
            druck.setMarken({{2, QStringLiteral("VK ist kein Preis")}});
        QList<qint64> seen;
        druck.setFortschritt([&](qint64 done, qint64 total) {
            seen << done;
            if (fault == "printer" && done == 1)
                job.backend().failNextOperation(); // the first drawing of record 2
            return fault != "stop" || (total == 17 && done < 3);
        });
        DateiDruck::Auswahl a;
        a.startLabel = start;
        a.kopien = copies;
        const auto result = run(druck, kind, file, a);
        if (message.isEmpty()) {
            QCOMPARE(result.meldung, kind == "laser" ? "LaserLabels erfolgreich gedruckt." : "Barcode erfolgreich gedruckt.");
            Pages placed;
            for (const Ops &page : job.pages())
                placed << places(page, kind == "laser");
            QCOMPARE(placed, pages); // no blank page at the end either
            QCOMPARE(job.count(Op::EndJob), pages == Pages{{}} ? 0 : 1);
            return;
        }
        QCOMPARE(result.meldung, message);
        QCOMPARE(result.art, fault == "stop" ? DateiDruck::Ergebnis::Abgebrochen : DateiDruck::Ergebnis::Fehler);
        if (fault == "stop")
            QCOMPARE(seen, (QList<qint64>{0, 1, 2, 3}));
        QList<Op::Kind> ends;
        for (const Op &op : job.ops())
            if (op.kind == Op::BeginJob || op.kind == Op::EndJob || op.kind == Op::CancelJob)
                ends << op.kind;
        QVERIFY(ends.isEmpty() || ends == (QList<Op::Kind>{Op::BeginJob, Op::CancelJob}));
        QVERIFY(!job.printer().hasOpenJob());
    }

    // What one label, or the first row of the list, shows where, from its corner. The preview
    // marks the next record, flagged by the check: a red frame and its note, on that label only.
    void content_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("prices"); // 0 EK, 1 VK, 2 Listenpreis, 3 none; labels show the first
        QTest::addColumn<bool>("lagerfach");
        QTest::addColumn<QPointF>("corner");
        QTest::addColumn<QStringList>("lines");
        const QStringList top{"Buch 100.001 3600,0 8", "MATCH1 3600,184 8"};
        const QStringList below{"B-0001 0,700 12b", "Kurztext eins 1 0,976 12", "Kurztext zwei 1 0,1252 12"};
        const QStringList row{"Matchcode: MATCH1 500,0 8", "Buch 100.001 3500,0 8"};
        const QStringList texts{"Kurztext eins 1 500,184 8", "Kurztext zwei 1 500,368 8"};
        const QString number = QStringLiteral("B-0001 5500,750 10b");
        const auto add = [](const char *name, const char *kind, const char *file, QList<int> prices, bool lagerfach,
                            QPointF corner, const QStringList &lines) {
            QTest::newRow(name) << kind << file << prices << lagerfach << corner << lines;
        };
        add("label, VK, storage bin", "label", "zwei.txt", {1, 0}, true, {0, 0},
            top + QStringList{"Lagerfach: R01 3600,368 8", "11,90 € 3600,552 12b"} + below);
        add("laser place 9, EK", "laser", "zwei.txt", {0, 1}, false, {6100, 700}, top + QStringList{"1,50 € 3600,368 12b"} + below);
        // A label shows two short texts, not the third.
        add("label, no price, storage bin", "label", "beispiel.txt", {3, 0}, true, {0, 0},
            {"Buch 100.001 3600,0 8", "ZAUBERBERG 3600,184 8", "Lagerfach: R12-03 3600,368 8", "3-12-3456 0,700 12b",
             "Der Zauberberg 0,976 12", "Thomas Mann 0,1252 12"});
        add("list, VK and none", "liste", "zwei.txt", {1, 3}, false, {0, 900},
            row + texts + QStringList{"Preis:  500,552 8", "11,90 € +,552 8b", number});
        add("list, none and VK", "liste", "zwei.txt", {3, 1}, false, {0, 900},
            row + texts + QStringList{"Preis:  3500,552 8", "11,90 € +,552 8b", number});
        add("list, EK and Liste, storage bin", "liste", "zwei.txt", {0, 2}, true, {0, 900},
            row + QStringList{"Lagerfach: R01 500,184 8", "Kurztext eins 1 500,368 8", "Kurztext zwei 1 500,552 8",
                              "EK-Preis:  500,736 8", "1,50 € +,736 8b", "Liste:  3500,736 8", "12,95 € +,736 8b", number});
        add("list, third short text", "liste", "beispiel.txt", {2, 0}, false, {0, 900},
            {"Matchcode: ZAUBERBERG 500,0 8", "Buch 100.001 3500,0 8", "Der Zauberberg 500,184 8", "Thomas Mann 500,368 8",
             "S. Fischer 500,552 8", "Liste:  500,736 8", "19,90 € +,736 8b", "EK-Preis:  3500,736 8", "12,50 € +,736 8b",
             "3-12-3456 5500,750 10b"});
    }
    void content()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(QList<int>, prices);
        QFETCH(bool, lagerfach);
        QFETCH(QPointF, corner);
        QFETCH(QStringList, lines);
        RecordedJob job;
        DateiDruck druck(job.printer(), job.code());
        druck.setMarken({{2, QStringLiteral("VK ist kein Preis")}});
        DateiDruck::Auswahl a;
        a.preis1 = tarvel::sheets::Preis(prices[0]);
        a.preis2 = tarvel::sheets::Preis(prices[1]);
        a.lagerfach = lagerfach;
        a.waehrung = "€";
        a.startLabel = "9";
        QVERIFY(run(druck, kind, file, a).ok());
        const Ops page = job.pages().value(0);
        const bool list = kind == "liste";
        QCOMPARE(printed(job, page, QRectF(corner, list ? QSizeF(20000, 1200) : QSizeF(6000, 1930))), lines);
        // The bars start at the label's corner, or right of the row's text, and are 680 high.
        const Op *bar = RecordedJob::first(page, Op::Line);
        QCOMPARE(QRectF(bar->x, bar->y, 0, bar->height), QRectF(corner.x() + (list ? 5500 : 0), corner.y(), 0, 680));
        Ops rot;
        for (const Op &op : job.ops())
            if ((op.kind == Op::Text || op.kind == Op::Line) && op.color == QColor(210, 0, 0))
                rot << op;
        QCOMPARE(rot.size(), 5); // four sides and the note
        // The frame around the marked label or row, and the places its texts and bars are clipped to.
        QRectF frame, clips[3];
        for (const Op &op : rot)
            frame |= op.kind == Op::Line ? QRectF(QPointF(op.x, op.y), QPointF(op.x2, op.y2)).normalized() : QRectF();
        for (int i = 0; const Op &op : job.ops())
            if (op.kind == Op::Clip && i < 3)
                clips[i++] = QRectF(QPointF(op.x, op.y), QPointF(op.x2, op.y2)).translated(-corner);
        QCOMPARE(frame.translated(-corner), list ? QRectF(350, 1150, 11456, 1150) // the second record's place
                                                 : kind == "laser" ? QRectF(-50, 1880, 5950, 1880) : QRectF(-50, -50, 5950, 1880));
        // Texts end at their column, short of the bars' quiet zone; a label's left part below the text
        // column spans the label (on the right column: up to the page's edge); the next label's text column.
        const double right = kind == "laser" ? 5806 : 6000;
        const QList<QRectF> clipped = list ? QList<QRectF>{QRectF(500, 0, 3000, 1200), QRectF(3500, 0, 1808, 1200), QRectF(500, 0, 4808, 1200)}
                                           : QList<QRectF>{QRectF(3600, 0, right - 3600, 1930), QRectF(0, 0, right, 1930),
                                                           QRectF(3600, kind == "laser" ? 1930 : 0, right - 3600, 1930)};
        QCOMPARE(QList<QRectF>(std::begin(clips), std::end(clips)), clipped);
        const QPointF note = corner + (list ? QPointF(5500, 1200 + 1000) : QPointF(3600, (kind == "laser") * 1930 + 1450));
        QCOMPARE(printed(job, rot, QRectF(note, QSizeF(1, 1))), QStringList{"VK ist kein Preis 0,0 7b"});
    }

    // The preview's page N is the printed page N, marks aside, and it counts the pages the run
    // prints. A record whose barcode cannot be drawn shows framed, with its texts, and the records
    // after it follow.
    void previewPage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("marked");        // the line marked, the page's first record
        QTest::addColumn<QStringList>("shown"); // the bold texts of a page that cannot print
        QTest::newRow("list page 2") << "liste" << "vierzig.txt" << 2 << 4 << 13 << QStringList();
        QTest::newRow("laser sheet 2") << "laser" << "siebzehn.txt" << 2 << 2 << 17 << QStringList();
        QTest::newRow("label 4 of 6 (3 copies)") << "label" << "zwei.txt" << 4 << 6 << 2 << QStringList();
        const QStringList fehler = numbers(1, 6, 0).replaceInStrings(QRegularExpression("@.*"), "")
                                   + QStringList{"B-0008", "Bär-7", "Kurztext eins 7"}; // sorted
        QTest::newRow("error in line 7, laser") << "laser" << "fehler_zeile7.txt" << 1 << 1 << 7 << fehler;
        QTest::newRow("error in line 7, list") << "liste" << "fehler_zeile7.txt" << 1 << 1 << 7 << fehler;
    }
    void previewPage()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(int, page);
        QFETCH(int, pages);
        QFETCH(int, marked);
        QFETCH(QStringList, shown);
        const auto art = tarvel::runs::Art(QStringList{"liste", "label", "laser"}.indexOf(kind));
        RecordedJob job;
        DateiDruck::Auswahl a;
        a.kopien = kind == "label" ? 3 : 1;
        a.datum = QDate(2026, 12, 5);
        tarvel::runs::Pruefung pruefung(job.printer(), job.code());
        tarvel::runs::Befunde befunde = pruefung.pruefen(art, artikel(file), a);
        if (befunde.isEmpty())
            befunde = {{tarvel::runs::Befund::Warnung, marked, "VK", {}, "VK ist kein Preis"}};
        const tarvel::runs::Vorschau vorschau(art, artikel(file), a, job.code().DrawWidth(), befunde, {});
        tarvel::platform::RecordingBackend rec;
        QVERIFY(vorschau.zeichnen(page, rec).ergebnis.ok());
        QCOMPARE(vorschau.zaehlen().seiten, pages);
        Ops marks, rest;
        for (const Op &op : rec.ops())
            (op.color == QColor(210, 0, 0) ? marks : rest) << op;
        QCOMPARE(marks.size(), 5);
        QCOMPARE(marks.last().text, befunde.first().notiz);
        if (!shown.isEmpty()) {
            QStringList texts;
            for (const Op &op : rest)
                if (op.kind == Op::Text && (op.font.bold || op.text.startsWith("Kurztext eins 7")))
                    texts << op.text;
            texts.sort();
            QCOMPARE(texts, shown);
            return;
        }
        DateiDruck druck(job.printer(), job.code());
        QVERIFY(druck.Drucken(art, artikel(file), a).ok());
        QList<Ops> printedPages(1);
        for (const Op &op : job.ops())
            op.kind == Op::NewPage ? printedPages.append(Ops{}) : printedPages.last().append(op);
        QCOMPARE(printedPages.size(), pages);
        QCOMPARE(described(rest), described(printedPages[page - 1]));
    }

    // Twelve rows a page under a header; a range prints only its pages. The next
    // run starts from upright black type, also after a page with only its header.
    void listPages_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("from"); // 0: no range
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("pageNumbers");
        QTest::addColumn<QList<int>>("rows"); // per page, from record 12 × (page - 1) + 1
        QTest::addColumn<QString>("next"); // the run after the list
        const QString leer = QStringLiteral(TARVEL_TEST_DATA "/datei/leer.txt");
        using L = QList<int>;
        QTest::newRow("12 records: the second page has only its header")
            << "zwoelf.txt" << 0 << 0 << L{1, 2} << L{12, 0} << "label";
        QTest::newRow("pages 2 to 3") << "vierzig.txt" << 2 << 3 << L{2, 3} << L{12, 12} << "probe";
        QTest::newRow("to below from") << "vierzig.txt" << 3 << 1 << L{3} << L{12} << "probe";
        QTest::newRow("from beyond the end") << "vierzig.txt" << 9 << 9 << L{4} << L{0} << "probe";
        QTest::newRow("empty file") << leer << 0 << 0 << L{1} << L{0} << "laser";
    }
    void listPages()
    {
        QFETCH(QString, file);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, pageNumbers);
        QFETCH(QList<int>, rows);
        QFETCH(QString, next);
        RecordedJob job;
        DateiDruck druck(job.printer(), job.code());
        DateiDruck::Auswahl a;
        a.seitenBereich = from > 0;
        a.vonSeite = from;
        a.bisSeite = to;
        a.datum = QDate(2026, 12, 5);
        QCOMPARE(druck.ListeDrucken(artikel(file), a).meldung, QStringLiteral("Barcode erfolgreich gedruckt."));
        const QList<Ops> recorded = job.pages();
        QCOMPARE(recorded.size(), pageNumbers.size());
        for (qsizetype i = 0; i < recorded.size(); ++i) {
            const Ops &page = recorded[i];
            const int first = 12 * (pageNumbers[i] - 1) + 1;
            QCOMPARE(printed(job, page, QRectF(0, 0, 20000, 900)),
                     (QStringList{"Barcode-Liste vom 05.12.2026 500,300 10", "Seite  5500,300 10",
                                  QStringLiteral(" %1  +,300 10").arg(pageNumbers[i])}));
            const Op *title = RecordedJob::text(page, "Barcode-Liste vom 05.12.2026");
            QCOMPARE(std::pair(title->font.italic, title->color), std::pair(true, QColor(0, 0, 128)));
            // Bold order numbers under the bars: one a row, 1200 apart.
            QStringList expected;
            for (int r = 0; r < rows[i]; ++r)
                expected << QStringLiteral("B-%1 5500,%2 10b").arg(first + r, 4, 10, QChar(u'0')).arg(1650 + r * 1200);
            QCOMPARE(printed(job, page, QRectF(0, 0, 20000, 20000)).filter(QRegularExpression("b$")), expected);
            const Op *number = RecordedJob::text(page, QStringLiteral("B-%1").arg(first, 4, 10, QChar(u'0')));
            QVERIFY(!number || (!number->font.italic && number->color == Qt::black));
        }
        const Ops texts = RecordedJob::texts(job.during([&] { QVERIFY(run(druck, next, "zwei.txt", {}).ok()); }));
        QVERIFY(!texts.isEmpty());
        for (const Op &op : texts)
            QVERIFY2(!op.font.italic && op.color == QColor(Qt::black), qPrintable(op.text));
    }

    // The check names every finding with its line and field; a trailing ";" is none.
    void checkFindsEveryFault_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("art");
        QTest::addColumn<QStringList>("findings"); // "line field kind" of each, in order (F error, W warning, H note)
        QTest::addColumn<QString>("detail");       // a part of the report
        const auto row = [](const char *name, const QString &file, int art, const QStringList &findings,
                            const QString &detail = {}) {
            QTest::newRow(name) << (file.startsWith(u'/') ? file : TARVEL_TEST_DATA "/pruefung/" + file) << art
                                << findings << detail;
        };
        row("spreadsheet export, laser", "tabellenexport.txt", 2, {"1 EK W", "1 VK W", "1 Listenpreis W", "2 12 W"},
            "Zeile 2, Feld 12: Warnung: Die Zeile hat mehr als elf Felder, und Feld 12 enthält Text („STEINBECK“): "
            "ein „;“ in einem Feld (etwa in Anführungszeichen) verschiebt die Felder dahinter, die Preise können falsch "
            "sein. Feld KurzText1 beginnt mit einem Anführungszeichen.");
        row("comma separated, list", "komma.txt", 0, {"1 Bereich W", "1 Bereich/ArtikelNr H", "2 Bereich/ArtikelNr H"},
            "Keine Zeile der Datei enthält „;“, diese aber „,“");
        row("hyphenated ISBN on 2 x 8 (its message: tst_batch)", "isbn.txt", 2, {"1 BestellNr F"});
        row("hyphenated ISBN in the list", "isbn.txt", 0, {});
        row("umlaut in a barcode", artikel("fehler_zeile7.txt"), 1, {"7 BestellNr F"},
            "Zeile 7, Feld BestellNr: Fehler: Zeichen \"ä\" an Stelle 2 kann nicht im Barcode stehen.");
        row("long match code on 2 x 8: a note", "lang.txt", 2, {"1 MatchCode H"},
            "1 Text wird am Rand des Etiketts oder der Spalte abgeschnitten (Zeile 1 MatchCode)");
        row("a UTF-8 line in a Windows-1252 file", "zeichensatz_gemischt.txt", 2, {"3  W"},
            "Zeile 3: Warnung: Die Zeile ist UTF-8, die übrige Datei Windows-1252 (DOS): ihre Umlaute werden falsch "
            "gedruckt, etwa „MÃ¼ller“ statt „Müller“. Die Datei in einem Zeichensatz speichern.");
        row("a Windows-1252 line in a UTF-8 file", "zeichensatz_bom.txt", 2, {"2  W"}, "Zeile 2: Warnung: Die Zeile ist kein UTF-8");
        row("good file", artikel("beispiel.txt"), 2, {});
        row("missing file: left to the run", artikel("fehlt.txt"), 2, {});
    }
    void checkFindsEveryFault()
    {
        QFETCH(QString, file);
        QFETCH(int, art);
        QFETCH(QStringList, findings);
        QFETCH(QString, detail);
        RecordedJob job;
        DateiDruck::Auswahl a;
        a.preis1 = tarvel::sheets::Preis::VK;
        tarvel::runs::Pruefung pruefung(job.printer(), job.code());
        const tarvel::runs::Befunde befunde = pruefung.pruefen(tarvel::runs::Art(art), file, a);
        QStringList got;
        for (const auto &b : befunde)
            got << QStringLiteral("%1 %2 %3").arg(b.zeile).arg(b.feld).arg(QString("WFH").at(b.art));
        QCOMPARE(got, findings);
        QVERIFY2(tarvel::runs::Pruefung::bericht(befunde, file).contains(detail), qPrintable(tarvel::runs::Pruefung::bericht(befunde, file)));
        QCOMPARE(tarvel::runs::Pruefung::hatFehler(befunde), findings.join(' ').contains(" F"));
        QCOMPARE(job.count(Op::Text) + job.count(Op::Line), 0); // the check draws nothing
    }

    // Every text a printed page shows ends inside its label or column, outside every quiet zone
    // and inside the page; every number shows under its bars; and the check's notes name exactly
    // the texts the printed page shows cut. The test label prints whole, with no finding.
    void pagesShowWhatTheCheckSays_data()
    {
        QTest::addColumn<QString>("kind"); // a window run, or "auto laser" / "auto liste" of the automation object
        QTest::addColumn<int>("records");   // of growing texts; 0: the test label's record
        QTest::addColumn<QString>("start");
        const auto row = [](const char *kind, int records, const char *start = "1") {
            QTest::addRow("%s, %d records from %s", kind, records, start) << kind << records << start;
        };
        row("laser", 20, "3");
        row("liste", 14);
        row("label", 12);
        row("label", 0);
        row("auto laser", 26);
        row("auto liste", 14);
    }
    void pagesShowWhatTheCheckSays()
    {
        QFETCH(QString, kind);
        QFETCH(int, records);
        QFETCH(QString, start);
        QTemporaryDir dir;
        QString file = wachsendeTexte(dir, records);
        if (records == 0) {
            file = dir.filePath("probe.txt");
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(";123.456;Flasch Bier;1234567890123456789012345678901234567890;Das sind noch mal ganz genau 40 "
                    "Zeichen.;Dritte Kurzttextzeile...................;123456,12;123456,12;123456,12;AB1234;BOELKSTOFF\n");
        }
        RecordedJob job;
        DateiDruck::Auswahl a;
        a.preis1 = tarvel::sheets::Preis::VK;
        a.preis2 = tarvel::sheets::Preis::Listenpreis;
        a.waehrung = "EUR";
        a.lagerfach = true;
        a.startLabel = start;
        const bool automation = kind.startsWith("auto"), list = kind.endsWith("liste");
        if (automation) {
            tarvel::sheets::LaserLabels laser(job.printer(), job.code());
            tarvel::sheets::Liste liste(job.printer(), job.code());
            tarvel::runs::Datei artikel;
            artikel.Oeffnen(file);
            if (list)
                liste.Kopf();
            while (artikel.Lesen()) {
                tarvel::platform::PrintTransaction call(job.printer()); // as the automation object prints
                list ? liste.Drucke(artikel.BestellNr, artikel.KurzText1, artikel.MatchCode, artikel.VK, artikel.Listenpreis)
                     : laser.Drucke(0, 0, artikel.BestellNr, artikel.KurzText1, artikel.MatchCode, artikel.VK, artikel.Listenpreis);
                call.commit();
            }
            // The next call, drawing without a clip: no clip of the calls before may hide it.
            tarvel::platform::PrintTransaction call(job.printer());
            job.printer().setCurrentX(500);
            job.printer().setCurrentY(15500);
            job.printer().Print("Ende");
            call.commit();
            job.printer().EndDoc();
        } else {
            DateiDruck druck(job.printer(), job.code());
            QVERIFY(run(druck, kind, file, a).ok());
        }
        const QSizeF label = automation ? QSizeF(3700, 1930) : QSizeF(6000, 1930);
        const QPointF first = automation ? QPointF(310, 700) : kind == "laser" ? QPointF(100, 700) : QPointF(0, 0);
        const auto place = [&](double x, double y) {
            if (list) // the row, from its top (the header: its line)
                return y < 900 ? QRectF(0, 0, 1e9, 900) : QRectF(500, 900 + std::floor((y - 900) / 1200) * 1200, 1e9, 1200);
            const QPointF at(std::floor((x - first.x()) / label.width()), std::floor((y - first.y()) / label.height()));
            return QRectF(first + QPointF(at.x() * label.width(), at.y() * label.height()), label);
        };
        QStringList cut;
        QCOMPARE(amiss(job, place, list ? 750 : automation ? 710 : 700, &cut), QStringList());
        if (automation)
            return;
        tarvel::runs::Pruefung pruefung(job.printer(), job.code());
        QStringList notes;
        for (const auto &b : pruefung.pruefen(tarvel::runs::Art(QStringList{"liste", "label", "laser"}.indexOf(kind)), file, a))
            notes << QStringLiteral("%1 %2").arg(b.zeile).arg(b.feld);
        QCOMPARE(notes, cut);
        QCOMPARE(cut.isEmpty(), records == 0);
    }

    void pricesThatAreNumbers()
    {
        for (const char *ja : {"12,95", "1.234,50", "12.95", "12,-", " 7 ", "-3,10"})
            QVERIFY2(tarvel::runs::Pruefung::istPreis(QString::fromUtf8(ja)), ja);
        for (const char *nein : {"VK", "12,95 €", "1,2,3", ",50", "12,", "-", "R01"})
            QVERIFY2(!tarvel::runs::Pruefung::istPreis(QString::fromUtf8(nein)), nein);
    }
};

QTEST_MAIN(TestRuns)
#include "tst_runs.moc"
