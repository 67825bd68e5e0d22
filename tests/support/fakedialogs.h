#pragma once
// A scripted stand-in for the message and input boxes: records every box and
// answers it from the script (Yes/No boxes answer No and input boxes Cancel
// when the script has nothing left).

#include "platform/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

struct RecordedBox {
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    QString title;
    bool input = false;
    QString defaultText;
    int x = -1, y = -1;
    bool busy = false; // whether a long operation was running when it was shown
};

class ScriptedDialogs : public Dialogs {
public:
    MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                     const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     int xTwips, int yTwips) override;

    QList<RecordedBox> boxes;
    QList<MsgAnswer> answers;
    QStringList inputs;
};

// Installs a fresh fake as the program's dialogs and returns it.
ScriptedDialogs &installScriptedDialogs();
