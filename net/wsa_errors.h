#pragma once

#include <QString>

// The socket channel reports errors with Windows Sockets codes and names, whatever the platform.
namespace wsa {

// The symbolic name of a Windows Sockets error code, or "UNKNOWN ERROR".
QString errorName(int code);

// The Windows Sockets code that stands for a POSIX errno value. Values without a counterpart
// map outside the named range, so they read as "UNKNOWN ERROR".
int codeFromErrno(int err);

// What went wrong, in the system's words ("Connection refused"), for a code that codeFromErrno
// gave.
QString errorText(int code);

} // namespace wsa
