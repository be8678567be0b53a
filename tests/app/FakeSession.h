#pragma once

#include "core/exec/ManualMainQueue.h"
#include "core/platform/InMemorySettingsStore.h"
#include "core/session/Session.h"

#include <set>
#include <string>
#include <vector>

namespace velmora::testing {

// What a fake session stands on; a base of it, so that it is made before the session and goes
// after it.
struct FakeSessionGround {
    ManualMainQueue queue;
    InMemorySettingsStore settings;
};

// A session without a port, for testing views: they bind to it as to a real one, the test sets
// what it shows and reads which actions the views asked for. Its plot store runs on its own
// virtual clock (queue).
class FakeSession final : public FakeSessionGround, public Session {
public:
    FakeSession() : Session(queue, settings) {}

    ConnectionStatus& connectionStatus() { return connectionStatus_; }
    ReceiveStatus& receiveStatus() { return receiveStatus_; }
    Published<std::int64_t>& sentBytes() { return txBytes_; }
    OutputBuffer& outputBuffer() { return output_; }
    void fail(std::string message) { errorMessage_.set(std::move(message)); }

    // What the views asked for, in order: "connect", "send", "steps DTR on", "save /path", ...
    std::vector<std::string> actions;
    // The paths another tab holds.
    std::set<std::string> heldElsewhere;

    void connect() override { actions.push_back("connect"); }
    void disconnect() override { actions.push_back("disconnect"); }
    void send() override { actions.push_back("send " + composer_.inputText.value()); }
    void runLineSteps(std::vector<LineStep>, std::string message) override { actions.push_back("steps " + message); }
    void clearOutput() override { actions.push_back("clear"); }
    void saveOutput(const std::filesystem::path& target) override { actions.push_back("save " + target.string()); }
    void dismissGarbage() override
    {
        actions.push_back("dismiss garbage");
        receiveStatus_.garbageSuspected.set(false);
    }
    void cancelNoDataHint() override { receiveStatus_.showNoDataHint.setIfChanged(false); }
    bool isHeldByAnotherSession(const std::string& path) const override { return heldElsewhere.count(path) > 0; }
};

} // namespace velmora::testing
