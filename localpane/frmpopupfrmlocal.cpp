#include "localpane/frmpopupfrmlocal.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/shellservices.h"
#include "core/upload.h"
#include "localpane/frmuploadals.h"
#include "localpane/localfileops.h"
#include "localpane/mshelldelete.h"
#include "platform/dialogs.h"
#include "platform/listview.h"
#include "platform/pure/bytename.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QComboBox>
#include <QMenu>

namespace {
const QString AllFiles = QStringLiteral("*.*");

QString inputBox(const QString &prompt, const QString &defaultText = QString())
{
    int x = 0, y = 0;
    inputBoxPositionTwips(x, y);
    return dialogs().InputBox(prompt, QString(), defaultText, x, y);
}

void information(const char *key)
{
    dialogs().MsgBox(GetText(key), MsgButtons::Ok, MsgIcon::Information);
}
} // namespace

QString LocalItemFolder(NoNodeFolder fallback)
{
    const QString listed = frmLocal::instance().ListedFolder();
    return listed.isEmpty() ? CurrentLocalFolder(fallback) : listed;
}

QString SelectedLocalItem(NoNodeFolder fallback)
{
    const ListView &list = *frmLocal::instance().lsvDirFile;
    const int item = list.selectedItem();
    // Names may begin or end in blanks: the text is taken whole.
    return LocalItemFolder(fallback) + (item >= 0 ? list.text(item) : QString());
}

int SelectedLocalCount()
{
    return frmLocal::instance().lsvDirFile->selectedCount();
}

frmPopUpfrmLocal::frmPopUpfrmLocal() : QWidget(&mdiMain::instance())
{
    setObjectName(QStringLiteral("frmPopUpfrmLocal"));
    hide(); // the window only carries the menu
    mnu = new QMenu(QStringLiteral("Action"), this);
    mnu->setObjectName(QStringLiteral("mnu"));
    const auto item = [this](const char *name, void (frmPopUpfrmLocal::*handler)(),
                             QMenu *menu = nullptr) {
        QAction *action = (menu ? menu : mnu)->addAction(QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto separator = [this](const char *name) {
        QAction *action = mnu->addSeparator();
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuUpload = item("mnuUpload", &frmPopUpfrmLocal::mnuUpload_Click);
    mnuUploadAls = item("mnuUploadAls", &frmPopUpfrmLocal::mnuUploadAls_Click);
    mnuTrennlinie1 = separator("mnuTrennlinie1");
    mnuOeffnen = item("mnuOeffnen", &frmPopUpfrmLocal::mnuOeffnen_Click);
    mnuOeffnenMit = item("mnuOeffnenMit", &frmPopUpfrmLocal::mnuOeffnenMit_Click);
    mnuTrennlinie2 = separator("mnuTrennlinie2");
    mnuUmbenennen = item("mnuUmbenennen", &frmPopUpfrmLocal::mnuUmbenennen_Click);
    mnuTrennlinie3 = separator("mnuTrennlinie3");
    mnuLoeschen = item("mnuLoeschen", &frmPopUpfrmLocal::mnuLoeschen_Click);
    mnuTrennlinie4 = separator("mnuTrennlinie4");
    mnuNeu = mnu->addMenu(QString());
    mnuNeu->setObjectName(QStringLiteral("mnuNeu"));
    mnuNeuVerzeichnis =
        item("mnuNeuVerzeichnis", &frmPopUpfrmLocal::mnuNeuVerzeichnis_Click, mnuNeu);
    mnuTrennlinie5 = separator("mnuTrennlinie5");
    mnuAktualisieren = item("mnuAktualisieren", &frmPopUpfrmLocal::mnuAktualisieren_Click);
    mnuTrennlinie6 = separator("mnuTrennlinie6");
    mnuEigenschaften = item("mnuEigenschaften", &frmPopUpfrmLocal::mnuEigenschaften_Click);
}

void frmPopUpfrmLocal::Form_Load()
{
    mnuUpload->setText(GetText("FRMPULOC_UPLOAD"));
    mnuUploadAls->setText(GetText("FRMPULOC_UPLOADAS"));
    mnuOeffnen->setText(GetText("FRMPULOC_OPEN"));
    mnuOeffnenMit->setText(GetText("FRMPULOC_OPENWITH"));
    mnuUmbenennen->setText(GetText("FRMPULOC_RENAME"));
    mnuLoeschen->setText(GetText("FRMPULOC_DELETE"));
    mnuNeu->setTitle(GetText("FRMPULOC_NEW"));
    mnuNeuVerzeichnis->setText(GetText("FRMPULOC_NEWFOLDER"));
    mnuAktualisieren->setText(GetText("FRMPULOC_REFRESH"));
    mnuEigenschaften->setText(GetText("FRMPULOC_PROP"));
}

void frmPopUpfrmLocal::PopUp(const QPoint &globalPos)
{
    mnu->setDefaultAction(mnuUpload);
    mnu->popup(globalPos);
}

void frmPopUpfrmLocal::ViewFolder(const QString &path, const QString &mask)
{
    frmLocal::instance().ViewFolderWith(m_listing, path, mask);
}

void frmPopUpfrmLocal::mnuAktualisieren_Click()
{
    ViewFolder(CurrentLocalFolder(), AllFiles);
}

void frmPopUpfrmLocal::mnuEigenschaften_Click()
{
    ShowFileProperties(SelectedLocalItem(NoNodeFolder::DrivePlace));
}

void frmPopUpfrmLocal::mnuOeffnen_Click()
{
    OpenLocalSelection();
}

void frmPopUpfrmLocal::mnuOeffnenMit_Click()
{
    OpenWithDialog(SelectedLocalItem(NoNodeFolder::DrivePlace));
}

void frmPopUpfrmLocal::mnuUpload_Click()
{
    UploadSelectionFromContextMenu();
}

void frmPopUpfrmLocal::mnuUploadAls_Click()
{
    if (Ui::isBusy())
        return;
    if (SelectedLocalCount() >= 2) {
        information(TextKey("FRMPULOC_ONEFILE"));
        return;
    }
    if (hFtpConnection != 0)
        frmUploadAls::ShowModal();
    else
        information(TextKey("FRMPULOC_NOCONN"));
}

void frmPopUpfrmLocal::mnuUmbenennen_Click()
{
    RenameSelection(RenameRelist::ContextMenu);
}

void frmPopUpfrmLocal::RenameSelection(RenameRelist relist)
{
    if (Ui::isBusy())
        return;
    if (SelectedLocalCount() >= 2) {
        information(TextKey("FRMPOPLOC_ONEFILE"));
        return;
    }
    const QString folder = LocalItemFolder(NoNodeFolder::DrivePlace);
    const ListView &list = *frmLocal::instance().lsvDirFile;
    const int item = list.selectedItem();
    // The name exactly as listed: trimmed, " a.txt" would name another file.
    const QString old = item >= 0 ? list.text(item) : QString();
    LogLine(GetText("FRMPULOC_RENAME2") + QLatin1Char(' ') + old);
    // The box starts with the carried name, so that an edit keeps its bytes.
    const QString renamed = inputBox(GetText("FRMPULOC_NEWNAME") + QLatin1Char(' ') +
                                         ByteName::shown(old) + QLatin1String(" ?"),
                                     old);
    if (renamed.isEmpty()) {
        LogLine(GetText("FRMPULOC_RENCANCEL"), LogColor::Red);
        return;
    }
    // A new name is a name in this folder, never a way into another one.
    RenameOutcome outcome = RenameOutcome::CopyFailed;
    if (IsPlainLocalName(old) && IsPlainLocalName(renamed)) {
        WaitCursor wait;
        outcome = RenameByCopy(folder + old, folder + renamed);
    }
    if (outcome != RenameOutcome::Renamed) {
        LogLine(GetText("FRMPULOC_RENFAILED"), LogColor::Red);
        return;
    }
    LogLine(GetText("FRMPULOC_RENOK"), LogColor::Green);
    if (relist == RenameRelist::LocalPane)
        frmLocal::instance().ViewFolder(folder, AllFiles);
    else
        ViewFolder(folder, AllFiles);
}

void frmPopUpfrmLocal::mnuLoeschen_Click()
{
    if (Ui::isBusy())
        return;
    DeleteLocalSelection();
    if (Ui::isShuttingDown())
        return;
    // The tree is read again down to the current folder, so that folders the
    // delete removed disappear from it, and so do their path combo entries.
    frmLocal::instance().RevealFolder(CurrentLocalFolder(), FolderOrder::ByCode);
    PruneLocalCombo();
}

void frmPopUpfrmLocal::PruneLocalCombo()
{
    QComboBox *combo = frmLocal::instance().cboLocal;
    for (int i = combo->count() - 1; i >= 0; --i) {
        // An entry shows a name whose bytes are not UTF-8 with U+FFFD and
        // carries its folder's path beside the text: that path is looked at.
        const QVariant carried = combo->itemData(i);
        const QString path = carried.isValid() ? carried.toString() : combo->itemText(i);
        if (!LocalPathExists(path))
            combo->removeItem(i);
    }
}

void frmPopUpfrmLocal::mnuNeuVerzeichnis_Click()
{
    if (Ui::isBusy())
        return;
    frmLocal::instance().CreateLocalFolder(NoNodeFolder::DrivePlace, m_listing);
}
