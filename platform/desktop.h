#pragma once
// The desktop's programs for files: the default application of a file type
// and the applications registered for it (GIO, as xdg-open and the file
// managers see them), starting a program with a file, and asking a file
// manager for a file's properties (org.freedesktop.FileManager1 over D-Bus).
//
// Everything that starts a process or talks to a file manager goes through
// one Launcher, and so does the question which program opens a file, so
// that tests put a recording stand-in in its place and never start a real
// desktop program.

#include <QIcon>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Desktop {

// One application the desktop knows (a .desktop entry).
struct Application {
    QString id;         // its desktop file id, "org.example.Viewer.desktop"
    QString name;       // the name shown to the user
    QString executable; // the absolute path of its program, "" when not installed
    QIcon icon;
    std::shared_ptr<void> info; // GIO's record of it, for the launch
};

// The content type of a path by its name alone (no content sniffing), as
// the type names of the lists are found; an existing folder is
// "inode/directory".
QString contentType(const QString &path);
// The application that opens files of this type, when the desktop has one.
std::optional<Application> defaultApplication(const QString &type);
// The applications registered for this type: the default first, then the
// others in the desktop's order, each once.
std::vector<Application> applicationsFor(const QString &type);
// Every other installed application a menu would show, by name, leaving
// out those whose ids are given.
std::vector<Application> otherApplications(const QStringList &exceptIds);

// Finding and starting programs, and asking the file manager.
class Launcher {
public:
    virtual ~Launcher() = default;
    // The application that opens files of this type: the desktop's
    // defaultApplication unless a stand-in names another.
    virtual std::optional<Application> defaultApplicationFor(const QString &type)
    {
        return defaultApplication(type);
    }
    // Starts app with file as the one file it opens; false when it could not
    // be started.
    virtual bool launch(const Application &app, const QString &file) = 0;
    // Starts app with address (a URL such as the home page) as the one
    // address it opens; false when it could not be started.
    virtual bool launchAddress(const Application &app, const QString &address) = 0;
    // Starts program detached with these arguments, each passed as it is
    // and never through a shell.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    // Asks a file manager to show file's properties. fallback runs (later,
    // from the event loop, or at once) when none answers in time or it
    // refuses.
    virtual void showItemProperties(const QString &file, std::function<void()> fallback) = 0;
};

// The launcher in use: the desktop's own unless a test installed another.
Launcher &launcher();
// Installs a replacement; nullptr brings the desktop's own back.
void setLauncher(std::unique_ptr<Launcher> replacement);
// The desktop's own launcher; a file manager that has not answered after
// propertiesTimeoutMs counts as none.
std::unique_ptr<Launcher> makeDesktopLauncher(int propertiesTimeoutMs = 3000);

// The D-Bus names of the file manager's properties call.
inline constexpr const char *FileManagerService = "org.freedesktop.FileManager1";
inline constexpr const char *FileManagerPath = "/org/freedesktop/FileManager1";
inline constexpr const char *FileManagerInterface = "org.freedesktop.FileManager1";

} // namespace Desktop
