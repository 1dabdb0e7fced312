#pragma once

#include <QString>

#include <optional>

class THttpCli;

// What keeps a download from filling the player's disk or waiting for ever, and how its end is
// told on the status line.
namespace download_limits {

// No lobby installer is larger; a server announcing or sending more is refused.
inline constexpr qint64 kLargestInstaller = qint64(256) << 20;
// A server that sends nothing for this long (no connection, no byte) ends the download.
inline constexpr int kSilenceMs = 30'000;
// The disk keeps this much free beside the download.
inline constexpr qint64 kDiskReserve = qint64(64) << 20;

inline constexpr char kDiskFull[] = "disk nearly full";
inline constexpr char kConnectionReset[] = "connection reset";

// The bytes a user may still write in the folder's file system, or nothing when it cannot be
// told.
std::optional<qint64> freeBytes(const QString &folder);

// Whether `incoming` more bytes (0 when not known yet) fit in the folder with the reserve left.
bool roomFor(std::optional<qint64> free, qint64 incoming);

// Why a request failed, in the words of the status line: the server's status ("HTTP 404 Not
// Found"), "too large", "timed out", "connection reset", or the client's own reason.
QString failureText(const THttpCli &cli);

} // namespace download_limits
