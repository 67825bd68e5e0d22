#pragma once
// The server pane's resize arithmetic in twips: the frame fills the pane,
// the view toolbar sits at the right, the path combo runs from the action
// toolbar to 50 twips short of the view toolbar, the list fills the rest
// and ends inside the frame.

struct ServerPaneSizes {
    int width = 0, height = 0;           // the pane's outer size
    int scaleWidth = 0, scaleHeight = 0; // its inner size
    int linksLeft = 0, linksWidth = 0;   // the action toolbar
    int rechtsWidth = 0;                 // the view toolbar
    int listTop = 0;                     // the top of the local pane's folder tree
};

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};

struct ServerPanePlacement {
    Box frame;
    int rechtsLeft = 0, rechtsTop = 0;
    int comboLeft = 0, comboWidth = 0;
    int listTop = 0, listWidth = 0, listHeight = 0;
};

ServerPanePlacement PlaceServerPane(const ServerPaneSizes &s);
