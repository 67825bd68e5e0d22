#include "fakedialogs.h"

#include "platform/ui.h"

MsgAnswer ScriptedDialogs::MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                                  const QString &title)
{
    boxes.append(RecordedBox{text, buttons, icon, title, false, {}, -1, -1, Ui::isBusy()});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return answers.isEmpty() ? MsgAnswer::No : answers.takeFirst();
}

QString ScriptedDialogs::InputBox(const QString &prompt, const QString &title,
                                  const QString &defaultText, int xTwips, int yTwips)
{
    boxes.append(RecordedBox{prompt, MsgButtons::Ok, MsgIcon::None, title, true, defaultText,
                             xTwips, yTwips, Ui::isBusy()});
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

ScriptedDialogs &installScriptedDialogs()
{
    auto fake = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs &ref = *fake;
    setDialogs(std::move(fake));
    return ref;
}
