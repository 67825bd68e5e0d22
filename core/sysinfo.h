#pragma once
// What the About dialog tells about the system: the registered owner and
// organisation, and the system-information program it can start. Nothing
// is ever written to the registry.

#include "platform/registry.h"

#include <QString>

// The registered owner, or "".
QString GetRegisteredOwner();
// The registered organisation, or "".
QString GetRegisteredOrganization();
// The value of the current-version key (of the system family GetVersionEx
// reports) named valueName, or "" on any failure.
QString GetRegisteredValue(const QString &valueName);

// Reads one value: true when it was read. out receives a text as it is, a
// REG_DWORD as "&h" and the hex digits of its bytes from the last to the
// first (each byte without leading zeros); other types leave out unchanged.
// A failure gives out "" and false.
bool GetKeyValue(HKEY root, const QString &subKey, const QString &valueName, QString &out);

// Starts the system-information program (through Desktop::launcher(),
// without arguments), or tells the user that there is none.
void StartSysInfo();
