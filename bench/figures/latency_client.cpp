#include "latency_client.h"

#include "protocol/constants.h"
#include "protocol/messages.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

double msSince(Clock::time_point then, Clock::time_point now)
{
    return std::chrono::duration<double, std::milli>(now - then).count();
}

} // namespace

LatencyClient::LatencyClient(std::string name, int port, unsigned seed, Role role, Pace pace)
    : name_(std::move(name))
    , port_(port)
    , role_(role)
    , pace_(pace)
    , random_(seed)
{
}

int LatencyClient::randomMs(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random_);
}

short LatencyClient::pollEvents() const
{
    return out_.isEmpty() ? POLLIN : POLLIN | POLLOUT;
}

bool LatencyClient::connect()
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return true;
}

void LatencyClient::send(const QByteArray &message)
{
    out_ += message;
    flush();
}

void LatencyClient::flush()
{
    while (fd_ >= 0 && !out_.isEmpty()) {
        const ssize_t sent = ::send(fd_, out_.constData(), size_t(out_.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent <= 0)
            return;
        out_.remove(0, sent);
    }
}

void LatencyClient::act(Clock::time_point now)
{
    if (!loggedIn_ || fd_ < 0)
        return;
    if (startsGames_ && !gameRunning_) {
        send(msg::encode(msg::StartGame {QByteArray::fromStdString(name_), "20", "40"}));
        gameRunning_ = true;
        ++gamesStarted;
    }
    if (role_ != Role::Player && !chatOutstanding_ && now >= nextChatAt_) {
        QByteArray text = "c" + QByteArray::number(qlonglong(++chatSerial_)) + " well that was close, who is ahead";
        send(msg::encode(msg::Chat {seat_, text + "|clNavy"}));
        chatOutstanding_ = true;
        chatSentAt_ = now;
    }
    if (wordPhase_ && !wordOutstanding_ && now >= nextWordAt_) {
        msg::MyWord word {seat_, {}};
        const QByteArray typed = guess();
        for (int i = 0; i < proto::kWordLength; ++i)
            word.codes[size_t(i)] = typed.at(i) - 'a' + 1;
        send(msg::encode(word));
        wordOutstanding_ = true;
        wordSentAt_ = now;
    }
}

// The shown letters with the blanks filled at random: mostly not a word, so the round stays
// open, now and then one that is.
QByteArray LatencyClient::guess()
{
    QByteArray typed(proto::kWordLength, 'a');
    for (int i = 0; i < proto::kWordLength; ++i) {
        const char shown = i < masked_.size() ? masked_.at(i) : '_';
        typed[i] = shown >= 'a' && shown <= 'z' ? shown : char('a' + randomMs(0, 25));
    }
    return typed;
}

void LatencyClient::onEvents(short revents, Clock::time_point now)
{
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        char buffer[65536];
        while (true) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                for (const QByteArray &line : cutter_.feed(QByteArray(buffer, int(n))))
                    handle(line, now);
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
            break;
        }
    }
    if (fd_ >= 0 && (revents & POLLOUT))
        flush();
}

void LatencyClient::handle(const QByteArray &line, Clock::time_point now)
{
    const proto::VerbAndData message = proto::splitVerb(line);
    const QByteArray &verb = message.verb;
    const QByteArray &data = message.data;
    const auto verdict = [&] {
        if (wordOutstanding_ && recording_)
            verdictMs.push_back(msSince(wordSentAt_, now));
        wordOutstanding_ = false;
        nextWordAt_ = now + std::chrono::milliseconds(randomMs(pace_.wordMinMs, pace_.wordMaxMs));
    };
    if (verb == msg::SendLoginInfo::verb) {
        if (const auto m = msg::decode<msg::SendLoginInfo>(data)) {
            seat_ = m->seat;
            send(msg::encode(msg::LoginInfo {seat_, proto::kVersion, QByteArray::fromStdString(name_)}));
        }
    } else if (verb == msg::NewPlayerInfo::verb) {
        if (const auto m = msg::decode<msg::NewPlayerInfo>(data); m && m->seat == seat_)
            loggedIn_ = true;
    } else if (verb == msg::Chat::verb) {
        const auto m = msg::decode<msg::Chat>(data);
        const QByteArray mark = " chats: c" + QByteArray::number(qlonglong(chatSerial_)) + ' ';
        if (m && m->seat == seat_ && chatOutstanding_ && m->text.contains(mark)) {
            if (recording_)
                chatMs.push_back(msSince(chatSentAt_, now));
            chatOutstanding_ = false;
            nextChatAt_ = now + std::chrono::milliseconds(role_ == Role::Chatter ? 20 : randomMs(pace_.chatMinMs, pace_.chatMaxMs));
        }
    } else if (verb == msg::NextPlayer::verb) {
        if (const auto m = msg::decode<msg::NextPlayer>(data); m && m->seat == seat_ && role_ == Role::Player) {
            masked_ = m->masked;
            wordPhase_ = true;
            wordOutstanding_ = false;
        }
    } else if (verb == msg::NewWord::verb) {
        if (const auto m = msg::decode<msg::NewWord>(data); m && m->seat == seat_) {
            masked_ = m->masked;
            verdict();
        }
    } else if (verb == msg::Invalid::verb) {
        if (const auto m = msg::decode<msg::Invalid>(data); m && m->seat == seat_)
            verdict();
    } else if (verb == msg::AllFilled::verb) {
        if (const auto m = msg::decode<msg::AllFilled>(data); m && m->seat == seat_) {
            verdict();
            wordPhase_ = false;
        }
    } else if (verb == msg::TimeUp::verb || verb == msg::AllDone::verb) {
        wordPhase_ = false;
        wordOutstanding_ = false;
    } else if (verb == msg::Winner::verb) {
        gameRunning_ = false;
        wordPhase_ = false;
    }
}
