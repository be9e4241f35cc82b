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

// Shuts down every accepted connection on `localPort`: a kept connection then ends at once
// rather than when its keep-alive time runs out.
void DropAllConnections(int localPort);

// cpp-httplib listens with a backlog of 5 connections: a client that opens a few dozen at once
// would see some of them wait a second for the SYN to be sent again. This listens again on the
// listening socket of `localPort`, found the same way, with the system's largest backlog.
void WidenListenBacklog(int localPort);

} // namespace standin
