#pragma once
// The download-as dialog: fetches the one file selected in the server list
// into the local pane's current folder under a name the user may change.
// Modal, made afresh for every showing.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmDownloadAls : public QDialog {
    Q_OBJECT
public:
    explicit frmDownloadAls(QWidget *parent = nullptr);

    // Makes the dialog, fills it and shows it modally; returns when it is
    // closed.
    static void ShowModal();

    // Fills the dialog from the server list's selected item.
    void Form_Load();
    void cmdDownload_Click();
    void cmdAbbrechen_Click();
    // Lists path in the local pane's file list, by the dialog's listing rules.
    static void ViewLocalFolder(const QString &path);

    QGroupBox *Frame1;
    QLabel *lblTyp, *lblSize, *lblChanged, *lblOldName, *lblNewName, *lblAction;
    QLabel *lblFileType;
    QLabel *lblGroesse;
    QLabel *lblGeaendert;
    QLabel *lblName;
    QLineEdit *txtNeuerName;
    QLabel *imgSystemLogo;
    QPushButton *cmdDownload;
    QPushButton *cmdAbbrechen;

private:
    QString m_serverName; // the selected item's name, byte for byte
};

// The local path the typed name is fetched to: the folder and the name
// without surrounding blanks. "" when the name would not stay a file of
// that folder (empty, ".", "..", or holding a separator).
QString DownloadAsTarget(const QString &folder, const QString &typedName);
