#pragma once
// An open upload (STOR): the program writes it in small blocks (255 bytes
// per InternetWriteFile), so the bytes are gathered here and sent to the
// socket in blocks of 256 KiB, which lets an upload run at the link's speed.
// In ASCII mode every line end, LF or CR LF, is sent as CR LF.

#include "platform/ftp/datachannel.h"

#include <Poco/Net/StreamSocket.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace ftp {

class FtpConnection;

class FtpUpload {
public:
    static constexpr std::size_t kBlock = 256 * 1024;

    FtpUpload(std::shared_ptr<FtpConnection> connection, Poco::Net::StreamSocket data, bool ascii);
    ~FtpUpload();
    FtpUpload(const FtpUpload &) = delete;
    FtpUpload &operator=(const FtpUpload &) = delete;

    bool write(const char *bytes, std::uint32_t length);
    // Sends what is left, closes the data connection and reads the server's
    // final reply: true only when the server confirmed the whole file.
    bool finish();

private:
    bool flush();
    void closeData();

    std::shared_ptr<FtpConnection> m_connection;
    Poco::Net::StreamSocket m_data;
    std::vector<char> m_buffer;
    DataEnd m_state = DataEnd::Complete;
    bool m_ascii = false;
    bool m_lastWasCr = false;
    bool m_finished = false;
};

} // namespace ftp
