#include "app/monitor/ContentView.h"
#include "app/monitor/PlatformText.h"
#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "localization/L10n.h"
#include "tests/helpers/CountingAlert.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace velmora;

namespace {

SerialPortInfo usbBoard(std::string path)
{
    return {std::move(path), std::string("Uno"), 0x2341, 0x0043};
}

QStringList entries(QComboBox* picker)
{
    QStringList texts;
    for (int i = 0; i < picker->count(); ++i)
        texts << picker->itemText(i);
    return texts;
}

} // namespace

class ContentViewTests : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<VelmoraModel> makeModel()
    {
        return VelmoraModel::create({queue, settings, alert, registry, nullptr, nullptr});
    }

    L10n::ScopedLanguage english{Language::en};
    ManualMainQueue queue;
    InMemorySettingsStore settings;
    velmora::testing::CountingAlert alert;
    PortRegistry registry{queue, nullptr};

private slots:
    void thePortPickerListsPortsWithTheirStateAndKeepsARememberedAbsentPort()
    {
        auto model = makeModel();
        ContentView view(model);
        auto* picker = view.findChildren<QComboBox*>().at(0);
        QCOMPARE(entries(picker), QStringList{"No ports found"});

        registry.ports.set({usbBoard("/dev/ttyACM0"), {"/dev/ttyS0", std::nullopt, std::nullopt, std::nullopt}});
        QCOMPARE(model->selectedPath().value(), std::string("/dev/ttyACM0"));
        QCOMPARE(entries(picker), (QStringList{"/dev/ttyACM0 — Arduino Uno", "/dev/ttyS0"}));

        model->setSelectedPath("/dev/ttyUSB7");
        QCOMPARE(entries(picker), (QStringList{"/dev/ttyUSB7 (not connected)", "/dev/ttyACM0 — Arduino Uno", "/dev/ttyS0"}));
        QCOMPARE(picker->currentText(), QString("/dev/ttyUSB7 (not connected)"));

        model->setSelectedPath("");
        QCOMPARE(entries(picker).first(), QString("Select a port…"));
    }

    void aCustomBaudRateTakesItsPlaceInOrder()
    {
        auto model = makeModel();
        ContentView view(model);
        auto* picker = view.findChildren<QComboBox*>().at(1);
        QCOMPARE(picker->count(), 20);
        model->setBaudRate(76800);
        QCOMPARE(picker->count(), 21);
        const int custom = picker->findText("76800 baud");
        QCOMPARE(picker->itemText(custom - 1), QString("74880 baud"));
        QCOMPARE(picker->itemText(custom + 1), QString("115200 baud"));
        QCOMPARE(picker->currentIndex(), custom);
        picker->activated(picker->findText("2000000 baud"));
        QCOMPARE(model->baudRate().value(), 2000000);
    }

    void typedTextIsCutToWholeCharactersWithin4096Bytes()
    {
        QCOMPARE(cappedToUtf8Bytes(QString(5000, 'a'), 4096).size(), 4096);
        QCOMPARE(cappedToUtf8Bytes(QString(3000, QChar(0x00E9)), 4096).size(), 2048);
        QCOMPARE(cappedToUtf8Bytes(QString(2000, QChar(0x20AC)), 4096).size(), 1365);
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QCOMPARE(cappedToUtf8Bytes(QString(4094, 'a') + emoji, 4096), QString(4094, 'a'));
        QCOMPARE(cappedToUtf8Bytes(QString("short"), 4096), QString("short"));
    }

    void theConnectButtonFollowsTheStateAndShowsShortcutsInThisPlatformsNotation()
    {
        registry.ports.set({});
        settings.remove("port");
        auto model = makeModel();
        ContentView view(model);
        auto* button = view.findChildren<QPushButton*>().at(0);
        QCOMPARE(button->text(), QString("Connect"));
        QCOMPARE(button->toolTip(), QString("Connect (Ctrl+R)"));
        QVERIFY(!button->isEnabled());
        model->setSelectedPath("/dev/ttyACM0");
        QVERIFY(button->isEnabled());
        QCOMPARE(platformText("Show numbers from the received data as a graph (⌘⇧L)"),
            QString("Show numbers from the received data as a graph (Ctrl+Shift+L)"));
        auto* input = view.findChild<QLineEdit*>();
        QCOMPARE(input->placeholderText(), QString("Not connected — select a port and click Connect"));
    }
};

QTEST_MAIN(ContentViewTests)
#include "ContentViewTests.moc"
