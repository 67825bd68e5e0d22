#pragma once
// Message boxes and input boxes of the whole program go through one service,
// so that tests can put a scripted fake in its place.

#include <QString>

#include <memory>

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Critical, Exclamation, Information, Question };
enum class MsgAnswer { Ok, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain message box; an empty title shows the program's name only.
    virtual MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                             const QString &title = QString()) = 0;
    // An input box; x and y are the top-left corner in twips, negative for
    // the default place. Cancel gives an empty text.
    virtual QString InputBox(const QString &prompt, const QString &title = QString(),
                             const QString &defaultText = QString(), int xTwips = -1,
                             int yTwips = -1) = 0;
};

// The service in use: the real widget boxes unless a test installed its own.
Dialogs &dialogs();
// Installs a replacement (a test's fake); nullptr restores the real boxes.
void setDialogs(std::unique_ptr<Dialogs> replacement);

// Input boxes of the design stand at half the screen minus these offsets.
void inputBoxPositionTwips(int &x, int &y);
