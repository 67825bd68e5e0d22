#pragma once
// Reading the server's current folder into ServerListing and showing it in
// the server pane's list: ".." first, then the plain folders, then every
// other entry, each group in the server's order. Type names and icons of
// remote files are learned from empty placeholder files in the temporary
// folder, once per extension and listing.

#include "core/listingrules.h"
#include "platform/wininet.h"

#include <QDateTime>
#include <QIcon>
#include <QString>

#include <cstdint>
#include <vector>

struct ListItem;

// One entry of the current server folder, as six texts.
struct ServerListingEntry {
    QString Name;
    QString SizeText;
    QString TypeName;
    QString DateText;
    QString Attributes; // the attribute bits as signed decimal text, "16" for a plain folder
    QString IconKey;
};

// The entries of the last folder read, in the server's order.
extern std::vector<ServerListingEntry> ServerListing;
void ResetServerListing();

// Reads the folder, fills the server pane's list and brings its path combo
// in step with the server's current folder.
void RefreshServerList(HINTERNET connection);
// The fill of RefreshServerList; without the combo step when comboStep is
// false. It holds the busy flag, so no other fill starts while it yields.
void FillServerList(HINTERNET connection, bool comboStep);

// The size in KB: bytes / 1024 rounded half to even, at least 1 ("3 KB").
QString FormatSizeKB(std::uint64_t bytes);
// "05.03.2013 09:07" from the time as the server gives it (UTC); "" when the
// listing gave no time.
QString FormatSystemTime(const QDateTime &time);

// The path of an empty placeholder of this name in the temporary folder,
// made if missing (an existing file keeps its contents); "" when no
// candidate folder works or the name is no plain file name.
QString GetTempFilePath(const QString &name);
// The desktop's type name of a file path, "" when unknown.
QString GetFileTypeName(const QString &path);
constexpr std::uint32_t SHGFI_SMALLICON = 0x1;
constexpr std::uint32_t SHGFI_ICON = 0x100;
// The icon of a file path; small with SHGFI_SMALLICON in the flags.
QIcon GetFileIconPicture(std::uint32_t flags, const QString &path);

// What a listing asks the desktop, so that its rules run without a window.
class ListingShell {
public:
    virtual ~ListingShell() = default;
    // The type name of a file of this name, "" when the desktop knows none.
    virtual QString typeName(const QString &name) = 0;
    // Adds the small and large icons of a file of this name under the key.
    virtual void addIcons(const QString &name, const QString &key) = 0;
};

// Turns the find records of one listing into entries. The type names it
// learned live as long as the reader: one listing.
class ServerEntryReader {
public:
    explicit ServerEntryReader(ListingShell &shell) : m_shell(shell) {}
    ServerListingEntry read(const WIN32_FIND_DATA &data);

private:
    ListingShell &m_shell;
    TypeNameCache m_types;
};

// Whether an entry is taken as a folder: its attribute value is exactly 16.
bool IsPlainFolder(const ServerListingEntry &entry);

// The rows of the list in their order: "..", the plain folders (type
// folderType, no size), then every other entry.
std::vector<ListItem> ServerListRows(const std::vector<ServerListingEntry> &listing,
                                     const QString &folderType);

// The icon key of ".." and the folders.
inline const QString FolderIconKey = QStringLiteral("zdirectoryx");
// The key of the generic file icon, shown for an entry whose own key got no
// picture. Keys made from names start with "z", so this one never clashes.
inline const QString GenericFileIconKey = QStringLiteral("GenericFile");
