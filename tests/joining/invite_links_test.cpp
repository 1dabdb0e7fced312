// This computer's invite links: read from its interfaces, in a network namespace the test makes
// so that the addresses are known.

#include "joining/game_address.h"
#include "joining/invite_links.h"

#include "tests/support/built_program.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

TEST(InviteLinks, EveryLinkOfThisComputerReadsBackAndNoneIsLoopback)
{
    for (const QString &link : machineInviteLinks(7801)) {
        const AddressReading reading = readInviteLink(link);
        ASSERT_TRUE(reading.address) << link.toStdString();
        EXPECT_EQ(reading.address->port, 7801);
        EXPECT_EQ(reading.address->inviteLink(), link);
        EXPECT_FALSE(reading.address->host.startsWith("127.")) << link.toStdString();
        EXPECT_NE(reading.address->host, "::1");
        EXPECT_FALSE(reading.address->host.startsWith("fe80:")) << link.toStdString();
    }
}

// Inside a namespace of its own (no packets leave it) the computer has a loopback interface, a
// pair of linked interfaces with IPv4, IPv6 and link-local addresses, and one that is down.
TEST(InviteLinks, AreTheAddressesOfTheInterfacesThatAreUpLoopbackAndLinkLocalLeftOut)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    const QString ip = QStandardPaths::findExecutable(QStringLiteral("ip"));
    ASSERT_FALSE(unshare.isEmpty() || ip.isEmpty()) << "this test needs unshare (util-linux) and ip (iproute2)";
    const QString probe = QString::fromStdString(testing_support::builtProgramPath("invite_links_probe"));
    const QString script = QStringLiteral(
        "set -e\n"
        "ip link set lo up\n"
        "ip link add v0 type veth peer name v1\n"
        "ip addr add 10.77.0.1/24 dev v0\n"
        "ip addr add 10.77.9.1/24 dev v0\n"
        "ip -6 addr add fd77::1/64 dev v0 nodad\n"
        "ip addr add 10.77.0.2/24 dev v1\n"
        "ip link add d0 type veth peer name d1\n"
        "ip addr add 10.77.5.5/24 dev d0\n"
        "ip link set v0 up\n"
        "ip link set v1 up\n"
        "exec \"$0\" 7790\n");
    QProcess namespaced;
    namespaced.start(unshare, {QStringLiteral("-n"), QStringLiteral("sh"), QStringLiteral("-c"), script, probe});
    ASSERT_TRUE(namespaced.waitForFinished(20000));
    ASSERT_EQ(namespaced.exitCode(), 0) << "could not make a network namespace (the test runs as root in CI): "
                                        << namespaced.readAllStandardError().toStdString();
    QStringList links = QString::fromUtf8(namespaced.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    // IPv4 first (in the order of the interfaces), then IPv6 in brackets; the link-local fe80::
    // addresses the kernel gives v0 and v1, the loopback's, and those of the interface that is
    // down are not there.
    ASSERT_EQ(links.size(), 4) << links.join(' ').toStdString();
    EXPECT_EQ(links.takeLast(), "vrel://[fd77::1]:7790");
    links.sort();
    EXPECT_EQ(links, QStringList({"vrel://10.77.0.1:7790", "vrel://10.77.0.2:7790", "vrel://10.77.9.1:7790"}));
}
