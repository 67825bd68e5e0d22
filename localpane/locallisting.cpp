#include "localpane/locallisting.h"

#include "core/listingrules.h"
#include "core/mdatabase.h"
#include "core/serverlisting.h"
#include "platform/imagelist.h"
#include "platform/listview.h"
#include "platform/localfs.h"
#include "platform/programfolder.h"
#include "platform/ui.h"

#include <QHash>
#include <QIcon>

namespace {
const QString FolderKey = QStringLiteral("Folder");
const QString FolderType = QStringLiteral("Dateiordner");
} // namespace

namespace ListingVariants {
const ListingVariant frmLocal{NameComparison::LocaleIgnoreCase, TypeFallback::KeyWithoutZ,
                              LetterOrder::Local, true, false};
const ListingVariant frmPopUpfrmLocal{NameComparison::ByCode, TypeFallback::LastThree,
                                      LetterOrder::WithoutFolder, false, false};
const ListingVariant frmDownloadAls{NameComparison::ByCode, TypeFallback::None,
                                    LetterOrder::WithoutFolder, true, true};
const ListingVariant mShellDelete{NameComparison::ByCode, TypeFallback::LastThree,
                                  LetterOrder::LocalDelete, true, true};
} // namespace ListingVariants

void LocalListing::ViewFolder(const QString &path, const QString &mask, ListView &list,
                              ImageList &large, ImageList &small)
{
    QString folder = path;
    {
        WaitCursor wait;
        list.clear();
        if (!ReadFolderEntries(folder, mask, list, large, small))
            return;
    }
    Ui::DoEvents();
    list.setImageLists(&large, &small);

    const NameOrder order(m_variant.comparison);
    QString folderText; // looked up once per listing, at the first folder
    QHash<std::uint32_t, QString> letters;
    std::vector<ListItem> items;
    items.reserve(m_entries.size());
    for (const LocalFileEntry &e : m_entries) {
        ListItem item{e.Name, e.IconKey, {}};
        if (e.IconKey != FolderKey)
            item.sub[0] = FileSizeText(e.Size);
        const QString type = m_variant.trimType ? e.TypeText.trimmed() : e.TypeText;
        if (order.equal(type, FolderType)) {
            if (folderText.isNull())
                folderText = GetText("FOLDER");
            item.sub[1] = folderText;
        } else {
            item.sub[1] = type;
        }
        item.sub[2] = FormatFileTime(e.LastWrite);
        auto letter = letters.constFind(e.Attributes);
        if (letter == letters.constEnd())
            letter =
                letters.insert(e.Attributes, AttributeLetters(e.Attributes, m_variant.letterOrder));
        item.sub[3] = *letter;
        items.push_back(std::move(item));
    }
    // One model change for the whole folder: the list is drawn once, which
    // is what redrawing every 1000 items was for.
    list.addItems(std::move(items));
    list.refresh();
}

bool LocalListing::ReadFolderEntries(QString &path, const QString &mask, ListView &list,
                                     ImageList &large, ImageList &small)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    TypeNameCache cache;
    m_entries.clear();
    list.setImageLists(nullptr, nullptr);
    small.clear();
    large.clear();

    LocalFs::FolderSearch search(path);
    if (!search.isOpen())
        return false;
    const QString pattern = m_variant.fixedMask ? QStringLiteral("*.*") : mask;
    const auto addIcons = [&](const QString &key, const QString &fullPath) {
        small.add(key, GetFileIconPicture(SHGFI_ICON | SHGFI_SMALLICON, fullPath));
        large.add(key, GetFileIconPicture(SHGFI_ICON, fullPath));
    };
    QHash<QString, QString> sharedKeys; // one string per key for all its files
    bool folderStored = false;
    LocalFs::FindData found;
    while (search.next(found)) {
        if (!MaskMatches(pattern, found.name))
            continue;
        if (found.attributes & LocalFs::AttrFolder) {
            if (found.name == QLatin1String(".") || found.name == QLatin1String(".."))
                continue;
            m_entries.push_back(LocalFileEntry{FolderKey, found.name, FolderType, found.attributes,
                                               found.size, found.lastWrite});
            folderStored = true;
            continue;
        }
        QString key = IconKeyOf(found.name);
        QString type;
        if (const auto fixed = TypeNameCache::fixedType(key)) {
            // Each file of these types has an icon of its own.
            type = *fixed;
            key += QString::number(cache.nextNumber());
            addIcons(key, path + found.name);
        } else if (const auto cached = cache.cached(key)) {
            type = *cached;
            key = sharedKeys.value(key, key);
        } else {
            type = GetFileTypeName(path + found.name);
            cache.add(key, type);
            sharedKeys.insert(key, key);
            addIcons(key, path + found.name);
        }
        if (type.isEmpty())
            type = TypeFallbackText(key, m_variant.fallback);
        m_entries.push_back(
            LocalFileEntry{key, found.name, type, found.attributes, found.size, found.lastWrite});
    }
    if (folderStored)
        addIcons(FolderKey, ProgramFolder::path());
    if (m_entries.empty())
        return false;
    SortFileRecords();
    return true;
}

void LocalListing::SortFileRecords()
{
    const NameOrder order(m_variant.comparison);
    int n = 0;
    const int count = int(m_entries.size());
    for (int i = 0; i < count; ++i) {
        if (order.equal(m_entries[size_t(i)].TypeText, FolderType)) {
            std::swap(m_entries[size_t(n)], m_entries[size_t(i)]);
            ++n;
        }
    }
    if (n > 0)
        QuickSortFileRecords(0, n - 1);
    if (n < count)
        QuickSortFileRecords(n, count - 1);
}

void LocalListing::QuickSortFileRecords(int lo, int hi)
{
    if (lo < 0 || hi >= int(m_entries.size()) || lo >= hi)
        return;
    const NameOrder order(m_variant.comparison);
    // The names' keys are sorted with the record positions, then the
    // records are put in that order once.
    std::vector<std::pair<NameOrder::Key, int>> keyed;
    keyed.reserve(size_t(hi - lo + 1));
    for (int i = lo; i <= hi; ++i)
        keyed.emplace_back(order.key(m_entries[size_t(i)].Name), i);
    QuickSortRecords(keyed, 0, int(keyed.size()) - 1, order,
                     [](const auto &k) -> const NameOrder::Key & { return k.first; });
    std::vector<LocalFileEntry> sorted;
    sorted.reserve(keyed.size());
    for (const auto &k : keyed)
        sorted.push_back(std::move(m_entries[size_t(k.second)]));
    std::move(sorted.begin(), sorted.end(), m_entries.begin() + lo);
}
