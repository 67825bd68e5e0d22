// The main window's menu bar, built from one table; the menus "Mein Computer"
// and "Mein Server" run the commands of the panes' context menus, with
// shortcuts. Every server item but Open and Open with tests the connection
// first.

#include "shell/mainmenus.h"
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
#include <QMenuBar>

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

namespace {

using M = mdiMain;
constexpr QKeyCombination NoShortcut{};

// clang-format off
const MainMenuEntry Entries[] = {
    {0, &M::mnuFile, nullptr, "mnuFile", "&Datei", TextKey("Datei"), NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuFileExit, "mnuFileExit", "&Exit", nullptr, NoShortcut, &M::mnuFileExit_Click, false},

    {0, &M::mnuVerbindung, nullptr, "mnuVerbindung", "&Verbindung", TextKey("MY_CONNECTION"), NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuVerbindungVerbinden, "mnuVerbindungVerbinden", "&Verbinden", nullptr, NoShortcut, &M::mnuVerbindungVerbinden_Click, false},
    {1, &M::mnuVerbindungTransfer, nullptr, "mnuVerbindungTransfer", "Transfer", TextKey("TRANSFERMODUS"), NoShortcut, nullptr, false},
    {2, nullptr, &M::mnuVerbindungTransferASCII, "mnuVerbindungTransferASCII", "ASCII", TextKey("OPT_ASCII"), NoShortcut, &M::mnuVerbindungTransferASCII_Click, true},
    {2, nullptr, &M::mnuVerbindungTransferBINARY, "mnuVerbindungTransferBINARY", "BINARY", TextKey("OPT_BINARY"), NoShortcut, &M::mnuVerbindungTransferBINARY_Click, true},
    {2, nullptr, &M::mnuVerbindungTransferAUTO, "mnuVerbindungTransferAUTO", "AUTO", TextKey("OPT_AUTO"), NoShortcut, &M::mnuVerbindungTransferAUTO_Click, true},
    {1, &M::mnuVerbindungPassiverTransfer, nullptr, "mnuVerbindungPassiverTransfer", "Passiv", TextKey("CHK_PASSIVE"), NoShortcut, nullptr, false},
    {2, nullptr, &M::mnuVerbindungTransfertypEin, "mnuVerbindungTransfertypEin", "Ein", TextKey("EIN"), NoShortcut, nullptr, false},
    {2, nullptr, &M::mnuVerbindungTransfertypAus, "mnuVerbindungTransfertypAus", "Aus", TextKey("AUS"), NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuVerbindungASCIIListe, "mnuVerbindungASCIIListe", "ASCII-Liste", TextKey("ASCII_LIST_SHOW"), NoShortcut, &M::mnuVerbindungASCIIListe_Click, false},

    {0, &M::mnuMyComputer, nullptr, "mnuMyComputer", "Mein &Computer", TextKey("FRMLOCAL_MYCOMPUTER"), NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyComputerUpload, "mnuMyComputerUpload", "&Upload", TextKey("FRMPULOC_UPLOAD"), Qt::Key_F2, &M::mnuMyComputerUpload_Click, false},
    {1, nullptr, &M::mnuMyComputerUploadAls, "mnuMyComputerUploadAls", "U&pload als ...", TextKey("FRMPULOC_UPLOADAS"), NoShortcut, &M::mnuMyComputerUploadAls_Click, false},
    {1, nullptr, nullptr, "mnuMyComputerTrennlinie1", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyComputerOeffnen, "mnuMyComputerOeffnen", "&Öffnen", TextKey("FRMPULOC_OPEN"), Qt::Key_F3, &M::mnuMyComputerOeffnen_Click, false},
    {1, nullptr, &M::mnuMyComputerOeffnenMit, "mnuMyComputerOeffnenMit", "Öffnen &mit ...", TextKey("FRMPULOC_OPENWITH"), NoShortcut, &M::mnuMyComputerOeffnenMit_Click, false},
    {1, nullptr, nullptr, "mnuMyComputerTrennlinie2", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyComputerUmbenennen, "mnuMyComputerUmbenennen", "&Umbenennen", TextKey("FRMPULOC_RENAME"), NoShortcut, &M::mnuMyComputerUmbenennen_Click, false},
    {1, nullptr, nullptr, "mnuMyComputerTrennlinie3", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyComputerLoeschen, "mnuMyComputerLoeschen", "&Löschen", TextKey("FRMPULOC_DELETE"), Qt::Key_Delete, &M::mnuMyComputerLoeschen_Click, false},
    {1, nullptr, nullptr, "mnuMyComputerTrennlinie4", "-", nullptr, NoShortcut, nullptr, false},
    {1, &M::mnuMyComputerNeu, nullptr, "mnuMyComputerNeu", "&Neu", TextKey("FRMPULOC_NEW"), NoShortcut, nullptr, false},
    {2, nullptr, &M::mnuMyComputerNeuOrdner, "mnuMyComputerNeuOrdner", "&Ordner", TextKey("FRMPULOC_NEWFOLDER"), NoShortcut, &M::mnuMyComputerNeuOrdner_Click, false},
    {1, nullptr, nullptr, "mnuMyComputerTrennlinie5", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyComputerAktualisieren, "mnuMyComputerAktualisieren", "&Aktualisieren", TextKey("FRMPULOC_REFRESH"), Qt::Key_F5, &M::mnuMyComputerAktualisieren_Click, false},
    {1, nullptr, nullptr, "mnuMyComputerTrennlinie6", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyComputerEigenschaften, "mnuMyComputerEigenschaften", "&Eigenschaften", TextKey("FRMPULOC_PROP"), NoShortcut, &M::mnuMyComputerEigenschaften_Click, false},

    {0, &M::mnuMyServer, nullptr, "mnuMyServer", "Mein &Server", TextKey("FRMSERVER_FRA"), NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyServerDownload, "mnuMyServerDownload", "&Download", TextKey("FRMPUSERVER_DOWNLOAD"), Qt::CTRL | Qt::Key_F2, &M::mnuMyServerDownload_Click, false},
    {1, nullptr, &M::mnuMyServerDownloadAls, "mnuMyServerDownloadAls", "D&ownload als ...", TextKey("FRMPUSERVER_DOWNLOADAS"), NoShortcut, &M::mnuMyServerDownloadAls_Click, false},
    {1, nullptr, nullptr, "mnuMyServerTrennlinie1", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyServerOeffnen, "mnuMyServerOeffnen", "&Öffnen", TextKey("FRMPUSERVER_OPEN"), Qt::CTRL | Qt::Key_F3, &M::mnuMyServerOeffnen_Click, false},
    {1, nullptr, &M::mnuMyServerOeffnenMit, "mnuMyServerOeffnenMit", "Öffnen &mit ...", TextKey("FRMPUSERVER_OPENWITH"), NoShortcut, &M::mnuMyServerOeffnenMit_Click, false},
    {1, nullptr, nullptr, "mnuMyServerTrennlinie2", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyServerUmbenennen, "mnuMyServerUmbenennen", "&Umbenennen", TextKey("FRMPUSERVER_RENAME"), NoShortcut, &M::mnuMyServerUmbenennen_Click, false},
    {1, nullptr, nullptr, "mnuMyServerTrennlinie3", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyServerLoeschen, "mnuMyServerLoeschen", "&Löschen", TextKey("FRMPUSERVER_DELETE"), Qt::SHIFT | Qt::Key_Delete, &M::mnuMyServerLoeschen_Click, false},
    {1, nullptr, nullptr, "mnuMyServerTrennlinie4", "-", nullptr, NoShortcut, nullptr, false},
    {1, &M::mnuMyServerNeu, nullptr, "mnuMyServerNeu", "&Neu", TextKey("FRMPUSERVER_NEW"), NoShortcut, nullptr, false},
    {2, nullptr, &M::mnuMyServerNeuOrdner, "mnuMyServerNeuOrdner", "&Ordner", TextKey("FRMPUSERVER_NEWFOLDER"), NoShortcut, &M::mnuMyServerNeuOrdner_Click, false},
    {1, nullptr, nullptr, "mnuMyServerTrennlinie5", "-", nullptr, NoShortcut, nullptr, false},
    {1, nullptr, &M::mnuMyServerAktualisieren, "mnuMyServerAktualisieren", "&Aktualisieren", TextKey("FRMPUSERVER_REFRESH"), Qt::CTRL | Qt::Key_F5, &M::mnuMyServerAktualisieren_Click, false},

    {0, &M::mniInfo, nullptr, "mniInfo", "&?", nullptr, NoShortcut, nullptr, false},
    {1, &M::mnuInfoWeb, nullptr, "mnuInfoWeb", "&Web", TextKey("MDIMAIN_WEBSITE"), NoShortcut, nullptr, false},
    {2, nullptr, &M::mnuInfoWebHomepage, "mnuInfoWebHomepage", "&Homepage", nullptr, NoShortcut, &M::mnuInfoWebHomepage_Click, false},
    {1, nullptr, &M::mnuInfoInfo, "mnuInfoInfo", "&Info", nullptr, NoShortcut, &M::mnuInfoInfo_Click, false},
};
// clang-format on

} // namespace

std::span<const MainMenuEntry> MainMenuTable()
{
    return Entries;
}

void mdiMain::buildMenus()
{
    QMenu *parents[3] = {};
    for (const MainMenuEntry &e : Entries) {
        QMenu *parent = e.level > 0 ? parents[e.level - 1] : nullptr;
        const QString caption = QString::fromUtf8(e.caption);
        if (e.menu) {
            QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            m->setObjectName(QLatin1String(e.name));
            this->*e.menu = m;
            parents[e.level] = m;
        } else if (e.action) {
            QAction *a = parent->addAction(caption);
            a->setObjectName(QLatin1String(e.name));
            a->setCheckable(e.checkable);
            if (e.shortcut.key() != Qt::Key_unknown)
                a->setShortcut(e.shortcut);
            if (e.handler)
                connect(a, &QAction::triggered, this, e.handler);
            this->*e.action = a;
        } else {
            parent->addSeparator()->setObjectName(QLatin1String(e.name));
        }
    }
}

void mdiMain::setMenuCaptions()
{
    for (const MainMenuEntry &e : Entries) {
        if (!e.key)
            continue;
        if (e.menu)
            (this->*e.menu)->setTitle(GetText(e.key));
        else
            (this->*e.action)->setText(GetText(e.key));
    }
}
