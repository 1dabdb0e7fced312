// A neighbour that floods the local network with game services, for the lab's router namespace
// (network_lab.sh), as another machine on the network would: it announces, over multicast DNS
// from 10.77.0.1, COUNT services of the type "_vrel._tcp" whose names carry line breaks, tabs,
// terminal escapes and direction overrides, most at addresses no player can join (0.0.0.0,
// 127.0.0.1, multicast, broadcast), the others where no game answers. SIGTERM says goodbye (every
// record again with no time to live), so the flood leaves the daemons' caches.
//
//   nsenter -t "$VREL_LAB_ROUTER_NS" -n hostile_neighbour [COUNT]      (1500 when not given)
//
// It prints "ready" once every service has been announced (twice).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kFrom[] = "10.77.0.1";
constexpr char kGroup[] = "224.0.0.251";
constexpr int kMdnsPort = 5353;
constexpr uint32_t kTtl = 4500;
constexpr size_t kMaxPacket = 1400;

enum Type : uint16_t { kA = 1, kPtr = 12, kTxt = 16, kSrv = 33 };

struct Host {
    const char *name;
    const char *address;
};
// Three in eight are addresses a player could try: where nothing listens (10.77.0.1, which
// refuses) and where no machine is (10.77.0.3, which never answers); the others no player can
// join.
const Host kHosts[] = {
    {"neighbour", "10.77.0.1"},       {"ghost", "10.77.0.3"},   {"nowhere", "0.0.0.0"},
    {"itself", "127.0.0.1"},          {"everyone", "224.0.0.1"}, {"all", "255.255.255.255"},
    {"subnet", "10.77.0.255"},        {"neighbour2", "10.77.0.1"},
};
constexpr int kHostCount = int(sizeof kHosts / sizeof kHosts[0]);

const char *const kNames[] = {
    "Evil\nFake line - 10.77.0.9:7772 - 6 players",
    "\x1b]0;owned\x07\x1b[31mRed\x1b[0m",
    "Tab\tin\rthe name",
    "Right\xe2\x80\xae" "to left",
    "Bell\x07 and delete\x7f",
    "Plain game",
};
constexpr int kNameCount = int(sizeof kNames / sizeof kNames[0]);

void putName(std::string &packet, const std::vector<std::string> &labels)
{
    for (const std::string &label : labels) {
        packet += char(label.size());
        packet += label;
    }
    packet += '\0';
}

void put16(std::string &packet, uint16_t value)
{
    packet += char(value >> 8);
    packet += char(value & 0xFF);
}

void put32(std::string &packet, uint32_t value)
{
    put16(packet, uint16_t(value >> 16));
    put16(packet, uint16_t(value & 0xFFFF));
}

void putRecord(std::string &packet, const std::vector<std::string> &name, Type type, bool unique, uint32_t ttl, const std::string &data)
{
    putName(packet, name);
    put16(packet, type);
    put16(packet, uint16_t((unique ? 0x8000 : 0) | 1)); // IN, with the cache-flush bit for unique records
    put32(packet, ttl);
    put16(packet, uint16_t(data.size()));
    packet += data;
}

std::string serviceLabel(int n)
{
    std::string label = std::string(kNames[(n / kHostCount) % kNameCount]) + " " + std::to_string(n);
    return label.substr(0, 63);
}

// The records of service `n` (PTR, SRV, TXT) in one piece.
std::string serviceRecords(int n, uint32_t ttl)
{
    const std::vector<std::string> type {"_vrel", "_tcp", "local"};
    const std::vector<std::string> instance {serviceLabel(n), "_vrel", "_tcp", "local"};
    const Host &host = kHosts[n % kHostCount];
    std::string records;
    std::string pointer;
    putName(pointer, instance);
    putRecord(records, type, kPtr, false, ttl, pointer);
    std::string server;
    put16(server, 0);
    put16(server, 0);
    put16(server, uint16_t(20000 + n));
    putName(server, {host.name, "local"});
    putRecord(records, instance, kSrv, true, ttl, server);
    std::string text;
    for (const std::string entry : {"version=1.0.4", "host=", "players=6", "onlookers=0", "running=0"}) {
        text += char(entry.size());
        text += entry;
    }
    putRecord(records, instance, kTxt, true, ttl, text);
    return records;
}

std::string hostRecords(uint32_t ttl)
{
    std::string records;
    for (const Host &host : kHosts) {
        in_addr address {};
        inet_pton(AF_INET, host.address, &address);
        putRecord(records, {host.name, "local"}, kA, true, ttl, std::string(reinterpret_cast<const char *>(&address), 4));
    }
    return records;
}

// Announces everything: the hosts' addresses first, then the services, a few to a packet, paced
// so that the daemon's receive buffer keeps up.
void announce(int fd, int count, uint32_t ttl)
{
    sockaddr_in group {};
    group.sin_family = AF_INET;
    group.sin_port = htons(kMdnsPort);
    inet_pton(AF_INET, kGroup, &group.sin_addr);
    const auto send = [&](const std::string &records, int answers) {
        std::string packet;
        put16(packet, 0);      // id
        put16(packet, 0x8400); // a response, authoritative
        put16(packet, 0);
        put16(packet, uint16_t(answers));
        put16(packet, 0);
        put16(packet, 0);
        packet += records;
        sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr *>(&group), sizeof group);
    };
    send(hostRecords(ttl), kHostCount);
    std::string records;
    int answers = 0;
    int packets = 0;
    for (int n = 0; n < count; ++n) {
        const std::string service = serviceRecords(n, ttl);
        if (records.size() + service.size() > kMaxPacket) {
            send(records, answers);
            records.clear();
            answers = 0;
            if (++packets % 2 == 0)
                usleep(5000);
        }
        records += service;
        answers += 3;
    }
    if (answers > 0)
        send(records, answers);
}

volatile sig_atomic_t stopping = 0;

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1500;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in own {};
    own.sin_family = AF_INET;
    own.sin_port = htons(kMdnsPort);
    if (bind(fd, reinterpret_cast<sockaddr *>(&own), sizeof own) != 0) {
        std::perror("hostile_neighbour: bind");
        return 1;
    }
    in_addr from {};
    inet_pton(AF_INET, kFrom, &from);
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &from, sizeof from);
    const unsigned char ttl = 255;
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
    std::signal(SIGTERM, [](int) { stopping = 1; });

    // Twice, a second apart, as multicast DNS announces: what the daemon missed the first time
    // (a full receive buffer), it gets the second.
    announce(fd, count, kTtl);
    sleep(1);
    announce(fd, count, kTtl);
    std::printf("ready\n");
    std::fflush(stdout);
    while (!stopping)
        pause();
    announce(fd, count, 0);
    return 0;
}
