#pragma once
// The placement of the main window's children as pure arithmetic in twips:
// the local pane on the left, the transfer strip in the middle, the server
// pane on the right, all above the transfer log along the bottom.

#include <optional>

// A value left empty is not set: a negative width or height cannot be set
// and leaves the property as it was.
struct Placement {
    std::optional<int> left, top, width, height;
};

struct MainSizes {
    int width = 0;       // outer width of the main window
    int height = 0;      // outer height of the main window
    int innerHeight = 0; // its client height
};

constexpr int HistoryGap = 10;   // gap above the log
constexpr int MainChrome = 1570; // title bar, menu, connection bar, toolbar, progress bar
constexpr int StripHalf = 200;
constexpr int StripWidth = 400;

Placement HistoryOnlyPlacement(const MainSizes &main, int historyHeight);
Placement LocalPlacement(const MainSizes &main, int historyHeight);
Placement StripPlacement(const MainSizes &main, int historyHeight);
Placement ServerPlacement(const MainSizes &main, int historyHeight, int localWidth);
// Tops of the strip's two toolbars: upload ends at the middle, download
// begins one toolbar height below it.
int UploadToolbarTop(int stripInnerHeight, int uploadHeight);
int DownloadToolbarTop(int stripInnerHeight, int downloadHeight);
