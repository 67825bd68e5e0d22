#include "core/download.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/selection.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "localpane/frmlocal.h"
#include "platform/localpath.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QProgressBar>
#include <QSet>

std::vector<DownloadEntry> DownloadList;

namespace {

const char *const DownFailed = "MDOWN_DOWNFAILED";

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
    ForEachSelectedServerItem(
        {}, [](const QString &text) { LogRefused(DownFailed, text); },
        [&base](const QString &text, bool isFolder) {
            if (isFolder)
                DownloadList.push_back(
                    {QString(), base + text + ServerSlash, QStringLiteral("16"), 0});
            else
                DownloadList.push_back({text, QStringLiteral("*"), QStringLiteral("128"), 0});
        });
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
    walk.failedKey = DownFailed;
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
    // A folder that is gone leaves the server elsewhere: the list then shows
    // where it is, so that the next command does not name items of the old
    // folder in another one.
    if (!ReconnectInto(shown))
        RefreshServerList(hFtpConnection);
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
    if (base != ServerSlash)
        base += ServerSlash;
    collectSelection(base);
    if (startFolder.isEmpty()) {
        RefuseAll(DownloadList, DownFailed);
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
        if (relative.endsWith(ServerSlash))
            relative.chop(1);
        const bool folderReady = ensureLocalFolder(target, relative, failedFolders);
        if (!e.Name.isEmpty()) {
            if (folderReady && ChangeDownFromRoot(ServerPathComponents(e.Path))) {
                downloadOne(e.Path + e.Name, target + relative + ServerSlash + e.Name, e.Name);
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
