#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class Link;

// A game tried before the window leaves the game it is in: a connection is made to the address
// and held until the host's first message arrives. Then the connection, with everything received
// on it, is handed over (to ClientSession::joinOver); a game that does not answer (its name not
// found, refused, unreachable, silent for kAnswerSeconds, or full) is told as failed() and the
// window stays where it was.
class JoinProbe : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAnswerSeconds = 10;

    // `host` is a name or an address, `addressText` the address as the player reads it.
    JoinProbe(const QString &host, int port, const QString &addressText, QObject *parent = nullptr);
    ~JoinProbe() override;

    // After answered(): the connection, and the bytes read from it so far.
    std::unique_ptr<Link> takeLink();
    const QByteArray &received() const { return received_; }
    // Tests wait less.
    void setAnswerMilliseconds(int ms) { answerTimer_.setInterval(ms); }

signals:
    void answered();
    // The game did not answer; why, in a player's words.
    void failed(const QString &reason);

private:
    void read(const QByteArray &bytes);
    void fail(const QString &reason);

    std::unique_ptr<Link> link_;
    QString host_;
    QString addressText_;
    QByteArray received_;
    QTimer answerTimer_;
    bool over_ = false;
};
