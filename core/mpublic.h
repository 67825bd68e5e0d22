#pragma once
// The shared state of the FTP session and the work lists of the bulk
// operations. One instance each, for the whole run; ResetPublicState() puts
// everything back to its start value (used by tests).

#include "platform/wininet.h"

#include <QString>

#include <cstdint>

// The handle of the one FTP connection; 0 means not connected.
extern HINTERNET hFtpConnection;
// 0, or INTERNET_FLAG_PASSIVE while passive transfer is switched on.
extern std::uint32_t ConnectFlags;
// The session handle of the reconnect road.
extern HINTERNET hInternetSession;
// Transfer type of uploads: 1 ASCII, 2 binary.
extern int TransferType;

void ResetPublicState();
