#pragma once
// The main window: connection bar, menus, connection toolbar, progress bar
// and the client area holding the four child windows.

#include "platform/forms.h"
#include "platform/imagelist.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTimer;
class Toolbar;

class mdiMain : public QMainWindow, public SingleInstance<mdiMain> {
    Q_OBJECT
public:
    mdiMain();
    ~mdiMain() override;

    // Sizes in twips as the layout code uses them: the client area's width,
    // its height plus the chrome above and below it, and its height.
    int Width() const;
    int Height() const;
    int ScaleHeight() const;
    QWidget *client() const { return m_client; }

    void Form_Load();
    void MDIForm_Resize();
    void MDIForm_QueryUnload();

    // Connection bar and watchdog.
    void Initialize_Internet();
    bool OpenConnection(const QString &host, const QString &port, const QString &user,
                        const QString &password);
    void QuickConnect();
    void mnuVerbindungVerbinden_Click();
    void timIsConnected_Timer();
    void tlbConnect_ButtonClick(const QString &key);

    // Transfer mode and passive flag.
    void cboTransferMode_Click();
    void mnuVerbindungTransferASCII_Click();
    void mnuVerbindungTransferBINARY_Click();
    void mnuVerbindungTransferAUTO_Click();
    void chkPassiveTransfer_Click();
    void mnuVerbindungASCIIListe_Click();

    // The menus "Mein Computer" and "Mein Server".
    void mnuMyComputerUpload_Click();
    void mnuMyComputerUploadAls_Click();
    void mnuMyComputerOeffnen_Click();
    void mnuMyComputerOeffnenMit_Click();
    void mnuMyComputerUmbenennen_Click();
    void mnuMyComputerLoeschen_Click();
    void mnuMyComputerNeuOrdner_Click();
    void mnuMyComputerAktualisieren_Click();
    void mnuMyComputerEigenschaften_Click();
    void mnuMyServerDownload_Click();
    void mnuMyServerDownloadAls_Click();
    void mnuMyServerOeffnen_Click();
    void mnuMyServerOeffnenMit_Click();
    void mnuMyServerUmbenennen_Click();
    void mnuMyServerLoeschen_Click();
    void mnuMyServerNeuOrdner_Click();
    void mnuMyServerAktualisieren_Click();

    void mnuFileExit_Click();
    void mnuInfoInfo_Click();
    void mnuInfoWebHomepage_Click();

    // Connection bar.
    QWidget *picTop;
    QGroupBox *fraTop;
    QLabel *lblAdresse, *lblBenutzer, *lblPasswort, *lblPort, *lblModus;
    QLineEdit *txtAddress, *txtUserID, *txtPassword, *txtPort;
    QComboBox *cboTransferMode;
    QCheckBox *chkPassiveTransfer;
    Toolbar *tlbConnect;
    QProgressBar *pgbBottom;
    QTimer *timIsConnected;
    ImageList imgListLarge, imgListSmall;
    QIcon imgDir[2]; // the folder pictures: small, large

    // Menus.
    QMenu *mnuFile;
    QAction *mnuFileExit;
    QMenu *mnuVerbindung;
    QAction *mnuVerbindungVerbinden;
    QMenu *mnuVerbindungTransfer;
    QAction *mnuVerbindungTransferASCII, *mnuVerbindungTransferBINARY, *mnuVerbindungTransferAUTO;
    QMenu *mnuVerbindungPassiverTransfer;
    QAction *mnuVerbindungTransfertypEin, *mnuVerbindungTransfertypAus;
    QAction *mnuVerbindungASCIIListe;
    QMenu *mnuMyComputer;
    QAction *mnuMyComputerUpload, *mnuMyComputerUploadAls, *mnuMyComputerOeffnen,
        *mnuMyComputerOeffnenMit, *mnuMyComputerUmbenennen, *mnuMyComputerLoeschen;
    QMenu *mnuMyComputerNeu;
    QAction *mnuMyComputerNeuOrdner, *mnuMyComputerAktualisieren, *mnuMyComputerEigenschaften;
    QMenu *mnuMyServer;
    QAction *mnuMyServerDownload, *mnuMyServerDownloadAls, *mnuMyServerOeffnen,
        *mnuMyServerOeffnenMit, *mnuMyServerUmbenennen, *mnuMyServerLoeschen;
    QMenu *mnuMyServerNeu;
    QAction *mnuMyServerNeuOrdner, *mnuMyServerAktualisieren;
    QMenu *mniInfo;
    QMenu *mnuInfoWeb;
    QAction *mnuInfoWebHomepage, *mnuInfoInfo;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildConnectionBar();
    // Focus colours and keys of the connection bar's text boxes.
    bool connectionBarEvent(QObject *watched, QEvent *event);
    // The menu bar, from the table of shell/mainmenus.h.
    void buildMenus();
    void setMenuCaptions();
    void setTransferMenuChecks(QAction *checked);
    void placeChildren();
    void arrange();
    void writeWelcomeLine();
    void finishShutDown();

    QWidget *m_client = nullptr;
    bool m_shutDown = false;
    bool m_loading = true; // until Form_Load has filled the connection bar
};
