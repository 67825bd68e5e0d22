#pragma once
// The server pane's context menu: a hidden window that carries the menu mnu,
// popped up on the right mouse button over the server list. Its commands act
// on the server list's selection and test no connection; the main window's
// server menu calls them after its own test.

#include "platform/forms.h"

#include <QWidget>

class QAction;
class QMenu;

class frmPopUpfrmServer : public QWidget, public SingleInstance<frmPopUpfrmServer> {
    Q_OBJECT
public:
    frmPopUpfrmServer();
    void Form_Load();

    // Shows menu at the mouse pointer with defaultItem in bold; returns at
    // once, the chosen item's handler runs when it is picked.
    void PopupMenu(QMenu *menu, QAction *defaultItem);

    void mnuAktualisieren_Click();
    void mnuDownload_Click();
    void mnuDownloadAls_Click();
    void mnuLoeschen_Click();
    void mnuNeuVerzeichnis_Click();
    void mnuOeffnen_Click();
    void mnuOeffnenMit_Click();
    void mnuUmbenennen_Click();

    QMenu *mnu;
    QAction *mnuDownload;
    QAction *mnuDownloadAls;
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

private:
    QAction *addItem(QMenu *menu, const char *name, void (frmPopUpfrmServer::*handler)());
};
