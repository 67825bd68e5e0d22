#pragma once
// The About dialog: the program's texts, the registered owner and
// organisation, the licence agreement, and the system-information program.

#include "platform/forms.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTabBar;
class QTextEdit;

class frmInfo : public QDialog, public SingleInstance<frmInfo> {
    Q_OBJECT
public:
    frmInfo();
    void Form_Load();
    void tabstripInfo_Click();
    void cmdOk_Click();
    void cmdSysInfo_Click();

    // Loads the dialog, shows it modally on its first page and unloads it
    // when it closes.
    static void showModal();

    QTabBar *tabstripInfo;
    QWidget *picInfo, *picLicenceAgreement;
    QLabel *lblAppName, *lblVersion, *lblMade, *lblLicenced, *lblName, *lblOrg, *lblLegal;
    QTextEdit *richtextboxInfo;
    QPushButton *cmdOk, *cmdSysInfo;
};

// How the home-page command finds the web browser (the program that opens a
// file) and starts that program with an address. Tests put their own in
// place; an empty member restores the desktop's FindAssociatedProgram or
// OpenAddressWithProgramOf.
struct BrowserLauncher {
    std::function<QString(const QString &file)> find;
    std::function<bool(const QString &file, const QString &address)> start;
};
void setBrowserLauncher(BrowserLauncher launcher);
