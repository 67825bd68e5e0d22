#pragma once
// The upload-as dialog: sends the one file selected in the local pane into
// the server's current folder under a name the user may change. Shown
// modally; loaded afresh for each showing.

#include "platform/forms.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmUploadAls : public QDialog, public SingleInstance<frmUploadAls> {
    Q_OBJECT
public:
    frmUploadAls();
    void Form_Load();

    // Loads the dialog, shows it modally and unloads it again.
    static void ShowModal();

    void cmdUpload_Click();
    void cmdAbbrechen_Click();

    QGroupBox *Frame1;
    QLabel *lblTyp, *lblSize, *lblChanged, *lblAlterName, *lblNeuerName, *lblAction;
    QLabel *lblFileType;
    QLabel *lblGroesse;
    QLabel *lblGeaendert;
    QLabel *lblName;
    QLineEdit *txtNeuerName;
    QLabel *imgSystemLogo;
    QPushButton *cmdUpload;
    QPushButton *cmdAbbrechen;

private:
    QString m_name; // the selected local name with its bytes, as listed
};
