#pragma once
// The FTP control connection: command lines out, bounded replies in.
//
// Written on Poco's StreamSocket rather than Poco::Net::FTPClientSession or
// DialogSocket: those read a reply with no bound on the count of its lines
// and no deadline for the whole reply, so a server sending an endless
// multi-line reply would hang the program and grow its memory. Here a line
// may hold at most 64 KiB, a reply at most 1 MiB and 10000 lines, and the
// whole reply must arrive within the timeout. Any breach closes the channel:
// after it the stream can no longer be trusted.

#include <Poco/Net/SocketAddress.h>
#include <Poco/Net/StreamSocket.h>

#include <QByteArray>
#include <QString>

#include <optional>

namespace ftp {

struct Reply {
    int code = 0;
    QByteArray text; // every line of the reply, joined by LF, without line ends

    int kind() const { return code / 100; }
    bool positive() const { return kind() == 2; }
};

class ControlChannel {
public:
    static constexpr qsizetype kMaxLine = 64 * 1024;
    static constexpr qsizetype kMaxReply = 1024 * 1024;
    static constexpr int kMaxReplyLines = 10000;

    bool connect(const Poco::Net::SocketAddress &address, int timeoutMs);
    bool isOpen() const { return m_open; }
    void close();

    // Sends one command line; CR LF is added here. Replies that arrived
    // before it, unasked, are dropped first.
    bool send(const QByteArray &line, int timeoutMs);
    std::optional<Reply> readReply(int timeoutMs);

    Poco::Net::SocketAddress peerAddress() const { return m_peer; }
    Poco::Net::SocketAddress localAddress() const { return m_local; }

private:
    bool dropUnasked();
    std::optional<QByteArray> readLine(qint64 deadlineMs);
    bool fill(qint64 deadlineMs);

    Poco::Net::StreamSocket m_socket;
    Poco::Net::SocketAddress m_peer;
    Poco::Net::SocketAddress m_local;
    QByteArray m_in;
    bool m_open = false;
};

// The last reply any connection received, for InternetGetLastResponseInfo.
void recordResponse(const QByteArray &text);
QString lastResponse();

// The timeout of connect, replies and data, in milliseconds (30 s at start).
int timeoutMs();
void setTimeoutMs(int milliseconds);

// Milliseconds since some fixed point, for deadlines.
qint64 monotonicMs();

} // namespace ftp
