#include "core/mpublic.h"

HINTERNET hFtpConnection = 0;
std::uint32_t ConnectFlags = 0;
HINTERNET hInternetSession = 0;
int TransferType = 2;

void ResetPublicState()
{
    hFtpConnection = 0;
    ConnectFlags = 0;
    hInternetSession = 0;
    TransferType = 2;
}
