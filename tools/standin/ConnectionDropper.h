#pragma once

#include <string>

namespace standin {

// Shuts down, in both directions, the accepted connection on `localPort` whose peer is
// remoteAddr:remotePort, so that not one byte of a reply reaches the client but `bytesFirst`,
// written raw to the socket just before. cpp-httplib gives a
// handler no access to its socket, so the socket is found among the process's descriptors.
// Returns false when no such connection is open.
bool DropConnection(const std::string& remoteAddr, int remotePort, int localPort,
                    const std::string& bytesFirst = {});

} // namespace standin
