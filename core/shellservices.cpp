#include "core/shellservices.h"

#include "core/mdatabase.h"
#include "core/shellwindows.h"
#include "localpane/frmpopupfrmlocal.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/localpath.h"

namespace {

// Whether two paths name the same file; a path that does not exist is
// compared as written.
bool sameFile(const QString &a, const QString &b)
{
    return a == b || LocalPath::sameFile(a, b);
}

// The application that opens file, as the launcher in use finds it.
std::optional<Desktop::Application> programOf(const QString &file)
{
    return Desktop::launcher().defaultApplicationFor(Desktop::contentType(file));
}

} // namespace

QString FindAssociatedProgram(const QString &file)
{
    const std::optional<Desktop::Application> app = programOf(file);
    if (!app || app->executable.isEmpty())
        return QString();
    // A file that is itself the program of its type has no other program.
    if (sameFile(app->executable, file))
        return QString();
    return app->executable;
}

void OpenLocalSelection()
{
    const QString file = SelectedLocalItem(NoNodeFolder::TopNode);
    if (FindAssociatedProgram(file).isEmpty()) {
        if (dialogs().MsgBox(GetText("MPUB_NOAPP") + QLatin1String("\r\n") +
                                 GetText("MPUB_PROGSEL"),
                             MsgButtons::YesNo, MsgIcon::None) == MsgAnswer::Yes)
            OpenWithDialog(file);
        return;
    }
    // The program that opens it, as a double click in a file manager would
    // choose it; whether it starts is not looked at.
    OpenFileWithItsProgram(file);
}

void ShowFileProperties(const QString &file)
{
    Desktop::launcher().showItemProperties(file, [file] { frmProperties::showFor(file); });
}

void OpenWithDialog(const QString &file)
{
    frmOpenWith::showFor(file);
}

bool OpenAddressWithProgramOf(const QString &file, const QString &address)
{
    const std::optional<Desktop::Application> app = programOf(file);
    return app && Desktop::launcher().launchAddress(*app, address);
}

bool OpenFileWithItsProgram(const QString &file)
{
    const std::optional<Desktop::Application> app = programOf(file);
    return app && Desktop::launcher().launch(*app, file);
}

bool StartProgramWithFile(const QString &program, const QString &file)
{
    return Desktop::launcher().startDetached(program, {file});
}
