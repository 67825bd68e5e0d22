#include "platform/ftp/ftpupload.h"

#include "platform/ftp/ftpconnection.h"

#include <Poco/Exception.h>

namespace ftp {

FtpUpload::FtpUpload(std::shared_ptr<FtpConnection> connection, Poco::Net::StreamSocket data,
                     bool ascii)
    : m_connection(std::move(connection)), m_data(std::move(data)), m_ascii(ascii)
{
    m_buffer.reserve(kBlock * 2 + 2);
}

FtpUpload::~FtpUpload()
{
    // An upload dropped without finish() (its handle never closed, say at
    // the program's exit) must not wait for the server's reply; its
    // connection is given up instead, since that reply is still pending.
    if (!m_finished) {
        closeData();
        m_connection->abandonUpload();
    }
}

bool FtpUpload::write(const char *bytes, std::uint32_t length)
{
    if (m_finished || m_state != DataEnd::Complete)
        return false;
    if (length == 0)
        return true;
    if (!m_ascii) {
        m_buffer.insert(m_buffer.end(), bytes, bytes + length); // no zero-fill first
    } else {
        for (std::uint32_t i = 0; i < length; ++i) {
            const char c = bytes[i];
            if (c == '\n' && !m_lastWasCr)
                m_buffer.push_back('\r');
            m_buffer.push_back(c);
            m_lastWasCr = c == '\r';
        }
    }
    return m_buffer.size() < kBlock || flush();
}

bool FtpUpload::flush()
{
    if (m_buffer.empty())
        return true;
    m_state = sendAll(m_data, m_buffer.data(), m_buffer.size(), timeoutMs());
    m_buffer.clear();
    return m_state == DataEnd::Complete;
}

void FtpUpload::closeData()
{
    try {
        m_data.close();
    } catch (const Poco::Exception &) {
    }
}

bool FtpUpload::finish()
{
    if (m_finished)
        return false;
    m_finished = true;
    if (m_state == DataEnd::Complete)
        flush();
    closeData();
    // The connection may have been closed meanwhile; then no reply comes.
    return m_connection->finishUpload(m_state) && m_state == DataEnd::Complete;
}

} // namespace ftp
