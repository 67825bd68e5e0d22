#pragma once
// Commands that the server pane's toolbar and its context menu both offer,
// each with text keys of its own.

// The text keys of a new folder on the server.
struct NewFolderTexts {
    const char *prompt;
    const char *start1; // the log line: start1, the name, start2
    const char *start2;
    const char *ok;
    const char *failed;
};

namespace NewFolderKeys {
extern const NewFolderTexts Toolbar;
extern const NewFolderTexts ContextMenu;
} // namespace NewFolderKeys

// Asks for a name and makes the folder in the server's current folder (the
// name as typed, relative to it); on success the list is read again. An
// empty answer does nothing. Without inShownFolder the server is no longer
// in the folder the list shows: nothing is made, and the list is read again
// to show where the server is.
void MakeServerFolder(const NewFolderTexts &texts, bool inShownFolder = true);
