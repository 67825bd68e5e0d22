#pragma once
// The main window's own connect road: its session and connection handles.

#include "platform/wininet.h"

// The session of the main window's connect road.
extern HINTERNET hMainInternet;
// The connection made by OpenConnection; on success hFtpConnection holds
// the same handle, and it is closed through hFtpConnection.
extern HINTERNET hMainConnection;

// Closes the road's session and puts both handles back to 0 (used by tests;
// the connection itself belongs to hFtpConnection).
void ResetConnectionBarState();

// The agent text of the main window's sessions.
inline constexpr const char *MainAgent = "quilmarven laboratories FTP Client 1";
