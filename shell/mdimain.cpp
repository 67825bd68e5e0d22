#include "shell/mdimain.h"

#include "buildinfo.h"
#include "core/layout.h"
#include "core/layoutrules.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "localpane/frmlocal.h"
#include "platform/geometry.h"
#include "platform/icons.h"
#include "platform/toolbar.h"
#include "platform/twips.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/frminfo.h"
#include "shell/frmtransferhistory.h"
#include "shell/frmuploaddownload.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Twips of the connection bar's frame: its left edge, and what of the
// client width it leaves free.
constexpr int ConnectionFrameLeft = 60;
constexpr int ConnectionFrameMargin = 130;
// The log's height before the first arrangement sets it.
constexpr int InitialHistoryHeight = 2000;

} // namespace

mdiMain::mdiMain()
{
    Ui::setShuttingDown(false);
    setObjectName(QStringLiteral("mdiMain"));
    tlbConnect = new Toolbar(this);
    tlbConnect->setObjectName(QStringLiteral("tlbConnect"));
    addToolBar(Qt::TopToolBarArea, tlbConnect);

    auto *central = new QWidget(this);
    auto *v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    buildConnectionBar();
    v->addWidget(picTop);
    m_client = new QWidget(central);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->installEventFilter(this);
    v->addWidget(m_client, 1);
    pgbBottom = new QProgressBar(central);
    pgbBottom->setObjectName(QStringLiteral("pgbBottom"));
    pgbBottom->setTextVisible(false);
    pgbBottom->setMaximumHeight(14);
    pgbBottom->setValue(0);
    v->addWidget(pgbBottom);
    setCentralWidget(central);

    timIsConnected = new QTimer(this);
    timIsConnected->setInterval(1000);
    connect(timIsConnected, &QTimer::timeout, this, &mdiMain::timIsConnected_Timer);

    const QIcon folder = Icons::themed(QStringLiteral("folder"));
    imgDir[0] = folder;
    imgDir[1] = folder;

    buildMenus();
    connect(tlbConnect, &Toolbar::ButtonClick, this,
            [this](const QString &key) { tlbConnect_ButtonClick(key); });
    resize(1000, 720);
}

mdiMain::~mdiMain() = default;

void mdiMain::buildConnectionBar()
{
    picTop = new QWidget(this);
    picTop->setObjectName(QStringLiteral("picTop"));
    fraTop = new QGroupBox(QStringLiteral("Meine Verbindung"), picTop);
    fraTop->setObjectName(QStringLiteral("fraTop"));
    auto *h = new QHBoxLayout(fraTop);
    auto label = [this, h](const char *name) {
        auto *l = new QLabel(fraTop);
        l->setObjectName(QLatin1String(name));
        h->addWidget(l);
        return l;
    };
    auto edit = [this, h](const char *name, int stretch) {
        auto *e = new QLineEdit(fraTop);
        e->setObjectName(QLatin1String(name));
        e->installEventFilter(this);
        h->addWidget(e, stretch);
        return e;
    };
    lblAdresse = label("lblAdresse");
    txtAddress = edit("txtAddress", 4);
    lblBenutzer = label("lblBenutzer");
    txtUserID = edit("txtUserID", 2);
    lblPasswort = label("lblPasswort");
    txtPassword = edit("txtPassword", 2);
    txtPassword->setEchoMode(QLineEdit::Password);
    lblPort = label("lblPort");
    txtPort = edit("txtPort", 0);
    txtPort->setText(QStringLiteral("21"));
    txtPort->setMaximumWidth(60);
    lblModus = label("lblModus");
    cboTransferMode = new QComboBox(fraTop);
    cboTransferMode->setObjectName(QStringLiteral("cboTransferMode"));
    h->addWidget(cboTransferMode);
    chkPassiveTransfer = new QCheckBox(QStringLiteral("Passiver Transfer"), fraTop);
    chkPassiveTransfer->setObjectName(QStringLiteral("chkPassiveTransfer"));
    h->addWidget(chkPassiveTransfer);
    fraTop->move(Twips::toPixelsX(ConnectionFrameLeft), 0);
    fraTop->adjustSize();
    picTop->setFixedHeight(fraTop->sizeHint().height() + 4);

    connect(cboTransferMode, &QComboBox::currentIndexChanged, this,
            [this] { cboTransferMode_Click(); });
    connect(chkPassiveTransfer, &QCheckBox::clicked, this, [this] { chkPassiveTransfer_Click(); });
    connect(txtPassword, &QLineEdit::returnPressed, this, [this] { QuickConnect(); });
}

int mdiMain::Width() const
{
    return Geometry::width(m_client);
}
int mdiMain::Height() const
{
    return Geometry::height(m_client) + MainChrome;
}
int mdiMain::ScaleHeight() const
{
    return Geometry::height(m_client);
}

void mdiMain::Form_Load()
{
    // 1. The connection toolbar.
    tlbConnect->addButton(
        QStringLiteral("connect"),
        Icons::toolbarIcon({QStringLiteral("network-connect"), QStringLiteral("network-wired"),
                            QStringLiteral("network-server")}),
        GetText("BUILD_CONNECTION"));
    tlbConnect->addButton(QStringLiteral("ascii"),
                          Icons::toolbarIcon({QStringLiteral("text-x-generic"),
                                              QStringLiteral("document-properties")}),
                          GetText("ASCII_LIST_SHOW"));
    // 2. Captions of the connection bar.
    fraTop->setTitle(GetText("MY_CONNECTION"));
    lblAdresse->setText(GetText("LABEL_ADRESS"));
    lblBenutzer->setText(GetText("LABEL_USER"));
    lblPasswort->setText(GetText("LABEL_PASSWORD"));
    lblPort->setText(GetText("LABEL_PORT"));
    lblModus->setText(GetText("LABEL_MODUS"));
    // 3. The transfer mode; selecting AUTO is the log's first use.
    cboTransferMode->addItem(GetText("OPT_ASCII"));
    cboTransferMode->addItem(GetText("OPT_BINARY"));
    cboTransferMode->addItem(GetText("OPT_AUTO"));
    cboTransferMode->setCurrentIndex(2);
    // 4. and 5. The passive box and the menus.
    chkPassiveTransfer->setText(GetText("CHK_PASSIVE"));
    setMenuCaptions();
    fraTop->adjustSize();
    picTop->setFixedHeight(fraTop->sizeHint().height() + 4);
    // 6. to 9. The child windows, placed.
    placeChildren();
    // 10. to 12.
    txtAddress->setFocus();
    TransferType = 2;
    m_loading = false;
    setWindowTitle(QStringLiteral(QFTP_PRODUCT_NAME " " QFTP_VERSION));
    writeWelcomeLine();
}

void mdiMain::placeChildren()
{
    // The client area has its final size only once the layout ran.
    centralWidget()->layout()->activate();
    frmLocal &local = frmLocal::instance();
    Geometry::setLeft(&local, 0);
    Geometry::setTop(&local, 0);
    Geometry::setWidth(&local, Width() / 2 - StripHalf);
    local.show();
    frmUploadDownload &strip = frmUploadDownload::instance();
    Geometry::setLeft(&strip, Geometry::left(&local) + Geometry::width(&local));
    Geometry::setTop(&strip, 0);
    Geometry::setWidth(&strip, StripWidth);
    strip.show();
    frmServer &server = frmServer::instance();
    Geometry::setLeft(&server, Geometry::width(&local) + StripWidth);
    Geometry::setTop(&server, 0);
    Geometry::setWidth(&server, Width() / 2 - StripHalf);
    server.show();

    ArrangeHistoryOnly();
    ArrangeLocalAndHistory();
    ArrangeTransferWindow();
    ArrangeLocalServerHistory();

    frmTransferHistory &log = frmTransferHistory::instance();
    Geometry::setHeight(&log, InitialHistoryHeight);
    Geometry::setTop(&log,
                     Height() - Geometry::top(&local) - Geometry::height(&local) - HistoryGap);
    Geometry::setLeft(&log, 0);
    Geometry::setWidth(&log, Width());
    // The log reaches down over the gap left above it.
    Geometry::setHeight(&log, Geometry::height(&log) + HistoryGap);
    log.show();
    MDIForm_Resize();
}

void mdiMain::writeWelcomeLine()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    LogLine(GetText("WELCOME1") + QLatin1String("\r\n") + GetText("WELCOME2") + QLatin1Char(' ') +
            locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            GetText("WELCOME3") + QLatin1Char(' ') +
            locale.toString(now.time(), QLocale::ShortFormat) + QLatin1Char(' ') +
            GetText("WELCOME4") + QLatin1String("\r\n"));
}

void mdiMain::MDIForm_Resize()
{
    arrange();
    Ui::DoEvents();
}

void mdiMain::arrange()
{
    Geometry::setWidth(fraTop, Width() - ConnectionFrameMargin);
    ArrangeLocalAndHistory();
    ArrangeTransferWindow();
    ArrangeLocalServerHistory();
    ArrangeHistoryOnly();
}

bool mdiMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        // Pending messages are not processed inside the resize event itself:
        // Qt may be in the middle of showing or laying out the children.
        if (frmTransferHistory::exists() && frmLocal::exists() && frmServer::exists())
            arrange();
        return false;
    }
    if (connectionBarEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void mdiMain::MDIForm_QueryUnload()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    Ui::setShuttingDown(true);
    timIsConnected->stop();
    CloseFtpConnection();
    finishShutDown();
}

void mdiMain::finishShutDown()
{
    // An operation that is yielding stops at its next item and still writes
    // to the panes, the log and the progress bar on its way out: they are
    // deleted only once it has returned.
    if (Ui::isBusy()) {
        QTimer::singleShot(10, this, [this] { finishShutDown(); });
        return;
    }
    CloseLanguageDatabase();
    frmLocal::unload();
    frmServer::unload();
    frmTransferHistory::unload();
    QCoreApplication::quit();
    deleteLater();
}

void mdiMain::closeEvent(QCloseEvent *event)
{
    MDIForm_QueryUnload();
    event->accept();
}

void mdiMain::mnuFileExit_Click()
{
    timIsConnected->stop();
    CloseFtpConnection();
    close();
}

void mdiMain::mnuInfoInfo_Click()
{
    frmInfo::showModal();
}
