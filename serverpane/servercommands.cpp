#include "serverpane/servercommands.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/serverfolderwalk.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "platform/dialogs.h"

namespace NewFolderKeys {
const NewFolderTexts Toolbar{TextKey("FRMSERVER_DIRNAME"), TextKey("FRMSERVER_NEWDIR1"),
                             TextKey("FRMSERVER_NEWDIR2"), TextKey("FRMSERVER_GENOK"),
                             TextKey("FRMSERVER_GENFAIL")};
const NewFolderTexts ContextMenu{TextKey("FRMPUSERVER_FOLDNAME"), TextKey("FRMPUSERVER_DIRNEW1"),
                                 TextKey("FRMPUSERVER_DIRNEW2"), TextKey("FRMPUSERVER_DIROK"),
                                 TextKey("FRMPUSERVER_DIRFAILED")};
} // namespace NewFolderKeys

void MakeServerFolder(const NewFolderTexts &texts, bool inShownFolder)
{
    int x = 0, y = 0;
    inputBoxPositionTwips(x, y);
    const QString name = dialogs().InputBox(GetText(texts.prompt), QString(), QString(), x, y);
    if (name.isEmpty())
        return;
    LogLine(GetText(texts.start1) + QLatin1Char(' ') + name + QLatin1Char(' ') +
            GetText(texts.start2));
    // The new folder is made in the current one: a name that is "." or
    // "..", or that holds "/", would make it elsewhere (or nowhere).
    if (!inShownFolder || !IsSafeServerName(name) || !FtpMakeDir(name)) {
        LogLine(GetText(texts.failed), LogColor::Red);
        if (!inShownFolder && hFtpConnection != 0)
            RefreshServerList(hFtpConnection);
        return;
    }
    LogLine(GetText(texts.ok), LogColor::Green);
    RefreshServerList(hFtpConnection);
}
