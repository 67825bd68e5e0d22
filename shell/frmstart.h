#pragma once
// The start dialog: opens the language database, lets the user choose the
// language, shows the licence agreement and the product information.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTextEdit;

class frmStart : public QDialog {
    Q_OBJECT
public:
    explicit frmStart(QWidget *parent = nullptr);
    void Form_Load();
    void cmdOk_Click();
    void cmdAbbrechen_Click();
    void tabStart_Click();

    QTabBar *tabStart;
    QWidget *picSprache, *picLizenzvereinbarungen, *picInfo;
    QComboBox *cboSprache;
    QTextEdit *rtfLizenzvereinbarungen;
    QPushButton *cmdOk, *cmdAbbrechen;

private:
    QStackedWidget *m_pages;
};

// Fills a read-only text box with an RTF file's text and formats.
void LoadRtfFile(QTextEdit *box, const QString &path);
