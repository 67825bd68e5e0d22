#include "platform/ftp/datachannel.h"

#include <Poco/Exception.h>
#include <Poco/Net/ServerSocket.h>

#include <QRegularExpression>

#include <memory>

namespace ftp {
namespace {

using Poco::Net::IPAddress;
using Poco::Net::ServerSocket;
using Poco::Net::SocketAddress;
using Poco::Net::StreamSocket;

constexpr int kBlock = 256 * 1024;

Poco::Timespan span(qint64 ms)
{
    return Poco::Timespan(Poco::Timespan::TimeDiff(std::max<qint64>(ms, 1)) * 1000);
}

std::optional<Reply> ask(ControlChannel &control, const QByteArray &line, int timeoutMs)
{
    if (!control.send(line, timeoutMs))
        return std::nullopt;
    return control.readReply(timeoutMs);
}

// The port the server listens on for this transfer: EPSV, else PASV. 0 when
// neither worked.
int passiveListenPort(ControlChannel &control, DataMode &mode, int timeoutMs)
{
    if (mode.epsv) {
        const std::optional<Reply> reply = ask(control, "EPSV", timeoutMs);
        if (!reply)
            return 0;
        if (reply->code == 229)
            return extendedPassivePort(reply->text);
        mode.epsv = false;
    }
    const std::optional<Reply> reply = ask(control, "PASV", timeoutMs);
    return reply && reply->code == 227 ? passivePort(reply->text) : 0;
}

std::optional<StreamSocket> openPassive(ControlChannel &control, DataMode &mode,
                                        const QByteArray &command, int timeoutMs,
                                        std::optional<Reply> &reply)
{
    const int port = passiveListenPort(control, mode, timeoutMs);
    if (port <= 0 || port > 65535)
        return std::nullopt;
    StreamSocket data;
    data.connect(SocketAddress(control.peerAddress().host(), Poco::UInt16(port)), span(timeoutMs));
    reply = ask(control, command, timeoutMs);
    if (!reply || reply->kind() != 1)
        return std::nullopt;
    return data;
}

bool announceListener(ControlChannel &control, DataMode &mode, const SocketAddress &address,
                      int timeoutMs)
{
    const IPAddress host = address.host();
    const QByteArray port = QByteArray::number(address.port());
    if (mode.eprt) {
        const QByteArray family = host.family() == IPAddress::IPv6 ? "2" : "1";
        const QByteArray line =
            "EPRT |" + family + "|" + QByteArray::fromStdString(host.toString()) + "|" + port + "|";
        const std::optional<Reply> reply = ask(control, line, timeoutMs);
        if (!reply)
            return false;
        if (reply->positive())
            return true;
        mode.eprt = false;
    }
    if (host.family() != IPAddress::IPv4)
        return false;
    QByteArray numbers = QByteArray::fromStdString(host.toString()).replace('.', ',');
    numbers += "," + QByteArray::number(address.port() / 256) + "," +
               QByteArray::number(address.port() % 256);
    const std::optional<Reply> reply = ask(control, "PORT " + numbers, timeoutMs);
    return reply && reply->positive();
}

std::optional<StreamSocket> acceptServer(ControlChannel &control, ServerSocket &listener,
                                         int timeoutMs)
{
    const qint64 deadline = monotonicMs() + timeoutMs;
    while (listener.poll(span(deadline - monotonicMs()), Poco::Net::Socket::SELECT_READ)) {
        SocketAddress from;
        StreamSocket data = listener.acceptConnection(from);
        if (from.host() == control.peerAddress().host())
            return data;
        data.close(); // not the server: wait on for the real one
        if (monotonicMs() >= deadline)
            break;
    }
    return std::nullopt;
}

std::optional<StreamSocket> openActive(ControlChannel &control, DataMode &mode,
                                       const QByteArray &command, int timeoutMs,
                                       std::optional<Reply> &reply)
{
    if (!mode.listener)
        mode.listener.emplace(SocketAddress(control.localAddress().host(), 0), 1);
    std::optional<StreamSocket> data;
    if (announceListener(control, mode, mode.listener->address(), timeoutMs)) {
        reply = ask(control, command, timeoutMs);
        if (reply && reply->kind() == 1)
            data = acceptServer(control, *mode.listener, timeoutMs);
    }
    if (!data)
        mode.listener.reset();
    return data;
}

} // namespace

int extendedPassivePort(const QByteArray &text)
{
    const qsizetype open = text.indexOf('(');
    if (open < 0 || open + 5 > text.size())
        return 0;
    const char d = text[open + 1];
    if (text[open + 2] != d || text[open + 3] != d)
        return 0;
    const qsizetype end = text.indexOf(d, open + 4);
    if (end < 0)
        return 0;
    bool ok = false;
    const int port = text.mid(open + 4, end - open - 4).toInt(&ok);
    return ok ? port : 0;
}

int passivePort(const QByteArray &text)
{
    static const QRegularExpression six(
        QStringLiteral("(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3}),(\\d{1,3})"));
    const QRegularExpressionMatch match = six.match(QString::fromLatin1(text.mid(4)));
    if (!match.hasMatch())
        return 0;
    const int high = match.captured(5).toInt();
    const int low = match.captured(6).toInt();
    if (high > 255 || low > 255)
        return 0;
    return high * 256 + low;
}

std::optional<StreamSocket> openDataConnection(ControlChannel &control, DataMode &mode,
                                               const QByteArray &command, int timeoutMs,
                                               std::optional<Reply> &reply)
{
    reply.reset();
    try {
        if (mode.passive)
            return openPassive(control, mode, command, timeoutMs, reply);
        return openActive(control, mode, command, timeoutMs, reply);
    } catch (const Poco::Exception &) {
        mode.listener.reset();
        return std::nullopt;
    }
}

void closeReceived(StreamSocket &data)
{
    try {
        data.setLinger(true, 0);
    } catch (const Poco::Exception &) {
    }
    try {
        data.close();
    } catch (const Poco::Exception &) {
    }
}

DataEnd receiveAll(StreamSocket &data, int timeoutMs,
                   const std::function<bool(const char *, int)> &sink,
                   const std::function<bool()> &idle)
{
    // With an idle function the wait for data is cut into short slices, so
    // that it runs while a slow server sends nothing; the timeout still
    // counts from the last data that came.
    constexpr int kSliceMs = 50;
    // One block for every transfer of the thread, neither freed nor zeroed
    // per file; a transfer started while another one of the thread yields
    // takes its own.
    thread_local const std::unique_ptr<char[]> shared(new char[kBlock]);
    thread_local bool sharedInUse = false;
    std::unique_ptr<char[]> own;
    if (sharedInUse)
        own.reset(new char[kBlock]);
    char *const buffer = own ? own.get() : shared.get();
    struct Hold {
        bool &flag;
        bool held;
        ~Hold()
        {
            if (held)
                flag = false;
        }
    } hold{sharedInUse, !own};
    sharedInUse = true;
    try {
        qint64 deadline = monotonicMs() + timeoutMs;
        for (;;) {
            const qint64 left = deadline - monotonicMs();
            if (left <= 0)
                return DataEnd::TimedOut;
            if (!data.poll(span(idle ? std::min<qint64>(left, kSliceMs) : left),
                           Poco::Net::Socket::SELECT_READ)) {
                if (!idle)
                    return DataEnd::TimedOut;
                if (!idle())
                    return DataEnd::Failed;
                continue;
            }
            const int n = data.receiveBytes(buffer, kBlock);
            if (n == 0)
                return DataEnd::Complete;
            if (n < 0 || !sink(buffer, n))
                return DataEnd::Failed;
            deadline = monotonicMs() + timeoutMs;
        }
    } catch (const Poco::TimeoutException &) {
        return DataEnd::TimedOut;
    } catch (const Poco::Exception &) {
        return DataEnd::Failed;
    }
}

DataEnd sendAll(StreamSocket &data, const char *bytes, std::size_t length, int timeoutMs)
{
    try {
        data.setSendTimeout(span(timeoutMs));
        std::size_t sent = 0;
        while (sent < length) {
            const int chunk = int(std::min<std::size_t>(length - sent, 1 << 30));
            const int n = data.sendBytes(bytes + sent, chunk);
            if (n <= 0)
                return DataEnd::Failed;
            sent += std::size_t(n);
        }
        return DataEnd::Complete;
    } catch (const Poco::TimeoutException &) {
        return DataEnd::TimedOut;
    } catch (const Poco::Exception &) {
        return DataEnd::Failed;
    }
}

} // namespace ftp
