#include "shell/frminfo.h"

#include "buildinfo.h"
#include "core/mdatabase.h"
#include "core/shellservices.h"
#include "core/sysinfo.h"
#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/programfolder.h"
#include "platform/ui.h"
#include "shell/frmstart.h"
#include "shell/mdimain.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
QLabel *addLabel(QWidget *parent, QVBoxLayout *layout, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    // The owner's and organisation's names are shown as they are written.
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    return label;
}

QWidget *dialogParent()
{
    return mdiMain::exists() ? &mdiMain::instance() : nullptr;
}
} // namespace

frmInfo::frmInfo() : QDialog(dialogParent())
{
    setObjectName(QStringLiteral("frmInfo"));
    setModal(true);
    auto *v = new QVBoxLayout(this);
    tabstripInfo = new QTabBar(this);
    tabstripInfo->setObjectName(QStringLiteral("tabstripInfo"));
    tabstripInfo->addTab(QStringLiteral("Info"));
    tabstripInfo->addTab(QStringLiteral("Lizenzvereinbarung"));
    v->addWidget(tabstripInfo);

    picInfo = new QWidget(this);
    picInfo->setObjectName(QStringLiteral("picInfo"));
    auto *page = new QHBoxLayout(picInfo);
    auto *picture = new QLabel(picInfo);
    picture->setPixmap(
        Icons::themed(QStringLiteral("network-server"), {QStringLiteral("folder-remote")})
            .pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    page->addWidget(picture);
    auto *texts = new QVBoxLayout;
    page->addLayout(texts, 1);
    lblAppName = addLabel(picInfo, texts, "lblAppName");
    QFont big = lblAppName->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblAppName->setFont(big);
    lblVersion = addLabel(picInfo, texts, "lblVersion");
    lblMade = addLabel(picInfo, texts, "lblMade");
    texts->addSpacing(12);
    lblLicenced = addLabel(picInfo, texts, "lblLicenced");
    lblName = addLabel(picInfo, texts, "lblName");
    lblOrg = addLabel(picInfo, texts, "lblOrg");
    texts->addStretch(1);
    lblLegal = addLabel(picInfo, texts, "lblLegal");
    v->addWidget(picInfo, 1);

    picLicenceAgreement = new QWidget(this);
    picLicenceAgreement->setObjectName(QStringLiteral("picLicenceAgreement"));
    auto *licence = new QVBoxLayout(picLicenceAgreement);
    licence->setContentsMargins(0, 0, 0, 0);
    richtextboxInfo = new QTextEdit(picLicenceAgreement);
    richtextboxInfo->setObjectName(QStringLiteral("richtextboxInfo"));
    richtextboxInfo->setReadOnly(true);
    licence->addWidget(richtextboxInfo);
    v->addWidget(picLicenceAgreement, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdSysInfo = new QPushButton(this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    cmdOk = new QPushButton(this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOk);
    v->addLayout(buttons);

    connect(tabstripInfo, &QTabBar::currentChanged, this, [this] { tabstripInfo_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    resize(520, 380);
}

void frmInfo::Form_Load()
{
    lblName->setText(GetRegisteredOwner());
    lblOrg->setText(GetRegisteredOrganization());
    setWindowTitle(GetText("INFO_CAPTION"));
    lblAppName->setText(GetText("INFO_APPNAME"));
    lblVersion->setText(GetText("INFO_VERSION") + QLatin1Char(' ') + QLatin1String(QFTP_VERSION));
    lblMade->setText(GetText("INFO_MADE"));
    lblLicenced->setText(GetText("INFO_LICENCED"));
    lblLegal->setText(GetText("INFO_LEGAL"));
    cmdOk->setText(GetText("INFO_OK"));
    cmdSysInfo->setText(GetText("INFO_SYSINFO"));
    // The tabs speak the chosen language like the rest of the dialog.
    tabstripInfo->setTabText(0, GetText("INFO_TAB_INFO"));
    tabstripInfo->setTabText(1, GetText("INFO_TAB_LICENCE"));
    LoadRtfFile(richtextboxInfo, ProgramFolder::file(QStringLiteral("Dateien/la.rtf")));
    tabstripInfo->setCurrentIndex(0);
    tabstripInfo_Click();
}

void frmInfo::tabstripInfo_Click()
{
    const bool first = tabstripInfo->currentIndex() == 0;
    picInfo->setVisible(first);
    picLicenceAgreement->setVisible(!first);
}

void frmInfo::cmdOk_Click()
{
    accept();
}

void frmInfo::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmInfo::showModal()
{
    // A modal dialog opened from inside a transfer's yield would hold the
    // transfer until the dialog closes.
    if (Ui::isBusy())
        return;
    frmInfo &dialog = instance();
    // The dialog opens on its first page, whatever page was shown last.
    dialog.tabstripInfo->setCurrentIndex(0);
    dialog.tabstripInfo_Click();
    dialog.exec();
    unload();
}

void mdiMain::mnuInfoWebHomepage_Click()
{
    // The program that opens the program folder's web page is the browser;
    // the page itself is not opened.
    // Without the page there is nothing to ask about, as the desktop would
    // find no program for a file that does not exist.
    const QString page = ProgramFolder::file(QStringLiteral("index.html"));
    QString browser;
    if (QFileInfo::exists(page))
        browser = FindAssociatedProgram(page).trimmed();
    // The browser is started through its desktop record with the address;
    // one that does not start is no browser either.
    const QString address = QStringLiteral(QFTP_HOMEPAGE);
    const bool started = !browser.isEmpty() && OpenAddressWithProgramOf(page, address);
    if (!started)
        dialogs().MsgBox(QStringLiteral("Could not find any web browser!"), MsgButtons::Ok,
                         MsgIcon::Information, QStringLiteral("Information"));
}
