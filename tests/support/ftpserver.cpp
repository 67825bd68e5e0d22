#include "tests/support/ftpserver.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <arpa/inet.h>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

constexpr int kFirstPort = 10000;
constexpr int kLastPort = 32767;
constexpr int kStartAttempts = 8;
constexpr int kReadyTimeoutMs = 10000;

QString serversDir()
{
    return QStringLiteral(QFTP_TEST_SOURCE_DIR "/support/servers");
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool portIsFree(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = loopback(port);
    const bool free = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return free;
}

// Whether the server on `port` greets with `banner`: the greeting tells this
// fixture's server from another test's that took the same port meanwhile.
bool greets(int port, const QByteArray &banner)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = loopback(port);
    QByteArray received;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
        pollfd wait{fd, POLLIN, 0};
        char buffer[512];
        while (!received.contains('\n') && ::poll(&wait, 1, 1000) == 1) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            received.append(buffer, n);
        }
    }
    ::close(fd);
    return received.startsWith("220") && received.contains(banner);
}

// Every process below `root`, found through the parent ids in /proc.
std::vector<pid_t> descendants(pid_t root)
{
    std::vector<std::pair<pid_t, pid_t>> links; // pid, parent
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        bool ok = false;
        const pid_t pid = it.fileName().toInt(&ok);
        if (!ok)
            continue;
        QFile stat(it.filePath() + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 1)
            links.emplace_back(pid, pid_t(fields[1].toInt()));
    }
    std::vector<pid_t> found{root};
    for (std::size_t i = 0; i < found.size(); ++i)
        for (const auto &[pid, parent] : links)
            if (parent == found[i])
                found.push_back(pid);
    found.erase(found.begin());
    return found;
}

QByteArray fillIn(QByteArray text, const QList<std::pair<QByteArray, QString>> &values)
{
    for (const auto &[key, value] : values)
        text.replace("@" + key + "@", value.toUtf8());
    return text;
}

// Removes a folder with everything in it, by the bytes of the names: a test
// may leave names that are no valid UTF-8 (a Latin-1 server name), which
// QDir cannot remove.
void removeTree(const QByteArray &path)
{
    if (DIR *dir = ::opendir(path.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray child = path + '/' + name;
            struct stat info {};
            if (::lstat(child.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                removeTree(child);
            else
                ::unlink(child.constData());
        }
        ::closedir(dir);
    }
    ::rmdir(path.constData());
}

} // namespace

FtpTestServer::FtpTestServer(Kind kind) : FtpTestServer(kind, Hostile()) {}

FtpTestServer::FtpTestServer(Kind kind, Hostile hostile)
    : m_kind(kind), m_hostile(std::move(hostile))
{
}

FtpTestServer::~FtpTestServer()
{
    stop();
    if (m_dir)
        removeTree(QFile::encodeName(m_dir->path()));
}

QString FtpTestServer::kindName(Kind kind)
{
    return kind == Kind::Pyftpdlib ? QStringLiteral("pyftpdlib") : QStringLiteral("vsftpd");
}

QString FtpTestServer::user() const
{
    return m_kind == Kind::Pyftpdlib ? QStringLiteral("tester") : QStringLiteral("anonymous");
}

QString FtpTestServer::password() const
{
    return m_kind == Kind::Pyftpdlib ? QStringLiteral("s3cret pass") : QStringLiteral("test@");
}

QString FtpTestServer::rootPath() const
{
    return m_dir ? m_dir->filePath(QStringLiteral("root")) : QString();
}

QString FtpTestServer::workFolder() const
{
    return m_kind == Kind::Pyftpdlib ? QStringLiteral("/") : QStringLiteral("/files");
}

QString FtpTestServer::localPath(const QString &serverPath) const
{
    return QDir::cleanPath(rootPath() + QLatin1Char('/') + serverPath);
}

QByteArray FtpTestServer::log() const
{
    QFile file(m_logFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool FtpTestServer::receivedCommand(const QByteArray &command) const
{
    const QByteArray text = log();
    // pyftpdlib logs "<- CMD arg", vsftpd 'FTP command: Client "ip", "CMD arg"'.
    return text.contains("<- " + command) || text.contains(", \"" + command);
}

bool FtpTestServer::start()
{
    if (m_pid != 0)
        return true;
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString root = rootPath();
    QDir().mkpath(root);
    if (m_kind == Kind::Vsftpd) {
        QDir().mkpath(root + QStringLiteral("/files"));
        QDir().mkpath(m_dir->filePath(QStringLiteral("empty")));
        // The anonymous user must not write the root but may write /files.
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther);
        ::chmod(QFile::encodeName(root + QStringLiteral("/files")).constData(), 0777);
    }
    m_logFile = m_dir->filePath(QStringLiteral("server.log"));
    m_banner = "test server " + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        const int port = int(QRandomGenerator::global()->bounded(kFirstPort, kLastPort + 1));
        if (!portIsFree(port))
            continue;
        if (launch(port) && waitUntilListening(port)) {
            m_port = port;
            m_error.clear();
            return true;
        }
        stop();
    }
    if (m_error.isEmpty())
        m_error = QStringLiteral("the %1 server did not start").arg(kindName(m_kind));
    return false;
}

QString FtpTestServer::writeLines(const QString &name, const QList<QByteArray> &lines)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        for (const QByteArray &line : lines)
            file.write(line + "\n");
    return path;
}

QStringList FtpTestServer::pyftpdlibArguments(int port)
{
    QStringList args = {QStringLiteral("/usr/bin/python3"),
                        serversDir() + QStringLiteral("/pyftpd_server.py"),
                        QStringLiteral("--port"),
                        QString::number(port),
                        QStringLiteral("--root"),
                        rootPath(),
                        QStringLiteral("--user"),
                        user(),
                        QStringLiteral("--password"),
                        password(),
                        QStringLiteral("--log"),
                        m_logFile,
                        QStringLiteral("--banner"),
                        QString::fromLatin1(m_banner)};
    const Hostile &h = m_hostile;
    if (!h.listLines.isEmpty())
        args << QStringLiteral("--listing") << writeLines(QStringLiteral("list.txt"), h.listLines);
    if (!h.mlsdLines.isEmpty())
        args << QStringLiteral("--mlsd") << writeLines(QStringLiteral("mlsd.txt"), h.mlsdLines);
    const std::pair<const char *, QByteArray> replies[] = {
        {"--huge-reply", h.hugeReplyTo},
        {"--garbage-reply", h.garbageReplyTo},
        {"--endless-reply", h.endlessReplyTo},
        {"--pasv-address", h.pasvAddress},
        {"--login-folder", h.loginFolder},
        {"--active-from", h.activeFrom},
        {"--extra-reply-after", h.extraReplyAfter},
        {"--extra-reply", h.extraReply}};
    for (const auto &[option, value] : replies)
        if (!value.isEmpty())
            args << QString::fromLatin1(option) << QString::fromLatin1(value);
    if (h.endlessListingPauseMs >= 0)
        args << QStringLiteral("--endless-listing") << QString::number(h.endlessListingPauseMs);
    if (h.pwdWithoutQuote)
        args << QStringLiteral("--pwd-without-quote");
    if (h.noEpsv)
        args << QStringLiteral("--no-epsv");
    if (h.noEprt)
        args << QStringLiteral("--no-eprt");
    if (h.maxFileBytes > 0)
        args << QStringLiteral("--max-file-bytes") << QString::number(h.maxFileBytes);
    if (h.throttleBytesPerSecond > 0)
        args << QStringLiteral("--throttle") << QString::number(h.throttleBytesPerSecond);
    if (!h.permissions.isEmpty())
        args << QStringLiteral("--perm") << QString::fromLatin1(h.permissions);
    if (!h.refuseListingOf.isEmpty())
        args << QStringLiteral("--refuse-listing") << QString::fromLatin1(h.refuseListingOf);
    if (h.rawNames)
        args << QStringLiteral("--raw-names");
    if (h.resolvedPwd)
        args << QStringLiteral("--resolved-pwd");
    return args;
}

QStringList FtpTestServer::vsftpdArguments(int port)
{
    QFile in(serversDir() + QStringLiteral("/vsftpd.conf.in"));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray config =
        fillIn(in.readAll(), {{"PORT", QString::number(port)},
                              {"ROOT", rootPath()},
                              {"EMPTY", m_dir->filePath(QStringLiteral("empty"))},
                              {"LOG", m_logFile},
                              {"BANNER", QString::fromLatin1(m_banner)}});
    const QString path = m_dir->filePath(QStringLiteral("vsftpd.conf"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(config) < 0)
        return {};
    out.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return {QStringLiteral("/usr/sbin/vsftpd"), path};
}

bool FtpTestServer::launch(int port)
{
    const QStringList args =
        m_kind == Kind::Pyftpdlib ? pyftpdlibArguments(port) : vsftpdArguments(port);
    if (args.isEmpty() || !QFile::exists(args.first())) {
        m_error = QStringLiteral("%1 is not installed").arg(args.value(0, kindName(m_kind)));
        return false;
    }
    // Everything the child needs is prepared before fork(): after it only
    // async-signal-safe calls are allowed in the child.
    std::vector<std::string> strings;
    for (const QString &arg : args)
        strings.push_back(arg.toStdString());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const std::string output = m_dir->filePath(QStringLiteral("server.out")).toStdString();
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const long maxFd = std::min(::sysconf(_SC_OPEN_MAX), 4096L);
    std::lock_guard lock(m_mutex);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // no stray server if the test dies
        ::dup2(out, 1);
        ::dup2(out, 2);
        const int none = ::open("/dev/null", O_RDONLY);
        ::dup2(none, 0);
        // The test's own sockets must not live on in the server.
        for (long fd = 3; fd < maxFd; ++fd)
            ::close(int(fd));
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (out >= 0)
        ::close(out);
    if (pid < 0) {
        m_error = QStringLiteral("fork failed");
        return false;
    }
    m_pid = pid;
    return true;
}

bool FtpTestServer::waitUntilListening(int port)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kReadyTimeoutMs) {
        if (!isRunning()) {
            QFile out(m_dir->filePath(QStringLiteral("server.out")));
            out.open(QIODevice::ReadOnly);
            m_error = QStringLiteral("%1 exited: %2")
                          .arg(kindName(m_kind), QString::fromUtf8(out.readAll().right(2000)));
            return false;
        }
        if (greets(port, m_banner))
            return isRunning();
        ::poll(nullptr, 0, 20);
    }
    m_error = QStringLiteral("%1 did not listen on port %2").arg(kindName(m_kind)).arg(port);
    return false;
}

void FtpTestServer::signalAll(int signal) const
{
    if (m_pid == 0)
        return;
    const std::vector<pid_t> children = descendants(m_pid);
    ::kill(-m_pid, signal);
    ::kill(m_pid, signal);
    for (pid_t child : children)
        ::kill(child, signal);
}

void FtpTestServer::stop()
{
    std::lock_guard lock(m_mutex);
    if (m_pid == 0)
        return;
    signalAll(SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = 0;
}

bool FtpTestServer::restart()
{
    stop();
    return m_port != 0 && launch(m_port) && waitUntilListening(m_port);
}

int FtpTestServer::loginCount() const
{
    const QByteArray text = log();
    return int(text.count("<- USER ") + text.count(", \"USER "));
}

void FtpTestServer::freeze()
{
    std::lock_guard lock(m_mutex);
    signalAll(SIGSTOP);
}

void FtpTestServer::resume()
{
    std::lock_guard lock(m_mutex);
    signalAll(SIGCONT);
}

bool FtpTestServer::isRunning() const
{
    std::lock_guard lock(m_mutex);
    if (m_pid == 0)
        return false;
    int status = 0;
    const pid_t result = ::waitpid(m_pid, &status, WNOHANG);
    if (result == m_pid) {
        m_pid = 0;
        return false;
    }
    return true;
}
