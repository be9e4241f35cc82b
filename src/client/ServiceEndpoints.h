#pragma once

#include <QString>

#include <optional>

namespace modQuorvel {

// Why a request meant for HTTPS must not go to `endpoint`: it would cross the network in clear
// text. Nothing for an https:// address, nor for a loopback host (a local service, as in the demo).
std::optional<QString> RefusalOfHttpsEndpoint(const QString& endpoint);

} // namespace modQuorvel
