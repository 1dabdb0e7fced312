// A router that lies, cuts leases short, grants only leases without end, sends documents without
// end or never answers (hostile_router, in the lab's router namespace): the game invites no one
// to an address others cannot reach and says why, follows the lease granted, never grows or
// waits on the router's account, and ends within moments of SIGTERM whatever the router does.

#include "app/reach/host_reach.h"
#include "app/startup/vrel_program.h"
#include "chat/chatview.h"
#include "engine/tserver.h"
#include "portmap/port_mapper.h"
#include "portmap/router_http.h"
#include "tests/reach/lab.h"
#include "tests/support/screenshot.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace testing_support;
using lab::RouterNamespaceProgram;

namespace {

const quint16 kPort = 41500;

bool waitForAnswer(const PortMapper &mapper)
{
    return waitUntil([&] { return mapper.state() != PortMapper::State::Trying; }, 10000);
}

} // namespace

TEST(HostileRouter, OutsideAddressesOthersCannotReachAreNeverInvitedAndSharedOnesAreToldInWords)
{
    REQUIRE_NETWORK_LAB();
    struct Case {
        const char *protocol;
        const char *external;
        bool shared;
    };
    const Case cases[] = {
        {"--natpmp", "127.0.0.1", false}, {"--natpmp", "192.168.1.1", true}, {"--natpmp", "224.0.0.1", false},
        {"--upnp", "0.0.0.0", false},     {"--upnp", "100.64.3.4", true},    {"--upnp", "not\x1b[2Jan address", false},
        {"--upnp", "11.77.0.7", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.protocol) + ' ' + c.external);
        RouterNamespaceProgram router(QStringLiteral("hostile_router"),
                                      {QString::fromLatin1(c.protocol), QStringLiteral("--external"), QString::fromLatin1(c.external)});
        ASSERT_TRUE(router.ready());
        PortMapper mapper;
        QStringList log;
        QObject::connect(&mapper, &PortMapper::activity, [&](const QString &line) { log << line; });
        mapper.open(kPort);
        ASSERT_TRUE(waitForAnswer(mapper));
        ASSERT_EQ(mapper.state(), PortMapper::State::Open) << qPrintable(log.join('\n'));
        const bool reachable = QByteArray(c.external) == "11.77.0.7";
        EXPECT_EQ(mapper.externalEndpoint(), reachable ? QStringLiteral("11.77.0.7:%1").arg(kPort) : QString());
        EXPECT_EQ(mapper.behindSharedAddress(), c.shared);
        EXPECT_EQ(log.join('\n').contains(PortMapper::kSharedAddressText), c.shared) << qPrintable(log.join('\n'));
        EXPECT_FALSE(log.join('\n').contains(QLatin1Char('\x1b'))) << "the router's text reaches the log as it is";
        // Given back when the game ends.
        mapper.close();
        EXPECT_TRUE(router.waitFor(QByteArray(c.protocol) == "--natpmp" ? "natpmp map 41500 lifetime 0" : "upnp DeletePortMapping 41500", 3000))
            << router.log().constData();
    }

    // Where players read it: a hosting window's chat, beside its invite links, none of which is
    // the shared address; and vrel-host's log.
    RouterNamespaceProgram router(QStringLiteral("hostile_router"), {QStringLiteral("--natpmp"), QStringLiteral("--external"), QStringLiteral("100.64.3.4")});
    lab::WindowHome home;
    VrelProgram dee(CommandLine {{QStringLiteral("Dee"), QStringLiteral("x"), QStringLiteral("true")}, 0, {}});
    dee.chat().show();
    // As a player reads it: words carry their own blanks, so runs of blanks are read as one.
    const auto chatSays = [&](const QString &text) { return dee.chat().mainchat()->toPlainText().simplified().contains(text); };
    EXPECT_TRUE(waitUntil([&] { return chatSays(PortMapper::kSharedAddressText) && chatSays(QStringLiteral("Invite link: ")); }, 8000))
        << qPrintable(dee.chat().mainchat()->toPlainText());
    testing_support::screenshot(&dee.chat(), QStringLiteral("chat_router_shares_its_address"));
    dee.copyInviteLinks();
    EXPECT_FALSE(QGuiApplication::clipboard()->text().contains(QLatin1String("100.64.3.4")));
    EXPECT_FALSE(chatSays(QStringLiteral("vrel://100.64.3.4")));

    HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--open-port")});
    EXPECT_TRUE(waitUntil([&] { return host.log().contains(PortMapper::kSharedAddressText.toUtf8()); }, 8000)) << host.log().constData();
    EXPECT_FALSE(host.log().contains("reachable at"));
}

TEST(HostileRouter, RenewalFollowsTheLeaseGrantedAndPermanentOnlyLeasesAreTakenAndGivenBack)
{
    REQUIRE_NETWORK_LAB();
    // A router that grants 2 s of the hour asked for: renewed every second, over either protocol.
    for (const char *protocol : {"--natpmp", "--upnp"}) {
        SCOPED_TRACE(protocol);
        RouterNamespaceProgram router(QStringLiteral("hostile_router"), {QString::fromLatin1(protocol), QStringLiteral("--lease"), QStringLiteral("2")});
        PortMapper mapper;
        mapper.open(kPort);
        ASSERT_TRUE(waitForAnswer(mapper));
        ASSERT_EQ(mapper.state(), PortMapper::State::Open) << router.log().constData();
        EXPECT_EQ(mapper.mapping().leaseSeconds, 2);
        EXPECT_EQ(mapper.renewalIntervalMs(), 1000);
        const QByteArray asked = QByteArray(protocol) == "--natpmp" ? "natpmp map 41500 lifetime 3600" : "upnp AddPortMapping 41500 lease 3600";
        // Asked, then asked again twice within about two seconds: never lapsed.
        EXPECT_TRUE(waitUntil([&] { return router.log().count(asked) >= 3; }, 3500)) << router.log().constData();
        mapper.close();
    }

    // A router that grants only leases without end (UPnP error 725) is asked for one, is not
    // renewed, and is given it back when the game ends.
    RouterNamespaceProgram router(QStringLiteral("hostile_router"), {QStringLiteral("--upnp"), QStringLiteral("--permanent-only")});
    PortMapper mapper;
    mapper.open(kPort);
    ASSERT_TRUE(waitForAnswer(mapper));
    ASSERT_EQ(mapper.state(), PortMapper::State::Open) << router.log().constData();
    EXPECT_TRUE(router.log().contains("upnp AddPortMapping 41500 lease 3600 refused 725\nupnp AddPortMapping 41500 lease 0 granted 0"))
        << router.log().constData();
    EXPECT_EQ(mapper.mapping().leaseSeconds, 0);
    EXPECT_EQ(mapper.renewalIntervalMs(), -1);
    mapper.close();
    EXPECT_TRUE(router.waitFor("upnp DeletePortMapping 41500", 3000)) << router.log().constData();
}

TEST(HostileRouter, DocumentsWithoutEndOrTrickledAreCutShort)
{
    REQUIRE_NETWORK_LAB();
    for (const char *mode : {"endless", "slow"}) {
        SCOPED_TRACE(mode);
        RouterNamespaceProgram router(QStringLiteral("hostile_router"),
                                      {QStringLiteral("--upnp"), QStringLiteral("--description"), QString::fromLatin1(mode)});
        QElapsedTimer clock;
        clock.start();
        HostProcess host({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--open-port")});
        ASSERT_NE(host.port(), 0);
        EXPECT_TRUE(waitUntil([&] { return host.log().contains("no router forwarded"); }, 10000)) << host.log().constData();
        EXPECT_TRUE(router.log().contains("description asked")) << router.log().constData();
        const QByteArray name = QByteArray("router's ") + mode + " description: vrel-host ";
        lab::figure(name + "gave up after", clock.elapsed());
        lab::figure(name + "peak memory", lab::peakMemoryKiB(host.process().processId()), "KiB");
        EXPECT_EQ(host.stop(), 0);
        if (QByteArray(mode) == "endless") {
            ASSERT_TRUE(router.waitFor("description hung up after", 3000)) << router.log().constData();
            const QByteArray line = router.log().mid(router.log().indexOf("description hung up after"));
            lab::figure(name + "hung up after the router sent", line.split(' ').value(4).toLongLong(), "bytes");
        }
    }
}

TEST(HostileRouter, SigtermEndsTheHostAndTheWindowWithinMomentsWhateverTheRouterDoes)
{
    REQUIRE_NETWORK_LAB();
    struct Case {
        const char *what;
        QStringList router;
        const char *stuck; // the router's line once the game is waiting on it
        int settleMs;      // then this long, for the game to be where the case wants it
    };
    const Case cases[] = {
        {"asking a router that never answers", {QStringLiteral("--upnp"), QStringLiteral("--description"), QStringLiteral("tarpit")}, "description asked", 200},
        // The mapping granted, the router's answer about its lease never comes (the mapper takes
        // the lease it asked for after a second), and it never answers the give-back either.
        {"giving back to a router that never answers", {QStringLiteral("--upnp"), QStringLiteral("--tarpit-after-add")}, "granted", 1500},
    };
    for (const Case &c : cases) {
        for (const bool window : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (window ? " (window)" : " (vrel-host)"));
            RouterNamespaceProgram router(QStringLiteral("hostile_router"), c.router);
            QTemporaryDir home;
            QProcess game;
            if (window)
                lab::startProgram(game, home, QStringLiteral("vrel"), {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("Cy"), QStringLiteral("x"), QStringLiteral("true")});
            else
                lab::startProgram(game, home, QStringLiteral("vrel-host"), {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--open-port")});
            ASSERT_TRUE(router.waitFor(c.stuck, 10000)) << router.log().constData();
            settle(c.settleMs);
            QElapsedTimer clock;
            clock.start();
            game.terminate();
            ASSERT_TRUE(game.waitForFinished(5000)) << "still running 5 s after SIGTERM";
            lab::figure((QByteArray("SIGTERM to exit, ") + (window ? "hosting window, " : "vrel-host, ") + c.what).constData(), clock.elapsed());
            EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(game.exitCode(), 0);
        }
    }

    // The tally is saved before the router is waited for: a window killed while it waits (as a
    // desktop does with a program slow to end) has it saved.
    RouterNamespaceProgram router(QStringLiteral("hostile_router"), {QStringLiteral("--upnp"), QStringLiteral("--tarpit-after-add")});
    QTemporaryDir home;
    QProcess game;
    lab::startProgram(game, home, QStringLiteral("vrel"), {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("Di"), QStringLiteral("x"), QStringLiteral("true")});
    ASSERT_TRUE(router.waitFor("granted", 10000)) << router.log().constData();
    settle(1500);
    game.terminate();
    settle(300);
    game.kill();
    game.waitForFinished(3000);
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("Vreltally.tld"))));
}
