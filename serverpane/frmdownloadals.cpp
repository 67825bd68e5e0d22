#include "serverpane/frmdownloadals.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/serverfolderwalk.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "localpane/frmlocal.h"
#include "localpane/locallisting.h"
#include "platform/listview.h"
#include "platform/pure/bytename.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

LocalListing &listing()
{
    static LocalListing holder(ListingVariants::frmDownloadAls);
    return holder;
}

QLabel *label(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText); // a server's file name is never read as markup
    return l;
}

} // namespace

QString DownloadAsTarget(const QString &folder, const QString &typedName)
{
    const QString name = typedName.trimmed();
    return IsSafeServerName(name) ? folder + name : QString();
}

frmDownloadAls::frmDownloadAls(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDownloadAls"));
    setModal(true);
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblTyp = label(Frame1, "lblTyp");
    lblSize = label(Frame1, "lblSize");
    lblChanged = label(Frame1, "lblChanged");
    lblOldName = label(Frame1, "lblOldName");
    lblNewName = label(Frame1, "lblNewName");
    lblAction = label(Frame1, "lblAction");
    lblFileType = label(Frame1, "lblFileType");
    lblGroesse = label(Frame1, "lblGroesse");
    lblGeaendert = label(Frame1, "lblGeaendert");
    lblName = label(Frame1, "lblName");
    imgSystemLogo = label(Frame1, "imgSystemLogo");
    imgSystemLogo->setFixedSize(32, 32);
    txtNeuerName = new QLineEdit(Frame1);
    txtNeuerName->setObjectName(QStringLiteral("txtNeuerName"));
    cmdDownload = new QPushButton(this);
    cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    cmdDownload->setDefault(true);
    cmdAbbrechen = new QPushButton(this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));

    auto *grid = new QGridLayout(Frame1);
    grid->addWidget(imgSystemLogo, 0, 0, 2, 1, Qt::AlignTop);
    const std::pair<QLabel *, QWidget *> rows[] = {{lblTyp, lblFileType},
                                                   {lblSize, lblGroesse},
                                                   {lblChanged, lblGeaendert},
                                                   {lblOldName, lblName},
                                                   {lblNewName, txtNeuerName}};
    int row = 0;
    for (const auto &[caption, field] : rows) {
        grid->addWidget(caption, row, 1);
        grid->addWidget(field, row, 2);
        ++row;
    }
    // The explanation wraps, so that it shows whole in every language; the
    // dialog takes the size its contents need.
    lblAction->setWordWrap(true);
    grid->addWidget(lblAction, row, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdAbbrechen);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(Frame1);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    Frame1->setMinimumWidth(400);

    connect(cmdDownload, &QPushButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(cmdAbbrechen, &QPushButton::clicked, this, [this] { cmdAbbrechen_Click(); });
}

void frmDownloadAls::ShowModal()
{
    frmDownloadAls dialog(&mdiMain::instance());
    dialog.Form_Load();
    dialog.exec();
}

void frmDownloadAls::Form_Load()
{
    setWindowTitle(GetText("FRMDOWNLOADALS_MECAPTION"));
    lblTyp->setText(GetText("FRMDOWNLOADALS_TYP"));
    lblSize->setText(GetText("FRMDOWNLOADALS_SIZE"));
    lblChanged->setText(GetText("FRMDOWNLOADALS_CHANGED"));
    lblOldName->setText(GetText("FRMDOWNLOADALS_OLDNAME"));
    lblNewName->setText(GetText("FRMDOWNLOADALS_NEWNAME"));
    lblAction->setText(GetText("FRMDOWNLOADALS_ACTION"));
    cmdDownload->setText(GetText("FRMDOWNLOADALS_DOWNLOAD"));
    cmdAbbrechen->setText(GetText("FRMDOWNLOADALS_ABBRECHEN"));

    const ListView &list = *frmServer::instance().lsvServer;
    const int selected = list.selectedItem();
    const QString name = list.text(selected);
    // The type and the icon come from a placeholder of the name in the
    // temporary folder; a file of that name there keeps its contents. A
    // name that is no plain file name gets none, and no type or icon.
    const QString placeholder = GetTempFilePath(ByteName::shown(name));
    if (!placeholder.isEmpty()) {
        lblFileType->setText(GetFileTypeName(placeholder));
        imgSystemLogo->setPixmap(GetFileIconPicture(SHGFI_ICON, placeholder).pixmap(32, 32));
    }
    lblGroesse->setText(list.subItem(selected, 1));
    lblGeaendert->setText(list.subItem(selected, 3));
    // The server name keeps its bytes for the download; the dialog shows it.
    m_serverName = name;
    lblName->setText(ByteName::shown(name));
    txtNeuerName->setText(ByteName::shown(name));
    txtNeuerName->setSelection(0, int(txtNeuerName->text().length()));
}

void frmDownloadAls::cmdDownload_Click()
{
    WaitCursor wait;
    const QString folder = CurrentLocalFolder(NoNodeFolder::DrivePlace);
    hide();
    // The listed name is used whole: " a.txt" and "a.txt" are two files.
    // The offered local name left as it was is that name too; a typed one
    // loses the blanks at its edges.
    const QString oldName = m_serverName;
    const QString typed = txtNeuerName->text();
    const QString target = typed == ByteName::shown(oldName) && IsSafeServerName(oldName)
                               ? folder + oldName
                               : DownloadAsTarget(folder, typed);
    LogLine(GetText("MDOWN_DOWNSTART") + QLatin1Char(' ') + oldName + QLatin1String(" als ") +
            (target.isEmpty() ? folder + typed.trimmed() : target));
    // A typed name that would leave the folder is refused, and so is a
    // server name that would fetch a file of another server folder.
    bool ok = false;
    if (!target.isEmpty() && IsSafeServerName(oldName)) {
        BusyScope busy;
        ok = FtpDownload(target, oldName);
    }
    if (ok)
        LogLine(GetText("MDOWN_DOWNOK"), LogColor::Green);
    else
        LogLine(GetText("MDOWN_DOWNFAILED"), LogColor::Red);
    ViewLocalFolder(folder);
    accept();
}

void frmDownloadAls::cmdAbbrechen_Click()
{
    reject();
}

void frmDownloadAls::ViewLocalFolder(const QString &path)
{
    frmLocal::instance().ViewFolderWith(listing(), path, QStringLiteral("*.*"));
}
