#pragma once
// The server pane: the server's current folder in lsvServer, the server
// paths visited so far in cboServer, the action toolbar tlbServerLinks and
// the view toolbar tlbServerRechts, all inside the frame fraServer.

#include "platform/forms.h"
#include "platform/imagelist.h"
#include "platform/wininet.h"

#include <QWidget>

class ListView;
class QComboBox;
class QGroupBox;
class Toolbar;

class frmServer : public QWidget, public SingleInstance<frmServer> {
    Q_OBJECT
public:
    frmServer();
    void Form_Load();
    void Form_Resize();

    // Reads the server's current folder and fills the list, then brings the
    // combo in step; the same fill without the combo step.
    void ListServerFolder(HINTERNET connection);
    void ListServerFolderKeepCombo(HINTERNET connection);
    // The combo step: selects the entry equal to the folder (exact, case
    // counts), appending it when it is new; a changed selection lists the
    // folder through cboServer_Click.
    void SelectServerFolder(const QString &folder);
    // The folder of a combo entry with its bytes (the entry's text shows it
    // as the list shows names); -1 is the current entry.
    QString ComboFolder(int index = -1) const;
    // Removes every combo entry that can no longer be entered; with viaRoot
    // each test starts from "/". Without a live connection nothing is
    // removed.
    void PruneServerCombo(bool viaRoot = true);

    void cboServer_Click();
    void lsvServer_DblClick();
    void lsvServer_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void lsvServer_MouseDown(int button);
    void tlbServerLinks_ButtonClick(const QString &key);
    void tlbServerRechts_ButtonClick(const QString &key);

    QGroupBox *fraServer;
    QComboBox *cboServer;
    ListView *lsvServer;
    Toolbar *tlbServerLinks;
    Toolbar *tlbServerRechts;
    ImageList imgServerFile; // pictures of the action buttons, keys "1".."6"
    ImageList imgListView;   // pictures of the view buttons, keys "1".."4"

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void addToolbarButtons();
    // The index of the combo entry equal to the folder, appended when new.
    int comboEntry(const QString &folder);
    void makeServerFolder();
    void downloadSelection();
    void goToSelectedItem();
    bool reconnectKeepingFolder();

    QString m_shownFolder; // the combo entry whose folder the list shows
};
