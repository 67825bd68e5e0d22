#include "platform/places.h"

#include "platform/icons.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <dirent.h>

namespace Places {

namespace {

// Kernel and helper file systems that hold nothing a user browses.
bool isPseudoFileSystem(const QString &type)
{
    static const QSet<QString> pseudo{
        QStringLiteral("proc"),
        QStringLiteral("sysfs"),
        QStringLiteral("tmpfs"),
        QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),
        QStringLiteral("overlay"),
        QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),
        QStringLiteral("mqueue"),
        QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),
        QStringLiteral("securityfs"),
        QStringLiteral("pstore"),
        QStringLiteral("bpf"),
        QStringLiteral("autofs"),
        QStringLiteral("fusectl"),
        QStringLiteral("configfs"),
        QStringLiteral("hugetlbfs"),
        QStringLiteral("binfmt_misc"),
        QStringLiteral("efivarfs"),
        QStringLiteral("nsfs"),
        QStringLiteral("ramfs"),
        QStringLiteral("rpc_pipefs"),
        QStringLiteral("nfsd"),
        QStringLiteral("selinuxfs"),
        QStringLiteral("squashfs"),
        QStringLiteral("devfs"),
        QStringLiteral("rootfs"),
        QStringLiteral("aufs"),
        QStringLiteral("shm"),
        QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"),
        QStringLiteral("fuse.lxcfs"),
        QStringLiteral("fuse.snapfuse"),
        QStringLiteral("zram"),
    };
    return pseudo.contains(type);
}

// Mount points that belong to the system rather than to a volume of the user.
bool isSystemMountPoint(const QString &path)
{
    if (path.startsWith(QLatin1String("/media/")) || path.startsWith(QLatin1String("/run/media/")))
        return false;
    static const char *const system[] = {
        "/boot", "/efi", "/usr",  "/var", "/etc",   "/proc",  "/sys",    "/dev", "/run", "/tmp",
        "/snap", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/opt", "/srv", "/root"};
    for (const char *s : system) {
        const QLatin1String prefix(s);
        if (path == prefix || path.startsWith(prefix + QLatin1Char('/')))
            return true;
    }
    return path == QLatin1String("/home");
}

// The octal escapes (\040 for a blank and so on) of a mount table field.
QString unescapeField(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3') {
            bool ok = false;
            const int c = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(c));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QFile::decodeName(out);
}

} // namespace

QStringList volumesFromMountInfo(const QByteArray &mountInfo, const QString &home)
{
    QStringList volumes;
    for (const QByteArray &line : mountInfo.split('\n')) {
        // id parent major:minor root mount-point options [optional...] - type source ...
        const QList<QByteArray> f = line.split(' ');
        const int dash = f.indexOf(QByteArray("-"));
        if (f.size() < 5 || dash < 6 || dash + 1 >= f.size())
            continue;
        const QString root = unescapeField(f[3]);
        const QString point = unescapeField(f[4]);
        const QString type = QString::fromLatin1(f[dash + 1]);
        if (root != QLatin1String("/") || isPseudoFileSystem(type) || isSystemMountPoint(point))
            continue;
        if (point == QLatin1String("/") || point == home || !point.startsWith(QLatin1Char('/')))
            continue;
        volumes.removeAll(point); // a later mount on the same point hides the earlier one
        volumes.append(point);
    }
    return volumes;
}

QStringList list()
{
    const QString home = QDir::homePath();
    QStringList places{home};
    if (home != QLatin1String("/"))
        places.append(QStringLiteral("/"));
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (table.open(QIODevice::ReadOnly))
        places += volumesFromMountInfo(table.readAll(), home);
    return places;
}

bool isReady(const QString &place)
{
    if (place.isEmpty())
        return false;
    DIR *d = ::opendir(QFile::encodeName(place).constData());
    if (!d)
        return false;
    ::closedir(d);
    return true;
}

QString rootOf(const QString &place)
{
    return place.endsWith(QLatin1Char('/')) ? place : place + QLatin1Char('/');
}

} // namespace Places

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, [this] { Q_EMIT Change(); });
    Refresh();
}

QString DriveListBox::Drive() const
{
    return currentText();
}

bool DriveListBox::setDrive(const QString &place)
{
    const int index = findText(place, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 || !Places::isReady(place))
        return false;
    setCurrentIndex(index);
    return true;
}

void DriveListBox::Refresh()
{
    setPlaces(Places::list());
}

void DriveListBox::setPlaces(const QStringList &places)
{
    const QString shown = Drive();
    const QString home = QDir::homePath();
    clear();
    for (const QString &p : places) {
        const char *icon = p == home                 ? "user-home"
                           : p == QLatin1String("/") ? "drive-harddisk"
                                                     : "drive-removable-media";
        addItem(Icons::themed(QLatin1String(icon), {QStringLiteral("folder")}), p);
    }
    const int index = findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(index >= 0 ? index : 0);
}
