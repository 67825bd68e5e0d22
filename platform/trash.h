#pragma once
// Deleting through the desktop: files and folders go to the trash
// (freedesktop.org trash, as file managers use it). Where the file system of
// an item has no trash, the user is asked before it is deleted for good.

#include <QString>

namespace Trash {

enum class Outcome {
    Trashed, // moved to the trash
    Deleted, // deleted for good after the user agreed
    Kept,    // no trash there and the user said no: nothing touched
    Failed,  // it could not be moved or deleted
};

// Whether an item can be moved to a trash without copying it to another
// file system: the home trash on the same file system, or a trash folder at
// the top of the item's own file system that exists or can be made.
bool available(const QString &path);

// Moves the item (a folder with everything in it) to the trash. Where no
// trash is available, asks `permanentQuestion` (Yes/No, through the
// program's dialogs) and on Yes deletes the item for good.
Outcome remove(const QString &path, const QString &permanentQuestion);

// Tests: items below this folder count as lying on a file system without a
// trash; an empty text ends that.
void setNoTrashFolderForTests(const QString &folder);

} // namespace Trash
