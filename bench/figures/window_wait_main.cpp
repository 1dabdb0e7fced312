// The window's own wait: from a message's arrival at the game to its handling. The benchmark
// stands in for the host: it listens on loopback, starts the game joining it ("vrel --port PORT
// Bench 127.0.0.1 x", offscreen) and sends it "CMD_sendlogininfo", the message whose handling
// answers at once ("CMD_logininfo"), again and again, 50 ms apart. The time from sending to the
// answer, less a loopback round trip of the same run, is the window's wait and its handling.
// Measured with the window's former rule (VREL_WINDOW_TICK_MS=15: a 15 ms tick that starts again
// a whole tick after a message reaches an idle window) and the present one (each message as it
// arrives).
//
//   vrel-bench-window [--samples N]     (default 200 a rule)

#include "figures.h"
#include "game_process.h"
#include "loopback_echo.h"

#include "protocol/messages.h"
#include "protocol/wire.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPause = std::chrono::milliseconds(50);

// The benchmark's end of the game's connection.
class StandInHost
{
public:
    ~StandInHost()
    {
        for (const int fd : {peer_, listener_}) {
            if (fd >= 0)
                ::close(fd);
        }
    }

    int listen()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(listener_, 1) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return 0;
        return ntohs(address.sin_port);
    }

    bool accept(int timeoutMs)
    {
        pollfd entry {listener_, POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) != 1)
            return false;
        peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        const int on = 1;
        ::setsockopt(peer_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return peer_ >= 0;
    }

    bool send(const QByteArray &message)
    {
        return ::send(peer_, message.constData(), size_t(message.size()), MSG_NOSIGNAL) == message.size();
    }

    // Reads until a message with this verb comes; false after `timeoutMs`.
    bool waitFor(const QByteArray &verb, int timeoutMs)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            for (; !lines_.isEmpty(); lines_.removeFirst()) {
                if (proto::splitVerb(lines_.first()).verb == verb) {
                    lines_.removeFirst();
                    return true;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd entry {peer_, POLLIN, 0};
            if (left <= 0 || ::poll(&entry, 1, int(left)) != 1)
                return false;
            char buffer[4096];
            const ssize_t n = ::recv(peer_, buffer, sizeof buffer, 0);
            if (n <= 0)
                return false;
            lines_ += cutter_.feed(QByteArray(buffer, int(n)));
        }
    }

private:
    int listener_ = -1;
    int peer_ = -1;
    proto::StreamCutter cutter_;
    QList<QByteArray> lines_;
};

// The answers' delays from a game started with `environment`.
std::optional<std::vector<double>> answers(int samples, const std::vector<std::string> &environment)
{
    StandInHost host;
    const int port = host.listen();
    GameProcess game;
    if (port == 0 || !game.start({"Bench", "127.0.0.1", "x"}, port, environment) || !host.accept(20000)) {
        std::fprintf(stderr, "the game did not connect\n");
        return std::nullopt;
    }
    const QByteArray seat = msg::encode(msg::SendLoginInfo {1});
    if (!host.send(seat) || !host.waitFor(msg::LoginInfo::verb, 10000)
        || !host.send(msg::encode(msg::NewPlayerInfo {1, "Bench"}))) {
        std::fprintf(stderr, "the game did not log in\n");
        return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
        std::this_thread::sleep_for(kPause);
        const Clock::time_point sent = Clock::now();
        if (!host.send(seat) || !host.waitFor(msg::LoginInfo::verb, 5000)) {
            std::fprintf(stderr, "the game stopped answering\n");
            return std::nullopt;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    }
    return ms;
}

std::string twoFigures(double p50, double p99)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f / %.2f ms", p50, p99);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const int samples = std::max(1, std::stoi(option(argc, argv, "--samples", "200")));
    const std::vector<double> echo = loopbackEchoMs(samples, kPause);
    const std::optional<std::vector<double>> before = answers(samples, {"VREL_WINDOW_TICK_MS=15"});
    const std::optional<std::vector<double>> after = answers(samples, {"VREL_WINDOW_TICK_MS="});
    if (echo.empty() || !before || !after)
        return 1;
    const double floor = percentile(echo, 0.5);
    const auto wait = [floor](const std::vector<double> &ms, double p) { return std::max(0.0, percentile(ms, p) - floor); };
    std::printf("the window's wait from a message's arrival to its handling, %d messages 50 ms apart a rule "
                "(the answer's delay less the loopback p50 of %.3f ms), p50 / p99:\n", samples, floor);
    std::printf("  before, a 15 ms tick:          %s\n", twoFigures(wait(*before, 0.5), wait(*before, 0.99)).c_str());
    std::printf("  after, each message at once:   %s\n", twoFigures(wait(*after, 0.5), wait(*after, 0.99)).c_str());
    report("window's wait p99", twoFigures(wait(*after, 0.5), wait(*after, 0.99)), "1 ms on an idle machine",
           wait(*after, 0.99) <= 1);
    return 0;
}
