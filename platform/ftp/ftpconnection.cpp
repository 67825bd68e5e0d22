#include "platform/ftp/ftpconnection.h"

#include "platform/ftp/downloadfile.h"
#include "platform/ftp/ftpupload.h"
#include "platform/ftp/listparser.h"
#include "platform/ftp/mlsdparser.h"
#include "platform/pure/bytename.h"

#include <Poco/Exception.h>

#include <QSet>

#include <algorithm>
#include <sys/stat.h>

namespace ftp {
namespace {

// A listing larger than this is no listing a person could use; it is
// refused rather than allowed to eat the memory.
constexpr qsizetype kMaxListing = 64 * 1024 * 1024;
// The whole listing must arrive within this many timeouts. The data timeout
// counts from the last block that came, so a server sending a line now and
// then would otherwise hold the caller, which waits without yielding, for
// as long as it likes.
constexpr int kListingTimeouts = 4;
// Sending QUIT never blocks closing for longer than this.
constexpr int kQuitWaitMs = 1000;

// The folder of a 257 reply: the text between the first quote and the
// closing one, with "" standing for one quote. No closing quote: nothing.
std::optional<QByteArray> quotedPath(const QByteArray &text)
{
    qsizetype i = text.indexOf('"');
    if (i < 0)
        return std::nullopt;
    QByteArray path;
    for (++i; i < text.size(); ++i) {
        if (text[i] == '\n')
            return std::nullopt;
        if (text[i] != '"') {
            path += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            path += '"';
            ++i;
        } else {
            return path;
        }
    }
    return std::nullopt;
}

std::function<bool()> &receiveHook()
{
    static std::function<bool()> hook;
    return hook;
}

} // namespace

void setReceiveHook(std::function<bool()> hook)
{
    receiveHook() = std::move(hook);
}

bool FtpConnection::open(const QString &host, int port, const QString &user,
                         const QString &password, bool passive)
{
    if (holdsLineBreakOrNul(host) || holdsLineBreakOrNul(user) || holdsLineBreakOrNul(password))
        return false;
    if (host.trimmed().isEmpty() || user.isEmpty() || port < 0 || port > 65535)
        return false;
    m_dataMode.passive = passive;
    try {
        const Poco::Net::SocketAddress address(host.trimmed().toStdString(),
                                               Poco::UInt16(port == 0 ? 21 : port));
        if (!m_control.connect(address, timeoutMs()))
            return false;
    } catch (const Poco::Exception &) {
        return false; // the host cannot be resolved
    }
    if (!login(user, password)) {
        m_control.close();
        return false;
    }
    readFeatures();
    return m_control.isOpen();
}

bool FtpConnection::login(const QString &user, const QString &password)
{
    std::optional<Reply> reply = m_control.readReply(timeoutMs());
    if (reply && reply->code == 120)
        reply = m_control.readReply(timeoutMs());
    if (!reply || reply->code != 220)
        return false;
    reply = command("USER " + user.toUtf8());
    if (reply && reply->code == 331)
        reply = command("PASS " + password.toUtf8());
    return reply && (reply->code == 230 || reply->code == 202);
}

void FtpConnection::readFeatures()
{
    const std::optional<Reply> reply = command("FEAT");
    if (!reply || reply->code != 211)
        return;
    bool utf8 = false;
    for (const QByteArray &line : reply->text.split('\n')) {
        const QByteArray feature = line.trimmed().toUpper();
        if (feature == "UTF8")
            utf8 = true;
        else if (feature.startsWith("MLST"))
            m_mlst = true;
    }
    if (utf8) {
        // Some servers use UTF-8 only after OPTS; others (pyftpdlib) refuse
        // the command and use UTF-8 anyway. Either way FEAT said UTF8.
        command("OPTS UTF8 ON");
        m_encoding = NameEncoding::Utf8;
    }
}

std::optional<Reply> FtpConnection::command(const QByteArray &line)
{
    if (!ready() || !m_control.send(line, timeoutMs()))
        return std::nullopt;
    return m_control.readReply(timeoutMs());
}

std::optional<Reply> FtpConnection::commandWithName(const QByteArray &verb, const QString &name)
{
    // A command without its name means something else to many servers
    // ("CWD" alone goes to the home folder): an empty name fails here.
    if (name.isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> bytes = encodeName(name, m_encoding);
    if (!bytes)
        return std::nullopt;
    return command(verb + ' ' + *bytes);
}

bool FtpConnection::changeDirectory(const QString &directory)
{
    const std::optional<Reply> reply = commandWithName("CWD", directory);
    return reply && reply->positive();
}

bool FtpConnection::changeDirectories(const QStringList &directories)
{
    // Every name is checked before anything is sent.
    QByteArray lines;
    for (const QString &directory : directories) {
        const std::optional<QByteArray> bytes =
            directory.isEmpty() ? std::nullopt : encodeName(directory, m_encoding);
        if (!bytes)
            return false;
        lines += (lines.isEmpty() ? "CWD " : "\r\nCWD ") + *bytes;
    }
    if (lines.isEmpty() || !ready() || !m_control.send(lines, timeoutMs()))
        return false;
    // One reply per command, all of them, so the next command reads its own.
    bool all = true;
    for (qsizetype i = 0; i < directories.size(); ++i) {
        const std::optional<Reply> reply = m_control.readReply(timeoutMs());
        if (!reply)
            return false; // the channel is closed: nothing can follow
        all = all && reply->positive();
    }
    return all;
}

std::optional<QString> FtpConnection::currentDirectory()
{
    const std::optional<Reply> reply = command("PWD");
    if (!reply || reply->code != 257)
        return std::nullopt;
    const std::optional<QByteArray> path = quotedPath(reply->text.mid(4));
    if (!path)
        return std::nullopt;
    return decodeName(*path, m_encoding);
}

bool FtpConnection::createDirectory(const QString &directory)
{
    const std::optional<Reply> reply = commandWithName("MKD", directory);
    return reply && reply->positive();
}

bool FtpConnection::removeDirectory(const QString &directory)
{
    const std::optional<Reply> reply = commandWithName("RMD", directory);
    return reply && reply->positive();
}

bool FtpConnection::deleteFile(const QString &file)
{
    const std::optional<Reply> reply = commandWithName("DELE", file);
    return reply && reply->positive();
}

bool FtpConnection::rename(const QString &existing, const QString &newName)
{
    // Both names are checked before RNFR, so a bad new name sends nothing.
    if (!encodeName(existing, m_encoding) || !encodeName(newName, m_encoding))
        return false;
    std::optional<Reply> reply = commandWithName("RNFR", existing);
    if (!reply || reply->code != 350)
        return false;
    reply = commandWithName("RNTO", newName);
    return reply && reply->positive();
}

bool FtpConnection::setType(char type)
{
    if (m_type == type)
        return true;
    const std::optional<Reply> reply = command(QByteArray("TYPE ") + type);
    if (!reply || !reply->positive())
        return false;
    m_type = type;
    return true;
}

bool FtpConnection::finishTransfer(DataEnd end)
{
    if (end == DataEnd::TimedOut) {
        m_control.close();
        return false;
    }
    const std::optional<Reply> reply = m_control.readReply(timeoutMs());
    return end == DataEnd::Complete && reply && reply->positive();
}

std::optional<QByteArray> FtpConnection::fetch(const QByteArray &line, std::optional<Reply> &reply)
{
    if (!ready() || !setType('A'))
        return std::nullopt;
    std::optional<Poco::Net::StreamSocket> data =
        openDataConnection(m_control, m_dataMode, line, timeoutMs(), reply);
    if (!data)
        return std::nullopt;
    QByteArray bytes;
    const qint64 deadline = monotonicMs() + qint64(kListingTimeouts) * timeoutMs();
    bool late = false;
    DataEnd end = receiveAll(*data, timeoutMs(), [&](const char *block, int n) {
        bytes.append(block, n);
        late = monotonicMs() > deadline;
        return bytes.size() <= kMaxListing && !late;
    });
    closeReceived(*data);
    if (late)
        end = DataEnd::TimedOut; // the server is still sending: no final reply to wait for
    if (!finishTransfer(end))
        return std::nullopt;
    return bytes;
}

// Links among the folders of an MLSD listing become files, as LIST shows
// them; false when LIST fails.
bool FtpConnection::markLinks(const QByteArray &argument, std::vector<ListEntry> &entries)
{
    const bool folders = std::any_of(entries.begin(), entries.end(), [](const ListEntry &e) {
        return (e.attributes & kAttrDirectory) != 0;
    });
    if (!folders)
        return true;
    std::optional<Reply> reply;
    const std::optional<QByteArray> data = fetch("LIST" + argument, reply);
    if (!data)
        return false;
    QSet<QByteArray> links;
    for (const ListEntry &e : parseListing(*data, QDateTime::currentDateTimeUtc()))
        if (e.link)
            links.insert(e.name);
    for (ListEntry &e : entries) {
        if (links.contains(e.name)) {
            e.link = true;
            e.attributes = kAttrNormal;
        }
    }
    return true;
}

std::optional<std::vector<ListEntry>> FtpConnection::list(const QString &path, bool linksAsFiles)
{
    QByteArray argument;
    if (!path.isEmpty()) {
        const std::optional<QByteArray> bytes = encodeName(path, m_encoding);
        if (!bytes)
            return std::nullopt;
        argument = ' ' + *bytes;
    }
    std::optional<Reply> reply;
    if (m_mlst) {
        if (const std::optional<QByteArray> data = fetch("MLSD" + argument, reply)) {
            std::vector<ListEntry> entries = parseMlsd(*data);
            if (linksAsFiles && !markLinks(argument, entries))
                return std::nullopt;
            return entries;
        }
        // Some servers announce MLST but do not know MLSD: LIST then.
        if (!reply || (reply->code != 500 && reply->code != 502))
            return std::nullopt;
    }
    if (const std::optional<QByteArray> data = fetch("LIST" + argument, reply))
        return parseListing(*data, QDateTime::currentDateTimeUtc());
    return std::nullopt;
}

bool FtpConnection::retrieve(const QString &remoteFile, const QString &localPath, bool failIfExists)
{
    const std::optional<QByteArray> name = encodeName(remoteFile, m_encoding);
    if (!name || !ready() || localPath.isEmpty())
        return false;
    struct stat st {};
    if (failIfExists && ::stat(ByteName::toBytes(localPath).constData(), &st) == 0)
        return false;
    DownloadFile file(localPath);
    if (!file.open() || !setType('I'))
        return false;
    std::optional<Reply> reply;
    std::optional<Poco::Net::StreamSocket> data =
        openDataConnection(m_control, m_dataMode, "RETR " + *name, timeoutMs(), reply);
    if (!data)
        return false;
    // A hook that yields to the window may run other code meanwhile; the
    // connection is mid-transfer and takes no other command until it ends.
    m_busy = true;
    const std::function<bool()> hook = receiveHook();
    const DataEnd end = receiveAll(
        *data, timeoutMs(),
        [&](const char *block, int n) { return file.write(block, n) && (!hook || hook()); }, hook);
    closeReceived(*data);
    m_busy = false;
    return finishTransfer(end) && file.commit();
}

std::shared_ptr<FtpUpload> FtpConnection::store(const QString &remoteFile, bool ascii)
{
    const std::optional<QByteArray> name = encodeName(remoteFile, m_encoding);
    if (!name || !ready() || !setType(ascii ? 'A' : 'I'))
        return nullptr;
    std::optional<Reply> reply;
    std::optional<Poco::Net::StreamSocket> data =
        openDataConnection(m_control, m_dataMode, "STOR " + *name, timeoutMs(), reply);
    if (!data)
        return nullptr;
    m_busy = true;
    return std::make_shared<FtpUpload>(shared_from_this(), std::move(*data), ascii);
}

bool FtpConnection::finishUpload(DataEnd end)
{
    m_busy = false;
    return finishTransfer(end);
}

void FtpConnection::abandonUpload()
{
    m_busy = false;
    m_control.close();
}

void FtpConnection::quit()
{
    // QUIT is a courtesy: the server reads it before it sees the close, and
    // nothing here depends on its 221, so closing does not wait for it.
    if (ready())
        m_control.send("QUIT", std::min(kQuitWaitMs, timeoutMs()));
    m_control.close();
}

} // namespace ftp
