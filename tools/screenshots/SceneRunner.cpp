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
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <iostream>
#include <utility>

namespace velmora::tools {

SceneRunner::SceneRunner(Services services, int width, int height) : services_(services), width_(width), height_(height)
{
    shell_ = std::make_unique<Shell>(
        [this] {
            return VelmoraModel::create(
                {services_.mainQueue, *settings_.back(), services_.alert, services_.registry, nullptr});
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

Session& SceneRunner::session()
{
    return view().model();
}

bool SceneRunner::run(const Scene& scene, const QString& path, bool printTexts)
{
    sceneName_ = scene.name;
    failures_.clear();
    settings_.push_back(std::make_unique<QtSettingsStore>(
        settingsFolder_.filePath(QString::fromStdString(scene.name) + QStringLiteral(".json"))));

    received_.clear();
    const QSize size(scene.width > 0 ? scene.width : width_, scene.height > 0 ? scene.height : height_);
    window_ = shell_->newWindow();
    subject_ = window_;
    window_->resize(size);
    window_->activateWindow();
    expect(waitUntil([this, size] { return window_->isVisible() && window_->size() == size; }),
        "the window is shown at " + std::to_string(size.width()) + "x" + std::to_string(size.height()));

    scene.play(*this);
    // Layouts, the coalescer's batches and the output's repaint all land within this.
    settle(std::chrono::milliseconds(400));

    if (printTexts)
        printShownTexts();
    QImage picture = subject_ ? subject_->grab().toImage() : QImage();
    expect(!picture.isNull(), "the window can be grabbed");
    if (outputWidth_ > 0 && picture.width() > outputWidth_)
        picture = picture.scaledToWidth(outputWidth_, Qt::SmoothTransformation);
    // Quality 0: the strongest compression; PNG loses nothing by it.
    const bool written = picture.save(path, "PNG", 0);
    expect(written, "the picture is written to " + path.toStdString());

    // Frees the port at once, so the next scene's session can open it.
    shell_->shutDown();
    if (subject_ && subject_ != window_)
        subject_->hide();
    window_->close();
    settle(std::chrono::milliseconds(100));
    window_ = nullptr;
    subject_ = nullptr;

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
        drainBoard();
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
        drainBoard();
    }
}

std::string SceneRunner::takeReceived()
{
    drainBoard();
    return std::exchange(received_, {});
}

void SceneRunner::drainBoard()
{
    // Nothing reads what the application sends otherwise; the terminal buffer must not fill.
    // A scene that does not look at it would keep it forever: only the newest part is kept.
    constexpr std::size_t kept = 64 * 1024;
    received_ += services_.board.takeReceived();
    if (received_.size() > kept)
        received_.erase(0, received_.size() - kept);
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
    const QMainWindow* shown = subject_ ? subject_.data() : window_;
    std::cout << "[" << sceneName_ << "]\n";
    const auto line = [](const char* kind, const QString& text) {
        if (!text.trimmed().isEmpty())
            std::cout << "  " << kind << ": " << text.toStdString() << "\n";
    };
    line("window title", shown->windowTitle());
    for (const auto* menu : shown->menuBar()->actions()) {
        line("menu", menu->text());
        if (menu->menu()) {
            for (const auto* item : menu->menu()->actions())
                line("  item", item->text());
        }
    }
    for (const auto* widget : shown->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(shown))
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
