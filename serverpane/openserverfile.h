#pragma once
// Opening a server file: the file is fetched into the temporary folder and
// the local copy handed to the program the desktop opens it with (Open), or
// to the choice of a program (Open with). The pane's toolbar, the context
// menu and the main menu start it, each with text keys of its own.

enum class ServerOpenVariant { Open, OpenWith };

// The text keys of one member. Open with uses startDown, downOk, downFailed,
// openWithDialog and oneFile only.
struct ServerOpenTexts {
    const char *startDown;
    const char *downOk;
    const char *downFailed;
    const char *noApp1;
    const char *noApp2;
    const char *openCancel;
    const char *openFile;
    const char *openOk;
    const char *oneFile;
    const char *openWithDialog;
};

namespace ServerOpenKeys {
// The server pane's toolbar button "open".
extern const ServerOpenTexts Toolbar;
// The context menu's (and the main menu's) Open and Open with.
extern const ServerOpenTexts Open;
extern const ServerOpenTexts OpenWith;
} // namespace ServerOpenKeys

// The one road of every member: the list's current item is fetched and
// opened. With testConnection (the main menu) nothing but the message
// FRMSERVER_NOCONNECTION happens while not connected.
void OpenServerSelection(ServerOpenVariant variant, const ServerOpenTexts &texts,
                         bool testConnection);

// The toolbar's member (the toolbar tests the connection itself).
void OpenServerFile();
