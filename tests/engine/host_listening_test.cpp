// The engine's listening socket: the port it was given or the one the system picked, and a port
// another host holds.

#include "engine/tserver.h"
#include "net/esock_exception.h"

#include <gtest/gtest.h>

TEST(HostListening, ListensOnTheBoundPortAndATakenPortThrows)
{
    TServer first;
    EXPECT_FALSE(first.listening());
    EXPECT_EQ(first.listeningPort(), 0);
    const quint16 port = first.listen(0);
    EXPECT_GT(port, 0);
    EXPECT_TRUE(first.listening());
    EXPECT_EQ(first.listeningPort(), port);

    TServer second;
    EXPECT_THROW(second.listen(port), ESockException);
    EXPECT_FALSE(second.listening());
    EXPECT_EQ(second.listeningPort(), 0);
}
