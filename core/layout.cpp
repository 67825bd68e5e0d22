#include "core/layout.h"

#include "core/layoutrules.h"
#include "localpane/frmlocal.h"
#include "platform/geometry.h"
#include "serverpane/frmserver.h"
#include "shell/frmtransferhistory.h"
#include "shell/frmuploaddownload.h"
#include "shell/mdimain.h"

namespace {

// A guard against resize events that an arranger's own change raises in a
// pane whose resize handler runs the arrangers again.
int g_depth = 0;
struct Reentry {
    Reentry() { ++g_depth; }
    ~Reentry() { --g_depth; }
    bool nested() const { return g_depth > 2; }
};

MainSizes mainSizes()
{
    mdiMain &m = mdiMain::instance();
    return MainSizes{m.Width(), m.Height(), m.ScaleHeight()};
}

} // namespace

void ApplyPlacement(QWidget *w, const Placement &p)
{
    if (p.left)
        Geometry::setLeft(w, *p.left);
    if (p.top)
        Geometry::setTop(w, *p.top);
    if (p.width)
        Geometry::setWidth(w, *p.width);
    if (p.height)
        Geometry::setHeight(w, *p.height);
}

void ArrangeHistoryOnly()
{
    Reentry r;
    if (r.nested())
        return;
    frmTransferHistory &h = frmTransferHistory::instance();
    ApplyPlacement(&h, HistoryOnlyPlacement(mainSizes(), Geometry::height(&h)));
}

void ArrangeLocalAndHistory()
{
    Reentry r;
    if (r.nested())
        return;
    const int historyHeight = Geometry::height(&frmTransferHistory::instance());
    ApplyPlacement(&frmLocal::instance(), LocalPlacement(mainSizes(), historyHeight));
}

void ArrangeTransferWindow()
{
    Reentry r;
    if (r.nested())
        return;
    const int historyHeight = Geometry::height(&frmTransferHistory::instance());
    frmUploadDownload &strip = frmUploadDownload::instance();
    ApplyPlacement(&strip, StripPlacement(mainSizes(), historyHeight));
    strip.PlaceToolbars();
}

void ArrangeLocalServerHistory()
{
    Reentry r;
    if (r.nested())
        return;
    const int historyHeight = Geometry::height(&frmTransferHistory::instance());
    const int localWidth = Geometry::width(&frmLocal::instance());
    ApplyPlacement(&frmServer::instance(), ServerPlacement(mainSizes(), historyHeight, localWidth));
}
