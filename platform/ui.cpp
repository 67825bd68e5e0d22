#include "platform/ui.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>

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
    static QElapsedTimer since;
    if (since.isValid() && since.elapsed() < 20)
        return;
    QCoreApplication::processEvents();
    since.restart();
}

} // namespace Ui
