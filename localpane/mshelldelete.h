#pragma once
// The local delete: the selected files and folders of the local pane go to
// the trash once the user has agreed, with one log line per item, and the
// folder is listed again.

#include "localpane/locallisting.h"

#include <vector>

// Deletes the selected items of the local pane's file list from the current
// local folder. Nothing is touched without a Yes; an item that fails does not
// stop the others.
void DeleteLocalSelection();

namespace mShellDelete {
// Lists path into the local pane's file list by the delete's own rules.
void ViewFolder(const QString &path);
// The records of the delete's last listing.
const std::vector<LocalFileEntry> &ShellDeleteEntries();
// Forgets them (tests).
void ResetShellDeleteState();
} // namespace mShellDelete
