#pragma once
// The local pane's context menu: a hidden window that carries the menu
// popped up over the file list, with upload, upload as, open, open with,
// rename, delete, new folder, refresh and properties. It keeps no state: each
// command reads the local pane when it runs.

#include "localpane/frmlocal.h"
#include "localpane/locallisting.h"
#include "platform/forms.h"

#include <QPoint>
#include <QWidget>

class QAction;
class QMenu;

// The folder whose entries the local list shows, ending in "/": the names
// of its items are found there, also when the list shows a folder typed
// into the path combo that has no tree node. Before the first listing, the
// current local folder with the given fallback.
QString LocalItemFolder(NoNodeFolder fallback);
// That folder and the text of the list's selected item; the folder alone
// when no item is selected.
QString SelectedLocalItem(NoNodeFolder fallback);
// How many items of the local list are selected.
int SelectedLocalCount();

// Which listing shows the folder again after a rename: the context menu's
// own, or the local pane's (the main menu's rename).
enum class RenameRelist { ContextMenu, LocalPane };

class frmPopUpfrmLocal : public QWidget, public SingleInstance<frmPopUpfrmLocal> {
    Q_OBJECT
public:
    frmPopUpfrmLocal();
    void Form_Load();

    // Pops the menu up at a screen position, Upload as its default item.
    void PopUp(const QPoint &globalPos);

    // Handlers; the public ones of the design are also run by the main
    // window's menu and the pane's toolbar.
    void mnuUpload_Click();
    void mnuUploadAls_Click();
    void mnuOeffnen_Click();
    void mnuOeffnenMit_Click();
    void mnuUmbenennen_Click();
    void RenameSelection(RenameRelist relist);
    void mnuLoeschen_Click();
    void mnuNeuVerzeichnis_Click();
    void mnuAktualisieren_Click();
    void mnuEigenschaften_Click();

    // The menu's own listing of the local pane's folder into lsvDirFile.
    void ViewFolder(const QString &path, const QString &mask);
    const LocalListing &listing() const { return m_listing; }

    QMenu *mnu;
    QAction *mnuUpload;
    QAction *mnuUploadAls;
    QAction *mnuTrennlinie1;
    QAction *mnuOeffnen;
    QAction *mnuOeffnenMit;
    QAction *mnuTrennlinie2;
    QAction *mnuUmbenennen;
    QAction *mnuTrennlinie3;
    QAction *mnuLoeschen;
    QAction *mnuTrennlinie4;
    QMenu *mnuNeu;
    QAction *mnuNeuVerzeichnis;
    QAction *mnuTrennlinie5;
    QAction *mnuAktualisieren;
    QAction *mnuTrennlinie6;
    QAction *mnuEigenschaften;

private:
    // Removes the path combo's entries whose folders are gone.
    void PruneLocalCombo();

    LocalListing m_listing{ListingVariants::frmPopUpfrmLocal};
};
