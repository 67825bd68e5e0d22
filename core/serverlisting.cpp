#include "core/serverlisting.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "platform/icons.h"
#include "platform/listview.h"
#include "platform/shellinfo.h"
#include "platform/tempfolder.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

std::vector<ServerListingEntry> ServerListing;

void ResetServerListing()
{
    ServerListing.clear();
}

// ---------------------------------------------------------------------------
// Formatting

QString FormatSizeKB(std::uint64_t bytes)
{
    // Whole numbers only, so that sizes of any length round exactly.
    std::uint64_t kb = bytes / 1024;
    const std::uint64_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && (kb & 1) != 0))
        ++kb;
    if (kb == 0)
        kb = 1;
    return QString::number(kb) + QLatin1String(" KB");
}

QString FormatSystemTime(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    // Written character by character: a listing formats one date per entry.
    const QDateTime t = time.timeSpec() == Qt::UTC ? time : time.toUTC();
    const QDate date = t.date();
    const QTime clock = t.time();
    QString text;
    text.reserve(17);
    const auto two = [&text](int v) {
        text += QChar(char16_t(u'0' + v / 10));
        text += QChar(char16_t(u'0' + v % 10));
    };
    two(date.day());
    text += QLatin1Char('.');
    two(date.month());
    text += QLatin1Char('.');
    text += QString::number(date.year());
    text += QLatin1Char(' ');
    two(clock.hour());
    text += QLatin1Char(':');
    two(clock.minute());
    return text;
}

// ---------------------------------------------------------------------------
// The temporary folder and the desktop's knowledge of file types

namespace {

// Makes the placeholder; `existed` tells whether a file of that name was
// there before (a copy fetched to be opened), which must not be deleted.
QString makePlaceholder(const QString &name, bool &existed)
{
    existed = false;
    if (!TempFolder::isPlainFileName(name))
        return QString();
    for (const QString &folder : TempFolder::candidates()) {
        if (!TempFolder::prepare(folder))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        existed = QFileInfo::exists(path);
        if (TempFolder::touch(folder, name))
            return path;
        TempFolder::removeIfEmpty(folder);
    }
    existed = false;
    return QString();
}

// The placeholders of one listing. A new file costs a new inode, which some
// file systems hand out slowly; so each placeholder is another name (a hard
// link) of one empty file made by the first question, where the file system
// allows it, and a file of its own where not.
class PlaceholderMaker {
public:
    PlaceholderMaker() = default;
    ~PlaceholderMaker()
    {
        if (!m_seed.isEmpty())
            QFile::remove(m_seed);
    }
    PlaceholderMaker(const PlaceholderMaker &) = delete;
    PlaceholderMaker &operator=(const PlaceholderMaker &) = delete;

    QString make(const QString &name, bool &existed)
    {
        existed = false;
        if (!TempFolder::isPlainFileName(name))
            return QString();
        if (!m_seedTried) {
            m_seedTried = true;
            bool seedExisted = false;
            m_seed = makePlaceholder(QStringLiteral(".placeholder"), seedExisted);
            if (seedExisted) // not ours, and maybe not empty: left alone
                m_seed.clear();
        }
        if (!m_seed.isEmpty()) {
            const QString path = QFileInfo(m_seed).path() + QLatin1Char('/') + name;
            if (::link(QFile::encodeName(m_seed).constData(),
                       QFile::encodeName(path).constData()) == 0)
                return path;
            if (errno == EEXIST) {
                existed = true;
                return path;
            }
        }
        return makePlaceholder(name, existed);
    }

private:
    QString m_seed;
    bool m_seedTried = false;
};

// A placeholder for the time of one question to the desktop.
class Placeholder {
public:
    Placeholder(PlaceholderMaker &maker, const QString &name) : m_path(maker.make(name, m_existed))
    {
    }
    ~Placeholder()
    {
        if (!m_path.isEmpty() && !m_existed)
            QFile::remove(m_path);
    }
    Placeholder(const Placeholder &) = delete;
    Placeholder &operator=(const Placeholder &) = delete;
    const QString &path() const { return m_path; }

private:
    bool m_existed = false;
    QString m_path;
};

// The desktop's answers, learned from placeholders; icons go into the main
// window's image lists.
class DesktopListingShell : public ListingShell {
public:
    QString typeName(const QString &name) override
    {
        const Placeholder placeholder(m_placeholders, name);
        return placeholder.path().isEmpty() ? QString() : GetFileTypeName(placeholder.path());
    }

    void addIcons(const QString &name, const QString &key) override
    {
        mdiMain &m = mdiMain::instance();
        // The image lists keep the first picture of a key for the whole run:
        // a key both lists hold needs no placeholder.
        if (m.imgListSmall.contains(key) && m.imgListLarge.contains(key))
            return;
        const Placeholder placeholder(m_placeholders, name);
        if (placeholder.path().isEmpty())
            return;
        m.imgListSmall.add(key,
                           GetFileIconPicture(SHGFI_ICON | SHGFI_SMALLICON, placeholder.path()));
        m.imgListLarge.add(key, GetFileIconPicture(SHGFI_ICON, placeholder.path()));
    }

private:
    PlaceholderMaker m_placeholders;
};

} // namespace

QString GetTempFilePath(const QString &name)
{
    bool existed = false;
    return makePlaceholder(name, existed);
}

QString GetFileTypeName(const QString &path)
{
    return ShellInfo::typeName(path);
}

QIcon GetFileIconPicture(std::uint32_t flags, const QString &path)
{
    return ShellInfo::icon(path, (flags & SHGFI_SMALLICON) != 0);
}

// ---------------------------------------------------------------------------
// The listing's rules

ServerListingEntry ServerEntryReader::read(const WIN32_FIND_DATA &data)
{
    ServerListingEntry entry;
    const int nul = data.cFileName.indexOf(QChar(0));
    entry.Name = nul >= 0 ? data.cFileName.left(nul) : data.cFileName;
    QString key = IconKeyOf(entry.Name);
    if (const auto fixed = TypeNameCache::fixedType(key)) {
        // ico, exe, lnk and cur files get an icon each.
        entry.TypeName = *fixed;
        key += QString::number(m_types.nextNumber());
        m_shell.addIcons(entry.Name, key);
    } else if (const auto cached = m_types.cached(key)) {
        entry.TypeName = *cached;
    } else {
        entry.TypeName = m_shell.typeName(entry.Name);
        if (entry.TypeName.isEmpty())
            entry.TypeName = key.mid(1).toUpper() + QLatin1String("-Datei");
        m_types.add(key, entry.TypeName);
        m_shell.addIcons(entry.Name, key);
    }
    entry.Attributes = QString::number(static_cast<std::int32_t>(data.dwFileAttributes));
    entry.DateText = FormatSystemTime(data.ftLastWriteTime);
    entry.SizeText = FormatSizeKB(data.nFileSize);
    entry.IconKey = key;
    return entry;
}

namespace {
std::uint32_t attributeValue(const ServerListingEntry &entry)
{
    return static_cast<std::uint32_t>(entry.Attributes.toLongLong());
}
} // namespace

bool IsPlainFolder(const ServerListingEntry &entry)
{
    bool ok = false;
    return entry.Attributes.toLongLong(&ok) == 16 && ok;
}

std::vector<ListItem> ServerListRows(const std::vector<ServerListingEntry> &listing,
                                     const QString &folderType)
{
    std::vector<ListItem> rows;
    rows.reserve(listing.size() + 1);
    rows.push_back(ListItem{QStringLiteral(".."), FolderIconKey, {}});
    for (const ServerListingEntry &e : listing) {
        if (IsPlainFolder(e))
            rows.push_back(ListItem{e.Name,
                                    FolderIconKey,
                                    {QString(), folderType, e.DateText,
                                     AttributeLetters(attributeValue(e), LetterOrder::Server)}});
    }
    for (const ServerListingEntry &e : listing) {
        if (!IsPlainFolder(e))
            rows.push_back(ListItem{e.Name,
                                    e.IconKey,
                                    {e.SizeText, e.TypeName, e.DateText,
                                     AttributeLetters(attributeValue(e), LetterOrder::Server)}});
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Reading the folder and filling the list

namespace {

void bindImageLists()
{
    mdiMain &m = mdiMain::instance();
    frmServer::instance().lsvServer->setImageLists(&m.imgListLarge, &m.imgListSmall);
}

std::vector<ServerListingEntry> readServerFolderRecords(const QString &pattern,
                                                        HINTERNET connection)
{
    mdiMain &m = mdiMain::instance();
    ListView *list = frmServer::instance().lsvServer;
    list->setImageLists(nullptr, nullptr);
    bindImageLists();
    m.imgListSmall.add(FolderIconKey, m.imgDir[0]);
    m.imgListLarge.add(FolderIconKey, m.imgDir[1]);
    Ui::DoEvents();
    if (FtpCurrentDir().isEmpty())
        FtpChangeDir(QStringLiteral("/"));

    std::vector<ServerListingEntry> records;
    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(connection, pattern, data, 0, 0);
    Ui::DoEvents();
    Ui::DoEvents();
    if (find == 0) {
        // An empty folder shows as empty; one that could not be listed says
        // so, naming the folder the pane shows when the connection is gone.
        if (connection != 0 && GetLastError() != ERROR_NO_MORE_FILES)
            LogLine(GetText("MPUB_LISTFAILED") + QLatin1Char(' ') + OperationServerFolder(),
                    LogColor::Red);
        return records;
    }
    DesktopListingShell shell;
    ServerEntryReader reader(shell);
    do {
        records.push_back(reader.read(data));
        data = WIN32_FIND_DATA();
    } while (InternetFindNextFile(find, data));
    InternetCloseHandle(find);
    return records;
}

// Rows whose icon key got no picture show the generic file icon.
void useGenericIconWhereMissing(std::vector<ListItem> &rows)
{
    mdiMain &m = mdiMain::instance();
    bool added = false;
    for (ListItem &row : rows) {
        if (m.imgListSmall.contains(row.iconKey) && m.imgListLarge.contains(row.iconKey))
            continue;
        if (!added) {
            const QIcon generic = Icons::themed(QStringLiteral("text-x-generic"));
            m.imgListSmall.add(GenericFileIconKey, generic);
            m.imgListLarge.add(GenericFileIconKey, generic);
            added = true;
        }
        row.iconKey = GenericFileIconKey;
    }
}

} // namespace

void FillServerList(HINTERNET connection, bool comboStep)
{
    // A listing is a long operation: the user's commands wait while it yields.
    const BusyScope busy;
    frmServer &pane = frmServer::instance();
    ServerListing.clear();
    bindImageLists();
    Ui::DoEvents();
    std::vector<ServerListingEntry> records =
        readServerFolderRecords(QStringLiteral("*.*"), connection);
    Ui::DoEvents();
    ServerListing = std::move(records);
    std::vector<ListItem> rows = ServerListRows(ServerListing, GetText("MPUB_FOLDER"));
    useGenericIconWhereMissing(rows);
    pane.lsvServer->clear();
    pane.lsvServer->addItems(std::move(rows));
    pane.lsvServer->refresh();
    if (comboStep)
        pane.SelectServerFolder(FtpCurrentDir());
    Ui::DoEvents();
}

void RefreshServerList(HINTERNET connection)
{
    FillServerList(connection, true);
}
