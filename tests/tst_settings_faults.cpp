// A broken settings file: binary garbage, values of a wrong type, a file that
// cannot be written or read. The main window and the setup dialog start with
// the defaults (or the values they can still read), log a warning, and keep
// working. (The server with such a file: tst_server_faults.)

#include "barcode/Code128.h"
#include "labelprinter/SetupFrm.h"
#include "mainwindow/Quelm.h"
#include "platform/Printer.h"
#include "platform/RecordingBackend.h"
#include "platform/PdfBackend.h"
#include "platform/PrinterChoice.h"
#include "platform/SettingsStore.h"
#include "support/LockedFolder.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

using tarvel::mainwindow::Quelm;
using namespace tarvel::platform;
using tarvel::test::LockedFolder;

namespace {

/// Warnings of Tarvel's own logging categories, collected while it lives.
class Warnungen
{
public:
    Warnungen()
    {
        s_self = this;
        m_previous = qInstallMessageHandler(&Warnungen::handler);
    }
    ~Warnungen()
    {
        qInstallMessageHandler(m_previous);
        s_self = nullptr;
    }
    const QStringList &texts() const { return m_texts; }
    bool any(const QString &part) const
    {
        return std::any_of(m_texts.begin(), m_texts.end(), [&](const QString &t) { return t.contains(part); });
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (s_self && type == QtWarningMsg && QByteArray(context.category).startsWith("tarvel."))
            s_self->m_texts << text;
        else if (s_self && s_self->m_previous)
            s_self->m_previous(type, context, text);
    }
    static inline Warnungen *s_self = nullptr;
    QtMessageHandler m_previous = nullptr;
    QStringList m_texts;
};

/// Which buttons of the three groups are checked, and the file shown.
struct Wahl
{
    int preis1 = -1, preis2 = -1, art = -1;
    QString datei;
    bool operator==(const Wahl &) const = default;
};

Wahl wahlVon(const Quelm &w)
{
    Wahl out;
    const auto checked = [&](int group, int count) {
        for (int i = 0; i < count; ++i) {
            auto *b = w.findChild<QRadioButton *>(QStringLiteral("Option%1(%2)").arg(group).arg(i));
            if (b && b->isChecked())
                return i;
        }
        return -1;
    };
    out.preis1 = checked(1, 4);
    out.preis2 = checked(2, 4);
    out.art = checked(3, 3);
    out.datei = w.findChild<QGroupBox *>(QStringLiteral("DateiFrame"))->title();
    return out;
}

const Wahl Standard{3, 3, 0, QString()};

/// Strichbreite, OffsetXCtrl, OffsetYCtrl and Abstand4BahnCtrl of a setup
/// dialog loaded on a 300-dpi printer.
QStringList setupBoxes()
{
    tarvel::platform::Printer printer(std::make_unique<tarvel::platform::RecordingBackend>(300.0));
    tarvel::barcode::Code128 code;
    tarvel::labelprinter::SetupFrm frm(printer, code);
    QStringList out;
    for (const char *name : {"Strichbreite", "OffsetXCtrl", "OffsetYCtrl", "Abstand4BahnCtrl"})
        out << frm.findChild<QLineEdit *>(QLatin1String(name))->text();
    return out;
}
const QStringList SetupStandard{"4", "0", "0", "0"};

QByteArray muell(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (char &c : out)
        c = char(random() & 0xFF);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Wahl)

class TestSettingsFaults : public QObject
{
    Q_OBJECT
    QTemporaryDir m_jobs;

    /// The settings live in \a folder from now on; returns the file's path.
    static QString settingsIn(const QString &folder)
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
        return QDir(folder).filePath(QStringLiteral("Tarvel/Tarvel.ini"));
    }
    static void write(const QString &file, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void initTestCase()
    {
        PdfBackend::setJobsFolder(m_jobs.path());
        PrinterChoice::instance().setCurrent(PdfBackend::DeviceName);
    }

    // The file is there but says nothing usable: every choice falls back to
    // its default, a warning names what was ignored, and the window's own
    // choices are stored again.
    void unreadableContent_data()
    {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("warnung");
        QTest::newRow("binary garbage") << muell(4096, 1) << "Einstellungsdatei beschädigt";
        QTest::newRow("garbage in the section") << "[System]\n" + muell(4096, 2) << "Einstellungsdatei beschädigt";
        QTest::newRow("numbers out of range")
            << QByteArray("[System]\nPreis1=7\nPreis2=-1\nArt=3\n") << "\"Preis1\" = \"7\" ist keine gültige Auswahl";
        QTest::newRow("words for numbers")
            << QByteArray("[System]\nPreis1=EK\nPreis2=zwei\nArt=Laser\nDrawWidth=breit\n")
            << "\"Art\" = \"Laser\" ist keine gültige Auswahl";
        QTest::newRow("numbers beyond 16 bits")
            << QByteArray("[System]\nPreis1=99999999999\nPreis2=1e300\nArt=-40000\nDrawWidth=99999\n")
            << "\"Preis2\" = \"1e300\"";
        QTest::newRow("lists and typed values")
            << QByteArray("[System]\nPreis1=1, 2\nPreis2=@Rect(1 2 3 4)\nArt=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QSize)\n"
                          "Datei=@ByteArray(\\0\\x1)\nDrawWidth=@Rect(1 2 3 4)\nOffsetX=@ByteArray(x)\nOffsetY=1, 2\n"
                          "Abstand4Bahn=@Size(3 4)\n")
            << "\"Datei\" ist kein Text";
        QTest::newRow("empty values") << QByteArray("[System]\nPreis1=\nPreis2=\nArt=\n") << "\"Preis1\" = \"\" ist keine gültige Auswahl";
    }
    void unreadableContent()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, warnung);
        QTemporaryDir dir;
        const QString file = settingsIn(dir.path());
        write(file, inhalt);

        Warnungen warnungen;
        Quelm w;
        QCOMPARE(wahlVon(w), Standard);
        QCOMPARE(setupBoxes(), SetupStandard);
        QVERIFY2(warnungen.any(warnung), qPrintable(warnungen.texts().join(u'\n')));
        // The window works: a choice is taken and stored.
        w.findChild<QRadioButton *>(QStringLiteral("Option1(1)"))->click();
        QCOMPARE(SettingsStore::read("Tarvel", "System", "Preis1"), QStringLiteral("1"));
    }

    // A file or folder that cannot be written: the window starts with what it
    // can read, a choice that cannot be stored is logged, and the choice still
    // holds for this window.
    void unwritable_data()
    {
        QTest::addColumn<QByteArray>("inhalt"); // empty: no file at all
        QTest::addColumn<Wahl>("erwartet");
        QTest::newRow("stored choices, read-only")
            << QByteArray("[System]\nPreis1=1\nPreis2=2\nArt=2\nDatei=/nirgends/artikel.txt\n")
            << Wahl{1, 2, 2, QStringLiteral("/nirgends/artikel.txt")};
        QTest::newRow("no file, read-only folder") << QByteArray() << Standard;
    }
    void unwritable()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(Wahl, erwartet);
        LockedFolder folder(LockedFolder::ReadOnly, [&](const QString &path) {
            if (!inhalt.isEmpty())
                write(settingsIn(path), inhalt);
        });
        if (!folder.isLocked())
            QSKIP(qPrintable(folder.how()));
        settingsIn(folder.path());

        Warnungen warnungen;
        Quelm w;
        QCOMPARE(wahlVon(w), erwartet);
        w.findChild<QRadioButton *>(QStringLiteral("Option1(0)"))->click();
        QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("Option1(0)"))->isChecked());
        QVERIFY2(warnungen.any(QStringLiteral("\"Preis1\" konnte nicht gespeichert werden")),
                 qPrintable(warnungen.texts().join(u'\n')));
        // The file is as it was, for the next start.
        QFile file(QDir(folder.path()).filePath(QStringLiteral("Tarvel/Tarvel.ini")));
        if (inhalt.isEmpty()) {
            QVERIFY(!file.exists());
        } else {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), inhalt);
        }
    }

    // The settings file is a folder: nothing can be read or written.
    void fileIsAFolder()
    {
        QTemporaryDir dir;
        const QString file = settingsIn(dir.path());
        QVERIFY(QDir().mkpath(file));
        Warnungen warnungen;
        Quelm w;
        QCOMPARE(wahlVon(w), Standard);
        QVERIFY2(warnungen.any(QStringLiteral("Einstellungsdatei nicht lesbar")), qPrintable(warnungen.texts().join(u'\n')));
        w.findChild<QRadioButton *>(QStringLiteral("Option3(1)"))->click();
        QVERIFY(warnungen.any(QStringLiteral("\"Art\" konnte nicht gespeichert werden")));
    }
};

QTEST_MAIN(TestSettingsFaults)
#include "tst_settings_faults.moc"
