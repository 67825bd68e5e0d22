#include "shell/frmtransferhistory.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "platform/geometry.h"
#include "platform/twips.h"
#include "shell/mdimain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextEdit>

frmTransferHistory::frmTransferHistory() : QWidget(mdiMain::instance().client())
{
    setObjectName(QStringLiteral("frmTransferHistory"));
    fraTransferHistory = new QGroupBox(QStringLiteral("Verbindungs- und Übertragungsablauf"), this);
    fraTransferHistory->setObjectName(QStringLiteral("fraTransferHistory"));
    rtfTransferHistory = new QTextEdit(fraTransferHistory);
    rtfTransferHistory->setObjectName(QStringLiteral("rtfTransferHistory"));
    // Readable, selectable and copyable, never editable; text goes in as
    // plain text only.
    rtfTransferHistory->setReadOnly(true);
    rtfTransferHistory->setAcceptRichText(false);
    rtfTransferHistory->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                                Qt::TextSelectableByKeyboard);
    rtfTransferHistory->setUndoRedoEnabled(false);
    rtfTransferHistory->setContextMenuPolicy(Qt::NoContextMenu);
    rtfTransferHistory->viewport()->installEventFilter(this);
    // Inside the frame, below its caption.
    rtfTransferHistory->move(Twips::toPixelsX(120), Twips::toPixelsY(270));
}

void frmTransferHistory::Form_Load()
{
    fraTransferHistory->setTitle(GetText("FRMTH_FRACAPTION"));
}

void frmTransferHistory::Form_Resize()
{
    Geometry::setLeft(fraTransferHistory, 2);
    Geometry::setTop(fraTransferHistory, 5);
    Geometry::setHeight(fraTransferHistory, Geometry::height(this) - 8);
    Geometry::setWidth(fraTransferHistory, Geometry::width(this) - 8);
    Geometry::setHeight(rtfTransferHistory, Geometry::height(this) - 450);
    Geometry::setWidth(rtfTransferHistory, Geometry::width(this) - 380);
}

void frmTransferHistory::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

bool frmTransferHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == rtfTransferHistory->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            rtfTransferHistory_MouseDown(2, me->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmTransferHistory::rtfTransferHistory_MouseDown(int button, const QPoint &globalPos)
{
    if (button != 2)
        return;
    frmPopUpfrmTransferHistory &menu = frmPopUpfrmTransferHistory::instance();
    menu.mnu->setDefaultAction(menu.mnuClipboard);
    menu.mnu->popup(globalPos);
}

frmPopUpfrmTransferHistory::frmPopUpfrmTransferHistory()
{
    mnu = new QMenu(QStringLiteral("Action"));
    mnu->setObjectName(QStringLiteral("mnu"));
    mnuClipboard = mnu->addAction(QStringLiteral("Inhalt in Zwischenablage kopieren"));
    mnuClipboard->setObjectName(QStringLiteral("mnuClipboard"));
    mnuTrennlinie1 = mnu->addSeparator();
    mnuLoeschen = mnu->addAction(QStringLiteral("Inhalt löschen"));
    mnuLoeschen->setObjectName(QStringLiteral("mnuLoeschen"));
    connect(mnuClipboard, &QAction::triggered, this, [this] { mnuClipboard_Click(); });
    connect(mnuLoeschen, &QAction::triggered, this, [this] { mnuLoeschen_Click(); });
}

frmPopUpfrmTransferHistory::~frmPopUpfrmTransferHistory()
{
    delete mnu;
}

void frmPopUpfrmTransferHistory::Form_Load()
{
    mnuClipboard->setText(GetText("FRMPU_TRANS_CLIP"));
    mnuLoeschen->setText(GetText("FRMPU_TRANS_DELETE"));
}

void frmPopUpfrmTransferHistory::mnuClipboard_Click()
{
    // The log as plain text, and with its colours for programs that take HTML.
    FlushLog();
    QTextEdit *rtf = frmTransferHistory::instance().rtfTransferHistory;
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    auto *data = new QMimeData;
    data->setText(rtf->toPlainText());
    data->setHtml(rtf->toHtml());
    clipboard->setMimeData(data);
}

void frmPopUpfrmTransferHistory::mnuLoeschen_Click()
{
    ClearLog();
}
