#include "core/layoutrules.h"

namespace {
std::optional<int> size(int v)
{
    return v < 0 ? std::nullopt : std::optional<int>(v);
}
int paneHeight(const MainSizes &main, int historyHeight)
{
    return main.height - historyHeight - MainChrome;
}
} // namespace

Placement HistoryOnlyPlacement(const MainSizes &main, int historyHeight)
{
    Placement p;
    p.top = main.innerHeight - historyHeight - HistoryGap;
    p.width = size(main.width);
    return p;
}

Placement LocalPlacement(const MainSizes &main, int historyHeight)
{
    Placement p;
    p.height = size(paneHeight(main, historyHeight));
    p.width = size(main.width / 2 - StripHalf);
    return p;
}

Placement StripPlacement(const MainSizes &main, int historyHeight)
{
    Placement p;
    p.height = size(paneHeight(main, historyHeight));
    p.width = StripWidth;
    p.left = main.width / 2 - StripHalf;
    p.top = 0;
    return p;
}

Placement ServerPlacement(const MainSizes &main, int historyHeight, int localWidth)
{
    Placement p;
    p.left = localWidth + StripWidth;
    p.height = size(paneHeight(main, historyHeight));
    p.width = size(main.width / 2 - StripHalf);
    return p;
}

int UploadToolbarTop(int stripInnerHeight, int uploadHeight)
{
    return stripInnerHeight / 2 - uploadHeight;
}

int DownloadToolbarTop(int stripInnerHeight, int downloadHeight)
{
    return stripInnerHeight / 2 + downloadHeight;
}
