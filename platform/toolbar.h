#pragma once
// A toolbar whose buttons carry a key, an image, a tooltip and a description;
// a click reports the button's key.

#include <QIcon>
#include <QToolBar>

class QAction;

class Toolbar : public QToolBar {
    Q_OBJECT
public:
    explicit Toolbar(QWidget *parent = nullptr);
    QAction *addButton(const QString &key, const QIcon &image, const QString &toolTip);
    QAction *button(const QString &key) const;
    int buttonCount() const;
    QStringList keys() const;
    // Clicks the button with this key, as the user would.
    void click(const QString &key);

Q_SIGNALS:
    void ButtonClick(const QString &key);
};
