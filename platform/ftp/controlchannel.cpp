#include "platform/ftp/controlchannel.h"

#include <Poco/Exception.h>
#include <Poco/Timespan.h>

#include <QElapsedTimer>
#include <QMutex>

#include <algorithm>
#include <atomic>

namespace ftp {
namespace {

QMutex responseMutex;
QByteArray responseText;
std::atomic<int> layerTimeout{30000};

Poco::Timespan span(qint64 ms)
{
    return Poco::Timespan(Poco::Timespan::TimeDiff(std::max<qint64>(ms, 1)) * 1000);
}

// "123 text" or "123-text" (or a bare "123"); anything else is no reply.
bool replyStart(const QByteArray &line, int &code, bool &more)
{
    if (line.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (line[i] < '0' || line[i] > '9')
            return false;
    if (line[0] < '1' || line[0] > '5')
        return false;
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-')
        return false;
    code = line.left(3).toInt();
    more = line.size() > 3 && line[3] == '-';
    return true;
}

} // namespace

int timeoutMs()
{
    return layerTimeout.load();
}

void setTimeoutMs(int milliseconds)
{
    layerTimeout.store(std::max(milliseconds, 1));
}

qint64 monotonicMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

void recordResponse(const QByteArray &text)
{
    QMutexLocker lock(&responseMutex);
    responseText = text;
}

QString lastResponse()
{
    QMutexLocker lock(&responseMutex);
    return QString::fromUtf8(responseText);
}

bool ControlChannel::connect(const Poco::Net::SocketAddress &address, int timeoutMs)
{
    try {
        m_socket.connect(address, span(timeoutMs));
        m_socket.setNoDelay(true);
        m_peer = m_socket.peerAddress();
        m_local = m_socket.address();
        m_open = true;
    } catch (const Poco::Exception &) {
        close();
    }
    return m_open;
}

void ControlChannel::close()
{
    if (!m_open && m_in.isEmpty())
        return;
    m_open = false;
    m_in.clear();
    try {
        m_socket.close();
    } catch (const Poco::Exception &) {
    }
}

bool ControlChannel::send(const QByteArray &line, int timeoutMs)
{
    if (!m_open)
        return false;
    const QByteArray data = line + "\r\n";
    try {
        if (!dropUnasked()) {
            close();
            return false;
        }
        m_socket.setSendTimeout(span(timeoutMs));
        qsizetype sent = 0;
        while (sent < data.size()) {
            const int n = m_socket.sendBytes(data.constData() + sent, int(data.size() - sent));
            if (n <= 0)
                throw Poco::IOException("connection closed");
            sent += n;
        }
        return true;
    } catch (const Poco::Exception &) {
        close();
        return false;
    }
}

// A reply that came before its command was sent answers none of the
// commands still to come: a server that sent one reply too many (an extra
// final reply after a transfer, a late one) would otherwise have each of
// them read as the answer to the next command, a failure as a success and a
// failed CWD as one that worked. So whatever arrived unasked is dropped;
// more than a reply's bound of it closes the channel.
bool ControlChannel::dropUnasked()
{
    qsizetype dropped = m_in.size();
    m_in.clear();
    char buffer[16 * 1024];
    while (dropped <= kMaxReply && m_socket.available() > 0) {
        const int n = m_socket.receiveBytes(buffer, sizeof buffer);
        if (n <= 0)
            return false;
        dropped += n;
    }
    return dropped <= kMaxReply;
}

// Reads more bytes into m_in, waiting at most until the deadline.
bool ControlChannel::fill(qint64 deadlineMs)
{
    const qint64 left = deadlineMs - monotonicMs();
    if (left <= 0 || !m_socket.poll(span(left), Poco::Net::Socket::SELECT_READ))
        return false;
    char buffer[16 * 1024];
    const int n = m_socket.receiveBytes(buffer, sizeof buffer);
    if (n <= 0)
        return false;
    m_in.append(buffer, n);
    return true;
}

std::optional<QByteArray> ControlChannel::readLine(qint64 deadlineMs)
{
    qsizetype searched = 0;
    for (;;) {
        const qsizetype lf = m_in.indexOf('\n', searched);
        if (lf >= 0) {
            if (lf > kMaxLine)
                return std::nullopt;
            QByteArray line = m_in.left(lf);
            m_in.remove(0, lf + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            return line;
        }
        if (m_in.size() > kMaxLine)
            return std::nullopt;
        searched = m_in.size();
        if (!fill(deadlineMs))
            return std::nullopt;
    }
}

std::optional<Reply> ControlChannel::readReply(int timeoutMs)
{
    if (!m_open)
        return std::nullopt;
    const qint64 deadline = monotonicMs() + timeoutMs;
    try {
        std::optional<QByteArray> line = readLine(deadline);
        Reply reply;
        bool more = false;
        if (!line || !replyStart(*line, reply.code, more)) {
            close();
            return std::nullopt;
        }
        reply.text = *line;
        // A multi-line reply ends at a line of the same code and a blank.
        const QByteArray end = line->left(3) + ' ';
        for (int lines = 1; more; ++lines) {
            line = readLine(deadline);
            if (!line || lines >= kMaxReplyLines || reply.text.size() + line->size() > kMaxReply) {
                close();
                return std::nullopt;
            }
            reply.text += '\n' + *line;
            more = !(line->startsWith(end) || *line == end.left(3));
        }
        recordResponse(reply.text);
        return reply;
    } catch (const Poco::Exception &) {
        close();
        return std::nullopt;
    }
}

} // namespace ftp
