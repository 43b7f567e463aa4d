// The settings store on disk: an INI file that exists only after the first
// write, with Pelko's value names.

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt_settings_store.h"

using namespace pelko;

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void userStoreLivesInConfigFolder()
    {
        QtSettingsStore store;
        QCOMPARE(QFileInfo(store.fileName()).fileName(), QString("Pelko v.2.2.ini"));
        QCOMPARE(QFileInfo(store.fileName()).dir().dirName(), QString("Pelko"));
    }

    void createdByFirstWriteAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("cfg/Pelko/Pelko v.2.2.ini");
        const std::string project = "/home/ann/Мультик, part 1 & 2 ; \"x\".mcp";
        {
            QtSettingsStore store(path);
            QVERIFY(!store.canOpen());
            QVERIFY(store.canWrite());
            QVERIFY(!store.readInt("Start"));
            store.writeInt("Frame width", -320);
            store.writeText("File1", project);
            store.writeText("File2", "");
            QVERIFY(store.flush());
        }
        QVERIFY(QFile::exists(path));
        QtSettingsStore store(path);
        QVERIFY(store.canOpen());
        QCOMPARE(store.readInt("Frame width"), std::optional<std::int32_t>(-320));
        QCOMPARE(store.readText("File1"), std::optional<std::string>(project));
        QCOMPARE(store.readText("File2"), std::optional<std::string>(""));
        QSettings raw(path, QSettings::IniFormat);
        QCOMPARE(raw.value("Frame width").toInt(), -320);
    }

    void textThatIsNoNumberReadsAsMissing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.ini");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[General]\nStart=abc\nWidth= 700 \nHeight=1,2\nFile1=/a/b.mcp\n");
        f.close();
        QtSettingsStore store(path);
        QVERIFY(!store.readInt("Start"));
        QCOMPARE(store.readInt("Width"), std::optional<std::int32_t>(700));
        QVERIFY(!store.readInt("Height"));
        QVERIFY(!store.readInt("Frame height"));
        QCOMPARE(store.readText("File1"), std::optional<std::string>("/a/b.mcp"));
    }

    void unwritableFolderIsNotWritten()
    {
        if (QFileInfo("/proc/pelko").exists() || !QFileInfo("/proc").exists())
            QSKIP("needs /proc");
        QtSettingsStore store("/proc/pelko/Pelko v.2.2.ini");
        QVERIFY(!store.canOpen());
        QVERIFY(!store.canWrite());
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
