#include "client/ServiceEndpoints.h"

#include "settings/SettingsFile.h"
#include "settings/clsIniFile.h"

namespace modQuorvel {

ConnectionOptions ConnectionOptionsFromSettings(const clsIniFile& ini) {
    using SettingsFile::IsSet;
    using SettingsFile::TrimBlanks;
    ConnectionOptions options;
    const QString http =
        TrimBlanks(ini.GetSetting(SettingsFile::kService, SettingsFile::kHttpEndpointKey));
    if (IsSet(http))
        options.httpEndpoint = http;
    const QString https =
        TrimBlanks(ini.GetSetting(SettingsFile::kService, SettingsFile::kHttpsEndpointKey));
    if (IsSet(https))
        options.httpsEndpoint = https;
    return options;
}

} // namespace modQuorvel
