#include "app/platform/QtSettingsStore.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <memory>

using velmora::QtSettingsStore;
using velmora::SettingRead;
using velmora::SettingStatus;
using velmora::SettingValue;

class QtSettingsStoreTests : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QTemporaryDir configHome_;

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    // QSettings keeps a file it has read cached for the rest of the process, so reopening the same
    // path would not read the disk. A copy under a new name is read from disk, as after a restart.
    std::unique_ptr<QtSettingsStore> reopen(const QString& file)
    {
        const QString copy = file + QStringLiteral(".restart%1").arg(++restarts_);
        if (!QFile::copy(file, copy))
            return nullptr;
        return std::make_unique<QtSettingsStore>(copy);
    }

    int restarts_ = 0;

    static QJsonObject readFileAsJson(const QString& filePath)
    {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            return {};
        return document.object();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(configHome_.isValid());
        // Before any QSettings looks up the config folder, so that no test touches the real one.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_.path()));
    }

    void integersBooleansAndStringsSurviveARestartAsTheirOwnTypes()
    {
        const QString file = path("restart.json");
        {
            QtSettingsStore store(file);
            store.writeInteger("baud", 115200);
            store.writeInteger("huge", std::numeric_limits<std::int64_t>::max());
            store.writeInteger("negative", -42);
            store.writeBool("autoscroll", false);
            store.writeBool("echo", true);
            store.writeString("port", "/dev/ttyACM0");
            store.writeString("name", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x86\x92 \xF0\x9F\x98\x80");
            QCOMPARE(store.status(), QSettings::NoError);
        }
        const auto restarted = reopen(file);
        QVERIFY(restarted);
        QtSettingsStore& reopened = *restarted;
        QCOMPARE(reopened.readInteger("baud"), (SettingRead<std::int64_t>{SettingStatus::present, 115200}));
        QCOMPARE(reopened.readInteger("huge"),
            (SettingRead<std::int64_t>{SettingStatus::present, std::numeric_limits<std::int64_t>::max()}));
        QCOMPARE(reopened.readInteger("negative"), (SettingRead<std::int64_t>{SettingStatus::present, -42}));
        QCOMPARE(reopened.readBool("autoscroll"), (SettingRead<bool>{SettingStatus::present, false}));
        QCOMPARE(reopened.readBool("echo"), (SettingRead<bool>{SettingStatus::present, true}));
        QCOMPARE(reopened.readString("port"), (SettingRead<std::string>{SettingStatus::present, "/dev/ttyACM0"}));
        QCOMPARE(reopened.readString("name"),
            (SettingRead<std::string>{SettingStatus::present, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x86\x92 \xF0\x9F\x98\x80"}));
        QCOMPARE(reopened.status(), QSettings::NoError);
    }

    void valuesThatLookLikeAnotherTypeKeepTheTypeTheyWereWrittenWith()
    {
        const QString file = path("lookalikes.json");
        {
            QtSettingsStore store(file);
            store.writeString("flagText", "true");
            store.writeString("numberText", "115200");
            store.writeInteger("one", 1);
            store.writeInteger("zero", 0);
            store.writeBool("flag", true);
        }
        const auto restarted = reopen(file);
        QVERIFY(restarted);
        QtSettingsStore& reopened = *restarted;
        QCOMPARE(reopened.readBool("flagText"), (SettingRead<bool>{SettingStatus::otherType, false}));
        QCOMPARE(reopened.readString("flagText"), (SettingRead<std::string>{SettingStatus::present, "true"}));
        QCOMPARE(reopened.readInteger("numberText"), (SettingRead<std::int64_t>{SettingStatus::otherType, 0}));
        QCOMPARE(reopened.readBool("one"), (SettingRead<bool>{SettingStatus::otherType, false}));
        QCOMPARE(reopened.readBool("zero"), (SettingRead<bool>{SettingStatus::otherType, false}));
        QCOMPARE(reopened.readString("one"), (SettingRead<std::string>{SettingStatus::otherType, ""}));
        QCOMPARE(reopened.readInteger("one"), (SettingRead<std::int64_t>{SettingStatus::present, 1}));
        QCOMPARE(reopened.readInteger("flag"), (SettingRead<std::int64_t>{SettingStatus::otherType, 0}));
        QVERIFY(reopened.value("one").has_value());
        QVERIFY(std::holds_alternative<std::int64_t>(*reopened.value("one")));
        QVERIFY(std::holds_alternative<bool>(*reopened.value("flag")));
        QVERIFY(std::holds_alternative<std::string>(*reopened.value("flagText")));
    }

    void overwritingAKeyChangesItsTypeBeforeAndAfterARestart()
    {
        const QString file = path("overwrite.json");
        {
            QtSettingsStore store(file);
            store.writeInteger("displayMode", 3);
            store.writeString("displayMode", "hex");
            QCOMPARE(store.readInteger("displayMode"), (SettingRead<std::int64_t>{SettingStatus::otherType, 0}));
            QCOMPARE(store.readString("displayMode"), (SettingRead<std::string>{SettingStatus::present, "hex"}));
            store.writeBool("echo", true);
            store.writeInteger("echo", 7);
        }
        const auto restarted = reopen(file);
        QVERIFY(restarted);
        QtSettingsStore& reopened = *restarted;
        QCOMPARE(reopened.value("displayMode"), std::optional<SettingValue>(SettingValue(std::string("hex"))));
        QCOMPARE(reopened.value("echo"), std::optional<SettingValue>(SettingValue(std::int64_t{7})));
        reopened.writeBool("echo", false);
        QCOMPARE(reopened.value("echo"), std::optional<SettingValue>(SettingValue(false)));
    }

    void absentKeysReadAsAbsentInANewFileAndBesidePresentOnes()
    {
        const QString file = path("absent.json");
        {
            QtSettingsStore fresh(file);
            QCOMPARE(fresh.value("port"), std::nullopt);
            QCOMPARE(fresh.readString("port"), (SettingRead<std::string>{SettingStatus::absent, ""}));
            fresh.writeString("port", "/dev/ttyUSB0");
        }
        const auto restarted = reopen(file);
        QVERIFY(restarted);
        QtSettingsStore& reopened = *restarted;
        QCOMPARE(reopened.value("baud"), std::nullopt);
        QCOMPARE(reopened.readInteger("baud"), (SettingRead<std::int64_t>{SettingStatus::absent, 0}));
        QCOMPARE(reopened.readBool("Port"), (SettingRead<bool>{SettingStatus::absent, false}));
        QVERIFY(reopened.value("port").has_value());
    }

    void theFileOnDiskIsJsonWithNativeTypesWrittenAtOnce()
    {
        const QString file = path("disk.json");
        QtSettingsStore store(file);
        store.writeInteger("baud", 9600);
        store.writeBool("timestamps", true);
        store.writeString("parity", "none");
        // Read while the store is still alive: a write reaches the disk without waiting.
        const QJsonObject json = readFileAsJson(file);
        QCOMPARE(json.size(), 3);
        QVERIFY(json.value("baud").isDouble());
        QCOMPARE(json.value("baud").toInteger(), 9600);
        QVERIFY(json.value("timestamps").isBool());
        QCOMPARE(json.value("timestamps").toBool(), true);
        QVERIFY(json.value("parity").isString());
        QCOMPARE(json.value("parity").toString(), QStringLiteral("none"));
    }

    void aFileWrittenByHandReadsIntegralNumbersAsIntegersAndOneThatIsNotJsonIsReported()
    {
        const QString file = path("hand.json");
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(R"({ "baud": 250000, "rounded": 4.0, "fraction": 1.5, "list": [1], "flag": false })");
        }
        QtSettingsStore store(file);
        QCOMPARE(store.status(), QSettings::NoError);
        QCOMPARE(store.readInteger("baud"), (SettingRead<std::int64_t>{SettingStatus::present, 250000}));
        QCOMPARE(store.readInteger("rounded"), (SettingRead<std::int64_t>{SettingStatus::present, 4}));
        QCOMPARE(store.value("fraction"), std::nullopt);
        QCOMPARE(store.value("list"), std::nullopt);
        QCOMPARE(store.readBool("flag"), (SettingRead<bool>{SettingStatus::present, false}));

        // One that is not JSON at all is reported and reads as empty.
        const QString broken = path("broken.json");
        {
            QFile out(broken);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("baud=115200\n");
        }
        QtSettingsStore unreadable(broken);
        QCOMPARE(unreadable.status(), QSettings::FormatError);
        QCOMPARE(unreadable.value("baud"), std::nullopt);
    }

    void theUsersStoreLivesInTheConfigFolderUnderTheApplicationId()
    {
        const QString expected = configHome_.filePath(QStringLiteral(VELMORA_APP_ID ".json"));
        {
            QtSettingsStore store;
            QCOMPARE(store.fileName(), expected);
            store.writeInteger("baud", 57600);
        }
        const auto restarted = reopen(expected);
        QVERIFY(restarted);
        QCOMPARE(restarted->readInteger("baud"), (SettingRead<std::int64_t>{SettingStatus::present, 57600}));
        QCOMPARE(readFileAsJson(expected).value("baud").toInteger(), 57600);
    }
};

QTEST_GUILESS_MAIN(QtSettingsStoreTests)
#include "QtSettingsStoreTests.moc"
