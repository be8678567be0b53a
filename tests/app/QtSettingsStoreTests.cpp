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

namespace {

template <typename T> SettingRead<T> present(T value)
{
    return {SettingStatus::present, std::move(value)};
}
template <typename T> SettingRead<T> otherType()
{
    return {SettingStatus::otherType, T{}};
}
template <typename T> SettingRead<T> absent()
{
    return {SettingStatus::absent, T{}};
}

} // namespace

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

    void valuesSurviveARestartAsTheTypeLastWrittenWhateverTheyLookLike()
    {
        const QString file = path("restart.json");
        const std::string name = "Gr\xC3\xBC\xC3\x9F"
                                 "e \xE2\x86\x92 \xF0\x9F\x98\x80";
        {
            QtSettingsStore store(file);
            store.writeInteger("baud", 115200);
            store.writeInteger("huge", std::numeric_limits<std::int64_t>::max());
            store.writeInteger("negative", -42);
            store.writeBool("autoscroll", false);
            store.writeBool("echo", true);
            store.writeString("port", "/dev/ttyACM0");
            store.writeString("name", name);
            store.writeString("flagText", "true");
            store.writeString("numberText", "115200");
            store.writeInteger("one", 1);
            store.writeInteger("zero", 0);
            // Overwriting a key changes its type at once.
            store.writeInteger("displayMode", 3);
            store.writeString("displayMode", "hex");
            QCOMPARE(store.readInteger("displayMode"), otherType<std::int64_t>());
            QCOMPARE(store.readString("displayMode"), present<std::string>("hex"));
            store.writeBool("flag", true);
            store.writeInteger("flag", 7);
            QCOMPARE(store.status(), QSettings::NoError);
        }
        const auto restarted = reopen(file);
        QVERIFY(restarted);
        QtSettingsStore& reopened = *restarted;
        QCOMPARE(reopened.readInteger("baud"), present<std::int64_t>(115200));
        QCOMPARE(reopened.readInteger("huge"), present<std::int64_t>(std::numeric_limits<std::int64_t>::max()));
        QCOMPARE(reopened.readInteger("negative"), present<std::int64_t>(-42));
        QCOMPARE(reopened.readBool("autoscroll"), present<bool>(false));
        QCOMPARE(reopened.readBool("echo"), present<bool>(true));
        QCOMPARE(reopened.readString("port"), present<std::string>("/dev/ttyACM0"));
        QCOMPARE(reopened.readString("name"), present<std::string>(name));
        QCOMPARE(reopened.status(), QSettings::NoError);

        // Text that looks like a flag or a number, and numbers that look like flags, stay as written.
        QCOMPARE(reopened.readBool("flagText"), otherType<bool>());
        QCOMPARE(reopened.readString("flagText"), present<std::string>("true"));
        QCOMPARE(reopened.readInteger("numberText"), otherType<std::int64_t>());
        QCOMPARE(reopened.readBool("one"), otherType<bool>());
        QCOMPARE(reopened.readBool("zero"), otherType<bool>());
        QCOMPARE(reopened.readString("one"), otherType<std::string>());
        QCOMPARE(reopened.readInteger("one"), present<std::int64_t>(1));
        QCOMPARE(reopened.readBool("echo"), present<bool>(true));
        QCOMPARE(reopened.readInteger("echo"), otherType<std::int64_t>());

        QCOMPARE(reopened.value("displayMode"), std::optional<SettingValue>(std::string("hex")));
        QCOMPARE(reopened.value("flag"), std::optional<SettingValue>(std::int64_t{7}));
        reopened.writeBool("flag", false);
        QCOMPARE(reopened.value("flag"), std::optional<SettingValue>(false));
    }

    void absentKeysReadAsAbsentInANewFileAndBesidePresentOnes()
    {
        const QString file = path("absent.json");
        {
            QtSettingsStore fresh(file);
            QCOMPARE(fresh.value("port"), std::nullopt);
            QCOMPARE(fresh.readString("port"), absent<std::string>());
            fresh.writeString("port", "/dev/ttyUSB0");
        }
        const auto restarted = reopen(file);
        QVERIFY(restarted);
        QtSettingsStore& reopened = *restarted;
        QCOMPARE(reopened.value("baud"), std::nullopt);
        QCOMPARE(reopened.readInteger("baud"), absent<std::int64_t>());
        QCOMPARE(reopened.readBool("Port"), absent<bool>());
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
        QVERIFY(json.value("baud").isDouble() && json.value("timestamps").isBool() && json.value("parity").isString());
        QCOMPARE(json.toVariantMap(),
            (QVariantMap{{"baud", 9600}, {"timestamps", true}, {"parity", QStringLiteral("none")}}));
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
        QCOMPARE(store.readInteger("baud"), present<std::int64_t>(250000));
        QCOMPARE(store.readInteger("rounded"), present<std::int64_t>(4));
        QCOMPARE(store.value("fraction"), std::nullopt);
        QCOMPARE(store.value("list"), std::nullopt);
        QCOMPARE(store.readBool("flag"), present<bool>(false));

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
        QCOMPARE(restarted->readInteger("baud"), present<std::int64_t>(57600));
        QCOMPARE(readFileAsJson(expected).value("baud").toInteger(), 57600);
    }
};

QTEST_GUILESS_MAIN(QtSettingsStoreTests)
#include "QtSettingsStoreTests.moc"
