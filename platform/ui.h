#pragma once
// The mouse pointer and yielding to pending window messages.

namespace Ui {

// The hourglass (wait cursor) and back to normal. Calls do not nest: the
// pointer is either the hourglass or normal, as the design sets it.
void setHourglass();
void setNormalPointer();
bool isHourglass();

// Processes pending window messages once.
void DoEvents();
// Processes pending messages at most every few milliseconds, for loops that
// run per block or per item, so that yielding never dominates a transfer.
void ThrottledYield();

// A long operation (a transfer, a delete, a listing) runs inside the handler
// that started it and yields to pending messages between its steps. While it
// runs, the commands that would start another one do nothing, so that the
// running one finishes undisturbed.
bool isBusy();

// Set once the main window is closing: a running operation stops at its next
// item and nothing is re-created or reconnected after it. A new main window
// clears it.
bool isShuttingDown();
void setShuttingDown(bool on);

} // namespace Ui

// Marks a long operation for its lifetime. Nested scopes are allowed: the
// operation that started first owns the connection until it ends.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};

// Shows the hourglass for its lifetime and restores the normal pointer on
// every way out, early returns included.
class WaitCursor {
public:
    WaitCursor() { Ui::setHourglass(); }
    ~WaitCursor() { Ui::setNormalPointer(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
