#pragma once
// The editor of the ASCII-extension list: the extensions whose files the
// AUTO transfer mode uploads as ASCII, kept in the user's "ascii.dat".

#include "platform/forms.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

class frmASCIIListe : public QDialog, public SingleInstance<frmASCIIListe> {
    Q_OBJECT
public:
    frmASCIIListe();
    void Form_Load();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdUebernehmen_Click();
    void cmdAbbrechen_Click();

    // Loads the dialog, shows it modally and unloads it when it closes.
    static void showModal();

    QListWidget *lstASCIIList;
    QLabel *lblHilfe;
    QPushButton *cmdAdd, *cmdRemove, *cmdUebernehmen, *cmdAbbrechen;

private:
    QStringList entries() const;
};

// Writes the extensions as "ascii.dat" does: one a line, each line ended by
// CR LF, in list order. The folder is created when missing; the file is
// replaced only once it is complete, so a failure leaves the old file as it
// was. True when written.
bool WriteAsciiList(const QString &path, const QStringList &extensions);
