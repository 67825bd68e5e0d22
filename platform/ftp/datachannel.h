#pragma once
// The data connection of one transfer command (LIST, MLSD, RETR, STOR).
//
// Passive mode asks EPSV first and PASV when the server does not know it;
// either way it connects to the control connection's peer, whatever address
// a PASV reply names, so a server cannot point the program at another host.
// Active mode listens on the control connection's local address and sends
// EPRT, or PORT when the server does not know EPRT; it takes the incoming
// connection only from the control connection's peer. Poco's
// FTPClientSession connects to the address the PASV reply names, which is
// why this part is written on the socket classes directly.

#include "platform/ftp/controlchannel.h"

#include <Poco/Net/ServerSocket.h>
#include <Poco/Net/StreamSocket.h>

#include <cstddef>
#include <functional>
#include <optional>

namespace ftp {

struct DataMode {
    bool passive = true;
    bool epsv = true; // cleared once the server refused EPSV
    bool eprt = true; // cleared once the server refused EPRT
    // Active mode: the socket the server connects to, kept for the
    // connection's transfers and given up after any failed one, so that a
    // late connection of a failed transfer is never taken for the next one.
    std::optional<Poco::Net::ServerSocket> listener;
};

// Sends `command` and opens its data connection. Succeeds when the server
// answered the command with a preliminary 1xx reply; the caller then moves
// the data and reads the final reply. On failure the reply (if any) that the
// server gave is in `reply`.
std::optional<Poco::Net::StreamSocket> openDataConnection(ControlChannel &control, DataMode &mode,
                                                          const QByteArray &command, int timeoutMs,
                                                          std::optional<Reply> &reply);

// How moving the data of a transfer ended. A timeout means the server went
// silent: its control connection is then given up too, without waiting a
// second timeout for a final reply that will not come.
enum class DataEnd { Complete, Failed, TimedOut };

// Reads the data connection to its end in large blocks and hands each block
// to `sink`, which returns false to give up. `idle`, when given, is called
// at least every 50 ms while no data come; it too returns false to give up.
DataEnd receiveAll(Poco::Net::StreamSocket &data, int timeoutMs,
                   const std::function<bool(const char *, int)> &sink,
                   const std::function<bool()> &idle = {});

// Closes a data connection whose data was read, with a reset instead of
// the orderly close: the server has closed its side (or the transfer is
// given up), and a transfer then leaves no socket waiting in TIME_WAIT.
// Thousands of those, one per file, slow down every later connection.
void closeReceived(Poco::Net::StreamSocket &data);

DataEnd sendAll(Poco::Net::StreamSocket &data, const char *bytes, std::size_t length,
                int timeoutMs);

// Parses "(|||port|)" of a 229 reply and the port of a 227 reply; 0 when
// the text holds none. Only the port is taken from a 227 reply.
int extendedPassivePort(const QByteArray &text);
int passivePort(const QByteArray &text);

} // namespace ftp
