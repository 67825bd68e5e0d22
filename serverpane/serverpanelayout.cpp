#include "serverpane/serverpanelayout.h"

#include <algorithm>

ServerPanePlacement PlaceServerPane(const ServerPaneSizes &s)
{
    ServerPanePlacement p;
    p.frame = Box{2, 0, s.scaleWidth - 10, s.scaleHeight - 1};
    p.rechtsLeft = s.width - s.rechtsWidth - 300;
    p.rechtsTop = 270;
    p.comboLeft = s.linksLeft + s.linksWidth + 1;
    p.comboWidth = s.width - p.comboLeft - s.rechtsWidth - 350;
    p.listTop = s.listTop;
    p.listWidth = s.width - 375;
    // The list ends inside the frame even where it starts lower than the
    // 850 twips of frame and toolbars it was made for.
    p.listHeight = std::min(s.height - 850, p.frame.height - p.listTop - 60);
    return p;
}
