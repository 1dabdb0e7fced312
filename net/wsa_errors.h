#pragma once

#include <QString>

// The socket channel reports errors with Windows Sockets codes and names, whatever the platform.
namespace wsa {

// The codes the game tells apart.
constexpr int kAccessDenied = 10013;
constexpr int kAddressInUse = 10048;
constexpr int kAddressNotAvailable = 10049;
constexpr int kNetworkDown = 10050;
constexpr int kNetworkUnreachable = 10051;
constexpr int kConnectionReset = 10054;
constexpr int kTimedOut = 10060;
constexpr int kConnectionRefused = 10061;
constexpr int kHostDown = 10064;
constexpr int kHostUnreachable = 10065;
constexpr int kHostNotFound = 11001;

// The symbolic name of a Windows Sockets error code, or "UNKNOWN ERROR".
QString errorName(int code);

// The Windows Sockets code that stands for a POSIX errno value. Values without a counterpart
// map outside the named range, so they read as "UNKNOWN ERROR".
int codeFromErrno(int err);

// What went wrong, in the system's words ("Connection refused"), for a code that codeFromErrno
// gave.
QString errorText(int code);

} // namespace wsa
