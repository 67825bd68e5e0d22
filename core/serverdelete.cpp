#include "core/serverdelete.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/selection.h"
#include "core/serverfolderwalk.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"

#include <QProgressBar>

std::vector<SelectionEntry> DeleteList;

namespace {

const QString Folder = QStringLiteral("16");
const char *const DelFailed = "MDEL_DELFAILED";

void logResult(bool ok)
{
    if (ok)
        LogLine(GetText("MDEL_DELOK"), LogColor::Green);
    else
        LogLine(GetText("MDEL_DELFAILED"), LogColor::Red);
}

// A folder entry is tried with DELE first, in the folder holding it: a real
// folder cannot be DELEted, a link can. A link the server lists as the
// folder it points to is so removed as a link, and nothing in its target is
// touched.
bool deletedAsLink(const QString &folder, const QString &name)
{
    if (!FtpDelete(name))
        return false;
    LogLine(GetText("MDEL_DELFILE") + QLatin1Char(' ') + DeleteLogPath(folder, name));
    LogLine(GetText("MDEL_DELOK"), LogColor::Green);
    return true;
}

// The selected items of the server list in list order. A name the server
// gave that cannot be joined into a path is refused: "a/b" would otherwise
// delete b in the folder a.
void collectSelection(const QString &startFolder)
{
    const auto refuse = [](const QString &text) {
        if (hFtpConnection != 0) // without a connection nothing is logged
            LogRefused(DelFailed, text);
    };
    ForEachSelectedServerItem(
        TakesPartInDelete, refuse, [&startFolder](const QString &text, bool isFolder) {
            if (isFolder && deletedAsLink(startFolder, text))
                return;
            DeleteList.push_back(DeleteSelectionEntry(startFolder, text, isFolder));
        });
}

// Pass 1: one file, deleted by its bare name in its own folder. When that
// folder cannot be entered nothing is deleted: the server would still be in
// another folder, where a file of the same name may stand.
void deleteFile(const SelectionEntry &entry)
{
    LogLine(GetText("MDEL_DELFILE") + QLatin1Char(' ') + DeleteLogPath(entry.Path, entry.Name));
    const bool entered = ChangeDownFromRoot(ServerPathComponents(entry.Path));
    logResult(entered && FtpDelete(entry.Name));
}

// Pass 2: one folder, removed by its name from the folder that holds it.
void removeFolder(const QString &path)
{
    LogLine(GetText("MDEL_DELFILE") + QLatin1Char(' ') + path);
    const FolderToRemove folder = SplitFolderToRemove(path);
    const bool entered = !folder.name.isEmpty() && ChangeDownFromRoot(folder.parent);
    logResult(entered && FtpRemoveDir(folder.name));
}

// The end of every run: a fresh connection back in the start folder, and the
// path combo without the folders that are gone.
void finish(const QString &startFolder)
{
    if (Ui::isShuttingDown())
        return;
    ConnectFromMainWindow();
    FtpChangeDir(startFolder);
    frmServer::instance().PruneServerCombo(false);
    FtpChangeDir(startFolder);
}

} // namespace

bool TakesPartInDelete(const QString &text)
{
    return !text.contains(QLatin1String(".."));
}

SelectionEntry DeleteSelectionEntry(const QString &startFolder, const QString &text, bool isFolder)
{
    const QString folder = startFolder == ServerSlash ? ServerSlash : startFolder + ServerSlash;
    if (isFolder)
        return {QString(), folder + text, Folder};
    return {text, folder, QStringLiteral("128")};
}

QString DeleteLogPath(const QString &path, const QString &name)
{
    QString full = path;
    if (!full.endsWith(ServerSlash))
        full += ServerSlash;
    if (!full.startsWith(ServerSlash))
        full.prepend(ServerSlash);
    return full + name;
}

void SortFoldersLongestFirst(QStringList &folders)
{
    // Neighbours swap only when the later one is strictly longer, so
    // folders of equal length keep the order in which they were found.
    const qsizetype n = folders.size() - 1;
    for (qsizetype pass = 0; pass < n; ++pass)
        for (qsizetype j = 0; j < n; ++j)
            if (folders[j + 1].length() > folders[j].length())
                folders.swapItemsAt(j, j + 1);
}

FolderToRemove SplitFolderToRemove(const QString &path)
{
    FolderToRemove folder;
    folder.parent = ServerPathComponents(path);
    if (!folder.parent.isEmpty())
        folder.name = folder.parent.takeLast();
    return folder;
}

int ListServerFolderForDelete(HINTERNET connection, QString &path, const QString &mask)
{
    ServerFolderWalk walk;
    walk.add = [](const QString &name, const QString &folder, const WIN32_FIND_DATA &data) {
        DeleteList.push_back({name, folder, QString::number(data.dwFileAttributes)});
    };
    walk.failedKey = DelFailed;
    walk.notAFolder = deletedAsLink;
    ListServerFolderTree(walk, connection, path, mask);
    return 0;
}

void DeleteServerSelection()
{
    if (Ui::isBusy())
        return;
    BusyScope busy;
    WaitCursor wait;
    ReconnectRun run;
    // A lost connection cannot tell its folder; the pane's folder stands in.
    // With neither, the selected names belong to no known folder and nothing
    // is deleted: "/" would name other items of the same names.
    const QString startFolder = OperationServerFolder();
    DeleteList.clear();
    collectSelection(startFolder);
    if (hFtpConnection == 0) {
        finish(startFolder);
        return;
    }
    if (startFolder.isEmpty()) {
        RefuseAll(DeleteList, DelFailed);
    }
    const size_t selected = DeleteList.size();
    for (size_t i = 0; i < selected && !Ui::isShuttingDown(); ++i) {
        if (DeleteList[i].Attr.toInt() != 16)
            continue;
        QString path = DeleteList[i].Path; // the record keeps its path without a closing "/"
        ListServerFolderForDelete(hFtpConnection, path, QStringLiteral("*.*"));
    }
    if (DeleteList.empty()) {
        finish(startFolder);
        return;
    }

    QProgressBar *progress = mdiMain::instance().pgbBottom;
    const bool wasVisible = progress->isVisible();
    progress->setRange(0, int(DeleteList.size()));
    progress->setValue(0);
    progress->setVisible(true);

    // Pass 1: every file, in list order; the folders are set aside.
    QStringList folders;
    for (size_t i = 0; i < DeleteList.size() && !Ui::isShuttingDown(); ++i) {
        progress->setValue(int(i));
        const SelectionEntry &entry = DeleteList[i];
        if (entry.Name.isEmpty())
            folders.append(entry.Path);
        else
            deleteFile(entry);
        FtpChangeDir(startFolder);
        Ui::ThrottledYield();
    }

    // Pass 2: the folders, every sub-folder before the folder holding it.
    SortFoldersLongestFirst(folders);
    for (const QString &folder : folders) {
        if (Ui::isShuttingDown())
            return;
        removeFolder(folder);
        ConnectFromMainWindow();
        FtpChangeDir(startFolder);
    }
    // The bar stays where the other operations expect it.
    progress->setValue(0);
    progress->setVisible(wasVisible);

    finish(startFolder);
}

void DeleteServerSelectionAndPrune()
{
    if (Ui::isBusy())
        return;
    ReconnectRun run;
    DeleteServerSelection();
    if (Ui::isShuttingDown())
        return;
    RefreshServerList(hFtpConnection);
    const QString current = FtpCurrentDir();
    frmServer::instance().PruneServerCombo(true);
    FtpChangeDir(ServerSlash);
    FtpChangeDir(current);
}

void ResetDeleteState()
{
    DeleteList.clear();
}
