#include "net/wsa_errors.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(WsaErrors, NamesExactlyTheFiftyOneCodes)
{
    int named = 0;
    for (int code = 9000; code < 12000; ++code) {
        if (wsa::errorName(code) != QLatin1String("UNKNOWN ERROR"))
            ++named;
    }
    EXPECT_EQ(named, 51);
    EXPECT_EQ(wsa::errorName(10061), "WSAECONNREFUSED");
    EXPECT_EQ(wsa::errorName(10035), "WSAEWOULDBLOCK");
    EXPECT_EQ(wsa::errorName(10071), "WSAEREMOTE");
    EXPECT_EQ(wsa::errorName(10101), "WSAEDISCON");
    EXPECT_EQ(wsa::errorName(11004), "WSANO_DATA");
    EXPECT_EQ(wsa::errorName(10072), "UNKNOWN ERROR");
    EXPECT_EQ(wsa::errorName(0), "UNKNOWN ERROR");
}

TEST(WsaErrors, PosixErrorsMapToTheirWindowsCodes)
{
    EXPECT_EQ(wsa::codeFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(wsa::codeFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(wsa::codeFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(wsa::codeFromErrno(EADDRINUSE), 10048);
    EXPECT_EQ(wsa::codeFromErrno(EHOSTUNREACH), 10065);
    // Something without a counterpart is never mistaken for a named code.
    EXPECT_EQ(wsa::errorName(wsa::codeFromErrno(ENOENT)), "UNKNOWN ERROR");
    // Either way the system's own words say what happened.
    EXPECT_EQ(wsa::errorText(wsa::codeFromErrno(ECONNREFUSED)), "Connection refused");
    EXPECT_EQ(wsa::errorText(wsa::codeFromErrno(ECONNRESET)), "Connection reset by peer");
    EXPECT_EQ(wsa::errorText(wsa::codeFromErrno(ENOENT)), "No such file or directory");
}
