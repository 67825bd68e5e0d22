#include "localpane/mshelldelete.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "localpane/frmlocal.h"
#include "platform/dialogs.h"
#include "platform/listview.h"
#include "platform/pure/bytename.h"
#include "platform/trash.h"
#include "platform/ui.h"
#include "shell/mdimain.h"

#include <QProgressBar>
#include <QStringList>

namespace mShellDelete {

namespace {
LocalListing &listing()
{
    static LocalListing holder(ListingVariants::mShellDelete);
    return holder;
}
} // namespace

void ViewFolder(const QString &path)
{
    frmLocal::instance().ViewFolderWith(listing(), path, QStringLiteral("*.*"));
}

const std::vector<LocalFileEntry> &ShellDeleteEntries()
{
    return listing().entries();
}

void ResetShellDeleteState()
{
    listing().clear();
}

} // namespace mShellDelete

namespace {

QStringList selectedNames(const ListView &list)
{
    QStringList names;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isSelected(i))
            names.append(list.text(i));
    }
    return names;
}

QString confirmation(const QStringList &names)
{
    if (names.size() == 1)
        return GetText("MSDEL_ASKONE1") + QLatin1String(" \"") + ByteName::shown(names.first()) +
               QLatin1String("\" ") + GetText("MSDEL_ASKONE2");
    return GetText("MSDEL_ASKMANY1") + QLatin1Char(' ') + QString::number(names.size()) +
           QLatin1Char(' ') + GetText("MSDEL_ASKMANY2");
}

void logOutcome(Trash::Outcome outcome, const QString &name)
{
    switch (outcome) {
    case Trash::Outcome::Trashed:
        LogLine(GetText("MSDEL_TRASHED") + QLatin1Char(' ') + name, LogColor::Green);
        break;
    case Trash::Outcome::Deleted:
        LogLine(GetText("MSDEL_DELETED") + QLatin1Char(' ') + name, LogColor::Green);
        break;
    case Trash::Outcome::Kept:
        LogLine(GetText("MSDEL_KEPT") + QLatin1Char(' ') + name, LogColor::Red);
        break;
    case Trash::Outcome::Failed:
        LogLine(GetText("MSDEL_FAILED") + QLatin1Char(' ') + name, LogColor::Red);
        break;
    }
}

} // namespace

void DeleteLocalSelection()
{
    // One busy rule for every command that starts work: the Delete key too.
    if (Ui::isBusy())
        return;
    const BusyScope busy;
    frmLocal &local = frmLocal::instance();
    // The names are those of the folder the list shows. A path typed into the
    // path combo is listed without a tree node, and the tree's folder would
    // then name other files of the same names.
    const QString listed = local.ListedFolder();
    const QString folder = listed.isEmpty() ? CurrentLocalFolder() : listed;
    const QStringList names = selectedNames(*local.lsvDirFile);
    if (names.isEmpty())
        return;
    if (dialogs().MsgBox(confirmation(names), MsgButtons::YesNo, MsgIcon::Question) !=
        MsgAnswer::Yes) {
        LogLine(GetText("MSDEL_CANCELLED"), LogColor::Red);
        return;
    }
    if (names.size() > 1)
        LogLine(QStringLiteral("Aktion: Beginne mit löschen"));

    QProgressBar *progress = mdiMain::instance().pgbBottom;
    progress->setRange(0, int(names.size()));
    progress->setValue(0);
    {
        WaitCursor wait;
        for (int i = 0; i < names.size(); ++i) {
            const QString path = folder + names[i];
            const QString question = GetText("MSDEL_NOTRASH1") + QLatin1String(" \"") +
                                     ByteName::shown(path) + QLatin1String("\" ") +
                                     GetText("MSDEL_NOTRASH2");
            logOutcome(Trash::remove(path, question), names[i]);
            progress->setValue(i + 1);
            Ui::ThrottledYield();
            if (Ui::isShuttingDown())
                return;
        }
    }
    ScrollHistoryToEnd();
    mShellDelete::ViewFolder(folder);
    progress->setValue(0);
}
