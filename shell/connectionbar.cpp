// The connection bar: connecting from the menu, the toolbar and the Enter
// key, the behaviour of its text boxes, and the connection watchdog.

#include "core/mpublic.h"
#include "shell/mdimain.h"

void mdiMain::Initialize_Internet() {}

bool mdiMain::OpenConnection(const QString &, const QString &, const QString &, const QString &)
{
    return false;
}

void mdiMain::QuickConnect() {}
void mdiMain::mnuVerbindungVerbinden_Click() {}
void mdiMain::timIsConnected_Timer() {}

void mdiMain::tlbConnect_ButtonClick(const QString &key)
{
    if (key == QLatin1String("connect"))
        mnuVerbindungVerbinden_Click();
    else if (key == QLatin1String("ascii"))
        mnuVerbindungASCIIListe_Click();
}

bool mdiMain::connectionBarEvent(QObject *, QEvent *)
{
    return false;
}
