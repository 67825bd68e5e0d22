// Downloads and uploads a 256 MiB file through the FTP layer and through
// curl against the same vsftpd on loopback, five rounds each, interleaved,
// and prints the medians and the ratio of this program to curl. The layer
// uploads in 255-byte InternetWriteFile calls, as the program does.

#include "platform/wininet.h"
#include "tests/support/ftpserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qint64 kFileSize = 256LL * 1024 * 1024;
constexpr int kRounds = 5;
constexpr std::uint32_t kBlock = 255;

bool makeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk(4 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
    for (qint64 written = 0; written < kFileSize; written += chunk.size())
        if (file.write(chunk) != chunk.size())
            return false;
    return true;
}

HINTERNET connect(HINTERNET session, const FtpTestServer &server)
{
    return InternetConnect(session, server.host(), server.port(), server.user(), server.password(),
                           INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
}

bool layerDownload(HINTERNET session, const FtpTestServer &server, const QString &target)
{
    const HINTERNET c = connect(session, server);
    const bool ok = c != 0 && FtpGetFile(c, server.workFolder() + QStringLiteral("/big.bin"),
                                         target, false, 0x80, INTERNET_FLAG_RELOAD, 0);
    return InternetCloseHandle(c) && ok;
}

bool layerUpload(HINTERNET session, const FtpTestServer &server, const QString &source)
{
    QFile in(source);
    const HINTERNET c = connect(session, server);
    if (c == 0 || !in.open(QIODevice::ReadOnly))
        return false;
    const HINTERNET file =
        FtpOpenFile(c, server.workFolder() + QStringLiteral("/up-layer.bin"), GENERIC_WRITE, 2, 0);
    bool ok = file != 0;
    char block[kBlock];
    for (qint64 n = 0; ok && (n = in.read(block, kBlock)) > 0;) {
        std::uint32_t written = 0;
        ok = InternetWriteFile(file, block, std::uint32_t(n), written);
    }
    ok = InternetCloseHandle(file) && ok;
    return InternetCloseHandle(c) && ok;
}

bool curl(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("curl"),
                  QStringList{QStringLiteral("-s"), QStringLiteral("-S")} + args);
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timed(const std::function<bool()> &run, bool &ok)
{
    QElapsedTimer clock;
    clock.start();
    ok = run() && ok;
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FtpTestServer server(FtpTestServer::Kind::Vsftpd);
    if (!server.start()) {
        std::fprintf(stderr, "bench_transfer: %s\n", qPrintable(server.error()));
        return 1;
    }
    QTemporaryDir local;
    const QString remoteBig = server.localPath(server.workFolder() + QStringLiteral("/big.bin"));
    const QString source = local.filePath(QStringLiteral("source.bin"));
    if (!makeFile(remoteBig) || !makeFile(source)) {
        std::fprintf(stderr, "bench_transfer: cannot write the test files\n");
        return 1;
    }
    const QString url = QStringLiteral("ftp://%1:%2%3/")
                            .arg(server.host())
                            .arg(server.port())
                            .arg(server.workFolder());
    const HINTERNET session = InternetOpen(QStringLiteral("bench"), 0, {}, {}, 0);
    const QString layerTarget = local.filePath(QStringLiteral("down-layer.bin"));
    const QString curlTarget = local.filePath(QStringLiteral("down-curl.bin"));
    const QString layerUpPath =
        server.localPath(server.workFolder() + QStringLiteral("/up-layer.bin"));
    const QString curlUpPath =
        server.localPath(server.workFolder() + QStringLiteral("/up-curl.bin"));

    std::vector<double> oursDown, curlDown, oursUp, curlUp;
    bool ok = true;
    auto runOurs = [&] {
        QFile::remove(layerTarget);
        oursDown.push_back(timed([&] { return layerDownload(session, server, layerTarget); }, ok));
        QFile::remove(layerUpPath);
        oursUp.push_back(timed([&] { return layerUpload(session, server, source); }, ok));
    };
    auto runCurl = [&] {
        QFile::remove(curlTarget);
        curlDown.push_back(timed(
            [&] {
                return curl({QStringLiteral("-o"), curlTarget, url + QStringLiteral("big.bin")});
            },
            ok));
        QFile::remove(curlUpPath);
        curlUp.push_back(timed(
            [&] {
                return curl({QStringLiteral("-T"), source, url + QStringLiteral("up-curl.bin")});
            },
            ok));
    };
    for (int round = 0; round < kRounds; ++round) {
        // Who goes first alternates, so neither side always meets a cold cache.
        if (round % 2 == 0) {
            runOurs();
            runCurl();
        } else {
            runCurl();
            runOurs();
        }
        for (const QString &path : {layerTarget, curlTarget, layerUpPath, curlUpPath})
            ok = ok && QFile(path).size() == kFileSize;
        std::printf("round %d: download ours %.3f s curl %.3f s, upload ours %.3f s curl %.3f s\n",
                    round + 1, oursDown.back(), curlDown.back(), oursUp.back(), curlUp.back());
        std::fflush(stdout);
    }
    if (!ok) {
        std::fprintf(stderr, "bench_transfer: a transfer failed\n");
        return 1;
    }
    const double down = median(oursDown) / median(curlDown);
    const double up = median(oursUp) / median(curlUp);
    const double mib = kFileSize / (1024.0 * 1024.0);
    std::printf("download median: ours %.3f s (%.0f MiB/s), curl %.3f s (%.0f MiB/s), ratio %.3f\n",
                median(oursDown), mib / median(oursDown), median(curlDown), mib / median(curlDown),
                down);
    std::printf("upload median: ours %.3f s (%.0f MiB/s), curl %.3f s (%.0f MiB/s), ratio %.3f\n",
                median(oursUp), mib / median(oursUp), median(curlUp), mib / median(curlUp), up);
    std::printf("transfer ratio=%.3f target=1.10\n", std::max(down, up));
    return 0;
}
