#pragma once
// Places stand where the design has drives: the user's home folder, the root
// "/", then every mounted volume a user would browse, in this order. A place
// is ready when it can be listed. The drive list is a combo box of them.

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace Places {

// The mount points of volumes a user would browse, in the order of the
// mount table given as the text of /proc/self/mountinfo: real file systems
// only (no proc, sys, tmpfs, overlay and the like), no bind mounts of a
// sub-tree, none of the system's own mount points, and neither "/" nor home.
QStringList volumesFromMountInfo(const QByteArray &mountInfo, const QString &home);
// Home, "/" and the volumes of the running system.
QStringList list();
// The place can be listed.
bool isReady(const QString &place);
// A place's path ending in "/": the key of its root in the folder tree.
QString rootOf(const QString &place);

} // namespace Places

// The drive list: one entry per place, its text the place's path.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // The place shown.
    QString Drive() const;
    // Shows this place; false (and the shown place kept) when it is not in
    // the list or not ready.
    bool setDrive(const QString &place);
    // Re-reads the places, keeping the shown one when it is still there.
    void Refresh();
    // Replaces the places (the list's own reading of the system by default).
    void setPlaces(const QStringList &places);

Q_SIGNALS:
    // The user picked a place; Drive() names it, ready or not.
    void Change();
};
