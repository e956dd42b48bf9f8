#include "platform/SettingsStore.h"

#include <QSettings>
#include <QtTest>

using namespace tarvel::platform;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").clear();
    }

    void defaultWhenAbsent()
    {
        QCOMPARE(SettingsStore::read("TarVel", "System", "OffsetX", 0), QStringLiteral("0"));
        QCOMPARE(SettingsStore::read("TarVel", "System", "Datei"), QString());
    }

    void roundTripIgnoresCase_data()
    {
        QTest::addColumn<QString>("writeApp");
        QTest::addColumn<QString>("writeKey");
        QTest::addColumn<QString>("readApp");
        QTest::addColumn<QString>("readSection");
        QTest::addColumn<QString>("readKey");
        QTest::newRow("same spelling") << "Tarvel" << "OffsetX" << "Tarvel" << "System" << "OffsetX";
        QTest::newRow("load spelling") << "Tarvel" << "OffsetX" << "TarVel" << "System" << "OffsetX";
        QTest::newRow("key lower") << "Tarvel" << "OffsetX" << "TarVel" << "system" << "offsetx";
        QTest::newRow("written upper") << "TARVEL" << "OFFSETX" << "tarvel" << "System" << "OffsetX";
    }
    void roundTripIgnoresCase()
    {
        QFETCH(QString, writeApp);
        QFETCH(QString, writeKey);
        QFETCH(QString, readApp);
        QFETCH(QString, readSection);
        QFETCH(QString, readKey);
        QVERIFY(SettingsStore::write(writeApp, "System", writeKey, "150"));
        QCOMPARE(SettingsStore::read(readApp, readSection, readKey, 0), QStringLiteral("150"));
        // A second write in another case replaces the entry instead of adding one.
        QVERIFY(SettingsStore::write(readApp, readSection, readKey.toUpper(), "75"));
        QCOMPARE(SettingsStore::read(writeApp, "System", writeKey, 0), QStringLiteral("75"));
        QSettings s(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel");
        s.beginGroup("System");
        QCOMPARE(s.childKeys().size(), 1);
    }

    void badDrawWidthCountsAsAbsent_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("width");
        QTest::newRow("number") << "4" << 4;
        QTest::newRow("not a number") << "breit" << 0;
        QTest::newRow("too large") << "40000" << 0;
        QTest::newRow("too small") << "-40000" << 0;
        QTest::newRow("negative") << "-3" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void badDrawWidthCountsAsAbsent()
    {
        QFETCH(QString, stored);
        QFETCH(int, width);
        SettingsStore::write("Tarvel", "System", "DrawWidth", stored);
        if (width == 0 && stored != "0")
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("DrawWidth"));
        QCOMPARE(int(SettingsStore::drawWidth()), width);
    }

    void garbageFileGivesDefaults()
    {
        const QString path = QSettings(QSettings::IniFormat, QSettings::UserScope, "Tarvel", "Tarvel").fileName();
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        static const char garbage[] = "\x00\xff\xfe[System\n=\x01\x02";
        f.write(garbage, sizeof garbage - 1);
        f.close();
        QCOMPARE(SettingsStore::read("TarVel", "System", "OffsetX", 0), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
