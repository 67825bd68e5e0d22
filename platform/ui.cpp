#include "platform/ui.h"

#include <QApplication>
#include <QCursor>

#include <ctime>

namespace {
bool g_hourglass = false;
int g_busy = 0;
bool g_shuttingDown = false;
} // namespace

BusyScope::BusyScope()
{
    ++g_busy;
}
BusyScope::~BusyScope()
{
    --g_busy;
}

namespace Ui {

void setHourglass()
{
    if (g_hourglass)
        return;
    g_hourglass = true;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void setNormalPointer()
{
    if (!g_hourglass)
        return;
    g_hourglass = false;
    QApplication::restoreOverrideCursor();
}

bool isHourglass()
{
    return g_hourglass;
}

bool isBusy()
{
    return g_busy > 0;
}

bool isShuttingDown()
{
    return g_shuttingDown;
}

void setShuttingDown(bool on)
{
    g_shuttingDown = on;
}

void DoEvents()
{
    QCoreApplication::processEvents();
}

void ThrottledYield()
{
    // Called per 255-byte block of an upload: the coarse clock (a few
    // milliseconds' resolution, read without a system call and at a
    // fraction of the precise clock's cost) is enough for 20 ms.
    static qint64 last = -1;
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    const qint64 ms = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    if (last >= 0 && ms - last < 20 && ms >= last)
        return;
    QCoreApplication::processEvents();
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    last = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace Ui
