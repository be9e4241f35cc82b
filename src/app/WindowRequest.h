#pragma once

#include "client/ConnectionOptions.h"
#include "credentials/Credentials.h"
#include "frontend/Translation.h"
#include "platform/HttpConnection.h"

#include <QString>

#include <memory>

namespace app {

// Everything one translation of the window sends, taken from the window and the settings file
// on the user-interface thread, so that the request can run on another.
struct WindowRequest {
    QString source; // as the source box holds it, line breaks as CR LF
    QString from, to;
    modStrHexByte::Credentials credentials;
    bool https = false;
    modQuorvel::ConnectionOptions connection;
    // The window's connection, kept from one translation to the next, so that a second one pays
    // no new handshakes; shared so that it outlives a request the window no longer waits for.
    std::shared_ptr<platform::HttpConnection> kept;
    double requestsPerSecond = 1; // the account's rate, for a text sent in several requests
    // A text too long for one request, to be translated whole all the same: split into requests
    // of whole lines and paced as quorvel-cli sends documents.
    bool whole = false;
};

// The window's one way to the service, from any thread: the text to show comes back for every
// outcome. A text translated whole comes back one line for each line of the source, in order.
frontend::TranslationResult RunWindowRequest(const WindowRequest& request);

} // namespace app
