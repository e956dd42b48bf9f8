// The settings store as the window and the setup dialog use it, also with a file that is broken,
// unreadable or cannot be written: they start with the defaults (or what they can still read),
// log a warning that names what was ignored, and keep working.

#include "labelprinter/SetupFrm.h"
#include "mainwindow/Quelm.h"
#include "platform/SettingsStore.h"
#include "support/LockedFolder.h"
#include "support/RecordedJob.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <optional>
#include <sys/stat.h>

using namespace tarvel::platform;

namespace {

QStringList g_warnings; // of Tarvel's own logging categories

bool warned(const QString &part)
{
    return part.isEmpty() || std::any_of(g_warnings.begin(), g_warnings.end(), [&](auto &w) { return w.contains(part); });
}

/// What a user sees after the start: the checked button of Preis1, Preis2 and
/// Art, the file, then the setup dialog's Strichbreite, MaxZeichen (from the
/// width), OffsetX, OffsetY, Abstand4Bahn (the offsets as stored, unparsed).
QString shown(const tarvel::mainwindow::Quelm &w)
{
    QStringList out;
    for (const auto &[group, count] : {std::pair{1, 4}, {2, 4}, {3, 3}}) {
        int checked = -1;
        for (int i = 0; i < count; ++i)
            if (w.findChild<QRadioButton *>(QStringLiteral("Option%1(%2)").arg(group).arg(i))->isChecked())
                checked = i;
        out << QString::number(checked);
    }
    out << u'„' + w.findChild<QGroupBox *>(QStringLiteral("DateiFrame"))->title() + u'“';
    tarvel::test::RecordedJob job;
    tarvel::labelprinter::SetupFrm frm(job.printer(), job.code());
    for (const char *name : {"Strichbreite", "MaxZeichen", "OffsetXCtrl", "OffsetYCtrl", "Abstand4BahnCtrl"})
        out << frm.findChild<QLineEdit *>(QLatin1String(name))->text();
    return out.join(u' ');
}
const QString Standard = QStringLiteral("3 3 0 „“ 4 18,14 0 0 0");

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
    QString m_file;

    void write(const QString &folder, const QByteArray &bytes)
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
        m_file = QDir(folder).filePath(QStringLiteral("Tarvel/Tarvel.ini"));
        QDir().mkpath(bytes == "/" ? m_file : QFileInfo(m_file).path());
        if (bytes == "|")
            QCOMPARE(::mkfifo(QFile::encodeName(m_file).constData(), 0600), 0);
        QFile f(m_file);
        if (!bytes.isNull() && bytes != "/" && bytes != "|")
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }

private slots:
    void initTestCase()
    {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg && QByteArray(context.category).startsWith("tarvel."))
                g_warnings << text;
        });
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // as the program sets it at start
    }

    /// What the file holds, what the user then sees, and the warning (none at all
    /// if empty). A choice then taken is stored, unless the file cannot be written:
    /// then it holds for this window, is logged, and the file stays as it was.
    void startAndChoose_data()
    {
        QTest::addColumn<QByteArray>("inhalt"); // null: no file; "/": a folder in its place; "|": a FIFO
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("angezeigt");
        QTest::addColumn<QString>("warnung");
        QByteArray muell(4096, Qt::Uninitialized);
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32 *>(muell.data()), muell.size() / 4);
        const QByteArray stored("; Tarvel\n[system]\npreis1=1\nPREIS2=2\nArt=2\nDatei=/a/b.txt\ndrawwidth=3\nOffsetX=150\nOffsetY=-75\nAbstand4Bahn=300\n");
        QTest::newRow("no file") << QByteArray() << false << Standard << "";
        QTest::newRow("stored choices, names in other case") << stored << false << "1 2 2 „/a/b.txt“ 3 24,19 150 -75 300" << "";
        QTest::newRow("binary garbage") << muell << false << Standard << "Einstellungsdatei beschädigt";
        QTest::newRow("a line that is no setting")
            << QByteArray("[System]\nPreis1=1\nkaputt\n") << false << "1 3 0 „“ 4 18,14 0 0 0" << "beschädigt";
        QTest::newRow("numbers out of range") << QByteArray("[System]\nPreis1=7\nPreis2=-1\nArt=3\n") << false << Standard
                                              << "Einstellung \"Preis1\" = \"7\" ist keine gültige Auswahl; es gilt 3";
        QTest::newRow("words or nothing for numbers, offsets as typed")
            << QByteArray("[System]\nPreis1=EK\nPreis2=\nArt=Laser\nDrawWidth=breit\nOffsetX=12abc\nOffsetY=\n") << false
            << "3 3 0 „“ 4 18,14 12abc  0" << "\"Art\" = \"Laser\" ist keine gültige Auswahl";
        QTest::newRow("numbers beyond 16 bits")
            << QByteArray("[System]\nPreis1=99999999999\nPreis2=1e300\nArt=-40000\nDrawWidth=99999\n") << false << Standard
            << "\"Preis2\" = \"1e300\"";
        QTest::newRow("negative bar width") << QByteArray("[System]\nDrawWidth=-3\n") << false << Standard
                                            << "DrawWidth \"-3\" ist keine Strichbreite; die Standardbreite gilt";
        QTest::newRow("lists and typed values")
            << QByteArray("[System]\nPreis1=1, 2\nPreis2=@Rect(1 2 3 4)\nArt=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QSize)\n"
                          "Datei=@ByteArray(\\0\\x1)\nDrawWidth=@Rect(1 2 3 4)\nOffsetX=@ByteArray(x)\nOffsetY=1, 2\n"
                          "Abstand4Bahn=@Size(3 4)\n")
            << false << Standard << "Einstellung \"Datei\" ist kein Text und wird nicht beachtet";
        QTest::newRow("a folder in the file's place") << QByteArray("/") << false << Standard << "Einstellungsdatei nicht lesbar";
        QTest::newRow("a FIFO in the file's place, no writer")
            << QByteArray("|") << false << Standard << "ist keine gewöhnliche Datei (eine Pipe oder ein Gerät)";
        QTest::newRow("read-only, stored choices") << stored << true << "1 2 2 „/a/b.txt“ 3 24,19 150 -75 300" << "";
    }
    void startAndChoose()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(bool, readOnly);
        QFETCH(QString, angezeigt);
        QFETCH(QString, warnung);
        g_warnings.clear();
        QTemporaryDir home;
        std::optional<tarvel::test::LockedFolder> locked;
        if (readOnly)
            locked.emplace(tarvel::test::LockedFolder::ReadOnly, [&](const QString &path) { write(path, inhalt); });
        else
            write(home.path(), inhalt);
        if (locked && !locked->isLocked())
            QSKIP(qPrintable(locked->how()));

        tarvel::mainwindow::Quelm w;
        QCOMPARE(shown(w), angezeigt);
        if (warnung.isEmpty() && !readOnly)
            QCOMPARE(g_warnings, QStringList());
        QVERIFY2(warned(warnung), qPrintable(g_warnings.join(u'\n')));

        auto *ek = w.findChild<QRadioButton *>(QStringLiteral("Option1(0)"));
        ek->click();
        QVERIFY(ek->isChecked());
        if (!readOnly && inhalt != "/" && inhalt != "|") {
            QCOMPARE(SettingsStore::read("Tarvel", "System", "Preis1"), QStringLiteral("0"));
            return;
        }
        QVERIFY2(warned("Einstellung \"Preis1\" konnte nicht gespeichert werden"), qPrintable(g_warnings.join(u'\n')));
        QFile file(m_file);
        if (readOnly && file.open(QIODevice::ReadOnly))
            QCOMPARE(file.readAll(), inhalt);
        QVERIFY(file.exists() != inhalt.isNull());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
