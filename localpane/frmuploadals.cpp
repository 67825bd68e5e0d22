#include "localpane/frmuploadals.h"

#include "core/download.h"
#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/serverlisting.h"
#include "core/upload.h"
#include "localpane/frmpopupfrmlocal.h"
#include "platform/listview.h"
#include "platform/localpath.h"
#include "platform/pure/bytename.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // file names are never read as markup
    return label;
}
} // namespace

frmUploadAls::frmUploadAls() : QDialog(&mdiMain::instance())
{
    setObjectName(QStringLiteral("frmUploadAls"));
    setModal(true);
    Frame1 = new QGroupBox(this);
    lblTyp = plainLabel(Frame1);
    lblSize = plainLabel(Frame1);
    lblChanged = plainLabel(Frame1);
    lblAlterName = plainLabel(Frame1);
    lblNeuerName = plainLabel(Frame1);
    lblAction = plainLabel(this);
    lblFileType = plainLabel(Frame1);
    lblGroesse = plainLabel(Frame1);
    lblGeaendert = plainLabel(Frame1);
    lblName = plainLabel(Frame1);
    txtNeuerName = new QLineEdit(Frame1);
    txtNeuerName->setObjectName(QStringLiteral("txtNeuerName"));
    imgSystemLogo = new QLabel(Frame1);
    cmdUpload = new QPushButton(this);
    cmdUpload->setObjectName(QStringLiteral("cmdUpload"));
    cmdUpload->setDefault(true);
    cmdAbbrechen = new QPushButton(this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));

    auto *grid = new QGridLayout(Frame1);
    grid->addWidget(imgSystemLogo, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTyp, 0, 1);
    grid->addWidget(lblFileType, 0, 2);
    grid->addWidget(lblSize, 1, 1);
    grid->addWidget(lblGroesse, 1, 2);
    grid->addWidget(lblChanged, 2, 1);
    grid->addWidget(lblGeaendert, 2, 2);
    grid->addWidget(lblAlterName, 3, 1);
    grid->addWidget(lblName, 3, 2);
    grid->addWidget(lblNeuerName, 4, 1);
    grid->addWidget(txtNeuerName, 4, 2);
    grid->setColumnStretch(2, 1);
    // The explanation gets lines of its own, so that it shows whole in
    // every language; the dialog takes the size its contents need.
    lblAction->setWordWrap(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdUpload);
    buttons->addWidget(cmdAbbrechen);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(lblAction);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Frame1->setMinimumWidth(420);

    connect(cmdUpload, &QPushButton::clicked, this, &frmUploadAls::cmdUpload_Click);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &frmUploadAls::cmdAbbrechen_Click);
}

void frmUploadAls::Form_Load()
{
    setWindowTitle(GetText("FRMUPAS_CAPTION"));
    lblTyp->setText(GetText("FRMUPAS_TYP"));
    lblSize->setText(GetText("FRMUPAS_SIZE"));
    lblChanged->setText(GetText("FRMUPAS_CHANGED"));
    lblAlterName->setText(GetText("FRMUPAS_OLDNAME"));
    lblNeuerName->setText(GetText("FRMUPAS_NEWNAME"));
    lblAction->setText(GetText("FRMUPAS_ACTION"));
    cmdUpload->setText(GetText("FRMUPAS_UPLOAD"));
    cmdAbbrechen->setText(GetText("FRMUPAS_CANCEL"));

    const ListView &list = *frmLocal::instance().lsvDirFile;
    const int item = list.selectedItem();
    m_name = item >= 0 ? list.text(item) : QString();
    const QString name = ByteName::shown(m_name);
    // Type and icon come from an empty placeholder of the name in the
    // temporary folder; the placeholder is left there.
    const QString placeholder = GetTempFilePath(name);
    QString type;
    if (!placeholder.isEmpty()) {
        type = GetFileTypeName(placeholder);
        imgSystemLogo->setPixmap(GetFileIconPicture(SHGFI_ICON, placeholder).pixmap(32, 32));
    }
    // Where the desktop knows no type for the name, the type the list shows
    // for it ("XYZ-Datei"), as the shell would name it.
    if (type.isEmpty() && item >= 0)
        type = list.subItem(item, 2);
    lblFileType->setText(type);
    lblGroesse->setText(item >= 0 ? list.subItem(item, 1) : QString());
    lblGeaendert->setText(item >= 0 ? list.subItem(item, 3) : QString());
    lblName->setText(name);
    txtNeuerName->setText(name);
    txtNeuerName->setSelection(0, int(name.length()));
}

void frmUploadAls::ShowModal()
{
    instance().exec();
    unload();
}

void frmUploadAls::cmdUpload_Click()
{
    if (Ui::isBusy())
        return;
    BusyScope busy;
    WaitCursor wait;
    const QString folder = LocalItemFolder(NoNodeFolder::DrivePlace);
    // The local name is used whole: " a.txt" and "a.txt " are other files.
    // The box starts with it as shown; left as it is, the server name is the
    // listed name with its bytes, else the typed name without its blanks.
    QString newName = txtNeuerName->text();
    newName = newName == ByteName::shown(m_name) ? m_name : newName.trimmed();
    const QString old = m_name;
    LogLine(GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + old + QLatin1String(" als ") + newName);
    QString local = folder + old;
    struct stat file {};
    const bool regular = LocalPath::status(local, file) && S_ISREG(file.st_mode);
    const bool empty = regular && file.st_size == 0;
    hide();
    if (empty) {
        LogLine(QStringLiteral("Status: Upload fehlgeschlagen (Größe der Datei: 0 Byte)"),
                LogColor::Red);
        done(Accepted);
        return;
    }
    // A server name with "/" would write into another server folder.
    if (!newName.isEmpty() && (!IsSafeServerName(newName) || !regular))
        LogLine(GetText("MPUB_UPFAILED"), LogColor::Red);
    else
        UploadFile(local, newName);
    RefreshServerList(hFtpConnection);
    done(Accepted);
}

void frmUploadAls::cmdAbbrechen_Click()
{
    done(Rejected);
}
