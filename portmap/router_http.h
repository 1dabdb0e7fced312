#pragma once

#include "portmap/patience.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// HTTP with a router, as UPnP-IGD speaks it: its description document and its SOAP commands.
// Every answer is capped in size and in time, so that a router that sends without end, or
// trickles, or never answers, costs at most that.
namespace portmap {

// The most of an answer's body that is read; a router's description is a few kilobytes.
constexpr qsizetype kMaxAnswerBytes = 128 * 1024;

struct HttpAnswer {
    int status = 0;
    QByteArray body;
    QString localAddress; // this machine's address on the connection: where the router sees it
};

// One request to `url` ("http://ADDRESS[:PORT]/PATH"; a router names itself by its address, and
// a name would need a lookup that cannot be cut short, so names are refused). Nothing when the
// router does not answer completely within `patience`, or its answer's body is over `maxBody`.
std::optional<HttpAnswer> httpRequest(const QByteArray &url, const QByteArray &method, const QList<QByteArray> &headers,
                                      const QByteArray &body, const Patience &patience, qsizetype maxBody = kMaxAnswerBytes);

// A body sent in chunks ("Transfer-Encoding: chunked") put back together; nothing when the chunks
// do not read.
std::optional<QByteArray> unchunked(const QByteArray &body);

} // namespace portmap
