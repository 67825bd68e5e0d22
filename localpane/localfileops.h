#pragma once
// The file steps of the local context menu without a window: a rename made
// as a copy followed by a delete, a new folder, and the tests of names and
// paths they need.

#include <QString>

// Copies the file from to the new path to; never replaces anything that is
// there (the copy fails instead). The copy keeps the permission bits and
// the last-write time; a symbolic link is copied as a link. False for a
// folder, a source that cannot be read or a copy that fails midway, in which
// case nothing of the copy is left.
bool CopyFileNoReplace(const QString &from, const QString &to);

// Deletes one file (Kill): false for a folder, for a read-only file (no
// write bit, or not writable by the user) and when the delete fails.
bool KillFile(const QString &path);

enum class RenameOutcome {
    Renamed,
    CopyFailed,   // nothing changed
    DeleteFailed, // the old file could not be deleted; the copy was removed again
};
// Gives the file from the path to by copying it and deleting the original.
RenameOutcome RenameByCopy(const QString &from, const QString &to);

// A name for an entry of the folder shown: not empty, not "." or "..", and
// no "/" in it, so that it never points into another folder.
bool IsPlainLocalName(const QString &name);

// Makes the folder name inside folder (which ends in "/"): false, and
// nothing made, when name is not a plain name, when anything of that name is
// there already, or when the file system refuses the folder (no right to
// write, a name it does not take).
bool MakeLocalSubfolder(const QString &folder, const QString &name);

// Whether anything (a file, a folder, a link) has this path, as a directory
// look-up with the folder attribute finds it. An empty text finds nothing.
bool LocalPathExists(const QString &path);
