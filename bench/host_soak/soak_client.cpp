#include "soak_client.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char kTerminator = '\xFF';
// A steady player's pause after its line came back: a little slower than the host passes one
// connection's lines on (three a second), as fast typing is.
constexpr int kChatPauseMs = 350;
const char *const kWords[] = {"well", "that", "was", "close", "nice", "one", "who", "is", "ahead", "again",
                              "round", "letters", "hmm", "lol", "gg", "wait", "for", "it", "brb", "ok"};
const char *const kColours[] = {"clRed", "clNavy", "clGreen", "$000080FF", "clPurple"};

// The field after the verb and the given number of "+" separators.
std::string field(const std::string &message, int index)
{
    size_t start = 0;
    for (int i = 0; i <= index; ++i) {
        start = message.find('+', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    return message.substr(start, message.find('+', start) - start);
}

int number(const std::string &text)
{
    try {
        return std::stoi(text);
    } catch (...) {
        return -1;
    }
}

} // namespace

SoakClient::SoakClient(Kind kind, std::string name, int port, bool startsGames, unsigned seed,
                       const std::vector<std::string> &wordPool)
    : kind_(kind)
    , name_(std::move(name))
    , wordPool_(wordPool)
    , port_(port)
    , startsGames_(startsGames)
    , random_(seed)
{
}

int SoakClient::randomMs(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random_);
}

short SoakClient::pollEvents() const
{
    short events = reading_ ? POLLIN : 0;
    if (connecting_ || !out_.empty())
        events |= POLLOUT;
    return events;
}

void SoakClient::connect(Clock::time_point now)
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (kind_ == Kind::Silent) {
        // A client whose program stopped reading: its system's buffer fills soon, as on a
        // slow line, and everything else piles up at the host.
        const int small = 4096;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
        hangUp(now, 1000);
        return;
    }
    connecting_ = true;
}

void SoakClient::hangUp(Clock::time_point now, int waitMs)
{
    // The flooder takes turns: a burst of chat lines one time, overlong lines the next.
    if (kind_ == Kind::Flooder && loggedIn_)
        floodMode_ ^= 1;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    connecting_ = false;
    reading_ = true;
    in_.clear();
    out_.clear();
    seat_ = 0;
    loggedIn_ = false;
    chatOutstanding_ = false;
    wordPending_ = false;
    gameRunning_ = false;
    connectAt_ = now + std::chrono::milliseconds(waitMs);
}

void SoakClient::queue(const std::string &message)
{
    out_ += message;
    out_ += kTerminator;
    flush();
}

void SoakClient::flush()
{
    while (fd_ >= 0 && !connecting_ && !out_.empty()) {
        const ssize_t sent = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent <= 0)
            return;
        out_.erase(0, size_t(sent));
    }
}

void SoakClient::seatFreedByHost(int seat, SoakCounts &counts)
{
    if (kind_ == Kind::Silent && fd_ >= 0 && seat == seat_) {
        ++counts.silentClosed;
        hangUp(Clock::now(), 1000);
    }
}

void SoakClient::act(Clock::time_point now, SoakCounts &counts)
{
    if (fd_ < 0) {
        if (now >= connectAt_)
            connect(now);
        return;
    }
    if (!loggedIn_)
        return;
    if (kind_ == Kind::Flooder) {
        if (floodMode_ == 1 && now >= leaveAt_)
            hangUp(now, 1000);
        else
            flood();
        return;
    }
    if (kind_ == Kind::Silent)
        return;
    if (kind_ == Kind::Churner && now >= leaveAt_) {
        hangUp(now, 3000);
        return;
    }
    if (!chatOutstanding_ && now >= nextChatAt_)
        sendChat(now);
    if (wordPending_ && now >= wordAt_)
        sendWord(now, counts);
    if (now >= nextSoundAt_) {
        queue("CMD_playasound+" + std::to_string(seat_) + "+wave" + std::to_string(randomMs(1, 20)) + '+');
        nextSoundAt_ = now + std::chrono::milliseconds(randomMs(5000, 15000));
    }
    if (startsGames_ && !gameRunning_ && now >= startGameAt_) {
        queue("CMD_startgame+" + name_ + "+5+30+");
        gameRunning_ = true;
        ++counts.gamesStarted;
    }
}

void SoakClient::sendChat(Clock::time_point now)
{
    std::string text = "c" + std::to_string(++chatSerial_) + ' ';
    const int length = randomMs(20, 480);
    while (int(text.size()) < length) {
        const int pick = randomMs(0, 24);
        text += pick < 20 ? kWords[pick] : pick == 20 ? ":)#12" : pick == 21 ? "www.example.org" : "+";
        text += ' ';
    }
    queue("CMD_chat+" + std::to_string(seat_) + '+' + text + '|' + kColours[randomMs(0, 4)]);
    chatOutstanding_ = true;
    chatSentAt_ = now;
}

void SoakClient::sendWord(Clock::time_point, SoakCounts &counts)
{
    wordPending_ = false;
    ++counts.wordsSent;
    if (++attempts_ % 4 == 0) {
        queue("CMD_pass+" + std::to_string(seat_) + '+');
        return;
    }
    const std::string word = guess();
    std::string message = "CMD_myword+" + std::to_string(seat_);
    for (int i = 0; i < 5; ++i)
        message += '+' + std::to_string(i + 1) + '+' + std::to_string(word[size_t(i)] - 'a' + 1);
    queue(message);
}

// Mostly a pool word that keeps the shown letters (often the dealt word itself), sometimes a
// typo: the shown letters and random ones in the blanks.
std::string SoakClient::guess()
{
    std::string typed(5, 'a');
    for (size_t i = 0; i < 5; ++i) {
        const char shown = i < masked_.size() ? masked_[i] : '_';
        typed[i] = shown >= 'a' && shown <= 'z' ? shown : char('a' + randomMs(0, 25));
    }
    if (randomMs(0, 9) < 3)
        return typed;
    std::vector<const std::string *> fitting;
    for (const std::string &word : wordPool_) {
        bool fits = word.size() == 5;
        for (size_t i = 0; fits && i < masked_.size() && i < 5; ++i)
            fits = masked_[i] == '_' || masked_[i] == word[i];
        if (fits)
            fitting.push_back(&word);
    }
    if (fitting.empty())
        return typed;
    return *fitting[size_t(randomMs(0, int(fitting.size()) - 1))];
}

void SoakClient::flood()
{
    if (out_.size() < 256 * 1024) {
        const std::string seat = std::to_string(seat_);
        if (floodMode_ == 0) {
            const std::string line = "CMD_chat+" + seat + "+flood|clRed" + kTerminator;
            for (int i = 0; i < 2000; ++i)
                out_ += line;
        } else {
            out_ += "CMD_chat+" + seat + '+' + std::string(100000, 'z') + "|clRed" + kTerminator;
        }
    }
    flush();
}

void SoakClient::onEvents(short revents, Clock::time_point now, SoakCounts &counts, std::vector<int> &freedSeats)
{
    if (connecting_) {
        if (!(revents & (POLLOUT | POLLERR | POLLHUP)))
            return;
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            hangUp(now, 1000);
            return;
        }
        connecting_ = false;
    }
    if (reading_ && (revents & (POLLIN | POLLHUP | POLLERR))) {
        char buffer[65536];
        while (true) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                in_.append(buffer, size_t(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                if (kind_ == Kind::Flooder && loggedIn_)
                    ++counts.floodsClosed;
                hangUp(now, 1000);
                return;
            }
            break;
        }
        size_t end;
        while (fd_ >= 0 && reading_ && (end = in_.find(kTerminator)) != std::string::npos) {
            const std::string message = in_.substr(0, end);
            in_.erase(0, end + 1);
            handle(message, now, counts, freedSeats);
        }
    }
    if (fd_ >= 0 && (revents & POLLOUT))
        flush();
}

void SoakClient::handle(const std::string &message, Clock::time_point now, SoakCounts &counts,
                        std::vector<int> &freedSeats)
{
    const std::string verb = message.substr(0, message.find('+'));
    const int seatField = number(field(message, 0));
    if (verb == "CMD_sendlogininfo") {
        seat_ = seatField;
        ++counts.seatsTaken;
        out_.clear();
        queue("CMD_logininfo+" + std::to_string(seat_) + "+1.0.4+" + name_ + kTerminator);
        loggedIn_ = true;
        leaveAt_ = now + std::chrono::milliseconds(kind_ == Kind::Flooder ? 20000 : randomMs(10000, 20000));
        nextSoundAt_ = now + std::chrono::milliseconds(randomMs(1000, 10000));
        startGameAt_ = now + std::chrono::seconds(3);
        if (kind_ == Kind::Silent)
            reading_ = false; // from now on nothing is read
    } else if (verb == "CMD_full") {
        ++counts.fullAnswers;
        hangUp(now, 2000);
    } else if (verb == "CMD_playerdisconnected") {
        freedSeats.push_back(seatField);
    } else if (verb == "CMD_chat" && message.rfind("CMD_chat+0+", 0) == 0) {
        // The host's notice that lines came too fast: the line waited for was dropped.
        chatOutstanding_ = false;
        nextChatAt_ = now + std::chrono::milliseconds(1000);
    } else if (verb == "CMD_chat" && seatField == seat_ && chatOutstanding_) {
        const std::string mark = " chats: c" + std::to_string(chatSerial_) + ' ';
        if (message.find(mark) != std::string::npos) {
            chatOutstanding_ = false;
            ++counts.chatsRelayed;
            counts.chatDelaysMs.push_back(std::chrono::duration<double, std::milli>(now - chatSentAt_).count());
            // As fast as the host passes one player's lines on (three a second).
            nextChatAt_ = now + std::chrono::milliseconds(kChatPauseMs);
        }
    } else if (verb == "CMD_hiscount" && seatField == seat_) {
        ++counts.wordsAccepted;
    } else if ((verb == "CMD_nextplayer" || verb == "CMD_newword") && seatField == seat_ && seat_ <= 6) {
        masked_ = field(message, verb == "CMD_nextplayer" ? 2 : 3);
        wordPending_ = true;
        wordAt_ = now + std::chrono::milliseconds(randomMs(300, 2000));
    } else if (verb == "CMD_invalid" && seatField == seat_) {
        ++counts.verdicts;
        wordPending_ = true;
        wordAt_ = now + std::chrono::milliseconds(randomMs(300, 2000));
    } else if (verb == "CMD_allfilled" || verb == "CMD_timeup" || verb == "CMD_alldone") {
        wordPending_ = false;
    } else if (verb == "CMD_startgame") {
        gameRunning_ = true;
    } else if (verb == "CMD_winner") {
        gameRunning_ = false;
        if (startsGames_) {
            ++counts.winners;
            startGameAt_ = now + std::chrono::seconds(5);
        }
    }
}
