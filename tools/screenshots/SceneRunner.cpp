#include "tools/screenshots/SceneRunner.h"

#include "app/monitor/ContentView.h"
#include "app/platform/QtSettingsStore.h"
#include "app/shell/Shell.h"
#include "tools/screenshots/FakeUno.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <iostream>

namespace velmora::tools {

SceneRunner::SceneRunner(Services services, int width, int height)
    : services_(services), width_(width), height_(height)
{
    shell_ = std::make_unique<Shell>(
        [this] {
            return VelmoraModel::create({services_.mainQueue, *settings_.back(), services_.alert, services_.registry,
                nullptr, nullptr});
        },
        services_.registry);
}

SceneRunner::~SceneRunner()
{
    shell_->shutDown();
    for (auto* window : shell_->windows())
        delete window;
}

ContentView& SceneRunner::view()
{
    return *window_->currentView();
}

VelmoraModel& SceneRunner::session()
{
    return view().model();
}

bool SceneRunner::run(const Scene& scene, const QString& path, bool printTexts)
{
    sceneName_ = scene.name;
    failures_.clear();
    settings_.push_back(std::make_unique<QtSettingsStore>(
        settingsFolder_.filePath(QString::fromStdString(scene.name) + QStringLiteral(".json"))));

    window_ = shell_->newWindow();
    window_->resize(width_, height_);
    window_->activateWindow();
    expect(waitUntil([this] { return window_->isVisible() && window_->size() == QSize(width_, height_); }),
        "the window is shown at " + std::to_string(width_) + "x" + std::to_string(height_));

    scene.play(*this);
    // Layouts, the coalescer's batches and the output's repaint all land within this.
    settle(std::chrono::milliseconds(400));

    if (printTexts)
        printShownTexts();
    const QPixmap picture = window_->grab();
    const bool written = picture.save(path, "PNG");
    expect(written, "the picture is written to " + path.toStdString());

    // Frees the port at once, so the next scene's session can open it.
    shell_->shutDown();
    window_->close();
    settle(std::chrono::milliseconds(100));
    window_ = nullptr;

    for (const auto& failure : failures_)
        std::cerr << scene.name << ": expected " << failure << ", but it is not so\n";
    return failures_.empty();
}

void SceneRunner::settle(std::chrono::milliseconds duration)
{
    // An alert runs a loop of its own inside this one and waits for a click no one will make:
    // it is recorded as a failure and dismissed, which lets this loop end.
    QTimer alertWatch;
    QObject::connect(&alertWatch, &QTimer::timeout, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            expect(false, "no alert (\"" + box->text().toStdString() + "\")");
            box->done(0);
        }
    });
    alertWatch.start(std::chrono::milliseconds(100));
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

bool SceneRunner::waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        settle(std::chrono::milliseconds(20));
        services_.board.takeReceived();
    }
    return true;
}

void SceneRunner::sendOverTime(const std::vector<std::string>& chunks, std::chrono::milliseconds interval)
{
    for (const auto& chunk : chunks) {
        if (!services_.board.send(chunk)) {
            expect(false, "the board can send");
            return;
        }
        settle(interval);
        // Nothing reads what the application sends otherwise; the terminal buffer must not fill.
        services_.board.takeReceived();
    }
}

void SceneRunner::expect(bool ok, const std::string& what)
{
    if (!ok)
        failures_.push_back(what);
}

bool SceneRunner::isShown(const QWidget* widget) const
{
    return widget->isVisibleTo(window_) && !widget->visibleRegion().isEmpty();
}

void SceneRunner::printShownTexts() const
{
    std::cout << "[" << sceneName_ << "]\n";
    const auto line = [](const char* kind, const QString& text) {
        if (!text.trimmed().isEmpty())
            std::cout << "  " << kind << ": " << text.toStdString() << "\n";
    };
    line("window title", window_->windowTitle());
    for (const auto* menu : window_->menuBar()->actions()) {
        line("menu", menu->text());
        if (menu->menu()) {
            for (const auto* item : menu->menu()->actions())
                line("  item", item->text());
        }
    }
    for (const auto* widget : window_->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window_))
            continue;
        line("tooltip", widget->toolTip());
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            line("label", label->text());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            line("button", button->text());
        else if (const auto* box = qobject_cast<const QComboBox*>(widget))
            line("picker", box->currentText());
        else if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
            line("field", field->text());
            line("placeholder", field->placeholderText());
        }
    }
}

} // namespace velmora::tools
