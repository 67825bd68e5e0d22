#include "localpane/frmlocal.h"

#include "core/layout.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/shellservices.h"
#include "core/upload.h"
#include "localpane/frmpopupfrmlocal.h"
#include "localpane/listingformat.h"
#include "localpane/localfileops.h"
#include "localpane/mshelldelete.h"
#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/keys.h"
#include "platform/listview.h"
#include "platform/localpath.h"
#include "platform/places.h"
#include "platform/pure/bytename.h"
#include "platform/toolbar.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QStyle>

namespace {
const QString AllFiles = QStringLiteral("*.*");
const QString Loaded = QStringLiteral("*"); // the Tag of a node whose children are loaded
// 28.08.2088 20:58:58 in 100-ns ticks since 1601: a date of wide digits.
constexpr std::int64_t WidestFileTime = 153890387380000000;

// The folder above folder (both keys ending in "/").
QString parentFolder(const QString &folder)
{
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'), folder.size() - 2);
    return slash < 0 ? QStringLiteral("/") : folder.left(slash + 1);
}

// The folder of path, or where it is gone the nearest one above it.
QString existingFolder(const QString &path)
{
    QString folder = FolderKeyOf(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    while (folder.size() > 1 && !LocalPath::isDir(folder))
        folder = parentFolder(folder);
    return folder;
}

// The path combo shows a folder as the tree does (bytes that are not UTF-8
// as U+FFFD) and keeps the folder's carried path beside the shown text.
int comboEntryOf(const QComboBox &combo, const QString &path)
{
    const int index = combo.findData(path);
    return index >= 0 ? index : combo.findText(path, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

// The path an entry's text stands for: the carried path of the entry showing
// it, or the text as typed.
QString comboPathOf(const QComboBox &combo, const QString &text)
{
    const int index = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    const QVariant path = index >= 0 ? combo.itemData(index) : QVariant();
    return path.isValid() ? path.toString() : text;
}
} // namespace

QString CurrentLocalFolder(NoNodeFolder fallback)
{
    frmLocal &local = frmLocal::instance();
    const QTreeWidgetItem *node = local.trwPaths->selectedNode();
    if (!node) {
        if (fallback == NoNodeFolder::DrivePlace)
            return FolderKeyOf(local.drvDrive->Drive());
        const QTreeWidgetItem *top = local.trwPaths->firstNode();
        return top ? FolderKeyOf(TreeView::text(top)) : FolderKeyOf(local.drvDrive->Drive());
    }
    // Names may begin or end in blanks here, so the texts are taken whole.
    QString path = TreeView::text(node);
    for (const QTreeWidgetItem *up = node->parent(); up; up = up->parent())
        path = TreeView::text(up) + QLatin1Char('/') + path;
    return FolderKeyOf(path);
}

frmLocal::frmLocal() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmLocal"));
    fraLocal = new QGroupBox(this);
    fraLocal->setObjectName(QStringLiteral("fraLocal"));
    drvDrive = new DriveListBox(fraLocal);
    drvDrive->setObjectName(QStringLiteral("drvDrive"));
    cboLocal = new QComboBox(fraLocal);
    cboLocal->setObjectName(QStringLiteral("cboLocal"));
    cboLocal->setEditable(true);
    cboLocal->setInsertPolicy(QComboBox::InsertAtBottom);
    trwPaths = new TreeView(fraLocal);
    trwPaths->setObjectName(QStringLiteral("trwPaths"));
    lsvDirFile = new ListView(fraLocal);
    lsvDirFile->setObjectName(QStringLiteral("lsvDirFile"));
    tlbDirOptions = new Toolbar(fraLocal);
    tlbDirOptions->setObjectName(QStringLiteral("tlbDirOptions"));
    tlbLocal = new Toolbar(fraLocal);
    tlbLocal->setObjectName(QStringLiteral("tlbLocal"));
    tlbdrvDrive = new Toolbar(fraLocal);
    tlbdrvDrive->setObjectName(QStringLiteral("tlbdrvDrive"));
    for (Toolbar *t : {tlbDirOptions, tlbLocal, tlbdrvDrive})
        t->setIconSize(QSize(16, 16));

    connect(drvDrive, &DriveListBox::Change, this, &frmLocal::drvDrive_Change);
    connect(cboLocal, &QComboBox::activated, this, [this] { cboLocal_Click(); });
    connect(lsvDirFile, &ListView::DblClick, this, &frmLocal::lsvDirFile_DblClick);
    connect(lsvDirFile, &ListView::KeyDown, this, &frmLocal::lsvDirFile_KeyDown);
    connect(lsvDirFile, &ListView::MouseDown, this, &frmLocal::lsvDirFile_MouseDown);
    connect(tlbDirOptions, &Toolbar::ButtonClick, this, &frmLocal::tlbDirOptions_ButtonClick);
    connect(tlbLocal, &Toolbar::ButtonClick, this, &frmLocal::tlbLocal_ButtonClick);
    connect(tlbdrvDrive, &Toolbar::ButtonClick, this, &frmLocal::tlbdrvDrive_ButtonClick);
    connect(trwPaths, &TreeView::Expand, this, &frmLocal::trwPaths_Expand);
    connect(trwPaths, &TreeView::NodeClick, this, &frmLocal::trwPaths_NodeClick);
    connect(trwPaths, &TreeView::NodeSelect, this, &frmLocal::trwPaths_NodeSelect);
}

frmLocal::~frmLocal()
{
    Form_Unload();
}

void frmLocal::Form_Load()
{
    // 1. Caption, the tree's pictures and the list's columns (widths in pixels).
    fraLocal->setTitle(GetText("FRMLOCAL_MYCOMPUTER"));
    trwPaths->setImages(Icons::themed(QStringLiteral("drive-harddisk"), {QStringLiteral("folder")}),
                        Icons::themed(QStringLiteral("folder")),
                        Icons::themed(QStringLiteral("folder-open"), {QStringLiteral("folder")}));
    const int px = Twips::perPixelX();
    lsvDirFile->clearColumns();
    // At the start a name of 30 average characters, a size up to 999 GB and
    // a date with its time show whole.
    lsvDirFile->addColumn(GetText("FRMLOCAL_FILENAME"), 140 * px, Qt::AlignLeft,
                          QString(30, QLatin1Char('n')));
    lsvDirFile->addColumn(GetText("FRMLOCAL_SIZE"), 50 * px, Qt::AlignRight,
                          FileSizeText(std::int64_t(999) << 30));
    lsvDirFile->addColumn(GetText("FRMLOCAL_TYP"), 130 * px, Qt::AlignLeft);
    lsvDirFile->addColumn(GetText("FRMLOCAL_CHANGED"), 120 * px, Qt::AlignLeft,
                          FormatFileTime(WidestFileTime));
    lsvDirFile->addColumn(GetText("FRMLOCAL_ATTRIBUTE"), 60 * px, Qt::AlignRight);
    // 2. The toolbars.
    addToolbarButtons();
    // 3. The first place that is ready, home first.
    QString probed;
    for (int i = 0; i < drvDrive->count(); ++i) {
        probed = drvDrive->itemText(i);
        if (drvDrive->setDrive(probed))
            break;
    }
    // 4. Its tree and its root listed; the path combo holds the root.
    m_drive = drvDrive->Drive();
    ReadDrive(m_drive);
    cboLocal->clear();
    cboLocal->addItem(Places::rootOf(m_drive));
    ViewFolder(probed, AllFiles);
    // 5. Details view. The tree's drop highlight is not set: it only marks a
    // node as a drop target, nothing reads it, and this tree takes no drops;
    // a second highlighted node beside the selected one would show the user
    // two current folders.
    lsvDirFile->setView(ListView::Details);
    placeControls();
}

void frmLocal::addToolbarButtons()
{
    struct Button {
        const char *key;
        const char *icon;
        const char *tip;
    };
    const Button options[] = {
        {"del", "edit-delete", TextKey("FRMLOCAL_DELETE")},
        {"prop", "document-properties", TextKey("FRMLOCAL_PROP")},
        {"new", "folder-new", TextKey("FRMLOCAL_NEW")},
        {"open", "document-open", TextKey("FRMLOCAL_OPEN")},
        {"refresh", "view-refresh", TextKey("FRMLOCAL_REFRESH")},
        {"upload", "go-next", TextKey("FRMLOCAL_UPLOAD")},
    };
    for (const Button &b : options)
        tlbDirOptions->addButton(QLatin1String(b.key), Icons::toolbarIcon({QLatin1String(b.icon)}),
                                 GetText(b.tip));
    tlbLocal->addButton(QStringLiteral("eins"), Icons::viewButtonIcon(ListView::LargeIcons),
                        GetText("FRMLOCAL_BIG"));
    tlbLocal->addButton(QStringLiteral("zwei"), Icons::viewButtonIcon(ListView::SmallIcons),
                        GetText("FRMLOCAL_SMALL"));
    tlbLocal->addButton(QStringLiteral("drei"), Icons::viewButtonIcon(ListView::List),
                        GetText("FRMLOCAL_LIST"));
    tlbLocal->addButton(QStringLiteral("vier"), Icons::viewButtonIcon(ListView::Details),
                        GetText("FRMLOCAL_DETAIL"));
    tlbdrvDrive->addButton(QStringLiteral("refresh"),
                           Icons::toolbarIcon({QStringLiteral("view-refresh")}),
                           GetText("FRMLOCAL_REFRESH"));
}

void frmLocal::Form_Unload()
{
    lsvDirFile->setImageLists(nullptr, nullptr);
    imgListLarge.clear();
    imgListSmall.clear();
}

void frmLocal::RefreshLocal()
{
    ViewFolder(CurrentLocalFolder(), AllFiles);
}

void frmLocal::ViewFolder(const QString &path, const QString &mask)
{
    ViewFolderWith(m_listing, path, mask);
}

void frmLocal::ViewFolderWith(LocalListing &listing, const QString &path, const QString &mask)
{
    const QString folder = existingFolder(path);
    m_listedFolder = folder;
    listing.ViewFolder(folder, mask, *lsvDirFile, imgListLarge, imgListSmall);
    showInTree(folder);
    showInCombo(folder);
}

void frmLocal::showInTree(const QString &folder)
{
    QTreeWidgetItem *node = folderNode(folder, FolderOrder::IgnoreCase);
    if (!node) {
        trwPaths->clearSelection();
        return;
    }
    // The list has just shown the folder's sub-folders as they are now: a
    // folder deleted or renamed meanwhile leaves the tree too, and one made
    // or renamed meanwhile joins it (one level ahead when the node is open,
    // as expanding would have loaded it).
    RemoveGoneFolders(*trwPaths, node);
    for (QTreeWidgetItem *added : AddNewFolders(*trwPaths, node)) {
        if (!node->isExpanded())
            continue;
        GetFilestrwPaths(TreeView::key(added));
        TreeView::setTag(added, Loaded);
    }
    trwPaths->selectNode(node);
    trwPaths->scrollToItem(node);
}

void frmLocal::showInCombo(const QString &folder)
{
    // As the tree's click enters it: a folder without its closing "/", the
    // place's root with it.
    QString entry = folder;
    if (folder != shownRoot() && entry.size() > 1)
        entry.chop(1);
    const int index = comboEntryOf(*cboLocal, entry);
    if (index >= 0)
        cboLocal->setCurrentIndex(index);
    cboLocal->setEditText(ByteName::shown(entry));
}

QString frmLocal::shownRoot() const
{
    const QTreeWidgetItem *top = trwPaths->firstNode();
    return top ? TreeView::key(top) : Places::rootOf(m_drive);
}

QString frmLocal::placeHolding(const QString &folder) const
{
    // The longest place root in front of folder; "/" holds every folder.
    QString best = QStringLiteral("/");
    for (int i = 0; i < drvDrive->count(); ++i) {
        const QString place = drvDrive->itemText(i);
        const QString root = FolderKeyOf(place);
        if (folder.startsWith(root) && root.size() > FolderKeyOf(best).size())
            best = place;
    }
    return best;
}

QTreeWidgetItem *frmLocal::folderNode(const QString &folder, FolderOrder order)
{
    QTreeWidgetItem *top = trwPaths->firstNode();
    if (!top || !folder.startsWith(TreeView::key(top))) {
        const QString place = placeHolding(folder);
        m_drive = place;
        drvDrive->setDrive(place);
        ReadDrive(place);
        top = trwPaths->firstNode();
        if (!top)
            return nullptr;
    }
    QTreeWidgetItem *node = top;
    QString prefix = TreeView::key(top);
    for (const QString &name :
         folder.mid(prefix.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            return nullptr;
        const QString parentKey = prefix;
        prefix += name + QLatin1Char('/');
        QTreeWidgetItem *child = trwPaths->node(prefix);
        // A folder whose parent cannot be searched is not found by the scan,
        // yet it can be listed: its node is added on its own.
        if (!child && LocalPath::isDir(prefix))
            child = trwPaths->addNode(parentKey, prefix, name, 2, 3);
        if (!child)
            return nullptr;
        // Expanding loads the level below the children (the Expand handler).
        node->setExpanded(true);
        node = child;
        if (TreeView::tag(node) != Loaded) {
            WaitCursor wait;
            GetFilestrwPaths(prefix, order);
            TreeView::setTag(node, Loaded);
        }
    }
    return node;
}

void frmLocal::GetFilestrwPaths(const QString &path, FolderOrder order)
{
    ::GetFilestrwPaths(*trwPaths, path, order);
}

void frmLocal::ReadDrive(const QString &drive)
{
    ::ReadDrive(*trwPaths, drive);
}

void frmLocal::RevealFolder(const QString &folder, FolderOrder order)
{
    ReadDrive(shownRoot());
    // A folder gone meanwhile gives way to the nearest one above it, as the
    // list does: a tree without a selected node would make the top node the
    // current folder.
    if (QTreeWidgetItem *node = folderNode(existingFolder(folder), order)) {
        node->setExpanded(true);
        trwPaths->selectNode(node);
    }
}

void frmLocal::drvDrive_Change()
{
    const QString drive = drvDrive->Drive();
    if (!Places::isReady(drive)) {
        dialogs().MsgBox(GetText("FRMLOCAL_INSERTDEVICE") + QLatin1Char(' ') + drive +
                             GetText("FRMLOCAL_INTO"),
                         MsgButtons::Ok, MsgIcon::Exclamation);
        drvDrive->setDrive(m_drive); // the list shows the place the pane still shows
        return;
    }
    m_drive = drive;
    QDir::setCurrent(drive);
    ReadDrive(drive);
    cboLocal->clear();
    cboLocal->addItem(Places::rootOf(drive));
    cboLocal->setCurrentIndex(0);
    cboLocal_Click();
}

void frmLocal::cboLocal_Click()
{
    // An empty text lists the root of the place the pane shows; a relative
    // path is taken from the folder the list shows.
    const QString text = comboPathOf(*cboLocal, cboLocal->currentText());
    const QString path =
        text.isEmpty() ? shownRoot()
                       : FolderKeyOf(QDir::cleanPath(QDir(m_listedFolder).absoluteFilePath(text)));
    if (!LocalPath::isDir(path)) {
        // No folder (any more): its entry goes, and the pane stays on the
        // folder it shows.
        const int index = comboEntryOf(*cboLocal, text);
        if (index >= 0)
            cboLocal->removeItem(index);
        showInCombo(m_listedFolder);
        return;
    }
    WaitCursor wait;
    ViewFolder(path, AllFiles);
    if (QTreeWidgetItem *node = trwPaths->selectedNode())
        node->setExpanded(true);
}

void frmLocal::lsvDirFile_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    // While a transfer, a delete or a listing runs and yields, the keys start
    // nothing, as the menu items with the same shortcuts do.
    if (Ui::isBusy())
        return;
    const QString folder = CurrentLocalFolder();
    if (keyCode == Keys::Delete)
        DeleteLocalSelection();
    else if (keyCode == Keys::F5)
        ViewFolder(folder, AllFiles);
}

void frmLocal::lsvDirFile_DblClick()
{
    const QString folder = CurrentLocalFolder();
    const int item = lsvDirFile->selectedItem();
    if (item < 0 || !lsvDirFile->subItem(item, 1).isEmpty()) { // none, or a file
        Ui::setNormalPointer();
        return;
    }
    if (QTreeWidgetItem *selected = trwPaths->selectedNode(); selected && selected->childCount())
        selected->setExpanded(true);
    // The path combo's entry of the folder, chosen: its Click lists the
    // folder and expands and selects the folder's node.
    chooseComboEntry(folder + lsvDirFile->text(item));
    Ui::setNormalPointer();
}

void frmLocal::lsvDirFile_MouseDown(int button)
{
    // The right button pops the context menu up; the list has already made
    // the item under the pointer part of the selection.
    if (button == 2)
        frmPopUpfrmLocal::instance().PopUp(QCursor::pos());
}

void frmLocal::tlbDirOptions_ButtonClick(const QString &key)
{
    // The buttons run the commands of the menus, which wait for a running
    // operation the same way: a click meanwhile does nothing.
    if (Ui::isBusy())
        return;
    const QString folder = CurrentLocalFolder();
    QString item = folder;
    if (const int selected = lsvDirFile->selectedItem(); selected >= 0)
        item += lsvDirFile->text(selected);
    const QString k = key.toLower();
    if (k == QLatin1String("del")) {
        frmPopUpfrmLocal::instance().mnuLoeschen_Click();
    } else if (k == QLatin1String("prop")) {
        ShowFileProperties(item);
    } else if (k == QLatin1String("new")) {
        CreateLocalFolder(NoNodeFolder::TopNode, m_listing);
    } else if (k == QLatin1String("open")) {
        OpenLocalSelection();
    } else if (k == QLatin1String("refresh")) {
        ViewFolder(folder, AllFiles);
    } else if (k == QLatin1String("upload")) {
        UploadSelection();
    }
}

void frmLocal::tlbLocal_ButtonClick(const QString &key)
{
    const QString k = key.toLower();
    const QStringList views{QStringLiteral("eins"), QStringLiteral("zwei"), QStringLiteral("drei"),
                            QStringLiteral("vier")};
    if (const int view = int(views.indexOf(k)); view >= 0)
        lsvDirFile->setView(view);
}

void frmLocal::tlbdrvDrive_ButtonClick(const QString &key)
{
    if (key.compare(QLatin1String("refresh"), Qt::CaseInsensitive) == 0)
        drvDrive->Refresh();
}

void frmLocal::trwPaths_Expand(QTreeWidgetItem *node)
{
    if (!node)
        return;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem *child = node->child(i);
        if (TreeView::tag(child) == Loaded)
            continue;
        Ui::setHourglass();
        GetFilestrwPaths(TreeView::key(child));
        TreeView::setTag(child, Loaded);
        Ui::setNormalPointer();
    }
}

void frmLocal::trwPaths_NodeClick(QTreeWidgetItem *node)
{
    if (!node)
        return;
    QString entry = TreeView::key(node);
    // A folder's key loses its closing "/"; the place's root keeps it.
    if (node != trwPaths->firstNode() && entry.size() > 1 && entry.endsWith(QLatin1Char('/')))
        entry.chop(1);
    chooseComboEntry(entry);
    ShowSelectedFolder();
}

// The user moved the tree's selection without a click (keyboard, right
// button): the list follows it, as it follows a click.
void frmLocal::trwPaths_NodeSelect(QTreeWidgetItem *node)
{
    if (node)
        ShowSelectedFolder();
}

void frmLocal::ShowSelectedFolder()
{
    WaitCursor wait;
    ViewFolder(CurrentLocalFolder(), AllFiles);
}

void frmLocal::CreateLocalFolder(NoNodeFolder fallback, LocalListing &listing)
{
    int x = 0, y = 0;
    inputBoxPositionTwips(x, y);
    const QString name =
        dialogs().InputBox(GetText("FRMPULOC_DIRNAME"), QString(), QString(), x, y);
    if (name.isEmpty())
        return;
    const QString folder = CurrentLocalFolder(fallback);
    const QString created = folder + name;
    LogLine(GetText("FRMPUSERVER_DIRNEW1") + QLatin1Char(' ') + created + QLatin1Char(' ') +
            GetText("FRMPUSERVER_DIRNEW2"));
    if (!MakeLocalSubfolder(folder, name)) {
        LogLine(GetText("FRMPULOC_GENFAIL"), LogColor::Red);
        return;
    }
    LogLine(GetText("FRMPULOC_GENOK"), LogColor::Green);
    RevealFolder(folder, FolderOrder::ByCode);
    ViewFolderWith(listing, folder, AllFiles);
}

void frmLocal::chooseComboEntry(const QString &entry)
{
    int index = comboEntryOf(*cboLocal, entry);
    if (index < 0) {
        cboLocal->addItem(ByteName::shown(entry), entry);
        index = cboLocal->count() - 1;
    }
    cboLocal->setCurrentIndex(index);
    cboLocal_Click();
}

void frmLocal::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ArrangeLocalAndHistory();
    ArrangeLocalServerHistory();
    ArrangeHistoryOnly();
    placeControls();
}

void frmLocal::placeControls()
{
    // The frame fills the window; inside it the toolbars form the first row,
    // the drive list with its refresh button and the path combo the second,
    // and the tree (left) and the list (right) share the rest.
    const int margin = 4, gap = 4;
    fraLocal->setGeometry(0, 0, width(), height());
    const QRect inner = fraLocal->rect().adjusted(margin, fraLocal->fontMetrics().height() + margin,
                                                  -margin, -margin);
    const int barHeight =
        std::max(tlbDirOptions->sizeHint().height(), tlbLocal->sizeHint().height());
    const int optionsWidth = tlbDirOptions->sizeHint().width();
    tlbDirOptions->setGeometry(inner.left(), inner.top(), std::min(optionsWidth, inner.width()),
                               barHeight);
    const int viewsWidth = tlbLocal->sizeHint().width();
    tlbLocal->setGeometry(
        std::max(inner.left() + optionsWidth + gap, inner.right() - viewsWidth + 1), inner.top(),
        viewsWidth, barHeight);

    const int row2 = inner.top() + barHeight + gap;
    const int comboHeight = std::max(drvDrive->sizeHint().height(), cboLocal->sizeHint().height());
    const int driveWidth = std::max(120, inner.width() / 3);
    const int refreshWidth = tlbdrvDrive->sizeHint().width();
    drvDrive->setGeometry(inner.left(), row2, driveWidth, comboHeight);
    tlbdrvDrive->setGeometry(inner.left() + driveWidth, row2, refreshWidth, comboHeight);
    const int comboLeft = inner.left() + driveWidth + refreshWidth + gap;
    cboLocal->setGeometry(comboLeft, row2, std::max(0, inner.right() - comboLeft + 1), comboHeight);

    const int row3 = row2 + comboHeight + gap;
    const int restHeight = std::max(0, inner.bottom() - row3 + 1);
    const int treeWidth = std::max(120, inner.width() / 3);
    trwPaths->setGeometry(inner.left(), row3, treeWidth, restHeight);
    const int listLeft = inner.left() + treeWidth + gap;
    lsvDirFile->setGeometry(listLeft, row3, std::max(0, inner.right() - listLeft + 1), restHeight);
}
