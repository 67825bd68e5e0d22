#include "core/upload.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/selection.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "localpane/frmlocal.h"
#include "localpane/frmpopupfrmlocal.h"
#include "platform/dialogs.h"
#include "platform/localfs.h"
#include "platform/localpath.h"
#include "platform/programfolder.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <set>
#include <utility>

std::vector<SelectionEntry> UploadList;
HINTERNET hFtpFile = 0;

namespace {

constexpr int Block = 255;

// The folders of the upload (paths with their closing "/") whose entries
// could not be read: their content is missing from the list, so each gets
// the failure line instead of passing for an empty folder.
std::set<QString> unreadableFolders;
// Local reads are this many whole blocks at a time.
constexpr qint64 ReadChunk = qint64(Block) * 4096;

// The upload's entries: the selected items of the local list, in list order.
void collectSelection(const QString &startFolder)
{
    UploadList.clear();
    unreadableFolders.clear();
    ForEachSelectedItem(
        *frmLocal::instance().lsvDirFile, [&startFolder](const QString &text, bool isFolder) {
            if (isFolder)
                UploadList.push_back(
                    {QString(), startFolder + text + QLatin1Char('/'), QStringLiteral("16")});
            else
                UploadList.push_back({text, startFolder, QStringLiteral("128")});
        });
}

// The folders below the start folder that lead to an entry's folder.
QStringList relativeComponents(const QString &path, const QString &startFolder)
{
    if (path.length() < startFolder.length())
        return {};
    // Empty pieces (a closing "/") name no folder and are not sent.
    return path.mid(startFolder.length()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// Makes and enters each folder of an entry's way; false when one of them
// can neither be made nor entered, so that its files are not sent into a
// wrong folder.
bool enterFolders(const QStringList &components, const UploadTexts &texts)
{
    for (const QString &component : components) {
        if (FtpMakeDir(component)) {
            LogLine(GetText(texts.dirNew1) + QLatin1Char(' ') + component + QLatin1Char(' ') +
                    GetText(texts.dirNew2));
            LogLine(GetText(texts.dirOk), LogColor::Green);
        }
        if (!FtpChangeDir(component))
            return false;
    }
    return true;
}

void uploadEntry(const SelectionEntry &entry, const QString &startFolder, const UploadTexts &texts,
                 bool inFolder)
{
    const bool entered =
        inFolder && enterFolders(relativeComponents(entry.Path, startFolder), texts);
    // The name is used whole: " a.txt" and "a.txt" are two files.
    QString name = entry.Name;
    if (name.isEmpty()) {
        // A folder that could neither be made nor entered says so once, at
        // its own entry; an empty one would otherwise fail without a line.
        const QStringList way = relativeComponents(entry.Path, startFolder);
        if (inFolder && !entered && !way.isEmpty()) {
            LogLine(GetText(texts.dirNew1) + QLatin1Char(' ') + way.last() + QLatin1Char(' ') +
                    GetText(texts.dirNew2));
            LogLine(GetText(texts.dirFailed), LogColor::Red);
        }
        if (unreadableFolders.count(entry.Path)) {
            LogLine(GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + entry.Path);
            LogLine(GetText("MPUB_UPFAILED"), LogColor::Red);
        }
        return;
    }
    QString local;
    if (entry.Path.endsWith(QLatin1Char('/'))) {
        LogLine(GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + entry.Path + entry.Name);
        local = entry.Path + entry.Name;
    } else {
        LogLine(GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + entry.Path + QLatin1Char('/') +
                entry.Name);
        local = entry.Path + QLatin1Char('/') + entry.Name;
    }
    if (!entered) {
        LogLine(GetText("MPUB_UPFAILED"), LogColor::Red);
        return;
    }
    UploadFile(local, name);
}

void setWatchdog(bool on)
{
    QTimer *t = mdiMain::instance().timIsConnected;
    if (on && !Ui::isShuttingDown())
        t->start();
    else
        t->stop();
}

} // namespace

void UploadSelection()
{
    UploadLocalSelection({TextKey("FRMSERVER_NOCONNECTION"), TextKey("FRMPUSERVER_DIRNEW1"),
                          TextKey("FRMPUSERVER_DIRNEW2"), TextKey("FRMPUSERVER_DIROK"),
                          TextKey("FRMPUSERVER_DIRFAILED")});
}

void UploadSelectionFromContextMenu()
{
    UploadLocalSelection({TextKey("FRMPULOC_NOCONN"), TextKey("FRMPULOC_NEWDIR1"),
                          TextKey("FRMPULOC_NEWDIR2"), TextKey("FRMPULOC_GENOK"),
                          TextKey("FRMPULOC_GENFAIL")});
}

void UploadLocalSelection(const UploadTexts &texts)
{
    if (Ui::isBusy())
        return;
    BusyScope busy;
    WaitCursor wait;
    // The selected names are names of the folder the list shows, which is
    // not the tree's folder when a path was typed into the path combo.
    const QString startFolder = LocalItemFolder(NoNodeFolder::DrivePlace);
    collectSelection(startFolder);
    if (hFtpConnection == 0) {
        dialogs().MsgBox(GetText(texts.noConnection), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const size_t selected = UploadList.size();
    for (size_t i = 0; i < selected; ++i) {
        if (UploadList[i].Attr.toInt() == 16) {
            QString folder = UploadList[i].Path;
            folder.chop(1);
            CollectLocalFolder(folder);
        }
    }
    if (UploadList.empty())
        return;

    ReconnectRun run;
    // The folder the upload goes to; a lost connection cannot tell it, and
    // then it is the folder the server pane shows. Nothing goes anywhere
    // else: when neither is known, every item fails.
    const QString startServerFolder = OperationServerFolder();
    QProgressBar *progress = mdiMain::instance().pgbBottom;
    // One item still gives a range (0..0 would draw a busy indicator).
    progress->setRange(0, std::max(1, int(UploadList.size()) - 1));
    for (size_t i = 0; i < UploadList.size(); ++i) {
        if (Ui::isShuttingDown())
            return;
        progress->setValue(int(i));
        ConnectFromMainWindow();
        const bool inFolder = !startServerFolder.isEmpty() && FtpChangeDir(startServerFolder);
        uploadEntry(UploadList[i], startFolder, texts, inFolder);
        Ui::DoEvents();
    }
    if (Ui::isShuttingDown())
        return;
    progress->setValue(0);
    FtpChangeDir(startServerFolder);
    RefreshServerList(hFtpConnection);
}

namespace {

// Folders by device and inode: a link back up the tree (self -> .) or two
// links to one folder would otherwise walk the same folder again and again.
using FolderIds = std::set<std::pair<dev_t, ino_t>>;

enum class Visit { First, Again, Unreadable };

Visit visit(const QString &folder, FolderIds &visited)
{
    struct stat st {};
    if (!LocalPath::status(folder, st))
        return Visit::Unreadable;
    return visited.insert({st.st_dev, st.st_ino}).second ? Visit::First : Visit::Again;
}

void collectFolder(const QString &folder, FolderIds &visited)
{
    LocalFs::FolderSearch search(folder);
    if (!search.isOpen()) {
        unreadableFolders.insert(folder + QLatin1Char('/'));
        return;
    }
    // A folder's files come before its sub-folders, each group by name, so
    // that the order does not depend on how the file system hands them out.
    std::vector<LocalFs::FindData> files, folders;
    LocalFs::FindData found;
    while (search.next(found)) {
        if (found.name == QLatin1String(".") || found.name == QLatin1String(".."))
            continue;
        (found.attributes & LocalFs::AttrFolder ? folders : files).push_back(found);
    }
    const auto byName = [](const LocalFs::FindData &a, const LocalFs::FindData &b) {
        return a.name < b.name;
    };
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);
    for (const LocalFs::FindData &f : files)
        UploadList.push_back({f.name, folder, QString::number(f.attributes)});
    const size_t firstFolder = UploadList.size();
    for (const LocalFs::FindData &f : folders) {
        const QString sub = folder + QLatin1Char('/') + f.name;
        const Visit seen = visit(sub, visited);
        if (seen == Visit::Again)
            continue;
        UploadList.push_back({QString(), sub + QLatin1Char('/'), QStringLiteral("16")});
        if (seen == Visit::Unreadable)
            unreadableFolders.insert(sub + QLatin1Char('/'));
    }
    for (size_t i = firstFolder, end = UploadList.size(); i < end; ++i) {
        if (unreadableFolders.count(UploadList[i].Path))
            continue;
        QString sub = UploadList[i].Path;
        sub.chop(1);
        collectFolder(sub, visited);
    }
}

} // namespace

void CollectLocalFolder(const QString &folder)
{
    FolderIds visited;
    const Visit seen = visit(folder, visited);
    if (seen == Visit::First)
        collectFolder(folder, visited);
    else if (seen == Visit::Unreadable)
        unreadableFolders.insert(folder + QLatin1Char('/'));
}

bool UploadFile(QString &localPath, QString &remoteName)
{
    setWatchdog(false);
    // Both names are used whole: blanks at their edges belong to them.
    if (localPath.isEmpty() || remoteName.isEmpty()) {
        // The watchdog comes back on this road too, so it never stays off.
        setWatchdog(true);
        return false;
    }
    if (mdiMain::instance().cboTransferMode->currentIndex() == 2)
        TransferType = IsAsciiFile(remoteName) ? 1 : 2;

    const auto fail = [] {
        LogLine(GetText("MPUB_UPFAILED"), LogColor::Red);
        setWatchdog(true);
        return false;
    };
    // The local file is opened first: a file that cannot be read must not
    // leave an empty file on the server reported as sent.
    // Only a regular file is opened: a FIFO would block until a writer came.
    QFile file;
    if (LocalPath::openForReading(localPath, file) != LocalPath::OpenResult::Opened)
        return fail();
    hFtpFile =
        FtpOpenFile(hFtpConnection, remoteName, GENERIC_WRITE, std::uint32_t(TransferType), 0);
    if (hFtpFile == 0)
        return fail();

    bool ok = true;
    QByteArray chunk;
    qint64 remaining = file.size();
    while (ok && remaining >= Block) {
        chunk = file.read(std::min(ReadChunk, remaining - remaining % Block));
        if (chunk.isEmpty() || chunk.size() % Block != 0) {
            ok = false;
            break;
        }
        for (qsizetype at = 0; ok && at < chunk.size(); at += Block) {
            std::uint32_t written = 0;
            ok = InternetWriteFile(hFtpFile, chunk.constData() + at, Block, written) &&
                 written == Block;
            Ui::ThrottledYield();
            ok = ok && !Ui::isShuttingDown();
        }
        remaining -= chunk.size();
    }
    if (ok) {
        // The last, short block: zero bytes when the size is a multiple of 255.
        chunk = file.read(remaining);
        std::uint32_t written = 0;
        ok = chunk.size() == remaining &&
             InternetWriteFile(hFtpFile, chunk.constData(), std::uint32_t(chunk.size()), written) &&
             written == std::uint32_t(chunk.size());
    }
    file.close();
    // Closing the server file ends the transfer; only the server's
    // confirmation makes it a success.
    ok = InternetCloseHandle(hFtpFile) && ok;
    hFtpFile = 0;
    if (!ok)
        return fail();
    LogLine(GetText("MPUB_UPOK"), LogColor::Green);
    setWatchdog(true);
    return true;
}

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The fields of "ascii.dat" as comma-separated field input reads them: a
// field ends at a comma or a line end; blanks around it are dropped; a field
// that starts with a double quote runs to the closing quote, commas
// included, and whatever follows the quote up to the next comma or line end
// is skipped. An unclosed quote ends at its line's end.
QStringList asciiListFields(const QByteArray &content)
{
    QStringList fields;
    const qsizetype n = content.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (content[i] == ' ' || content[i] == '\t'))
            ++i;
        QByteArray field;
        if (i < n && content[i] == '"') {
            const qsizetype start = ++i;
            while (i < n && content[i] != '"' && !isLineEnd(content[i]))
                ++i;
            field = content.mid(start, i - start);
            while (i < n && content[i] != ',' && !isLineEnd(content[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && content[i] != ',' && !isLineEnd(content[i]))
                ++i;
            field = content.mid(start, i - start).trimmed();
        }
        if (i < n && content[i] == '\r' && i + 1 < n && content[i + 1] == '\n')
            ++i;
        ++i; // the comma or the line end
        // An empty item would be "." alone, found in nearly every name.
        if (!field.isEmpty())
            fields << QString::fromUtf8(field);
    }
    return fields;
}

} // namespace

QStringList ReadAsciiList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return asciiListFields(file.readAll());
}

bool IsAsciiFile(const QString &name)
{
    for (const QString &item : ReadAsciiList(ProgramFolder::asciiDatReadPath()))
        if (name.contains(QLatin1Char('.') + item, Qt::CaseInsensitive))
            return true;
    return false;
}

QString ReplaceAll(QString &text, const QString &find, const QString &replacement)
{
    if (find.isEmpty())
        return text;
    qsizetype from = 0;
    for (qsizetype at; (at = text.indexOf(find, from)) >= 0;) {
        text = text.left(at) + replacement + text.mid(at + find.length());
        from = at + std::max<qsizetype>(replacement.length(), 1);
    }
    return text;
}

void ResetUploadState()
{
    UploadList.clear();
    unreadableFolders.clear();
    hFtpFile = 0;
}
