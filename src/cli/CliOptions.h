#pragma once

#include "cli/CliArguments.h"

#include <QString>

#include <optional>
#include <span>

namespace cli {

// What the options of one command line have set, before they are checked against each other.
struct OptionValues {
    TranslateRequest translate;
    bool help = false;
    bool version = false;
    bool configure = false;
    bool http = false;
    bool https = false;
    bool translateOptionGiven = false; // an option that only a translation takes
    bool inputChosen = false;          // -i, also "-i -" (standard input)
};

// Sets what an option stands for; `value` is empty for an option without one. Returns why the
// value is refused, if it is.
using OptionSetter = std::optional<QString> (*)(OptionValues& values, const QString& value);

// One option of quorvel-cli: parsing, --help and the manual pages all read it from here.
struct CliOption {
    const char* shortName; // "-s", or nullptr
    const char* longName;  // "--source"
    // The value's name in the help and the Chinese page, and in the English page; nullptr for an
    // option without a value.
    const char* valueZh;
    const char* valueEn;
    // Its lines in --help, after the names (a '\n' starts a line under the first).
    const char* helpZh;
    // Its text under OPTIONS in the English and the Chinese manual page, in roff.
    const char* manEn;
    const char* manZh;
    OptionSetter set; // nullptr: "--", the end of the options
};

// Every option, in the order --help and the manual pages show them.
std::span<const CliOption> CliOptions();

// The option `name` ("-s", "--source") names; nullptr for none.
const CliOption* FindOption(const QString& name);

// One exit status of quorvel-cli, in --help and the manual pages.
struct ExitStatusEntry {
    int status;
    const char* helpZh;
    const char* manEn; // roff
    const char* manZh; // roff
};

// Every exit status, 130 and 141 (a signal's, as the shell reports it) included.
std::span<const ExitStatusEntry> ExitStatuses();

} // namespace cli
