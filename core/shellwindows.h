#pragma once
// The program's own windows where the desktop has none to offer: the choice
// of a program for a file, and a file's properties. Both are non-modal; any
// number may be open, each for its own file, and they close with the main
// window.

#include "platform/desktop.h"

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

// A non-modal window of its own: parented to the main window where there is
// one, and unloaded with the other windows.
class ShellWindow : public QDialog {
    Q_OBJECT
public:
    ShellWindow();
    ~ShellWindow() override;
};

// Lists the applications the desktop has registered for the file's type,
// then every other installed application; the chosen one is started with
// the file.
class frmOpenWith : public ShellWindow {
    Q_OBJECT
public:
    // Opens a new dialog for file and shows it.
    static frmOpenWith *showFor(const QString &file);
    explicit frmOpenWith(const QString &file);

    void cmdOeffnen_Click();
    void cmdAbbrechen_Click();

    QString file() const { return m_file; }
    const std::vector<Desktop::Application> &applications() const { return m_apps; }

    QLabel *lblPrompt;
    QLabel *lblFile;
    QListWidget *lstPrograms;
    QPushButton *cmdOeffnen;
    QPushButton *cmdAbbrechen;

private:
    QString m_file;
    std::vector<Desktop::Application> m_apps;
};

// Name, type, folder, size, dates, permissions and owner of a file.
class frmProperties : public ShellWindow {
    Q_OBJECT
public:
    // Opens a new window for file and shows it.
    static frmProperties *showFor(const QString &file);
    explicit frmProperties(const QString &file);

    QString file() const { return m_file; }
    // The value shown in the row with this caption key, "" when none.
    QString value(const char *labelKey) const;

    QLabel *imgSystemLogo;
    QPushButton *cmdSchliessen;

private:
    QString m_file;
    std::vector<std::pair<QString, QLabel *>> m_values; // caption key, value label
};
