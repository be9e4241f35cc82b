#pragma once

// The exit statuses of quorvel-cli, which scripts rely on.
namespace cli {

enum ExitStatus : int {
    kSucceeded = 0,     // translated (or credentials stored, help or version shown)
    kServiceError = 1,  // the service answered with an error line
    kUsageError = 2,    // wrong arguments or input, or --configure stored nothing
    kRequestFailed = 3, // the request did not get through, or the reply was not understood
    kNoCredentials = 4, // no App ID and key in the settings file
    kOutputFailed = 5,  // standard output could not be written (a full disk, a closed stream)
    // What the shell reports when the program ends by a signal (128 + its number): Ctrl+C, and a
    // write into a pipe whose reader has gone.
    kInterrupted = 130,
    kBrokenPipe = 141,
};

} // namespace cli
