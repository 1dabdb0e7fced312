#include "app/lobby/tdownload.h"

#include "app/lobby/download_limits.h"
#include "app/lobby/download_target.h"
#include "app/lobby/jpeg_picture.h"
#include "app/lobby/lobby_programs.h"
#include "client/board_controls.h"
#include "client/message_box.h"
#include "net/error_sink.h"
#include "net/thttpcli.h"
#include "resources/art/art.h"
#include "resources/art/palette.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>

#include <functional>

namespace {

const QSize kWindowSize {500, 432};
const QRect kDownloadPanel {10, 10, 480, 196};
const QRect kSoloPanel {10, 214, 480, 126};
const QRect kLobbyPanel {10, 348, 480, 74};
const QSize kPanelButton {180, 26};

constexpr char kPicture[] = ":/lobby/lobby.jpg";
constexpr char kAgent[] = "Mozilla/3.0 (compatible)";
constexpr char kAccept[] = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
constexpr char kTagProperty[] = "Tag";
constexpr int kTagRunningOrDone = 1;
constexpr int kTagStopped = 2;

QLabel *panelText(QWidget *parent, const QString &objectName, const QString &text, const QRect &place, int pixelSize,
                  bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(boardFont(pixelSize, bold));
    label->setGeometry(place);
    return label;
}

QPushButton *panelButton(QWidget *parent, const QString &objectName, const QString &text, const QRect &place,
                         std::function<void()> onClick)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setFont(boardFont(12, true));
    button->setGeometry(place);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, parent, [onClick = std::move(onClick)] { vrel::guarded(onClick); });
    return button;
}

// A line of text across a panel, `top` pixels below the panel's top.
QRect acrossPanel(const QRect &panel, int top, int height)
{
    return QRect(panel.left() + 10, panel.top() + top, panel.width() - 20, height);
}

QString cannotCreate(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), why);
}

// A button centred across a panel, `top` pixels below the panel's top.
QRect centredIn(const QRect &panel, int top, QSize size = kPanelButton)
{
    return QRect(QPoint(panel.center().x() - size.width() / 2 + 1, panel.top() + top), size);
}

} // namespace

Tdownload::Tdownload(LobbyConfig config, QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , config_(std::move(config))
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Download The Kovren Lobby"));
    setModal(false);
    setFixedSize(kWindowSize);
    // Its texts are black on peach panels whatever the desktop's theme.
    setPalette(art::windowPalette());

    HttpCli1 = new THttpCli(this);
    HttpCli1->setObjectName(QStringLiteral("HttpCli1"));
    HttpCli1->Agent = QString::fromLatin1(kAgent);
    HttpCli1->Accept = QString::fromLatin1(kAccept);
    HttpCli1->MaxBodySize = download_limits::kLargestInstaller;
    HttpCli1->SilenceTimeoutMs = download_limits::kSilenceMs;
    freeSpace = download_limits::freeBytes;
    HttpCli1->OnHeaderData = [this](THttpCli *, const QByteArray &) { HttpCli1HeaderData(); };
    HttpCli1->OnDocBegin = [this](THttpCli *) { HttpCli1DocBegin(); };
    HttpCli1->OnDocData = [this](THttpCli *, QByteArrayView, qint64 count) { HttpCli1DocData(count); };

    buildDownloadPanel();
    buildSoloPanel();
    buildLobbyPanel();
    Button1->setDefault(true);
    Button1->setFocus();
}

void Tdownload::buildDownloadPanel()
{
    const QRect &panel = kDownloadPanel;
    picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("image_lobby"));
    picture->setAccessibleName(QStringLiteral("The Kovren Lobby"));
    picture->setGeometry(panel.left() + 10, panel.top() + 10, 150, 120);
    QFile file(QString::fromLatin1(kPicture));
    const QImage image = file.open(QIODevice::ReadOnly) ? decodeJpeg(file.readAll()) : QImage();
    if (!image.isNull())
        picture->setPixmap(QPixmap::fromImage(image));

    const int right = panel.left() + 172;
    const int width = panel.right() - 10 - right;
    panelText(this, QStringLiteral("label_download"),
              QStringLiteral("Download The Kovren Lobby Now to play this  and other exciting games online with other "
                             "players! "),
              QRect(right, panel.top() + 10, width, 66), 14, true);
    getbutton = panelButton(this, QStringLiteral("getbutton"), QStringLiteral("Download And Install The Kovren Lobby Now"),
                            QRect(right, panel.top() + 80, width, 28), [this] { getbuttonClick(); });
    abortbutton = panelButton(this, QStringLiteral("abortbutton"), QStringLiteral("Stop Download"),
                              QRect(right + (width - kPanelButton.width()) / 2, panel.top() + 112, kPanelButton.width(), 24),
                              [this] { abortbuttonClick(); });
    abortbutton->setEnabled(false);

    infolabel = panelText(this, QStringLiteral("infolabel"), QString(), acrossPanel(panel, 140, 20), 13, true);
    infolabel->setWordWrap(false);
    infolabel->setProperty(kTagProperty, 0);
    infolabel3 = panelText(this, QStringLiteral("infolabel3"), QString(), acrossPanel(panel, 164, 20), 13, true);
    infolabel3->setWordWrap(false);
    infolabel2 = new QLabel(this);
    infolabel2->setObjectName(QStringLiteral("infolabel2"));
    infolabel2->hide();
}

void Tdownload::buildSoloPanel()
{
    const QRect &panel = kSoloPanel;
    panelText(this, QStringLiteral("label_solo"),
              QStringLiteral("To proceed to the game without the ability to play against others click the button below."),
              acrossPanel(panel, 8, 36), 13, true);
    panelText(this, QStringLiteral("label_firewall"),
              QStringLiteral("Note: Even if you are playing offline, you will need to configure your FIREWALL to allow the "
                             "game to access the internet components."),
              acrossPanel(panel, 48, 36), 12, false);
    Button1 = panelButton(this, QStringLiteral("Button1"), QStringLiteral("Play Solo Game"), centredIn(panel, 90),
                          [this] { Button1Click(); });
}

void Tdownload::buildLobbyPanel()
{
    const QRect &panel = kLobbyPanel;
    panelText(this, QStringLiteral("label_lobby"),
              QStringLiteral("If you already have The Kovren Lobby and you wish to play with others then click the button "
                             "below to close this game and open The Kovren Lobby."),
              acrossPanel(panel, 8, 32), 12, false);
    Button2 = panelButton(this, QStringLiteral("Button2"), QStringLiteral("Play with Others"), centredIn(panel, 40),
                          [this] { Button2Click(); });
}

int Tdownload::infoTag() const
{
    return infolabel->property(kTagProperty).toInt();
}

void Tdownload::setInfoTag(int tag)
{
    infolabel->setProperty(kTagProperty, tag);
}

// ---------------------------------------------------------------- the three ways on

void Tdownload::Button1Click()
{
    close();
}

void Tdownload::Button2Click()
{
    if (!QFileInfo::exists(config_.lobbyProgram)) {
        messagebox::show(this, QString::fromLatin1(kNoLobbyText));
        return;
    }
    if (!lobby::startLobby(config_.lobbyProgram)) {
        messagebox::show(this, QString::fromLatin1(kErrorText));
        return;
    }
    emit exitGame();
}

void Tdownload::getbuttonClick()
{
    if (HttpCli1->busy())
        return;
    setInfoTag(kTagRunningOrDone);
    const QString name = installerFileName(config_.downloadUrl);
    infolabel2->setText(name);
    downloadFolder_ = downloadFolder();
    if (!download_limits::roomFor(freeSpace(downloadFolder_), 0)) {
        showFailure(QString::fromLatin1(download_limits::kDiskFull));
        return;
    }

    // The download goes to a new file beside its place and takes that place only when it is
    // complete: however else it ends, the earlier file stays as it was and nothing is left.
    const QString target = QDir(downloadFolder_).filePath(name);
    if (!downloadInto(target))
        return;
    infolabel3->setText(QStringLiteral("Installing"));
    if (!lobby::startInstaller(target, config_.installerSha256)) {
        messagebox::show(this, QString::fromLatin1(kErrorText));
        return;
    }
    emit exitGame();
}

// True when the whole installer is in place.
bool Tdownload::downloadInto(const QString &target)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        messagebox::show(this, cannotCreate(target, file.errorString()));
        return false;
    }
    HttpCli1->URL = config_.downloadUrl;
    HttpCli1->RcvdStream = &file;
    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    infolabel->setText(QStringLiteral("Loading"));

    QString failure;
    try {
        HttpCli1->Get();
        // An answer that is no document (a redirection without an address) is no installer.
        const int status = HttpCli1->StatusCode();
        if (status < 200 || status > 299)
            failure = download_limits::failureText(*HttpCli1);
    } catch (const EHttpException &) {
        failure = download_limits::failureText(*HttpCli1);
    }
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    HttpCli1->RcvdStream = nullptr;

    if (!failure.isEmpty()) {
        file.cancelWriting();
        // "Stop Download" has said so already.
        showFailure(infoTag() == kTagStopped ? infolabel3->text() : failure);
        return false;
    }
    infolabel->setText(QStringLiteral("Received %1 bytes").arg(file.size()));
    if (!file.commit()) {
        messagebox::show(this, cannotCreate(target, file.errorString()));
        return false;
    }
    return true;
}

void Tdownload::showFailure(const QString &why)
{
    infolabel->setText(QStringLiteral("Download Aborted"));
    infolabel3->setText(why);
    setInfoTag(kTagStopped);
}

void Tdownload::abortbuttonClick()
{
    HttpCli1->Abort();
    infolabel->setText(QStringLiteral("Download has been aborted."));
    setInfoTag(kTagStopped);
    infolabel3->setText(QStringLiteral("Download Aborted"));
}

// ---------------------------------------------------------------- progress

void Tdownload::HttpCli1HeaderData()
{
    infolabel->setText(infolabel->text() + QLatin1Char('.'));
}

void Tdownload::HttpCli1DocBegin()
{
    infolabel3->setText(QStringLiteral("Downloading: ") + infolabel2->text());
    if (!download_limits::roomFor(freeSpace(downloadFolder_), HttpCli1->ContentLength().value_or(0)))
        HttpCli1->Abort(QString::fromLatin1(download_limits::kDiskFull));
}

void Tdownload::HttpCli1DocData(qint64 count)
{
    infolabel->setText(QStringLiteral("%1 bytes").arg(count));
    // A body without a length, or a disk that other programs fill meanwhile.
    if (!download_limits::roomFor(freeSpace(downloadFolder_), 0))
        HttpCli1->Abort(QString::fromLatin1(download_limits::kDiskFull));
}

// ---------------------------------------------------------------- the window

void Tdownload::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Opens with the keys on "Play Solo Game", its default: Enter goes on playing.
    Button1->setFocus();
    if (const QScreen *desktop = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tdownload::reject()
{
    if (HttpCli1->busy())
        abortbuttonClick();
    QDialog::reject();
}

void Tdownload::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, art::dialogBackground(size()));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(art::palette::frame, 1.0));
    p.setBrush(art::palette::peachLight);
    for (const QRect &panel : {kDownloadPanel, kSoloPanel, kLobbyPanel})
        p.drawRoundedRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}
