#include "core/serverfolderwalk.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "platform/ui.h"

QStringList ServerPathComponents(const QString &path)
{
    // A server folder's own name may hold a backslash (the server's current
    // folder is taken as it reports it); only "/" separates folders.
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

namespace {
constexpr qsizetype LongestServerName = 1023; // bytes in UTF-8
constexpr qsizetype LongestShownPath = 4096;  // characters, as Linux's PATH_MAX
constexpr qsizetype ShownOfLongPath = 256;    // characters
} // namespace

QString ShownServerName(const QString &name)
{
    if (name.size() <= LongestShownPath)
        return name;
    return name.left(ShownOfLongPath) + QChar(0x2026);
}

// A folder that cannot be entered stops the walk: the server would otherwise
// be left in another folder, whose files would be taken for this one's.
// The changes go to the server together; the call reads every reply and
// fails when any step failed, so no caller acts in a folder reached after a
// failed step.
bool ChangeDownFromRoot(const QStringList &parts)
{
    return FtpSetCurrentDirectoryChain(hFtpConnection, QStringList{ServerSlash} + parts);
}

bool IsSafeServerName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    // A UTF-8 character takes at most 3 bytes per UTF-16 unit.
    if (name.size() * 3 > LongestServerName && name.toUtf8().size() > LongestServerName)
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
            c.unicode() == 0)
            return false;
    return true;
}

void ListServerFolderTree(const ServerFolderWalk &walk, HINTERNET connection, QString &path,
                          const QString &mask)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    const QString folder = path;

    if (walk.reconnect) {
        ConnectFromMainWindow();
        connection = hFtpConnection; // the reconnect replaced the connection
    }
    const QStringList parts = ServerPathComponents(folder);
    // A folder that cannot be entered, also after a reconnect that failed,
    // gets its red line: its files would otherwise be missing without a word.
    if (!ChangeDownFromRoot(parts) || ServerPathComponents(FtpCurrentDir()) != parts) {
        LogRefused(walk.failedKey, folder);
        return;
    }

    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(connection, mask, data, FIND_FLAG_LINKS_AS_FILES, 0);
    if (find == 0) {
        // An empty folder is complete; a listing that failed is not.
        if (GetLastError() != ERROR_NO_MORE_FILES)
            LogRefused(walk.failedKey, folder);
        return;
    }
    std::vector<QString> folders;
    bool more = true;
    while (more) {
        if (walk.yield)
            Ui::ThrottledYield();
        if (Ui::isShuttingDown())
            break;
        const QString name = data.cFileName;
        const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder && (name == QLatin1String(".") || name == QLatin1String(".."))) {
            // the folder itself and its parent
        } else if (!IsSafeServerName(name)) {
            // Never joined into a path; nothing below it is walked.
            LogRefused(walk.failedKey, folder + name);
        } else if (!isFolder) {
            walk.add(name, folder, data);
        } else if (walk.notAFolder && walk.notAFolder(folder, name)) {
            // dealt with as the link it is
        } else {
            folders.push_back(folder + name + ServerSlash);
            walk.add(QString(), folders.back(), data);
        }
        more = InternetFindNextFile(find, data);
    }
    InternetCloseHandle(find);
    for (QString &sub : folders)
        if (!Ui::isShuttingDown())
            ListServerFolderTree(walk, hFtpConnection, sub, mask);
}

void LogRefused(const char *failedKey, const QString &what)
{
    LogLine(GetText(failedKey) + QLatin1Char(' ') + ShownServerName(what), LogColor::Red);
}
