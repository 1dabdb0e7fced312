// A router that misbehaves on purpose, for the lab's router namespace (network_lab.sh): it answers
// NAT-PMP and UPnP-IGD (SSDP, its description document and SOAP commands) as told on its command
// line, and says on stdout, one line each, what it was asked. Run it as
//   nsenter -t "$VREL_LAB_ROUTER_NS" -n hostile_router [OPTIONS]
//
//   --natpmp                answer NAT-PMP
//   --upnp                  answer UPnP-IGD
//   --external TEXT         the outside address it tells (any text over UPnP; IPv4 over NAT-PMP)
//   --lease N               the longest lease it grants (seconds)
//   --permanent-only        UPnP: refuse any lease but 0 with error 725
//   --description MODE      normal, endless (a document without end, as fast as it goes),
//                           slow (a byte every 300 ms) or tarpit (never a byte)
//   --tarpit-after-add      once a mapping is added, every later HTTP request is never answered
//
// It prints "ready" once it listens, and for instance "natpmp map 7772 lifetime 3600 granted 2",
// "upnp AddPortMapping 7772 lease 3600 refused 725", "upnp DeletePortMapping 7772",
// "description hung up after 1048576 bytes".

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kRouterAddress[] = "10.77.0.1";
constexpr int kNatPmpPort = 5351;
constexpr int kSsdpPort = 1900;
constexpr char kSsdpGroup[] = "239.255.255.250";
constexpr char kService[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

struct Options {
    bool natpmp = false;
    bool upnp = false;
    std::string external = "11.77.0.7";
    long lease = -1; // no limit
    bool permanentOnly = false;
    std::string description = "normal";
    bool tarpitAfterAdd = false;
};

void say(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

using Clock = std::chrono::steady_clock;

int udpSocket(int port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        std::perror("bind");
        std::exit(1);
    }
    return fd;
}

std::string field(const std::string &text, const std::string &name)
{
    const std::string open = "<" + name + ">";
    const size_t start = text.find(open);
    if (start == std::string::npos)
        return {};
    const size_t end = text.find("</" + name + ">", start);
    return end == std::string::npos ? std::string() : text.substr(start + open.size(), end - start - open.size());
}

std::string header(const std::string &head, const std::string &name)
{
    std::string lower = head;
    for (char &c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const size_t at = lower.find("\r\n" + name + ":");
    if (at == std::string::npos)
        return {};
    const size_t start = at + 3 + name.size();
    const size_t end = head.find("\r\n", start);
    std::string value = head.substr(start, end - start);
    while (!value.empty() && value.front() == ' ')
        value.erase(0, 1);
    return value;
}

class Router
{
public:
    explicit Router(Options options) : options_(std::move(options)) {}

    int run()
    {
        if (options_.natpmp)
            natpmp_ = udpSocket(kNatPmpPort);
        if (options_.upnp) {
            ssdp_ = udpSocket(kSsdpPort);
            ip_mreq group {};
            inet_pton(AF_INET, kSsdpGroup, &group.imr_multiaddr);
            inet_pton(AF_INET, kRouterAddress, &group.imr_interface);
            setsockopt(ssdp_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group);
            http_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const int yes = 1;
            setsockopt(http_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            sockaddr_in address {};
            address.sin_family = AF_INET;
            inet_pton(AF_INET, kRouterAddress, &address.sin_addr);
            socklen_t length = sizeof address;
            if (bind(http_, reinterpret_cast<sockaddr *>(&address), length) != 0 || listen(http_, 64) != 0) {
                std::perror("http");
                return 1;
            }
            getsockname(http_, reinterpret_cast<sockaddr *>(&address), &length);
            httpPort_ = ntohs(address.sin_port);
        }
        say("ready");
        for (;;)
            turn();
    }

private:
    struct Connection {
        int fd = -1;
        std::string received;
        std::string toSend;
        bool answered = false;
        bool tarpit = false;
        bool endless = false;
        bool slow = false;
        long long sent = 0;
        Clock::time_point nextSlowByte;
    };

    void turn()
    {
        std::vector<pollfd> watched;
        for (int fd : {natpmp_, ssdp_, http_}) {
            if (fd >= 0)
                watched.push_back({fd, POLLIN, 0});
        }
        for (const auto &[fd, c] : connections_) {
            short events = POLLIN;
            if ((!c->toSend.empty() && !c->slow) || c->endless)
                events |= POLLOUT;
            watched.push_back({fd, events, 0});
        }
        poll(watched.data(), watched.size(), 50);
        for (const pollfd &entry : watched) {
            if (!entry.revents)
                continue;
            if (entry.fd == natpmp_)
                answerNatPmp();
            else if (entry.fd == ssdp_)
                answerSsdp();
            else if (entry.fd == http_)
                accept();
            else
                serve(entry.fd, entry.revents);
        }
        trickle();
    }

    uint32_t granted(uint32_t asked) const
    {
        if (options_.lease < 0 || asked == 0)
            return asked;
        return std::min<uint32_t>(asked, uint32_t(options_.lease));
    }

    void answerNatPmp()
    {
        unsigned char request[64];
        sockaddr_in from {};
        socklen_t length = sizeof from;
        const ssize_t n = recvfrom(natpmp_, request, sizeof request, 0, reinterpret_cast<sockaddr *>(&from), &length);
        if (n < 2 || request[0] != 0)
            return;
        const uint32_t epoch = htonl(uint32_t(std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch()).count()));
        unsigned char answer[16] = {};
        answer[1] = uint8_t(128 + request[1]);
        std::memcpy(answer + 4, &epoch, 4);
        size_t size = 12;
        if (request[1] == 0) {
            in_addr external {};
            inet_pton(AF_INET, options_.external.c_str(), &external);
            std::memcpy(answer + 8, &external, 4);
            say("natpmp address " + options_.external);
        } else if (n >= 12) {
            uint16_t internal = 0;
            uint32_t lifetime = 0;
            std::memcpy(&internal, request + 4, 2);
            std::memcpy(&lifetime, request + 8, 4);
            const uint32_t given = granted(ntohl(lifetime));
            std::memcpy(answer + 8, &internal, 2);
            std::memcpy(answer + 10, request + 6, 2); // the external port asked for
            const uint32_t told = htonl(given);
            std::memcpy(answer + 12, &told, 4);
            size = 16;
            say("natpmp map " + std::to_string(ntohs(internal)) + " lifetime " + std::to_string(ntohl(lifetime)) + " granted "
                + std::to_string(given));
        }
        sendto(natpmp_, answer, size, 0, reinterpret_cast<sockaddr *>(&from), length);
    }

    void answerSsdp()
    {
        char request[2048];
        sockaddr_in from {};
        socklen_t length = sizeof from;
        const ssize_t n = recvfrom(ssdp_, request, sizeof request - 1, 0, reinterpret_cast<sockaddr *>(&from), &length);
        if (n <= 0)
            return;
        const std::string text(request, size_t(n));
        if (text.rfind("M-SEARCH", 0) != 0)
            return;
        const std::string st = header(text, "st");
        const std::string answer = "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nST: " + st
                                   + "\r\nUSN: uuid:3c1d0b9e-7a77-4e21-9b1e-7e1a77000002::" + st
                                   + "\r\nEXT:\r\nSERVER: Linux UPnP/1.1 hostile/1\r\nLOCATION: http://" + kRouterAddress + ':'
                                   + std::to_string(httpPort_) + "/rootDesc.xml\r\n\r\n";
        sendto(ssdp_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr *>(&from), length);
    }

    void accept()
    {
        const int fd = ::accept4(http_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->tarpit = tarpitting_;
        connections_[fd] = std::move(connection);
    }

    void serve(int fd, short events)
    {
        const auto found = connections_.find(fd);
        if (found == connections_.end())
            return;
        Connection &c = *found->second;
        if (events & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[16384];
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                hangUp(c);
                return;
            }
            c.received.append(buffer, size_t(n));
            if (!c.answered && !c.tarpit)
                answerWhenComplete(c);
        }
        if ((events & POLLOUT) && connections_.count(fd))
            write(c);
    }

    void hangUp(Connection &c)
    {
        if (c.endless || c.slow)
            say("description hung up after " + std::to_string(c.sent) + " bytes");
        ::close(c.fd);
        connections_.erase(c.fd);
    }

    void answerWhenComplete(Connection &c)
    {
        const size_t headEnd = c.received.find("\r\n\r\n");
        if (headEnd == std::string::npos)
            return;
        const std::string head = c.received.substr(0, headEnd + 2);
        const size_t length = size_t(std::atol(header(head, "content-length").c_str()));
        if (c.received.size() < headEnd + 4 + length)
            return;
        c.answered = true;
        const std::string body = c.received.substr(headEnd + 4, length);
        if (head.rfind("GET ", 0) == 0)
            describe(c);
        else
            command(c, header(head, "soapaction"), body);
    }

    void describe(Connection &c)
    {
        say("description asked (" + options_.description + ")");
        if (options_.description == "tarpit") {
            c.tarpit = true;
            return;
        }
        if (options_.description == "endless") {
            c.toSend = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n<?xml version=\"1.0\"?><root>";
            c.endless = true;
            return;
        }
        const std::string document =
            std::string("<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><specVersion><major>1</major>"
                        "<minor>0</minor></specVersion><device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1"
                        "</deviceType><friendlyName>hostile</friendlyName><deviceList><device><deviceType>"
                        "urn:schemas-upnp-org:device:WANDevice:1</deviceType><deviceList><device><deviceType>"
                        "urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType><serviceList><service><serviceType>")
            + kService + "</serviceType><serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>/ctl/IPConn"
                         "</controlURL><eventSubURL>/evt/IPConn</eventSubURL><SCPDURL>/WANIPCn.xml</SCPDURL></service>"
                         "</serviceList></device></deviceList></device></deviceList></device></root>";
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(document.size())
                                   + "\r\nConnection: close\r\n\r\n" + document;
        if (options_.description == "slow") {
            c.toSend = answer;
            c.slow = true;
            c.nextSlowByte = Clock::now();
        } else {
            c.toSend = answer;
        }
    }

    void command(Connection &c, std::string action, const std::string &body)
    {
        const size_t hash = action.find('#');
        action = hash == std::string::npos ? action : action.substr(hash + 1);
        if (!action.empty() && action.back() == '"')
            action.pop_back();
        const std::string port = field(body, "NewExternalPort");
        std::string values;
        int error = 0;
        if (action == "GetExternalIPAddress") {
            values = "<NewExternalIPAddress>" + options_.external + "</NewExternalIPAddress>";
            say("upnp GetExternalIPAddress");
        } else if (action == "AddPortMapping") {
            const long asked = std::atol(field(body, "NewLeaseDuration").c_str());
            if (options_.permanentOnly && asked != 0) {
                error = 725;
                say("upnp AddPortMapping " + port + " lease " + std::to_string(asked) + " refused 725");
            } else {
                mappings_[port] = granted(uint32_t(asked));
                say("upnp AddPortMapping " + port + " lease " + std::to_string(asked) + " granted " + std::to_string(mappings_[port]));
                tarpitting_ = options_.tarpitAfterAdd;
            }
        } else if (action == "GetSpecificPortMappingEntry") {
            if (mappings_.count(port))
                values = "<NewInternalPort>" + port + "</NewInternalPort><NewInternalClient>10.77.0.2</NewInternalClient>"
                         "<NewEnabled>1</NewEnabled><NewPortMappingDescription>Vrel game</NewPortMappingDescription>"
                         "<NewLeaseDuration>" + std::to_string(mappings_[port]) + "</NewLeaseDuration>";
            else
                error = 714;
            say("upnp GetSpecificPortMappingEntry " + port);
        } else if (action == "DeletePortMapping") {
            error = mappings_.erase(port) ? 0 : 714;
            say("upnp DeletePortMapping " + port);
        } else {
            error = 401;
            say("upnp " + action);
        }
        std::string envelope = "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                               "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>";
        if (error)
            envelope += "<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring><detail><UPnPError "
                        "xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" + std::to_string(error)
                        + "</errorCode><errorDescription>refused</errorDescription></UPnPError></detail></s:Fault>";
        else
            envelope += "<u:" + action + "Response xmlns:u=\"" + kService + "\">" + values + "</u:" + action + "Response>";
        envelope += "</s:Body></s:Envelope>\r\n";
        c.toSend = std::string(error ? "HTTP/1.1 500 Internal Server Error" : "HTTP/1.1 200 OK")
                   + "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nContent-Length: " + std::to_string(envelope.size())
                   + "\r\nConnection: close\r\n\r\n" + envelope;
    }

    void write(Connection &c)
    {
        if (c.endless && c.toSend.size() < 65536)
            c.toSend += std::string(4096, ' ') + "<service><serviceType>x</serviceType></service>";
        const ssize_t n = ::send(c.fd, c.toSend.data(), c.toSend.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno != EAGAIN)
                hangUp(c);
            return;
        }
        c.sent += n;
        c.toSend.erase(0, size_t(n));
        if (c.toSend.empty() && !c.endless) {
            ::close(c.fd);
            connections_.erase(c.fd);
        }
    }

    void trickle()
    {
        std::vector<int> done;
        for (auto &[fd, c] : connections_) {
            if (!c->slow || c->toSend.empty() || Clock::now() < c->nextSlowByte)
                continue;
            if (::send(fd, c->toSend.data(), 1, MSG_NOSIGNAL) == 1) {
                c->toSend.erase(0, 1);
                ++c->sent;
            }
            c->nextSlowByte = Clock::now() + std::chrono::milliseconds(300);
            if (c->toSend.empty())
                done.push_back(fd);
        }
        for (int fd : done) {
            ::close(fd);
            connections_.erase(fd);
        }
    }

    Options options_;
    int natpmp_ = -1;
    int ssdp_ = -1;
    int http_ = -1;
    int httpPort_ = 0;
    bool tarpitting_ = false;
    std::map<std::string, uint32_t> mappings_;
    std::map<int, std::unique_ptr<Connection>> connections_;
};

} // namespace

int main(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto next = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (arg == "--natpmp")
            options.natpmp = true;
        else if (arg == "--upnp")
            options.upnp = true;
        else if (arg == "--external")
            options.external = next();
        else if (arg == "--lease")
            options.lease = std::atol(next().c_str());
        else if (arg == "--permanent-only")
            options.permanentOnly = true;
        else if (arg == "--description")
            options.description = next();
        else if (arg == "--tarpit-after-add")
            options.tarpitAfterAdd = true;
        else {
            std::fprintf(stderr, "hostile_router: unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    return Router(options).run();
}
