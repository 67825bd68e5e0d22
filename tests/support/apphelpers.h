#pragma once
// Setting the program up for a test: its own program folder, the language
// database, the main window; and tearing everything down again.

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A temporary program folder holding copies of the built program files
// ("lang.db", "Dateien/la.rtf", "index.html", "ascii.dat"), made the
// program's folder while it lives.
class TestProgramFolder {
public:
    explicit TestProgramFolder(bool withFiles = true);
    ~TestProgramFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
};

// Opens the program folder's "lang.db" and chooses a language table, as the
// start dialog's OK does.
void chooseLanguage(const QString &table = QStringLiteral("deutsch"));

// Points HOME (and the XDG folders) at a temporary folder so that the local
// pane and per-user files never touch the real home.
class TestHome {
public:
    TestHome();
    ~TestHome();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

class ScriptedDialogs;

// The program as a widget test needs it: a home and a program folder of its
// own, the German texts and scripted dialogs. Destroying it resets the
// application.
class TestProgram {
public:
    TestProgram();
    ~TestProgram();
    TestHome home;
    TestProgramFolder folder;
    ScriptedDialogs *dialogs = nullptr;
};

// Unloads every window, closes the language database, puts the shared state
// back to its start and restores the real dialogs.
void resetApplication();
