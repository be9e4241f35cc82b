#pragma once

#include <QStringList>

#include <optional>

class QIODevice;

namespace cli {

class DescriptorOutput;

// Run first, before anything opens a file. A standard descriptor that is closed is taken by
// /dev/null opened read-only, so that no file opened later lands there (output then fails as on
// a closed descriptor), and SIGPIPE ends the program quietly even when the parent ignores it.
void PrepareStandardStreams();

// The program's arguments after its name, or nothing when one of them is not UTF-8.
std::optional<QStringList> Utf8Arguments(int argc, const char* const* argv);

// When any write to standard output failed, says so on `err`, with the reason, and returns
// kOutputFailed; otherwise returns `status`.
int FinishOutput(const DescriptorOutput& out, QIODevice& err, int status);

} // namespace cli
