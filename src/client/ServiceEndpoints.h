#pragma once

#include "client/modQuorvel.h"

#include <optional>

class clsIniFile;

namespace modQuorvel {

// The connection options for one translation: the real endpoints, unless the settings file's
// `Service` section names others (how the demo and end-to-end checks reach a local service).
ConnectionOptions ConnectionOptionsFromSettings(const clsIniFile& ini);

// Why a request meant for HTTPS must not go to `endpoint`: it would cross the network in clear
// text. Nothing for an https:// address, nor for a loopback host (a local service, as in the demo).
std::optional<QString> RefusalOfHttpsEndpoint(const QString& endpoint);

} // namespace modQuorvel
