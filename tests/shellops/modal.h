#pragma once
// Driving a modal dialog from a test: the dialog's exec() runs its own event
// loop, so the test's steps run from a timer inside it.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <functional>

// Calls open() (which shows the single-instance dialog Dlg modally and
// returns when it closes); once the dialog is on screen, runs steps with it.
// A dialog that steps leaves open is rejected, so that a failing step never
// hangs the test. False when the dialog never appeared.
template <class Dlg>
bool whileModal(const std::function<void()> &open, const std::function<void(Dlg &)> &steps)
{
    bool appeared = false;
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (Dlg::exists() && Dlg::instance().isVisible() &&
            QApplication::activeModalWidget() == &Dlg::instance()) {
            poll.stop();
            appeared = true;
            steps(Dlg::instance());
            if (Dlg::exists() && Dlg::instance().isVisible())
                Dlg::instance().reject();
        } else if (waited.elapsed() > 5000) {
            poll.stop();
        }
    });
    poll.start();
    open();
    poll.stop();
    return appeared;
}
