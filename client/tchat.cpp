#include "client/tchat.h"

#include "chat/chatentry.h"
#include "chat/chatview.h"
#include "chat/colourtext.h"
#include "chat/outgoingline.h"
#include "chat/receivedchat.h"
#include "chat/smileybutton.h"
#include "client/board.h"
#include "client/key_codes.h"
#include "client/board_controls.h"
#include "client/message_box.h"
#include "client/picture_controls.h"
#include "client/results_panel.h"
#include "client/round_display.h"
#include "client/seat_rows.h"
#include "client/tile_set.h"
#include "client/tspylist.h"
#include "client/winner_banner.h"
#include "engine/messages.h"
#include "engine/tserver.h"
#include "net/error_sink.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace layout = art::layout;

namespace {

constexpr int kTimer1Ms = 15;
constexpr int kBoardMargin = 4;
const QSize kDefaultWindowSize {775, 577};

// The verbs a client handles, in the order the dispatcher compares them.
const std::vector<QByteArray> &clientVerbs()
{
    static const std::vector<QByteArray> verbs = {
        "CMD_sendlogininfo", "CMD_chat",          "CMD_action",          "CMD_newplayerinfo",
        "CMD_havewrongversion", "CMD_wrongversion", "CMD_existingplayers", "CMD_playerdisconnected",
        "CMD_full",          "CMD_justwatching",  "CMD_startgame",       "CMD_nextplayer",
        "CMD_winner",        "CMD_startround",    "CMD_invalid",         "CMD_newword",
        "CMD_allfilled",     "CMD_postscores",    "CMD_hiscount",        "CMD_timeup",
        "CMD_loadstats",     "CMD_alldone",       "CMD_playasound",
    };
    return verbs;
}

quint32 colourValue(const QColor &colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

QColor qtColour(quint32 value)
{
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

} // namespace

Tchat::Tchat(Startup startup, QWidget *parent)
    : QMainWindow(parent)
    , startup_(std::move(startup))
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Vrel"));
    setWindowIcon(art::appIcon());

    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("client"));
    central_->setMinimumSize(layout::boardSize + QSize(kBoardMargin, kBoardMargin));
    central_->setAutoFillBackground(true);
    QPalette backdrop = central_->palette();
    backdrop.setColor(QPalette::Window, QColor(0x4A, 0x1C, 0x12));
    central_->setPalette(backdrop);
    setCentralWidget(central_);

    buildBoard();
    buildChat();
    buildMenus();
    resize(kDefaultWindowSize);

    sock.setPortName(QString::number(startup_.port));
    sock.OnRead = [this](TSock *s, int count) { sockRead(s, count); };
    sock.OnInfo = [this](TSock *s, TSocketInfo kind, const QString &text) { sockInfo(s, kind, text); };
    Sock11.setHostName(QStringLiteral("127.0.0.1"));
    Sock11.setPortName(QStringLiteral("9001"));

    for (const QByteArray &verb : clientVerbs())
        table_.emplace_back(verb, Handler());
    setHandler("CMD_sendlogininfo", [this](const QByteArray &d) { sendloginfo(d); });
    setHandler("CMD_chat", [this](const QByteArray &d) { chatrecieved(d); });
    setHandler("CMD_action", [this](const QByteArray &d) { chatrecieved(d); });
    setHandler("CMD_newplayerinfo", [this](const QByteArray &d) { newplayerinfo(d); });
    setHandler("CMD_havewrongversion", [this](const QByteArray &d) {
        systemLine(QString::fromUtf8(d) + QStringLiteral(" has a different version of the game then you."));
    });
    setHandler("CMD_wrongversion", [this](const QByteArray &) {
        systemLine(QStringLiteral("You have a differnt version of the game then the host."));
    });
    setHandler("CMD_existingplayers", [this](const QByteArray &d) { newplayerinfo(d); });
    setHandler("CMD_playerdisconnected", [this](const QByteArray &d) { playerdisconnected(d); });
    setHandler("CMD_full", [this](const QByteArray &) { gameIsFull(); });
    connectGame();
    grouptilesmenu();
    // The board's keys are read before the focused control sees them (FormShortCut).
    qApp->installEventFilter(this);

    receivedlist_.enqueue("receivedlist");
    Timer1.setInterval(kTimer1Ms);
    connect(&Timer1, &QTimer::timeout, this, [this] { vrel::guarded([this] { processsocktimer(); }); });
    Timer1.start();

    chooseColour = [this](quint32 current) -> std::optional<quint32> {
        const QColor chosen = QColorDialog::getColor(qtColour(current), this, QStringLiteral("Text Color"));
        if (!chosen.isValid())
            return std::nullopt;
        return colourValue(chosen);
    };
}

Tchat::~Tchat()
{
    qApp->removeEventFilter(this);
}

void Tchat::attach(Tspylist *spylist, QWidget *gamestart, TServer *server)
{
    spylist_ = spylist;
    gamestart_ = gamestart;
    server_ = server;
    connect(SpyList1, &QAction::triggered, spylist_, &QWidget::show);
}

// ---------------------------------------------------------------- building the window

void Tchat::buildBoard()
{
    board_ = new Backdrop([] { return art::boardBackground(); }, central_);
    board_->setObjectName(QStringLiteral("board"));
    board_->setFixedSize(layout::boardSize);
    board_->move(0, 0);
    seatRows_ = std::make_unique<SeatRows>(board_);
    tiles_ = std::make_unique<TileSet>();
    roundDisplay_ = new RoundDisplay(board_);
    puzzleBoard_ = new Board(board_, *tiles_);

    button_start = new PlateButton(QStringLiteral("button_start"), &art::startPlate, board_);
    button_start->setGeometry(layout::startPlate);
    button_start->hide();

    // Laid over the board when shown; created last so that they cover the board's controls.
    resultsPanel_ = new ResultsPanel(board_);
    winnerBanner_ = new WinnerBanner(board_);
}

void Tchat::buildChat()
{
    mainchat_ = new chat::ChatView(board_);
    mychat_ = new chat::ChatEntry(board_);
    button_smilies = new chat::SmileyButton(board_);
    connect(button_smilies, &chat::SmileyButton::smileyChosen, mychat_, &chat::ChatEntry::appendSmiley);
    connect(mychat_, &chat::ChatEntry::sendRequested, this, [this] { vrel::guarded([this] { sendit(); }); });
    connect(mainchat_, &chat::ChatView::cleared, this, [this] { mychat_->setFocus(); });
    setTextColour(textColour_);
    placeChat();
    mychat_->setFocus();
}

// The chat sits at the board's lower right, in the frame the board's backdrop draws for it.
void Tchat::placeChat()
{
    mainchat_->setGeometry(layout::chatView);
    mychat_->setGeometry(layout::chatEntry);
    button_smilies->setGeometry(layout::smileyButton);
}

void Tchat::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    StartGame1 = file->addAction(QStringLiteral("Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(button_start, &QPushButton::clicked, StartGame1, &QAction::trigger);

    optionsMenu_ = menuBar()->addMenu(QStringLiteral("Options"));
    optionsMenu_->setObjectName(QStringLiteral("Options1"));
    AutoErase1 = optionsMenu_->addAction(QStringLiteral("Auto Erase Invalid Word"));
    AutoErase1->setObjectName(QStringLiteral("autoerase"));
    AutoErase1->setCheckable(true);
    AutoErase1->setChecked(true);
    // The entry's check mark is the option itself; choosing the entry flips it.
    QAction *textColor = optionsMenu_->addAction(QStringLiteral("Text Color"));
    textColor->setObjectName(QStringLiteral("TextColor1"));
    connect(textColor, &QAction::triggered, this, [this] { vrel::guarded([this] { TextColor1Click(); }); });
    QMenu *sizes = optionsMenu_->addMenu(QStringLiteral("Text Size"));
    textSizes_ = new QActionGroup(this);
    for (int size : {8, 10, 12, 14}) {
        QAction *item = sizes->addAction(QString::number(size));
        item->setObjectName(QStringLiteral("N%1").arg(size));
        item->setCheckable(true);
        textSizes_->addAction(item);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    optionsMenu_->addAction(mainchat_->scrollChatOff2());
    optionsMenu_->addAction(mainchat_->clearMainChat2());

    tilesMenu_ = menuBar()->addMenu(QStringLiteral("Tiles"));
    tilesMenu_->setObjectName(QStringLiteral("Tiles1"));
    tileSets_ = new QActionGroup(this);
    // Every entry may end up unchecked (a set that cannot be read leaves the check where it was).
    tileSets_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);

    QMenu *view = menuBar()->addMenu(QStringLiteral("View"));
    SpyList1 = view->addAction(QStringLiteral("Spy List"));
    SpyList1->setObjectName(QStringLiteral("SpyList1"));
}

void Tchat::connectGame()
{
    setHandler("CMD_startgame", [this](const QByteArray &d) { startthegame(d); });
    setHandler("CMD_nextplayer", [this](const QByteArray &d) { getnextplayer(d); });
    setHandler("CMD_winner", [this](const QByteArray &d) { winner(d); });
    setHandler("CMD_startround", [this](const QByteArray &d) { startround(d); });
    setHandler("CMD_invalid", [this](const QByteArray &d) { invalid(d); });
    setHandler("CMD_newword", [this](const QByteArray &d) { newword(d); });
    setHandler("CMD_allfilled", [this](const QByteArray &d) { allfilled(d); });
    setHandler("CMD_postscores", [this](const QByteArray &d) { postscores(d); });
    setHandler("CMD_hiscount", [this](const QByteArray &d) { hiscount(d); });
    setHandler("CMD_timeup", [this](const QByteArray &d) { timeup(d); });
    setHandler("CMD_loadstats", [this](const QByteArray &d) { loadstats(d); });
    setHandler("CMD_alldone", [this](const QByteArray &d) { alldone(d); });

    connect(puzzleBoard_, &Board::passClicked, this, [this] { vrel::guarded([this] { hitpass(); }); });
    connect(puzzleBoard_, &Board::clearClicked, this, [this] { vrel::guarded([this] { hitclear(); }); });
    connect(puzzleBoard_, &Board::typingClicked, this, [this] { settyping(); });
    connect(roundDisplay_, &RoundDisplay::soundRequested, this, &Tchat::playsounds);
    connect(StartGame1, &QAction::triggered, this, [this] { vrel::guarded([this] { button_startClick(); }); });
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()
        || static_cast<QWidget *>(watched)->window() != this)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    bool handled = false;
    vrel::guarded([&] { handled = FormShortCut(keys::virtualKeyCode(*key)); });
    if (handled)
        key->accept();
    return handled;
}

// ---------------------------------------------------------------- start-up and the end

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    vrel::guarded([this] { processparams(); });
}

void Tchat::processparams()
{
    button_start->hide();
    StartGame1->setEnabled(false);
    state_.loginName.clear();
    const QStringList &params = startup_.parameters;
    if (params.isEmpty()) {
        systemLine(QStringLiteral("Loading Solo Game..Please wait."));
        state_.hostAddress = QStringLiteral("127.0.0.1");
        state_.playerName = QStringLiteral("You");
        hostpress();
        return;
    }
    systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (params.size() < 3)
        return;
    state_.playerName = params.at(0);
    state_.hostAddress = params.at(1);
    if (params.at(2) == QLatin1String("true"))
        hostpress();
    else
        joinpress();
    Sock11.Connect();
}

void Tchat::hostpress()
{
    server_->Sock1.setPortName(QString::number(startup_.port));
    server_->Sock1.setListen(true);
    state_.loginName = state_.playerName.toUtf8() + wire::kTerminator;
    state_.hostFlag = true;
    // With port 0 the host took a free port: the own client goes where the host listens.
    sock.setPortName(QString::number(server_->Sock1.boundPort()));
    sock.setHostName(QStringLiteral("127.0.0.1"));
    sock.Connect();
    button_start->show();
    StartGame1->setEnabled(true);
    spylist_->removeAction()->setEnabled(true);
}

void Tchat::joinpress()
{
    state_.loginName = state_.playerName.toUtf8() + wire::kTerminator;
    sock.setHostName(state_.hostAddress);
    sock.Connect();
    button_start->hide();
    StartGame1->setEnabled(false);
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (!event->isAccepted() || ended_)
        return;
    ended_ = true;
    emit ended();
}

// ---------------------------------------------------------------- receiving and dispatching

void Tchat::sockRead(TSock *sender, int)
{
    for (const QByteArray &line : cutter_.feed(sender->Receive()))
        receivedlist_.enqueue(line);
    // A host that sends an endless line is broken or hostile: the session ends.
    if (cutter_.overflowed())
        sender->Close();
}

void Tchat::sockInfo(TSock *, TSocketInfo, const QString &text)
{
    if (text != QLatin1String("Socket Closed"))
        return;
    // While "Game is full" is on screen, the window closes when the player dismisses it.
    if (endingAfterNotice_ || ended_)
        return;
    // What the host said before it closed the connection is still shown ("Game is full" comes
    // right before the close).
    connectionClosed_ = true;
    while (!receivedlist_.isEmpty() && !endingAfterNotice_)
        vrel::guarded([this] { processsocktimer(); });
    if (!endingAfterNotice_)
        close();
}

void Tchat::processsocktimer()
{
    if (receivedlist_.isEmpty())
        return;
    dispatch(receivedlist_.dequeue());
}

void Tchat::dispatch(const QByteArray &line)
{
    const wire::VerbAndData message = wire::splitVerb(line);
    if (message.verb.isEmpty())
        return;
    for (const auto &[verb, handler] : table_) {
        if (verb == message.verb) {
            if (handler)
                handler(message.data);
            return;
        }
    }
}

bool Tchat::setHandler(const QByteArray &verb, Handler handler)
{
    for (auto &[name, current] : table_) {
        if (name == verb) {
            current = std::move(handler);
            return true;
        }
    }
    return false;
}

const std::vector<QByteArray> &Tchat::dispatchOrder() const
{
    return clientVerbs();
}

void Tchat::send(const QByteArray &message)
{
    // Messages that handlers answer while the closed session is worked off go nowhere.
    if (connectionClosed_)
        return;
    sock.Send(message);
}

// ---------------------------------------------------------------- login, arrivals, departures

void Tchat::sendloginfo(const QByteArray &data)
{
    const std::optional<int> seat = wire::toNumber(data);
    if (!seat)
        return;
    state_.localSeat = *seat;
    state_.connected = true;
    send(msg::logininfo(*seat, msg::kVersion, state_.loginName));
    sortstuff(*seat);
}

void Tchat::newplayerinfo(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> seat = fields.nextNumber();
    if (!seat)
        return;
    const QString name = QString::fromUtf8(fields.rest());
    if (*seat == state_.localSeat)
        systemLine(QStringLiteral("You are Connected."));
    else
        systemLine(name + QStringLiteral(" is Connected."));

    if (*seat <= ClientState::kPlayerSeats) {
        if (*seat >= 1) {
            seatRows_->setName(*seat, name);
            seatRows_->name(*seat)->show();
            seatRows_->score(*seat)->show();
        }
    } else {
        spylist_->add(QStringLiteral("%1: %2").arg(*seat).arg(name));
        if (*seat == state_.localSeat)
            systemLine(QStringLiteral("You are spying."));
        else
            systemLine(name + QStringLiteral(" is spying."));
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(const QByteArray &data)
{
    wire::FieldReader fields(data);
    const std::optional<int> seat = fields.nextNumber();
    if (!seat)
        return;
    const QString name = QString::fromUtf8(fields.rest());
    if (*seat <= ClientState::kPlayerSeats) {
        if (*seat < 1)
            return;
        const QString shown = seatRows_->nameOf(*seat);
        if (shown != SeatRows::kWaiting && shown != SeatRows::reservedName(*seat))
            systemLine(shown + QStringLiteral(" disconnected."));
        seatRows_->setName(*seat, SeatRows::kWaiting);
        seatRows_->eyes(*seat)->hide();
        return;
    }
    if (spylist_->removeExact(QStringLiteral("%1: %2").arg(*seat).arg(name)))
        systemLine(name + QStringLiteral(" has left."));
}

void Tchat::gameIsFull()
{
    endingAfterNotice_ = true;
    messagebox::show(this, QStringLiteral("Game is full"));
    close();
}

void Tchat::sortstuff(int seat)
{
    if (seat <= 1 || seat > ClientState::kPlayerSeats)
        return;
    movestuff(1, seat);
}

void Tchat::movestuff(int fromColumn, int toColumn)
{
    int &from = columnOfSeat_[size_t(fromColumn)];
    int &to = columnOfSeat_[size_t(toColumn)];
    std::swap(from, to);
}

int Tchat::columnOfSeat(int seat) const
{
    if (seat < 1 || seat > ClientState::kPlayerSeats)
        return 0;
    return columnOfSeat_[size_t(seat)];
}

// ---------------------------------------------------------------- chat

void Tchat::sendit()
{
    // A pasted line break would end a message early on the wire.
    QString text = mychat_->text();
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const chat::OutgoingLine out = chat::outgoingLine(text, state_.connected);
    if (out.kind == chat::OutgoingLine::Kind::Keep)
        return;
    const QByteArray payload = (out.text + QLatin1Char('|') + chat::colourToText(textColour_)).toUtf8();
    if (out.kind == chat::OutgoingLine::Kind::Chat)
        send(msg::chat(state_.localSeat, payload));
    else if (out.kind == chat::OutgoingLine::Kind::Action)
        send(msg::action(state_.localSeat, payload));
    mychat_->clear();
}

void Tchat::chatrecieved(const QByteArray &data)
{
    const chat::ReceivedChat received = chat::readReceivedChat(QString::fromUtf8(data));
    addlinetochat(received.line, received.colour);
}

void Tchat::addlinetochat(const QString &line, quint32 colour)
{
    mainchat_->addlinetochat(line, colour);
}

void Tchat::systemLine(const QString &text)
{
    addlinetochat(QStringLiteral("0+") + text, chat::SystemLineColour);
}

void Tchat::setTextColour(quint32 colour)
{
    textColour_ = colour;
    mychat_->setTextColour(colour);
}

void Tchat::TextColor1Click()
{
    if (const std::optional<quint32> chosen = chooseColour(textColour_))
        setTextColour(*chosen);
}

void Tchat::N14Click(int size)
{
    mainchat_->setTextSize(size);
    for (QAction *item : textSizes_->actions())
        item->setChecked(item->objectName() == QStringLiteral("N%1").arg(size));
}

// ---------------------------------------------------------------- sounds

void Tchat::playsounds(const QString &name)
{
    emit soundRequested(name);
}
