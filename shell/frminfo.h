#pragma once
// The About dialog: the program's texts, the registered owner and
// organisation, the licence agreement, and the system-information program.

#include "platform/forms.h"

#include <QDialog>

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
