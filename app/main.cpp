// The program: the start dialog, then the main window until it is closed.
//
// For the install test only: with the argument --check-start-dialog the
// program prints what the start dialog shows once it is on screen (the
// program folder, each language, the licence's first line, whether the
// window has its icon) and ends there.

#include "buildinfo.h"
#include "platform/programfolder.h"
#include "shell/frmstart.h"

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>

namespace {

void printStartDialog(const frmStart &start)
{
    const auto line = [](const QString &text) { std::printf("%s\n", qPrintable(text)); };
    line(QStringLiteral("folder: ") + ProgramFolder::path());
    for (int i = 0; i < start.cboSprache->count(); ++i)
        line(QStringLiteral("language: ") + start.cboSprache->itemText(i));
    line(QStringLiteral("licence: ") +
         start.rtfLizenzvereinbarungen->toPlainText().section(QLatin1Char('\n'), 0, 0));
    line(QStringLiteral("icon: ") +
         (start.windowIcon().pixmap(32).isNull() ? QStringLiteral("none") : QStringLiteral("ok")));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(QFTP_PROGRAM_NAME));
    QApplication::setDesktopFileName(QStringLiteral(QFTP_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ftpclient.svg")));
    frmStart start;
    start.Form_Load();
    if (QApplication::arguments().contains(QStringLiteral("--check-start-dialog")))
        QTimer::singleShot(0, &start, [&start] {
            printStartDialog(start);
            start.reject();
        });
    if (start.exec() != QDialog::Accepted)
        return 0; // Cancel ends the program without a main window.
    return app.exec();
}
