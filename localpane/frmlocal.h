#pragma once
// The local pane: the drive list of places, the path combo, the folder tree,
// the file list and three toolbars. It lists folders of the local disk and
// is the place every command takes the current local folder from.

#include "localpane/foldertree.h"
#include "localpane/locallisting.h"
#include "platform/forms.h"
#include "platform/imagelist.h"

#include <QWidget>

class DriveListBox;
class ListView;
class QComboBox;
class QGroupBox;
class QTreeWidgetItem;
class Toolbar;
class TreeView;

// Where the current local folder comes from when no tree node is selected.
enum class NoNodeFolder {
    TopNode,    // the tree's top node: the root of the place it shows
    DrivePlace, // the place the drive list shows
};

// The current local folder, ending in "/": the selected node of the local
// pane's tree with the texts of its parents up to the top node in front.
QString CurrentLocalFolder(NoNodeFolder fallback = NoNodeFolder::TopNode);

class frmLocal : public QWidget, public SingleInstance<frmLocal> {
    Q_OBJECT
public:
    frmLocal();
    ~frmLocal() override;
    void Form_Load();
    void Form_Unload();

    // Lists the current local folder again.
    void RefreshLocal();
    // Fills lsvDirFile with the entries of path matching mask. The folder's
    // node in the tree (built where missing) becomes the selected node and
    // the path combo shows the folder, so that the current local folder and
    // the folder the list shows are always the same. A folder that is gone
    // gives way to the nearest folder above it that is still there.
    void ViewFolder(const QString &path, const QString &mask);
    // Fills lsvDirFile by the rules and into the records of another holder.
    void ViewFolderWith(LocalListing &listing, const QString &path, const QString &mask);
    // The folder lsvDirFile shows, ending in "/".
    QString ListedFolder() const { return m_listedFolder; }
    // Adds the sub-folders of path below the node whose key is path.
    void GetFilestrwPaths(const QString &path, FolderOrder order = FolderOrder::IgnoreCase);
    // Rebuilds the tree for a place with its first level.
    void ReadDrive(const QString &drive);
    // Reads the place's tree again and opens it down to folder: each level
    // on the way is loaded (once) and expanded, the folder's node selected;
    // a folder that is gone gives way to the nearest one above it.
    void RevealFolder(const QString &folder, FolderOrder order);
    // Asks for a name and makes that folder in the current local folder
    // (taken as fallback says when no node is selected), logging the attempt
    // and its outcome; on success the tree is read again down to the folder
    // and the folder is listed into lsvDirFile by listing's rules.
    void CreateLocalFolder(NoNodeFolder fallback, LocalListing &listing);

    // Handlers.
    void drvDrive_Change();
    void cboLocal_Click();
    void lsvDirFile_DblClick();
    void lsvDirFile_KeyDown(int keyCode, Qt::KeyboardModifiers modifiers);
    void lsvDirFile_MouseDown(int button);
    void tlbDirOptions_ButtonClick(const QString &key);
    void tlbLocal_ButtonClick(const QString &key);
    void tlbdrvDrive_ButtonClick(const QString &key);
    void trwPaths_Expand(QTreeWidgetItem *node);
    void trwPaths_NodeClick(QTreeWidgetItem *node);
    void trwPaths_NodeSelect(QTreeWidgetItem *node);

    QGroupBox *fraLocal;
    DriveListBox *drvDrive;
    QComboBox *cboLocal;
    TreeView *trwPaths;
    ListView *lsvDirFile;
    Toolbar *tlbDirOptions;
    Toolbar *tlbLocal;
    Toolbar *tlbdrvDrive;
    ImageList imgListLarge, imgListSmall;

    // The records of the pane's last listing.
    const LocalListing &listing() const { return m_listing; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ShowSelectedFolder();
    // Selects (appending it first when missing) the path combo's entry and
    // runs its Click handler, as choosing it does.
    void chooseComboEntry(const QString &entry);
    // The node of folder (a key), built where missing from the top node
    // down, each level loaded once, the nodes above it expanded; the tree
    // first shows the place that holds folder when its own does not.
    QTreeWidgetItem *folderNode(const QString &folder, FolderOrder order);
    QString placeHolding(const QString &folder) const;
    QString shownRoot() const;
    void showInTree(const QString &folder);
    void showInCombo(const QString &folder);
    void addToolbarButtons();
    void placeControls();

    LocalListing m_listing{ListingVariants::frmLocal};
    QString m_drive;        // the place the pane shows
    QString m_listedFolder; // the folder the list shows
};
