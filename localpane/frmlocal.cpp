#include "localpane/frmlocal.h"

#include "core/layout.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/shellservices.h"
#include "core/upload.h"
#include "localpane/frmpopupfrmlocal.h"
#include "localpane/listingformat.h"
#include "localpane/mshelldelete.h"
#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/keys.h"
#include "platform/listview.h"
#include "platform/places.h"
#include "platform/toolbar.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QStyle>

namespace {
const QString AllFiles = QStringLiteral("*.*");
const QString Loaded = QStringLiteral("*"); // the Tag of a node whose children are loaded
// 28.08.2088 20:58:58 in 100-ns ticks since 1601: a date of wide digits.
constexpr std::int64_t WidestFileTime = 153890387380000000;

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
    // 5. Details view.
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
    m_listedFolder = FolderKeyOf(path);
    listing.ViewFolder(path, mask, *lsvDirFile, imgListLarge, imgListSmall);
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
    const QTreeWidgetItem *top = trwPaths->firstNode();
    const QString root = top ? TreeView::key(top) : Places::rootOf(m_drive);
    const QString target = FolderKeyOf(folder);
    ReadDrive(root);
    if (!target.startsWith(root))
        return;
    QString prefix = root;
    QTreeWidgetItem *last = nullptr;
    for (const QString &name :
         target.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        prefix += name + QLatin1Char('/');
        QTreeWidgetItem *node = trwPaths->node(prefix);
        if (!node)
            continue;
        if (TreeView::tag(node) != Loaded) {
            WaitCursor wait;
            GetFilestrwPaths(prefix, order);
            TreeView::setTag(node, Loaded);
        }
        node->setExpanded(true);
        last = node;
    }
    if (last)
        trwPaths->selectNode(last);
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
    const QString text = cboLocal->currentText();
    if (text.isEmpty())
        return;
    const QString path = FolderKeyOf(text);
    WaitCursor wait;
    QTreeWidgetItem *top = trwPaths->firstNode();
    QTreeWidgetItem *node = (top && TreeView::key(top) == path) ? top : trwPaths->node(path);
    if (node) {
        node->setExpanded(true);
        trwPaths->selectNode(node);
    }
    ViewFolder(path, AllFiles);
}

void frmLocal::lsvDirFile_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    const QString folder = CurrentLocalFolder();
    if (keyCode == Keys::Delete)
        DeleteLocalSelection();
    else if (keyCode == Keys::F5)
        ViewFolder(folder, AllFiles);
}

void frmLocal::lsvDirFile_DblClick()
{
    QTreeWidgetItem *selected = trwPaths->selectedNode();
    const QString folder = CurrentLocalFolder();
    const int item = lsvDirFile->selectedItem();
    if (item < 0 || !lsvDirFile->subItem(item, 1).isEmpty()) { // a file
        Ui::setNormalPointer();
        return;
    }
    const QString path = folder + lsvDirFile->text(item);
    ViewFolder(path, AllFiles);
    if (selected && selected->childCount() > 0)
        selected->setExpanded(true);
    for (const QString &key : {path + QLatin1Char('/'), path}) {
        if (QTreeWidgetItem *node = trwPaths->node(key)) {
            node->setExpanded(true);
            trwPaths->selectNode(node);
        }
    }
    chooseComboEntry(path);
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
        CreateLocalFolder();
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

void frmLocal::ShowSelectedFolder()
{
    WaitCursor wait;
    ViewFolder(CurrentLocalFolder(), AllFiles);
}

void frmLocal::CreateLocalFolder()
{
    int x = 0, y = 0;
    inputBoxPositionTwips(x, y);
    const QString name =
        dialogs().InputBox(GetText("FRMPULOC_DIRNAME"), QString(), QString(), x, y);
    if (name.isEmpty())
        return;
    const QString folder = CurrentLocalFolder();
    const QString created = folder + name;
    LogLine(GetText("FRMPUSERVER_DIRNEW1") + QLatin1Char(' ') + created + QLatin1Char(' ') +
            GetText("FRMPUSERVER_DIRNEW2"));
    if (QFileInfo::exists(created) || QFileInfo(created).isSymLink()) {
        LogLine(GetText("FRMPULOC_GENFAIL"), LogColor::Red);
        return;
    }
    // A creation that fails (no right to write, a name the file system
    // refuses) is a failure too, not only a name that exists.
    if (!QDir().mkdir(created)) {
        LogLine(GetText("FRMPULOC_GENFAIL"), LogColor::Red);
        return;
    }
    LogLine(GetText("FRMPULOC_GENOK"), LogColor::Green);
    RevealFolder(folder, FolderOrder::ByCode);
    ViewFolder(folder, AllFiles);
}

void frmLocal::chooseComboEntry(const QString &entry)
{
    int index = cboLocal->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        cboLocal->addItem(entry);
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
