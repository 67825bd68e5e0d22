// The program: the start dialog, then the main window until it is closed.

#include "shell/frmstart.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ftpclient"));
    frmStart start;
    start.Form_Load();
    if (start.exec() != QDialog::Accepted)
        return 0; // Cancel ends the program without a main window.
    return app.exec();
}
