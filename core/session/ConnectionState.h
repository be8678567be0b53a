#pragma once

namespace velmora {

// Where a session's connection stands. While waitingForDevice no port is open, but the
// session still holds its port: it reconnects when the device comes back.
enum class ConnectionState { disconnected, connected, waitingForDevice };

} // namespace velmora
