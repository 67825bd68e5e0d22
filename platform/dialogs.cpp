#include "platform/dialogs.h"

#include "buildinfo.h"
#include "platform/twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

namespace {

class WidgetDialogs : public Dialogs {
public:
    MsgAnswer MsgBox(const QString &text, MsgButtons buttons, MsgIcon icon,
                     const QString &title) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(title.isEmpty() ? QStringLiteral(QFTP_PRODUCT_NAME) : title);
        box.setTextFormat(Qt::PlainText);
        box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        switch (icon) {
        case MsgIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::None:
            break;
        }
        if (buttons == MsgButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MsgAnswer::Ok;
    }

    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText,
                     int xTwips, int yTwips) override
    {
        QInputDialog dlg(QApplication::activeWindow());
        dlg.setWindowTitle(title.isEmpty() ? QStringLiteral(QFTP_PRODUCT_NAME) : title);
        dlg.setLabelText(prompt);
        // A prompt may carry a file name; it is shown as typed, never as markup.
        for (QLabel *label : dlg.findChildren<QLabel *>())
            label->setTextFormat(Qt::PlainText);
        dlg.setTextValue(defaultText);
        if (xTwips >= 0 && yTwips >= 0)
            dlg.move(Twips::toPixelsX(xTwips), Twips::toPixelsY(yTwips));
        if (dlg.exec() != QDialog::Accepted)
            return QString();
        return dlg.textValue();
    }
};

std::unique_ptr<Dialogs> &current()
{
    static std::unique_ptr<Dialogs> instance;
    return instance;
}

} // namespace

Dialogs &dialogs()
{
    auto &d = current();
    if (!d)
        d = std::make_unique<WidgetDialogs>();
    return *d;
}

void setDialogs(std::unique_ptr<Dialogs> replacement)
{
    current() = std::move(replacement);
}

void inputBoxPositionTwips(int &x, int &y)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    x = Twips::fromPixelsX(size.width()) / 2 - 1000;
    y = Twips::fromPixelsY(size.height()) / 2 - 1500;
}
