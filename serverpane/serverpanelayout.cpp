#include "serverpane/serverpanelayout.h"

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
    p.listHeight = s.height - 850;
    return p;
}
