#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

class QNetworkAccessManager;
class QNetworkReply;

// The Agones SDK server that runs beside a game server in its pod, spoken to over its REST API on
// 127.0.0.1 (the port in AGONES_SDK_HTTP_PORT): Ready, Health, labels, the game server's state as
// Agones changes it, and Shutdown. Nothing waits: every call is answered later on the event loop,
// and what the SDK server says is logged through activity().
class AgonesSdk : public QObject
{
    Q_OBJECT
public:
    // The port named by AGONES_SDK_HTTP_PORT; 0 when it names none (no Agones).
    static quint16 portFromEnvironment();

    explicit AgonesSdk(quint16 port, QObject *parent = nullptr);
    ~AgonesSdk() override;

    // Marks the game server Ready, asking again every second until the SDK server accepts (it may
    // start after the game server does). Then the game server's state is watched.
    void ready();
    bool isReady() const { return ready_; }
    // One health ping once Ready is accepted; none while the last one is unanswered, so a host
    // whose pings go unanswered does not pile them up.
    void health();
    // Sets the game server's label "agones.dev/sdk-KEY". Labels go one at a time in the order
    // set; a value set while another is on its way waits, and only the latest one goes.
    void setLabel(const QString &key, const QString &value);
    // Asks Agones to shut the game server down (once); shutdownAnswered() follows.
    void shutdown();
    bool shutdownAsked() const { return shutdownState_ != Shutdown::NotAsked; }
    bool shutdownAnswered() const { return shutdownState_ == Shutdown::Answered; }

    // How long a call may take before it counts as failed.
    static constexpr int kCallTimeoutMs = 3000;
    // How long a refused or failed Ready, label or watch waits before it is made again.
    static constexpr int kRetryMs = 1000;

signals:
    void stateChanged(const QString &state); // "Ready", "Allocated", "Shutdown"...
    void shutdownDone(bool accepted);
    void activity(const QString &line);

private:
    enum class Shutdown { NotAsked, Asked, Answered };

    QNetworkReply *call(const QByteArray &method, const QString &path, const QByteArray &body, int timeoutMs);
    static bool succeeded(QNetworkReply *reply);
    void sendLabel();
    void watch();
    void readWatched();
    void watchEnded();
    void takeState(const QByteArray &line);
    void noteFailure(const QString &what, QNetworkReply *reply);

    quint16 port_;
    QNetworkAccessManager *manager_;
    bool ready_ = false;
    bool readyAsked_ = false;
    bool healthPending_ = false;
    bool failing_ = false; // the last call failed: told once until one succeeds again
    QMap<QString, QString> labels_;   // the values wanted
    QMap<QString, QString> labelled_; // the values the SDK server took
    bool labelPending_ = false;
    QNetworkReply *watching_ = nullptr;
    QByteArray watched_; // what the watch stream sent after its last complete line
    QString state_;
    Shutdown shutdownState_ = Shutdown::NotAsked;
    QTimer retry_;
    QTimer labelRetry_;
    QTimer watchRetry_;
};
