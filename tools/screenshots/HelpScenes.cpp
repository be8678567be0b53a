#include "app/help/HelpTopicView.h"
#include "app/help/HelpView.h"
#include "app/help/HelpWindow.h"
#include "app/shell/Shell.h"
#include "tools/screenshots/Scene.h"
#include "tools/screenshots/SceneRunner.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <stdexcept>

using namespace std::chrono_literals;

namespace velmora::tools {
namespace {

// The help window as the Help menu opens it, at a size that shows a topic's screenshot whole,
// with no search left from an earlier scene.
HelpView& openHelp(SceneRunner& runner)
{
    HelpWindow& help = *runner.shell().openHelp();
    const QSize size(1000, 700);
    help.resize(size);
    runner.grabInstead(help);
    help.view()->searchField()->clear();
    runner.expect(runner.waitUntil([&] { return help.isVisible() && help.size() == size; }),
        "the help window is shown at 1000x700");
    return *help.view();
}

void firstTopic(SceneRunner& runner)
{
    HelpView& help = openHelp(runner);
    help.topicList()->setCurrentRow(0);
    runner.settle(100ms);
    const HelpTopic& first = help.topics().front();
    runner.expect(
        help.topicView() && help.topicView()->topic().id == first.id, "the first topic (" + first.id + ") is shown");
    const bool hasScreenshot = std::any_of(first.blocks.begin(), first.blocks.end(),
        [](const HelpBlock& block) { return std::holds_alternative<HelpBlocks::Screenshot>(block); });
    if (hasScreenshot && help.topicView()) {
        const auto* figure = help.topicView()->findChild<QWidget*>(QStringLiteral("helpScreenshot"));
        runner.expect(figure && figure->isVisible(), "the topic shows its screenshot");
    }
}

void search(SceneRunner& runner)
{
    HelpView& help = openHelp(runner);
    help.searchField()->setText(QStringLiteral("baud"));
    runner.settle(100ms);
    const int found = help.topicList()->count();
    runner.expect(help.topicList()->isVisible() && found > 0, "the search for \"baud\" finds topics");
    runner.expect(found < static_cast<int>(help.topics().size()), "the search leaves some topics out");
    runner.expect(!help.noResultsLabel()->isVisible(), "\"No topics found\" is not shown");
    const auto* selected = help.topicList()->currentItem();
    runner.expect(
        selected && help.topicView() && selected->text() == QString::fromStdString(help.topicView()->topic().title),
        "a found topic is selected and shown");
}

// The scene of that name under the name the help uses.
Scene renamed(const std::vector<Scene>& scenes, const std::string& from, std::string to)
{
    const auto found =
        std::find_if(scenes.begin(), scenes.end(), [&](const Scene& scene) { return scene.name == from; });
    if (found == scenes.end())
        throw std::logic_error("no scene " + from);
    Scene scene = *found;
    scene.name = std::move(to);
    return scene;
}

} // namespace

std::vector<Scene> helpWindowScenes()
{
    return {
        {"help-window", "the help window with its first topic", firstTopic},
        {"help-search", "the help window searching for \"baud\"", search},
    };
}

std::vector<Scene> helpImageScenes()
{
    const auto monitor = monitorScenes();
    const auto plotter = plotterScenes();
    return {
        renamed(monitor, "monitor-conversation", "overview"),
        renamed(monitor, "monitor-hex-dump", "hex-dump"),
        renamed(plotter, "plotter-cards", "plotter-cards"),
        renamed(plotter, "plotter-cards-detail", "plotter-card-detail"),
        renamed(monitor, "monitor-garbled", "garbled-data"),
    };
}

} // namespace velmora::tools
