// The main window's menus "Mein Computer" and "Mein Server": the commands of
// the panes' context menus, with shortcuts. Every server item but Open and
// Open with tests the connection first.

#include "core/download.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "core/shellservices.h"
#include "core/upload.h"
#include "localpane/frmlocal.h"
#include "localpane/frmpopupfrmlocal.h"
#include "platform/dialogs.h"
#include "platform/ui.h"
#include "serverpane/frmpopupfrmserver.h"
#include "serverpane/openserverfile.h"
#include "shell/mdimain.h"

#include <QAction>

namespace {

// Runs a command unless a long operation is running.
void whenIdle(void (*command)())
{
    if (!Ui::isBusy())
        command();
}

// A server command runs only while connected; else the message alone.
void whenConnected(void (*command)())
{
    if (Ui::isBusy())
        return;
    if (hFtpConnection == 0) {
        dialogs().MsgBox(GetText("FRMSERVER_NOCONNECTION"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    command();
}

frmPopUpfrmLocal &localMenu()
{
    return frmPopUpfrmLocal::instance();
}
frmPopUpfrmServer &serverMenu()
{
    return frmPopUpfrmServer::instance();
}

} // namespace

void mdiMain::mnuMyComputerUpload_Click()
{
    whenIdle(UploadSelection);
}
void mdiMain::mnuMyComputerUploadAls_Click()
{
    whenIdle([] { localMenu().mnuUploadAls_Click(); });
}
void mdiMain::mnuMyComputerOeffnen_Click()
{
    whenIdle(OpenLocalSelection);
}
void mdiMain::mnuMyComputerOeffnenMit_Click()
{
    whenIdle([] { localMenu().mnuOeffnenMit_Click(); });
}
void mdiMain::mnuMyComputerUmbenennen_Click()
{
    whenIdle([] { localMenu().RenameSelection(RenameRelist::LocalPane); });
}
void mdiMain::mnuMyComputerLoeschen_Click()
{
    whenIdle([] { localMenu().mnuLoeschen_Click(); });
}
void mdiMain::mnuMyComputerNeuOrdner_Click()
{
    whenIdle([] { localMenu().mnuNeuVerzeichnis_Click(); });
}
void mdiMain::mnuMyComputerAktualisieren_Click()
{
    whenIdle([] { frmLocal::instance().RefreshLocal(); });
}
void mdiMain::mnuMyComputerEigenschaften_Click()
{
    whenIdle([] { localMenu().mnuEigenschaften_Click(); });
}

void mdiMain::mnuMyServerDownload_Click()
{
    whenConnected(DownloadServerSelectionAndReconnect);
}
void mdiMain::mnuMyServerDownloadAls_Click()
{
    whenConnected([] { serverMenu().mnuDownloadAls_Click(); });
}
void mdiMain::mnuMyServerOeffnen_Click()
{
    whenIdle([] { OpenServerSelection(ServerOpenVariant::Open, ServerOpenKeys::Open, true); });
}
void mdiMain::mnuMyServerOeffnenMit_Click()
{
    whenIdle(
        [] { OpenServerSelection(ServerOpenVariant::OpenWith, ServerOpenKeys::OpenWith, true); });
}
void mdiMain::mnuMyServerUmbenennen_Click()
{
    whenConnected([] { serverMenu().mnuUmbenennen_Click(); });
}
void mdiMain::mnuMyServerLoeschen_Click()
{
    whenConnected([] { serverMenu().mnuLoeschen_Click(); });
}
void mdiMain::mnuMyServerNeuOrdner_Click()
{
    whenConnected([] { serverMenu().mnuNeuVerzeichnis_Click(); });
}
void mdiMain::mnuMyServerAktualisieren_Click()
{
    whenConnected([] { serverMenu().mnuAktualisieren_Click(); });
}

void mdiMain::connectPaneMenus()
{
    const std::pair<QAction *, void (mdiMain::*)()> items[] = {
        {mnuMyComputerUpload, &mdiMain::mnuMyComputerUpload_Click},
        {mnuMyComputerUploadAls, &mdiMain::mnuMyComputerUploadAls_Click},
        {mnuMyComputerOeffnen, &mdiMain::mnuMyComputerOeffnen_Click},
        {mnuMyComputerOeffnenMit, &mdiMain::mnuMyComputerOeffnenMit_Click},
        {mnuMyComputerUmbenennen, &mdiMain::mnuMyComputerUmbenennen_Click},
        {mnuMyComputerLoeschen, &mdiMain::mnuMyComputerLoeschen_Click},
        {mnuMyComputerNeuOrdner, &mdiMain::mnuMyComputerNeuOrdner_Click},
        {mnuMyComputerAktualisieren, &mdiMain::mnuMyComputerAktualisieren_Click},
        {mnuMyComputerEigenschaften, &mdiMain::mnuMyComputerEigenschaften_Click},
        {mnuMyServerDownload, &mdiMain::mnuMyServerDownload_Click},
        {mnuMyServerDownloadAls, &mdiMain::mnuMyServerDownloadAls_Click},
        {mnuMyServerOeffnen, &mdiMain::mnuMyServerOeffnen_Click},
        {mnuMyServerOeffnenMit, &mdiMain::mnuMyServerOeffnenMit_Click},
        {mnuMyServerUmbenennen, &mdiMain::mnuMyServerUmbenennen_Click},
        {mnuMyServerLoeschen, &mdiMain::mnuMyServerLoeschen_Click},
        {mnuMyServerNeuOrdner, &mdiMain::mnuMyServerNeuOrdner_Click},
        {mnuMyServerAktualisieren, &mdiMain::mnuMyServerAktualisieren_Click},
    };
    for (const auto &[action, handler] : items)
        connect(action, &QAction::triggered, this, handler);
}
