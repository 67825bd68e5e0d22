#include "serverpane/frmserver.h"

#include "core/download.h"
#include "core/layout.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/serverdelete.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "localpane/frmlocal.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/icons.h"
#include "platform/keys.h"
#include "platform/listview.h"
#include "platform/pure/bytename.h"
#include "platform/toolbar.h"
#include "platform/twips.h"
#include "platform/ui.h"
#include "serverpane/frmpopupfrmserver.h"
#include "serverpane/openserverfile.h"
#include "serverpane/servercommands.h"
#include "serverpane/serverpanelayout.h"
#include "shell/mdimain.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QStyle>

namespace {

const QString Parent = QStringLiteral("..");

// The theme's icon where the theme can draw one, else the style's own.
QIcon buttonIcon(const char *themeName, QStyle::StandardPixmap fallback)
{
    Icons::ensureTheme();
    const QString name = QLatin1String(themeName);
    if (QIcon::hasThemeIcon(name) || QIcon::hasThemeIcon(name + QLatin1String("-symbolic")))
        return Icons::toolbarIcon({name});
    return QApplication::style()->standardIcon(fallback);
}

} // namespace

frmServer::frmServer() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmServer"));
    fraServer = new QGroupBox(QStringLiteral("Mein Server"), this);
    fraServer->setObjectName(QStringLiteral("fraServer"));
    tlbServerLinks = new Toolbar(fraServer);
    tlbServerLinks->setObjectName(QStringLiteral("tlbServerLinks"));
    tlbServerRechts = new Toolbar(fraServer);
    tlbServerRechts->setObjectName(QStringLiteral("tlbServerRechts"));
    cboServer = new QComboBox(fraServer);
    cboServer->setObjectName(QStringLiteral("cboServer"));
    cboServer->setEditable(false);
    lsvServer = new ListView(fraServer);
    lsvServer->setObjectName(QStringLiteral("lsvServer"));

    Geometry::setLeft(tlbServerLinks, 120);
    Geometry::setTop(tlbServerLinks, 270);
    Geometry::setTop(cboServer, 270);
    Geometry::setLeft(lsvServer, 120);

    // The user's pick in the combo, also of the entry already shown; the
    // combo step of a fill calls the handler itself when it changes the
    // selection.
    // While a transfer, a delete or a listing runs and yields, the user's
    // commands that would talk to the server wait for it: they do nothing.
    // A pick that is ignored puts the combo back on the folder the list
    // shows, so that the two never disagree.
    connect(cboServer, &QComboBox::activated, this, [this] {
        if (!Ui::isBusy()) {
            cboServer_Click();
            return;
        }
        for (int shown = 0; shown < cboServer->count(); ++shown)
            if (ComboFolder(shown) == m_shownFolder) {
                cboServer->setCurrentIndex(shown);
                break;
            }
    });
    connect(lsvServer, &ListView::DblClick, this, [this] {
        if (!Ui::isBusy())
            lsvServer_DblClick();
    });
    connect(lsvServer, &ListView::KeyDown, this, [this](int code, Qt::KeyboardModifiers mods) {
        if (!Ui::isBusy())
            lsvServer_KeyDown(code, mods);
    });
    connect(lsvServer, &ListView::MouseDown, this,
            [this](int button) { lsvServer_MouseDown(button); });
    connect(tlbServerLinks, &Toolbar::ButtonClick, this, [this](const QString &key) {
        if (!Ui::isBusy())
            tlbServerLinks_ButtonClick(key);
    });
    connect(tlbServerRechts, &Toolbar::ButtonClick, this,
            [this](const QString &key) { tlbServerRechts_ButtonClick(key); });
}

void frmServer::Form_Load()
{
    fraServer->setTitle(GetText("FRMSERVER_FRA"));
    lsvServer->clearColumns();
    // Widths in pixels, as twips of this screen.
    const int tpp = Twips::perPixelX();
    // At the start a name of 30 average characters, a size up to 999 GB and
    // a date with its time show whole.
    lsvServer->addColumn(GetText("FRMSERVER_FILENAME"), 140 * tpp, Qt::AlignLeft,
                         QString(30, QLatin1Char('n')));
    lsvServer->addColumn(GetText("FRMSERVER_SIZE"), 50 * tpp, Qt::AlignRight,
                         FormatSizeKB(999ull << 30));
    lsvServer->addColumn(GetText("FRMSERVER_TYP"), 130 * tpp, Qt::AlignLeft);
    lsvServer->addColumn(
        GetText("FRMSERVER_CHANGED"), 120 * tpp, Qt::AlignLeft,
        FormatSystemTime(QDateTime(QDate(2088, 8, 28), QTime(20, 58, 58), Qt::UTC)));
    lsvServer->addColumn(GetText("FRMSERVER_ATTRIB"), 60 * tpp, Qt::AlignRight);
    lsvServer->setView(ListView::Details);
    addToolbarButtons();
}

void frmServer::addToolbarButtons()
{
    const QIcon action[] = {buttonIcon("edit-delete", QStyle::SP_TrashIcon),
                            buttonIcon("document-open", QStyle::SP_DialogOpenButton),
                            buttonIcon("folder-new", QStyle::SP_FileDialogNewFolder),
                            buttonIcon("go-up", QStyle::SP_FileDialogToParent),
                            buttonIcon("view-refresh", QStyle::SP_BrowserReload),
                            buttonIcon("go-down", QStyle::SP_ArrowDown)};
    // The views as the local pane shows them.
    const QIcon views[] = {
        Icons::viewButtonIcon(ListView::LargeIcons), Icons::viewButtonIcon(ListView::SmallIcons),
        Icons::viewButtonIcon(ListView::List), Icons::viewButtonIcon(ListView::Details)};
    for (int i = 0; i < 6; ++i)
        imgServerFile.add(QString::number(i + 1), action[i]);
    for (int i = 0; i < 4; ++i)
        imgListView.add(QString::number(i + 1), views[i]);

    tlbServerLinks->addButton(QStringLiteral("del"), imgServerFile.icon(QStringLiteral("1")),
                              GetText("FRMSERVER_DEL"));
    tlbServerLinks->addButton(QStringLiteral("open"), imgServerFile.icon(QStringLiteral("2")),
                              GetText("FRMSERVER_OPEN"));
    tlbServerLinks->addButton(QStringLiteral("new"), imgServerFile.icon(QStringLiteral("3")),
                              GetText("FRMSERVER_NEWDIR"));
    tlbServerLinks->addButton(QStringLiteral("oben"), imgServerFile.icon(QStringLiteral("4")),
                              GetText("FRMSERVER_UPPER"));
    tlbServerLinks->addButton(QStringLiteral("actualize"), imgServerFile.icon(QStringLiteral("5")),
                              GetText("FRMSERVER_REFRESH"));
    tlbServerLinks->addButton(QStringLiteral("download"), imgServerFile.icon(QStringLiteral("6")),
                              GetText("FRMSERVER_DOWN"));
    tlbServerRechts->addButton(QStringLiteral("eins"), imgListView.icon(QStringLiteral("1")),
                               GetText("FRMSERVER_BIG"));
    tlbServerRechts->addButton(QStringLiteral("zwei"), imgListView.icon(QStringLiteral("2")),
                               GetText("FRMSERVER_SMALL"));
    tlbServerRechts->addButton(QStringLiteral("drei"), imgListView.icon(QStringLiteral("3")),
                               GetText("FRMSERVER_LIST"));
    tlbServerRechts->addButton(QStringLiteral("vier"), imgListView.icon(QStringLiteral("4")),
                               GetText("FRMSERVER_DETAIL"));
    tlbServerLinks->adjustSize();
    tlbServerRechts->adjustSize();
}

// ---------------------------------------------------------------------------
// Fills and the combo

void frmServer::ListServerFolder(HINTERNET connection)
{
    FillServerList(connection, true);
}

void frmServer::ListServerFolderKeepCombo(HINTERNET connection)
{
    FillServerList(connection, false);
}

// The combo shows a folder as the list shows names (bytes that are not UTF-8
// as U+FFFD) and keeps the folder's carried path beside the shown text for
// the commands.
QString frmServer::ComboFolder(int index) const
{
    if (index < 0)
        index = cboServer->currentIndex();
    const QVariant folder = cboServer->itemData(index);
    return folder.isValid() ? folder.toString() : cboServer->itemText(index);
}

int frmServer::comboEntry(const QString &folder)
{
    int found = cboServer->count() - 1;
    while (found >= 0 && ComboFolder(found) != folder)
        --found;
    if (found < 0) {
        cboServer->addItem(ByteName::shown(folder), folder);
        found = cboServer->count() - 1;
    }
    return found;
}

void frmServer::SelectServerFolder(const QString &folder)
{
    const int found = comboEntry(folder);
    m_shownFolder = folder;
    if (cboServer->currentIndex() == found)
        return;
    cboServer->setCurrentIndex(found);
    cboServer_Click();
}

void frmServer::PruneServerCombo(bool viaRoot)
{
    // Without a live connection no folder can be entered; the entries are
    // not known to be gone.
    if (FtpCurrentDir().isEmpty())
        return;
    const int count = cboServer->count();
    for (int i = 0; i < count; ++i) {
        // Indexes past the end of the shortened list read as empty.
        const QString entry = i < cboServer->count() ? ComboFolder(i) : QString();
        if (entry.isEmpty())
            continue;
        if (viaRoot)
            FtpChangeDir(QStringLiteral("/"));
        if (!FtpChangeDir(entry)) {
            cboServer->removeItem(i);
            --i; // the entry that moved up is tested next
        }
    }
}

void frmServer::cboServer_Click()
{
    // The fill yields: the pane stays in place until it has returned.
    const BusyScope busy;
    // An empty entry (kept from a listing without connection) names no folder.
    const QString folder = ComboFolder();
    m_shownFolder = folder;
    const bool entered = folder.isEmpty() || FtpChangeDir(folder);
    Ui::DoEvents();
    Ui::setHourglass();
    ListServerFolderKeepCombo(hFtpConnection);
    // A folder that is gone or closed leaves the server where it was: the
    // combo names the folder the list shows, not the one picked.
    const QString current = entered ? QString() : FtpCurrentDir();
    if (!current.isEmpty()) {
        m_shownFolder = current;
        cboServer->setCurrentIndex(comboEntry(current));
    }
    Ui::DoEvents();
    Ui::setNormalPointer();
    Ui::DoEvents();
}

// ---------------------------------------------------------------------------
// The list

void frmServer::lsvServer_DblClick()
{
    if (hFtpConnection == 0)
        return;
    Ui::setHourglass();
    const int selected = lsvServer->selectedItem();
    const QString text = lsvServer->text(selected);
    if (text == Parent) {
        FtpChangeDir(Parent);
        SelectServerFolder(FtpCurrentDir());
        ListServerFolder(hFtpConnection);
    } else if (!text.isEmpty() && lsvServer->subItem(selected, 1).isEmpty()) {
        // An empty size marks a folder; a file does nothing here.
        FtpChangeDir(text);
        ListServerFolder(hFtpConnection);
    }
    Ui::setNormalPointer();
    SelectServerFolder(FtpCurrentDir());
}

void frmServer::lsvServer_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    if (keyCode == Keys::Delete) {
        if (dialogs().MsgBox(QStringLiteral("Delete Selection?"), MsgButtons::YesNo, MsgIcon::None,
                             QStringLiteral("FTP Client")) != MsgAnswer::Yes)
            return;
        DeleteServerSelection();
        if (!Ui::isShuttingDown())
            ListServerFolder(hFtpConnection);
    } else if (keyCode == Keys::F5) {
        ListServerFolder(hFtpConnection);
    }
}

void frmServer::lsvServer_MouseDown(int button)
{
    // The menu acts on the selection, which the list has already moved to
    // the item under the pointer.
    if (button == 2 && !lsvServer->text(lsvServer->selectedItem()).isEmpty()) {
        frmPopUpfrmServer &popup = frmPopUpfrmServer::instance();
        popup.PopupMenu(popup.mnu, popup.mnuDownload);
    }
}

// ---------------------------------------------------------------------------
// The toolbars

void frmServer::tlbServerLinks_ButtonClick(const QString &key)
{
    if (hFtpConnection == 0) {
        dialogs().MsgBox(GetText("FRMSERVER_NOCONNECTION"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    if (key == QLatin1String("del")) {
        DeleteServerSelectionAndPrune();
    } else if (key == QLatin1String("open")) {
        OpenServerFile();
    } else if (key == QLatin1String("new")) {
        makeServerFolder();
    } else if (key == QLatin1String("oben")) {
        goToSelectedItem();
    } else if (key == QLatin1String("actualize")) {
        const WaitCursor wait;
        ListServerFolder(hFtpConnection);
    } else if (key == QLatin1String("download")) {
        downloadSelection();
    }
}

bool frmServer::reconnectKeepingFolder()
{
    return ReconnectKeepingFolder();
}

void frmServer::makeServerFolder()
{
    // The new folder belongs in the folder the list shows; a server that
    // cannot go back into it makes none elsewhere.
    const bool inShownFolder = reconnectKeepingFolder();
    MakeServerFolder(NewFolderKeys::Toolbar, inShownFolder);
}

void frmServer::goToSelectedItem()
{
    // The selected item's own text: ".." goes up, a folder is entered, and
    // with a file the change fails and the same folder is listed again.
    const QString text = lsvServer->text(lsvServer->selectedItem());
    if (!text.isEmpty()) // with no item selected there is nothing to change to
        FtpChangeDir(text);
    SelectServerFolder(FtpCurrentDir());
    ListServerFolder(hFtpConnection);
}

void frmServer::downloadSelection()
{
    DownloadServerSelectionAndReconnect();
}

void frmServer::tlbServerRechts_ButtonClick(const QString &key)
{
    static const QStringList views{QStringLiteral("eins"), QStringLiteral("zwei"),
                                   QStringLiteral("drei"), QStringLiteral("vier")};
    const int view = int(views.indexOf(key));
    if (view >= 0)
        lsvServer->setView(view);
}

// ---------------------------------------------------------------------------
// Resize

void frmServer::Form_Resize()
{
    // The list starts level with the local pane's folder tree.
    const QWidget *tree =
        frmLocal::exists() ? frmLocal::instance().findChild<QWidget *>(QStringLiteral("trwPaths"))
                           : nullptr;
    ServerPaneSizes s;
    s.width = s.scaleWidth = Geometry::width(this);
    s.height = s.scaleHeight = Geometry::height(this);
    s.linksLeft = Geometry::left(tlbServerLinks);
    s.linksWidth = Geometry::width(tlbServerLinks);
    s.rechtsWidth = Geometry::width(tlbServerRechts);
    s.listTop = tree ? Geometry::top(tree)
                     : Geometry::top(tlbServerLinks) + Geometry::height(tlbServerLinks) + 60;
    const ServerPanePlacement p = PlaceServerPane(s);
    Geometry::setLeft(fraServer, p.frame.left);
    Geometry::setTop(fraServer, p.frame.top);
    Geometry::setHeight(fraServer, p.frame.height);
    Geometry::setWidth(fraServer, p.frame.width);
    Geometry::setLeft(tlbServerRechts, p.rechtsLeft);
    Geometry::setTop(tlbServerRechts, p.rechtsTop);
    Geometry::setLeft(cboServer, p.comboLeft);
    Geometry::setWidth(cboServer, p.comboWidth);
    Geometry::setTop(lsvServer, p.listTop);
    Geometry::setWidth(lsvServer, p.listWidth);
    Geometry::setHeight(lsvServer, p.listHeight);
    ArrangeLocalAndHistory();
    ArrangeLocalServerHistory();
    ArrangeHistoryOnly();
}

void frmServer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}
