#include "core/session/PortRegistry.h"

#include <algorithm>

namespace velmora {
namespace {

bool holds(const RegisteredSession& session, const std::string& path)
{
    return session.connectionState() != ConnectionState::disconnected && session.selectedDevicePath() == path;
}

} // namespace

PortRegistry& PortRegistry::shared(MainQueue& mainQueue)
{
    // Never destroyed: the shell and sessions may still reach it while statics are torn down.
    static PortRegistry* const registry = new PortRegistry(mainQueue, PortScanner::create(mainQueue));
    return *registry;
}

PortRegistry::PortRegistry(MainQueue& mainQueue, std::shared_ptr<PortScanner> scanner)
    : mainQueue_(mainQueue), scanner_(std::move(scanner))
{
    if (!scanner_)
        return;
    // The scanner reports on the main thread, so the list is published directly.
    scannerReports_ =
        scanner_->reports().subscribe([this](const std::vector<SerialPortInfo>& list) { ports.set(list); });
    scanner_->start();
}

PortRegistry::~PortRegistry() = default;

void PortRegistry::registerSession(std::weak_ptr<RegisteredSession> session)
{
    std::erase_if(sessions_, [](const std::weak_ptr<RegisteredSession>& entry) { return entry.expired(); });
    sessions_.push_back(std::move(session));
}

std::vector<std::shared_ptr<RegisteredSession>> PortRegistry::liveSessions() const
{
    std::vector<std::shared_ptr<RegisteredSession>> live;
    for (const auto& entry : sessions_) {
        if (auto session = entry.lock())
            live.push_back(std::move(session));
    }
    return live;
}

bool PortRegistry::isHeldByAnotherSession(const std::string& path, const RegisteredSession* asking) const
{
    const auto live = liveSessions();
    return std::any_of(live.begin(), live.end(), [&](const std::shared_ptr<RegisteredSession>& session) {
        return session.get() != asking && holds(*session, path);
    });
}

} // namespace velmora
