#pragma once

#include "app/shell/MonitorWindow.h"
#include "tools/screenshots/Scene.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
class ContentView;
class QtSettingsStore;
class Shell;
} // namespace velmora

namespace velmora::tools {

class FakeUno;

// Plays scenes on the real application: a Shell with real sessions over the process's port
// registry, each scene in a window of its own with settings of its own, so that nothing one
// scene remembers (the port, the baud rate) leaks into the next. After a scene has played and
// the event loop has settled, the window is written to a PNG file at a fixed size.
//
// Scenes run the event loop through settle() and waitUntil(); a step that does not reach the
// state it needs is recorded with expect() and fails the run, though the picture is still written
// so that one can see what went wrong.
//
// Thread: main thread.
class SceneRunner {
public:
    struct Services {
        MainQueue& mainQueue;
        AlertSound& alert;
        PortRegistry& registry;
        FakeUno& board;
    };

    // Windows are width x height unless a scene asks for another size.
    SceneRunner(Services services, int width, int height);
    ~SceneRunner();
    SceneRunner(const SceneRunner&) = delete;
    SceneRunner& operator=(const SceneRunner&) = delete;

    // Pictures wider than this are scaled down to it before they are written; 0 for none.
    void setOutputWidth(int width) { outputWidth_ = width; }

    // Plays the scene and writes the window to path. False when an expectation failed or the
    // file could not be written; the reasons go to standard error.
    bool run(const Scene& scene, const QString& path, bool printTexts);

    // For the scenes.
    MonitorWindow& window() { return *window_; }
    ContentView& view();
    Session& session();
    FakeUno& board() { return services_.board; }
    Shell& shell() { return *shell_; }
    // The picture shows this window instead of the scene's monitor window; it is hidden after.
    void grabInstead(QMainWindow& window) { subject_ = &window; }
    // What the application has sent to the board since the last call.
    std::string takeReceived();

    // Runs the event loop for the given time.
    void settle(std::chrono::milliseconds duration);
    // Runs the event loop until the condition holds; false when it still does not after timeout.
    bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The board sends each chunk in turn, one per interval, while the event loop runs.
    void sendOverTime(const std::vector<std::string>& chunks, std::chrono::milliseconds interval);
    // Records a failed expectation of the current scene when ok is false.
    void expect(bool ok, const std::string& what);
    // True when a widget of type T is shown in the scene's window.
    template <typename T> bool shows() const;

private:
    bool isShown(const QWidget* widget) const;
    void printShownTexts() const;
    void drainBoard();

    Services services_;
    int width_;
    int height_;
    QTemporaryDir settingsFolder_;
    // Every scene's store lives until the end: closed sessions may still hold theirs.
    std::vector<std::unique_ptr<QtSettingsStore>> settings_;
    std::unique_ptr<Shell> shell_;
    MonitorWindow* window_ = nullptr;
    QPointer<QMainWindow> subject_;
    int outputWidth_ = 0;
    // Read from the board as the loop runs, so that its terminal buffer never fills.
    std::string received_;
    std::string sceneName_;
    std::vector<std::string> failures_;
};

} // namespace velmora::tools

template <typename T> bool velmora::tools::SceneRunner::shows() const
{
    const QList<T*> found = window_->findChildren<T*>();
    for (const T* widget : found) {
        if (isShown(widget))
            return true;
    }
    return false;
}
