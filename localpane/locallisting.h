#pragma once
// The local folder listing: one folder read into LocalFileEntry records
// (icon key, name, type name, attributes, size, time), folders first, and
// shown in the local pane's file list with the desktop's icons and type
// names. Several windows list the local pane's folder, each with its own
// records and a few rules of its own; those rules are a ListingVariant.

#include "localpane/listingformat.h"

#include <QString>

#include <cstdint>
#include <vector>

class ImageList;
class ListView;

struct LocalFileEntry {
    QString IconKey; // "Folder", or "z" and the lower-case extension (a number behind for ico, exe,
                     // lnk, cur)
    QString Name;
    QString TypeText; // "Dateiordner" for a folder
    std::uint32_t Attributes = 0;
    std::int64_t Size = 0;      // the whole size in bytes
    std::int64_t LastWrite = 0; // 100-ns ticks since 1601, UTC
};

// What one holder of a listing does its own way.
struct ListingVariant {
    NameComparison comparison; // the sort and the folder-type test
    TypeFallback fallback;     // the type of a file the desktop does not know
    QString letterOrder;       // attribute letters (LetterOrder of core/listingrules.h)
    bool trimType;             // the type column without surrounding blanks
    bool fixedMask;            // the mask is always "*.*"
};

namespace ListingVariants {
// The local pane's own listing.
extern const ListingVariant frmLocal;
// The local context menu's listing.
extern const ListingVariant frmPopUpfrmLocal;
// The download-as dialog's relisting after its download.
extern const ListingVariant frmDownloadAls;
// The local delete's relisting.
extern const ListingVariant mShellDelete;
} // namespace ListingVariants

class LocalListing {
public:
    explicit LocalListing(const ListingVariant &variant) : m_variant(variant) {}

    // Clears `list` and fills it with the entries of `path` that match
    // `mask`, with icons from `large` and `small`.
    void ViewFolder(const QString &path, const QString &mask, ListView &list, ImageList &large,
                    ImageList &small);
    // Reads the folder into the records, the image lists and the type
    // cache, then sorts; true when at least one entry was stored. A path
    // without its closing "/" gets one.
    bool ReadFolderEntries(QString &path, const QString &mask, ListView &list, ImageList &large,
                           ImageList &small);
    // Folders to the front, then each block by name.
    void SortFileRecords();
    void QuickSortFileRecords(int lo, int hi);

    const std::vector<LocalFileEntry> &entries() const { return m_entries; }
    const ListingVariant &variant() const { return m_variant; }
    void clear() { m_entries.clear(); }

private:
    ListingVariant m_variant;
    std::vector<LocalFileEntry> m_entries;
};
