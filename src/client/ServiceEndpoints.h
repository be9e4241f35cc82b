#pragma once

#include "client/modQuorvel.h"

class clsIniFile;

namespace modQuorvel {

// The connection options for one translation: the real endpoints, unless the settings file's
// `Service` section names others (how the demo and end-to-end checks reach a local service).
ConnectionOptions ConnectionOptionsFromSettings(const clsIniFile& ini);

} // namespace modQuorvel
