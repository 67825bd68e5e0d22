#include "core/download.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "localpane/frmlocal.h"
#include "platform/listview.h"
#include "platform/localpath.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"

#include <QProgressBar>
#include <QSet>

std::vector<DownloadEntry> DownloadList;

namespace {

const QString Slash = QStringLiteral("/");
constexpr qsizetype LongestServerName = 1023; // bytes in UTF-8
constexpr qsizetype LongestShownPath = 4096;  // characters, as Linux's PATH_MAX
constexpr qsizetype ShownOfLongPath = 256;    // characters

void refused(const QString &name)
{
    LogLine(GetText("MDOWN_DOWNFAILED") + QLatin1Char(' ') + ShownServerName(name), LogColor::Red);
}

void downloadOne(const QString &shownName, const QString &localPath, const QString &remoteName)
{
    LogLine(GetText("MDOWN_DOWNSTART") + QLatin1Char(' ') + shownName);
    // The listed name is used whole: " a.txt" and "a.txt" are two files.
    if (FtpDownload(localPath, remoteName))
        LogLine(GetText("MDOWN_DOWNOK"), LogColor::Green);
    else
        LogLine(GetText("MDOWN_DOWNFAILED"), LogColor::Red);
}

// The selected items of the server list other than "..": folders as their
// own records, files of the base folder with the Path "*".
void collectSelection(const QString &base)
{
    const ListView &list = *frmServer::instance().lsvServer;
    for (int i = 0; i < list.count(); ++i) {
        const QString text = list.text(i);
        if (!list.isSelected(i) || text == QLatin1String(".."))
            continue;
        if (!IsSafeServerName(text)) {
            refused(text);
            continue;
        }
        if (list.subItem(i, 1).isEmpty())
            DownloadList.push_back({QString(), base + text + Slash, QStringLiteral("16"), 0});
        else
            DownloadList.push_back({text, QStringLiteral("*"), QStringLiteral("128"), 0});
    }
}

// Pass 2: the local folder of a record below the base folder, made when it
// is missing. False when it is missing and cannot be made.
bool ensureLocalFolder(const QString &target, const QString &relative, QSet<QString> &failed)
{
    if (failed.contains(relative))
        return false;
    const QString folder = target + relative;
    if (LocalPath::isDir(folder))
        return true;
    LogLine(GetText("MDOWN_FOLDNEW") + QLatin1Char(' ') + folder + GetText("MDOWN_AN"));
    if (LocalPath::makeFolder(folder)) {
        LogLine(GetText("MDOWN_CREATEOK"), LogColor::Green);
        return true;
    }
    LogLine(GetText("MDOWN_CREATEFAILED"), LogColor::Red);
    failed.insert(relative);
    return false;
}

void showTargetInLocalPane(const QString &target)
{
    frmLocal &local = frmLocal::instance();
    local.ViewFolder(target, QStringLiteral("*.*"));
    local.RevealFolder(target, FolderOrder::IgnoreCase);
}

} // namespace

QString ShownServerName(const QString &name)
{
    if (name.size() <= LongestShownPath)
        return name;
    return name.left(ShownOfLongPath) + QChar(0x2026);
}

QStringList ServerPathComponents(const QString &path)
{
    // A server folder's own name may hold a backslash (the server's current
    // folder is taken as it reports it); only "/" separates folders.
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// A folder that cannot be entered stops the walk: the server would otherwise
// be left in another folder, whose files would be taken for this one's.
// The changes go to the server together; the call reads every reply and
// fails when any step failed, so no caller acts in a folder reached after a
// failed step.
bool ChangeDownFromRoot(const QStringList &parts)
{
    return FtpSetCurrentDirectoryChain(hFtpConnection, QStringList{Slash} + parts);
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
    if (!ChangeDownFromRoot(parts) || ServerPathComponents(FtpCurrentDir()) != parts) {
        if (connection != 0)
            walk.refuse(folder);
        return;
    }

    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(connection, mask, data, FIND_FLAG_LINKS_AS_FILES, 0);
    if (find == 0) {
        // An empty folder is complete; a listing that failed is not.
        if (GetLastError() != ERROR_NO_MORE_FILES)
            walk.refuse(folder);
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
            walk.refuse(folder + name);
        } else if (!isFolder) {
            walk.add(name, folder, data);
        } else if (walk.notAFolder && walk.notAFolder(folder, name)) {
            // dealt with as the link it is
        } else {
            folders.push_back(folder + name + Slash);
            walk.add(QString(), folders.back(), data);
        }
        more = InternetFindNextFile(find, data);
    }
    InternetCloseHandle(find);
    for (QString &sub : folders)
        if (!Ui::isShuttingDown())
            ListServerFolderTree(walk, hFtpConnection, sub, mask);
}

int ListServerFolderForDownload(HINTERNET connection, QString &path, const QString &mask)
{
    ServerFolderWalk walk;
    walk.reconnect = true;
    walk.yield = true;
    walk.add = [](const QString &name, const QString &folder, const WIN32_FIND_DATA &data) {
        // The size is kept for folder records only.
        const std::int64_t size = name.isEmpty() ? std::int64_t(data.nFileSize & 0xFFFFFFFFu) : 0;
        DownloadList.push_back({name, folder, QString::number(data.dwFileAttributes), size});
    };
    walk.refuse = refused;
    ListServerFolderTree(walk, connection, path, mask);
    return 0;
}

void DownloadServerSelectionAndReconnect()
{
    if (Ui::isBusy())
        return;
    ReconnectRun run;
    // The folder the pane shows: the old connection may have died.
    const QString shown = ServerPaneFolder();
    DownloadServerSelection();
    ConnectFromMainWindow();
    if (hFtpConnection != 0 && !shown.isEmpty())
        FtpChangeDir(shown);
}

void DownloadServerSelection()
{
    if (Ui::isBusy())
        return;
    BusyScope busy;
    WaitCursor wait;
    ReconnectRun run;
    QProgressBar *progress = mdiMain::instance().pgbBottom;
    const auto finish = [progress] { progress->setValue(1); };

    const QString target = CurrentLocalFolder(NoNodeFolder::DrivePlace);
    DownloadList.clear();
    // Not connected: nothing is done and nothing is logged, not even the
    // refusal of an unsafe selected name.
    if (hFtpConnection == 0) {
        finish();
        return;
    }
    // A lost connection cannot tell its folder; the pane's folder stands in.
    // With neither, the names of the list belong to no known folder and
    // nothing is fetched.
    const QString startFolder = OperationServerFolder();
    QString base = startFolder;
    if (base != Slash)
        base += Slash;
    collectSelection(base);
    if (startFolder.isEmpty()) {
        for (const DownloadEntry &e : DownloadList)
            refused(e.Name.isEmpty() ? e.Path : e.Name);
        DownloadList.clear();
    }
    const size_t selected = DownloadList.size();
    for (size_t i = 0; i < selected; ++i) {
        if (DownloadList[i].Attr.toInt() != 16)
            continue;
        Ui::DoEvents();
        if (Ui::isShuttingDown())
            return;
        QString path = DownloadList[i].Path;
        ListServerFolderForDownload(hFtpConnection, path, QStringLiteral("*.*"));
        Ui::DoEvents();
    }
    if (DownloadList.empty() || Ui::isShuttingDown()) {
        finish();
        return;
    }

    // The selected files are fetched by their bare names: only from inside
    // their own folder.
    const bool inBase = ChangeDownFromRoot(ServerPathComponents(base));
    progress->setMinimum(1);
    progress->setMaximum(int(DownloadList.size()));

    // Pass 1: the selected files of the base folder.
    for (size_t i = 0; i < DownloadList.size() && !Ui::isShuttingDown(); ++i) {
        progress->setValue(int(i) + 1);
        Ui::ThrottledYield();
        const DownloadEntry &e = DownloadList[i];
        if (e.Path != QLatin1String("*"))
            continue;
        if (inBase) {
            downloadOne(e.Name, target + e.Name, e.Name);
        } else {
            LogLine(GetText("MDOWN_DOWNSTART") + QLatin1Char(' ') + e.Name);
            LogLine(GetText("MDOWN_DOWNFAILED"), LogColor::Red);
        }
    }

    // Pass 2: folders one level at a time, each listed file after an
    // absolute change into its folder.
    QSet<QString> failedFolders;
    for (size_t i = 0; i < DownloadList.size() && !Ui::isShuttingDown(); ++i) {
        const DownloadEntry &e = DownloadList[i];
        if (e.Path == QLatin1String("*"))
            continue;
        progress->setValue(int(i) + 1);
        QString relative = e.Path.mid(base.length());
        if (relative.endsWith(Slash))
            relative.chop(1);
        const bool folderReady = ensureLocalFolder(target, relative, failedFolders);
        if (!e.Name.isEmpty()) {
            if (folderReady && ChangeDownFromRoot(ServerPathComponents(e.Path))) {
                downloadOne(e.Path + e.Name, target + relative + Slash + e.Name, e.Name);
            } else {
                LogLine(GetText("MDOWN_DOWNSTART") + QLatin1Char(' ') + e.Path + e.Name);
                LogLine(GetText("MDOWN_DOWNFAILED"), LogColor::Red);
            }
        }
        FtpChangeDir(startFolder);
        Ui::ThrottledYield();
    }

    // Nothing is shown or re-created once the program is closing.
    if (Ui::isShuttingDown())
        return;
    showTargetInLocalPane(target);
    finish();
}

void ResetDownloadState()
{
    DownloadList.clear();
}
