#include "serverpane/frmpopupfrmserver.h"

#include "core/download.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/serverdelete.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "platform/listview.h"
#include "platform/pure/bytename.h"
#include "platform/ui.h"
#include "serverpane/frmdownloadals.h"
#include "serverpane/frmserver.h"
#include "serverpane/openserverfile.h"
#include "serverpane/servercommands.h"
#include "shell/mdimain.h"

#include <QCursor>
#include <QMenu>

namespace {

ListView &serverList()
{
    return *frmServer::instance().lsvServer;
}

bool moreThanOneSelected()
{
    if (serverList().selectedCount() < 2)
        return false;
    dialogs().MsgBox(GetText("FRMPUSERVER_ONEFILE"), MsgButtons::Ok, MsgIcon::Information);
    return true;
}

// Download as takes one item, and none whose text holds ".." (the parent
// entry, or a name like "a..b").
bool maySaveSelectedAs()
{
    if (moreThanOneSelected())
        return false;
    return !serverList().text(serverList().selectedItem()).contains(QLatin1String(".."));
}

} // namespace

frmPopUpfrmServer::frmPopUpfrmServer() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmPopUpfrmServer"));
    hide(); // the window only carries the menu
    mnu = new QMenu(QStringLiteral("Action"), this);
    mnu->setObjectName(QStringLiteral("mnu"));
    mnuDownload = addItem(mnu, "mnuDownload", &frmPopUpfrmServer::mnuDownload_Click);
    mnuDownloadAls = addItem(mnu, "mnuDownloadAls", &frmPopUpfrmServer::mnuDownloadAls_Click);
    mnuTrennlinie1 = mnu->addSeparator();
    mnuOeffnen = addItem(mnu, "mnuOeffnen", &frmPopUpfrmServer::mnuOeffnen_Click);
    mnuOeffnenMit = addItem(mnu, "mnuOeffnenMit", &frmPopUpfrmServer::mnuOeffnenMit_Click);
    mnuTrennlinie2 = mnu->addSeparator();
    mnuUmbenennen = addItem(mnu, "mnuUmbenennen", &frmPopUpfrmServer::mnuUmbenennen_Click);
    mnuTrennlinie3 = mnu->addSeparator();
    mnuLoeschen = addItem(mnu, "mnuLoeschen", &frmPopUpfrmServer::mnuLoeschen_Click);
    mnuTrennlinie4 = mnu->addSeparator();
    mnuNeu = mnu->addMenu(QStringLiteral("Neu"));
    mnuNeu->setObjectName(QStringLiteral("mnuNeu"));
    mnuNeuVerzeichnis =
        addItem(mnuNeu, "mnuNeuVerzeichnis", &frmPopUpfrmServer::mnuNeuVerzeichnis_Click);
    mnuTrennlinie5 = mnu->addSeparator();
    mnuAktualisieren = addItem(mnu, "mnuAktualisieren", &frmPopUpfrmServer::mnuAktualisieren_Click);
}

QAction *frmPopUpfrmServer::addItem(QMenu *menu, const char *name,
                                    void (frmPopUpfrmServer::*handler)())
{
    QAction *item = menu->addAction(QString());
    item->setObjectName(QLatin1String(name));
    // While a long operation runs and yields, a picked item does nothing.
    connect(item, &QAction::triggered, this, [this, handler] {
        if (!Ui::isBusy())
            (this->*handler)();
    });
    return item;
}

void frmPopUpfrmServer::Form_Load()
{
    mnuDownload->setText(GetText("FRMPUSERVER_DOWNLOAD"));
    mnuDownloadAls->setText(GetText("FRMPUSERVER_DOWNLOADAS"));
    mnuOeffnen->setText(GetText("FRMPUSERVER_OPEN"));
    mnuOeffnenMit->setText(GetText("FRMPUSERVER_OPENWITH"));
    mnuUmbenennen->setText(GetText("FRMPUSERVER_RENAME"));
    mnuLoeschen->setText(GetText("FRMPUSERVER_DELETE"));
    mnuNeu->setTitle(GetText("FRMPUSERVER_NEW"));
    mnuNeuVerzeichnis->setText(GetText("FRMPUSERVER_NEWFOLDER"));
    mnuAktualisieren->setText(GetText("FRMPUSERVER_REFRESH"));
}

void frmPopUpfrmServer::PopupMenu(QMenu *menu, QAction *defaultItem)
{
    menu->setDefaultAction(defaultItem);
    menu->popup(QCursor::pos());
}

void frmPopUpfrmServer::mnuAktualisieren_Click()
{
    const WaitCursor wait;
    RefreshServerList(hFtpConnection);
}

void frmPopUpfrmServer::mnuDownload_Click()
{
    DownloadServerSelection();
}

void frmPopUpfrmServer::mnuDownloadAls_Click()
{
    if (maySaveSelectedAs())
        frmDownloadAls::ShowModal();
}

void frmPopUpfrmServer::mnuLoeschen_Click()
{
    DeleteServerSelectionAndPrune();
}

void frmPopUpfrmServer::mnuNeuVerzeichnis_Click()
{
    MakeServerFolder(NewFolderKeys::ContextMenu);
}

void frmPopUpfrmServer::mnuOeffnen_Click()
{
    OpenServerSelection(ServerOpenVariant::Open, ServerOpenKeys::Open, false);
}

void frmPopUpfrmServer::mnuOeffnenMit_Click()
{
    OpenServerSelection(ServerOpenVariant::OpenWith, ServerOpenKeys::OpenWith, false);
}

void frmPopUpfrmServer::mnuUmbenennen_Click()
{
    if (moreThanOneSelected())
        return;
    // The ".." entry is not left out: the server refuses to rename it. The
    // listed name is used whole: " a.txt" and "a.txt" are two files.
    const QString oldName = serverList().text(serverList().selectedItem());
    LogLine(GetText("FRMPUSERVER_RENAMEOF") + QLatin1Char(' ') + oldName);
    int x = 0, y = 0;
    inputBoxPositionTwips(x, y);
    const QString prompt = GetText("FRMPUSERVER_NEWNAME") + QLatin1Char(' ') +
                           ByteName::shown(oldName) + QLatin1String(" ?");
    // The box offers the name as shown; given back unchanged it is the
    // listed name, not one whose bytes were replaced (which may be another
    // file that the rename would overwrite).
    const QString shown = ByteName::shown(oldName);
    QString newName = dialogs().InputBox(prompt, QString(), shown, x, y);
    if (newName == shown)
        newName = oldName;
    if (newName.isEmpty()) {
        LogLine(GetText("FRMPUSERVER_RENAMECANCEL"), LogColor::Red);
        return;
    }
    if (!FtpRename(oldName, newName)) {
        LogLine(GetText("FRMPUSERVER_RENAMEFAILED"), LogColor::Red);
        return;
    }
    LogLine(GetText("FRMPUSERVER_RENAMEOK"), LogColor::Green);
    RefreshServerList(hFtpConnection);
}
