#include "client/tchat.h"

#include "accessibility/announcer.h"
#include "chat/chatentry.h"
#include "chat/chatview.h"
#include "chat/smileybutton.h"
#include "client/accessible_interfaces.h"
#include "client/accessible_voice.h"
#include "client/board.h"
#include "client/board_scale.h"
#include "client/board_stage.h"
#include "client/board_controls.h"
#include "client/dialog_window.h"
#include "client/heard_views.h"
#include "client/key_codes.h"
#include "client/message_box.h"
#include "client/phrase_buttons.h"
#include "client/picture_controls.h"
#include "client/results_panel.h"
#include "client/round_display.h"
#include "client/seat_menu.h"
#include "client/seat_rows.h"
#include "client/tabout.h"
#include "client/thelp.h"
#include "client/tile_menu.h"
#include "client/tphrases.h"
#include "client/tspylist.h"
#include "client/ttallylist.h"
#include "client/winner_banner.h"
#include "net/error_sink.h"
#include "records/settings_file.h"
#include "rejoin/rejoiner.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

namespace layout = art::layout;

namespace {

quint32 colourValue(const QColor &colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

QColor qtColour(quint32 value)
{
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

// A submenu's radio items, each named by its caption and "1" and carrying its tag; choosing one
// hands its tag on.
QActionGroup *addRadioItems(QMenu *menu, std::initializer_list<std::pair<const char *, int>> items, const std::function<void(int)> &chosen)
{
    auto *group = new QActionGroup(menu);
    for (const auto &[caption, tag] : items) {
        QAction *item = menu->addAction(QString::fromLatin1(caption));
        item->setObjectName(QString::fromLatin1(caption).remove(QLatin1Char('&')) + QLatin1Char('1'));
        item->setCheckable(true);
        item->setData(tag);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, menu, [chosen, tag = tag] { chosen(tag); });
    }
    return group;
}

const QString kJustWatchBetweenGames = QStringLiteral("Just Watch applies during a game: choose it once a game has "
                                                     "started to sit that game out and watch.");

} // namespace

Tchat::Tchat(ClientSession &session, QWidget *parent)
    : QMainWindow(parent)
    , session_(session)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Vrel"));
    setWindowIcon(art::appIcon());
    installAccessibleInterfaces();

    central_ = new BoardStage(this);
    central_->setObjectName(QStringLiteral("client"));
    central_->setAutoFillBackground(true);
    QPalette backdrop = central_->palette();
    backdrop.setColor(QPalette::Window, QColor(0x4A, 0x1C, 0x12));
    central_->setPalette(backdrop);
    setCentralWidget(central_);

    buildBoard();
    buildChat();
    buildMenus();
    orderTabs();
    voice_ = new AccessibleVoice(this);
    announcer_ = new Announcer(session_, voice_->voice(), this);
    central_->setBoard(board_);
    connect(central_, &BoardStage::scaleChanged, this, &Tchat::scaleBoard);
    resize(SettingsFile::kDefaultBounds.size());
    connectSession();
    connectInput();
    tileMenu_->grouptilesmenu();
    draw(ClientSession::Parts::fromInt(~0));

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
    session_.disconnect(this);
}

void Tchat::attach(Tspylist *spylist, QWidget *gamestart)
{
    spylist_ = spylist;
    gamestart_ = gamestart;
    connect(SpyList1, &QAction::triggered, spylist_, &QWidget::show);
    spylist_->onRemove = [this](int seat) { removeAfterAsking(session_, this, seat); };
    draw(ClientSession::Spectators | ClientSession::Controls);
}

void Tchat::attachSettings(SettingsFile *settings, Tphrases *phraseEditor)
{
    settings_ = settings;
    phraseEditor_ = phraseEditor;
    settings_->setWindow({
        [this] { return bounds(); },
        [this](const QRect &place) { placeWindow(place); },
        [this](const QString &name) {
            if (!TileSet::isClassicName(name))
                tileMenu_->loadgrouptiles(name);
        },
    });
    // The text size read from the file shows at once.
    connect(settings_, &SettingsFile::settingsRead, mainchat_, &chat::ChatView::layOutAgain);
}

void Tchat::attachTallyList(Ttallylist *tallylist)
{
    tallylist_ = tallylist;
}

void Tchat::attachHelp(Thelp *help, Tabout *about)
{
    help_ = help;
    about_ = about;
}

// ---------------------------------------------------------------- building the window

void Tchat::buildBoard()
{
    board_ = new Backdrop([](qreal dpr) { return art::boardBackground(dpr); }, central_);
    board_->setObjectName(QStringLiteral("board"));
    seatRows_ = std::make_unique<SeatRows>(board_);
    seatMenu_ = new SeatMenu(session_, *seatRows_, this);
    auto *logo = new ClickLabel(board_);
    logo->setObjectName(QStringLiteral("image_logo"));
    board_scale::place(logo, layout::logo);
    logo->setCursor(Qt::PointingHandCursor);
    logo->setRole(QAccessible::Link);
    logo->setAccessibleName(QStringLiteral("The game's web page"));
    logo->setFocusPolicy(Qt::TabFocus);
    connect(logo, &ClickLabel::clicked, this, &Tchat::image_logoClick);
    image_logo = logo;
    tileMenu_ = new TileMenu(new QMenu(QStringLiteral("&Tiles"), this), this);
    tileMenu_->menu()->setObjectName(QStringLiteral("Tiles1"));
    roundDisplay_ = new RoundDisplay(board_);
    puzzleBoard_ = new Board(board_, tileMenu_->tiles());

    button_start = new PlateButton(QStringLiteral("button_start"), &art::startPlate, board_);
    button_start->setAccessibleName(QStringLiteral("START GAME"));
    board_scale::place(button_start, layout::startPlate);
    button_start->hide();

    // Laid over the board when shown; created last so that they cover the board's controls.
    resultsPanel_ = new ResultsPanel(board_);
    winnerBanner_ = new WinnerBanner(board_);
}

// The chat sits at the board's lower right, in the frame the board's backdrop draws for it.
void Tchat::buildChat()
{
    mainchat_ = new chat::ChatView(board_);
    mainchat_->setAccessibleName(QStringLiteral("Chat"));
    mychat_ = new chat::ChatEntry(board_);
    mychat_->setAccessibleName(QStringLiteral("Chat message"));
    button_smilies = new chat::SmileyButton(board_);
    connect(button_smilies, &chat::SmileyButton::smileyChosen, mychat_, &chat::ChatEntry::appendSmiley);
    connect(button_smilies, &chat::SmileyButton::smileyChosen, this, &Tchat::focusWhereKeysGo);
    // Clearing the chat puts the caret into the entry, but never takes the keys from the board.
    connect(mainchat_, &chat::ChatView::cleared, this, &Tchat::focusWhereKeysGo);
    connect(mainchat_, &chat::ChatView::linkUsed, this, &Tchat::focusWhereKeysGo);
    connect(mainchat_, &chat::ChatView::keyForEntry, this, [this](QKeyEvent *key) {
        focusWhereKeysGo();
        QCoreApplication::sendEvent(focusWidget() ? focusWidget() : mychat_, key);
    });
    board_scale::place(mainchat_, layout::chatView);
    board_scale::place(mychat_, layout::chatEntry);
    board_scale::letter(mychat_, mychat_->font());
    board_scale::place(button_smilies, layout::smileyButton);
    mychat_->setFocus();
    puzzleBoard_->setKeysElsewhere(mychat_);
    phraseButtons_ = new PhraseButtons(board_);
    connect(phraseButtons_, &PhraseButtons::phraseClicked, this,
            [this](int button) { vrel::guarded([this, button] { session_.b_phrase1Click(button); }); });
    connect(phraseButtons_, &PhraseButtons::chatterSoundChosen, this, &Tchat::wave12Click);
}

// Controls drawn by their own code follow the board's scale by themselves; the chat's text and
// smilies, and texts cut to fit their boxes, are drawn again.
void Tchat::scaleBoard(qreal scale)
{
    mainchat_->setScale(scale);
    button_smilies->setScale(scale);
    draw(ClientSession::Parts::fromInt(~0));
}

qreal Tchat::boardScale() const
{
    return central_->scale();
}

QPushButton *Tchat::chatterSoundButton() const
{
    return phraseButtons_->chatterSoundButton();
}

void Tchat::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    StartGame1 = file->addAction(QStringLiteral("&Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    file->addSeparator();
    HostaGame1 = file->addAction(QStringLiteral("&Host a Game..."));
    HostaGame1->setObjectName(QStringLiteral("HostaGame1"));
    JoinaGame1 = file->addAction(QStringLiteral("&Join a Game..."));
    JoinaGame1->setObjectName(QStringLiteral("JoinaGame1"));
    connect(JoinaGame1, &QAction::triggered, this, [this] { JoinaGame1Click(); });
    CopyInviteLink1 = file->addAction(QStringLiteral("Copy &Invite Link"));
    CopyInviteLink1->setObjectName(QStringLiteral("CopyInviteLink1"));
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, [this] {
        if (mayLeaveGame())
            close();
    });

    optionsMenu_ = menuBar()->addMenu(QStringLiteral("&Options"));
    optionsMenu_->setObjectName(QStringLiteral("Options1"));
    buildSoundMenu();
    // Kept in the settings file but never shown in the menu.
    BotSpeed1 = optionsMenu_->addMenu(QStringLiteral("&Bot Speed"));
    BotSpeed1->setObjectName(QStringLiteral("BotSpeed1"));
    BotSpeed1->menuAction()->setVisible(false);
    botSpeeds_ = addRadioItems(BotSpeed1, {{"&Slow", PlayerOptions::kSlowBots}, {"&Normal", PlayerOptions::kNormalBots}, {"&Fast", PlayerOptions::kFastBots}},
                               [this](int tag) { Fast1Click(tag); });
    AutoErase1 = optionsMenu_->addAction(QStringLiteral("&Auto Erase Invalid Word"));
    AutoErase1->setObjectName(QStringLiteral("autoerase"));
    // The entry's check mark shows the option; choosing the entry flips it.
    AutoErase1->setCheckable(true);
    QAction *textColor = optionsMenu_->addAction(QStringLiteral("Text &Color"));
    textColor->setObjectName(QStringLiteral("TextColor1"));
    connect(textColor, &QAction::triggered, this, [this] { vrel::guarded([this] { TextColor1Click(); }); });
    QMenu *sizes = optionsMenu_->addMenu(QStringLiteral("Text Si&ze"));
    textSizes_ = new QActionGroup(this);
    // Until the settings are read no size is marked.
    textSizes_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int size : {8, 10, 12, 14}) {
        QString caption = QString::number(size);
        caption.insert(caption.size() - 1, QLatin1Char('&')); // &8, 1&0, 1&2, 1&4
        QAction *item = sizes->addAction(caption);
        item->setObjectName(QStringLiteral("N%1").arg(size));
        item->setCheckable(true);
        textSizes_->addAction(item);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    optionsMenu_->addAction(mainchat_->scrollChatOff2());
    optionsMenu_->addAction(mainchat_->clearMainChat2());
    ReadChatAloud1 = optionsMenu_->addAction(QStringLiteral("Read Chat A&loud"));
    ReadChatAloud1->setObjectName(QStringLiteral("ReadChatAloud1"));
    ReadChatAloud1->setCheckable(true);
    OpenPort1 = optionsMenu_->addAction(QStringLiteral("Open My &Port on the Router"));
    OpenPort1->setObjectName(QStringLiteral("OpenPort1"));
    OpenPort1->setCheckable(true);
    ResetScreenLocation1 = optionsMenu_->addAction(QStringLiteral("&Reset Screen Location"));
    ResetScreenLocation1->setObjectName(QStringLiteral("ResetScreenLocation1"));
    connect(ResetScreenLocation1, &QAction::triggered, this, &Tchat::ResetScreenLocation1Click);
    optionsMenu_->addSeparator();
    JustWatch1 = optionsMenu_->addAction(QStringLiteral("&Just Watch"));
    JustWatch1->setObjectName(QStringLiteral("JustWatch1"));
    JustWatch1->setCheckable(true);
    optionsMenu_->setToolTipsVisible(true);

    menuBar()->addMenu(tileMenu_->menu());

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    ViewTally1 = view->addAction(QStringLiteral("View &Tally"));
    ViewTally1->setObjectName(QStringLiteral("ViewTally1"));
    SpyList1 = view->addAction(QStringLiteral("S&py List"));
    SpyList1->setObjectName(QStringLiteral("SpyList1"));
    PrhaseList1 = view->addAction(QStringLiteral("P&hrase List"));
    PrhaseList1->setObjectName(QStringLiteral("PrhaseList1"));
    connect(PrhaseList1, &QAction::triggered, this, &Tchat::PrhaseList1Click);
    BoardSummary1 = view->addAction(QStringLiteral("Board &Summary"));
    BoardSummary1->setObjectName(QStringLiteral("BoardSummary1"));
    BoardSummary1->setShortcut(Qt::Key_F2);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    Help2 = help->addAction(QStringLiteral("&Content"));
    Help2->setObjectName(QStringLiteral("Help2"));
    Help2->setShortcut(Qt::Key_F1);
    About1 = help->addAction(QStringLiteral("&About"));
    About1->setObjectName(QStringLiteral("About1"));

    // F10 opens the menus, as on every desktop.
    auto *menus = new QAction(this);
    menus->setObjectName(QStringLiteral("OpenMenus"));
    menus->setShortcut(Qt::Key_F10);
    connect(menus, &QAction::triggered, this, [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    addAction(menus);
}

void Tchat::orderTabs()
{
    QList<QWidget *> order {button_start, seatRows_->list(), puzzleBoard_->passButton(), puzzleBoard_->clearButton(),
                            puzzleBoard_->typingBox(), image_logo};
    for (int n = 1; n <= chat::kPhraseButtons; ++n)
        order << phraseButtons_->button(n);
    order << phraseButtons_->chatterSoundButton() << mainchat_ << mychat_ << button_smilies;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// The sound options at the head of the Options menu.
void Tchat::buildSoundMenu()
{
    PlaySounds1 = optionsMenu_->addAction(QStringLiteral("Play &Sounds"));
    PlaySounds1->setObjectName(QStringLiteral("PlaySounds1"));
    PlaySounds1->setCheckable(true);
    connect(PlaySounds1, &QAction::triggered, this, &Tchat::PlaySounds1Click);
    PlayChatterSounds1 = optionsMenu_->addAction(QStringLiteral("Play C&hatter Sounds"));
    PlayChatterSounds1->setObjectName(QStringLiteral("PlayChatterSounds1"));
    PlayChatterSounds1->setCheckable(true);
    connect(PlayChatterSounds1, &QAction::triggered, this, &Tchat::PlayChatterSounds1Click);
    TurnSound1 = optionsMenu_->addMenu(QStringLiteral("&Turn Sound"));
    TurnSound1->setObjectName(QStringLiteral("TurnSound1"));
    turnSounds_ = addRadioItems(TurnSound1, {{"&Classic", PlayerOptions::kClassicTurnSound}, {"&New", PlayerOptions::kNewTurnSound}},
                                [this](int tag) { Classic1Click(tag); });
}

// ---------------------------------------------------------------- the session drawn

void Tchat::connectSession()
{
    connect(&session_, &ClientSession::changed, this, &Tchat::draw);
    connect(&session_, &ClientSession::lineAdded, mainchat_, &chat::ChatView::addlinetochat);
    // The keys that the board does not take go on to the chat entry, in either mode (digits and
    // punctuation during a turn, everything outside it).
    connect(&session_, &ClientSession::typingChanged, this, &Tchat::focusWhereKeysGo);
    const auto tellAndClose = [this](const QString &text) {
        messagebox::show(this, text);
        close();
    };
    connect(&session_, &ClientSession::gameIsFull, this, [tellAndClose] { tellAndClose(QStringLiteral("Game is full")); });
    connect(&session_, &ClientSession::endedWithNotice, this, tellAndClose);
    connect(&session_, &ClientSession::connectionClosed, this, [this] {
        if (!ended_)
            close();
    });
    // The window stays, on its last board with its chat, and File can host or join another game.
    connect(&session_, &ClientSession::removedFromGame, this,
            [this] { messagebox::show(this, QStringLiteral("You were removed from the game.")); });
}

void Tchat::draw(ClientSession::Parts parts)
{
    if (parts & ClientSession::Seats)
        seatRows_->draw(session_);
    if ((parts & ClientSession::Spectators) && spylist_)
        spylist_->draw(session_.spectators());
    if (parts & ClientSession::Board) {
        puzzleBoard_->draw(session_.board(), session_.boardHasKeys());
        if (keysOnBoard_ != session_.boardHasKeys())
            focusWhereKeysGo();
    }
    if (parts & ClientSession::Clock)
        roundDisplay_->draw(session_.clock());
    if (parts & ClientSession::Results)
        resultsPanel_->draw(session_);
    if (parts & ClientSession::Winner)
        winnerBanner_->draw(session_.winnerState());
    if (parts & ClientSession::Controls) {
        button_start->setVisible(session_.startOffered());
        // The starter's controls go when another player becomes the starter.
        StartGame1->setEnabled(session_.isStarter());
        if (gamestart_ && !session_.isStarter())
            gamestart_->hide();
        CopyInviteLink1->setEnabled(session_.hostFlag());
        if (spylist_)
            spylist_->removeAction()->setEnabled(session_.isStarter());
        JustWatch1->setChecked(session_.justWatching());
        // Watching is a seat's choice for the game being played; between games it waits, and says so.
        JustWatch1->setEnabled(session_.gameRunning());
        JustWatch1->setToolTip(session_.gameRunning() ? QString() : kJustWatchBetweenGames);
    }
    if (parts & ClientSession::Options)
        drawOptions();
}

void Tchat::drawOptions()
{
    const PlayerOptions &options = session_.options();
    AutoErase1->setChecked(options.autoErase);
    OpenPort1->setChecked(options.openPort);
    PlaySounds1->setChecked(options.playSounds);
    PlayChatterSounds1->setChecked(options.chatterSounds);
    ReadChatAloud1->setChecked(options.readChatAloud);
    for (QAction *item : turnSounds_->actions())
        item->setChecked(item->data().toInt() == options.turnSound);
    mychat_->setTextColour(options.textColour);
    mainchat_->setTextSize(options.textSize);
    const QString sizeItem = QStringLiteral("N%1").arg(options.textSize);
    for (QAction *item : textSizes_->actions())
        item->setChecked(options.textSizeMarked && item->objectName() == sizeItem);
    for (QAction *item : botSpeeds_->actions())
        item->setChecked(item->data().toInt() == options.botSpeed);
    phraseButtons_->draw(session_);
}

// ---------------------------------------------------------------- the player's input

void Tchat::connectInput()
{
    // The board's keys are read before the focused control sees them (FormShortCut).
    qApp->installEventFilter(this);
    connect(puzzleBoard_, &Board::passClicked, this, [this] { vrel::guarded([this] { session_.hitpass(); }); });
    connect(puzzleBoard_, &Board::clearClicked, this, [this] { vrel::guarded([this] { session_.hitclear(); }); });
    connect(puzzleBoard_, &Board::typingClicked, this, [this] { session_.settyping(); });
    connect(mychat_, &chat::ChatEntry::sendRequested, this, [this] {
        vrel::guarded([this] {
            if (session_.sendit(mychat_->text()) != chat::OutgoingLine::Kind::Keep)
                mychat_->clear();
        });
    });
    connect(button_start, &QPushButton::clicked, StartGame1, &QAction::trigger);
    connect(StartGame1, &QAction::triggered, this, [this] { vrel::guarded([this] { button_startClick(); }); });
    connect(AutoErase1, &QAction::triggered, this, [this](bool on) { session_.setAutoErase(on); });
    connect(OpenPort1, &QAction::triggered, this, [this](bool on) { session_.setOpenPort(on); });
    connect(ReadChatAloud1, &QAction::triggered, this, [this](bool on) { session_.setReadChatAloud(on); });
    connect(BoardSummary1, &QAction::triggered, announcer_, &Announcer::speakSummary);
    connect(JustWatch1, &QAction::triggered, this, [this] { vrel::guarded([this] { JustWatch1Click(); }); });
    connect(ViewTally1, &QAction::triggered, this, &Tchat::ViewTally1Click);
    connect(Help2, &QAction::triggered, this, &Tchat::Help2Click);
    connect(About1, &QAction::triggered, this, &Tchat::About1Click);
    connect(tileMenu_, &TileMenu::tilesChanged, this, [this] {
        session_.redrawtiles();
        session_.setTileSet(tileMenu_->currentTileSet());
    });
}

void Tchat::focusWhereKeysGo()
{
    keysOnBoard_ = session_.boardHasKeys();
    if (keysOnBoard_)
        puzzleBoard_->keyTarget()->setFocus(Qt::OtherFocusReason);
    else
        mychat_->setFocus(Qt::OtherFocusReason);
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    // A click into the chat entry (or Tab to it) hands it the keys, a click on the board takes
    // them back; both only during the player's turn.
    if (watched == mychat_ && event->type() == QEvent::FocusIn && session_.boardHasKeys()) {
        session_.chooseChat();
        return false;
    }
    if (watched == board_ && event->type() == QEvent::MouseButtonPress) {
        session_.chooseBoard();
        return false;
    }
    const bool keyPress = event->type() == QEvent::KeyPress;
    if ((!keyPress && event->type() != QEvent::ShortcutOverride) || !watched->isWidgetType()
        || static_cast<QWidget *>(watched)->window() != this)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const int code = keys::virtualKeyCode(*key);
    bool handled = false;
    if (keyPress)
        vrel::guarded([&] { handled = session_.FormShortCut(code); });
    else // a key the board takes is the board's, not a window shortcut's (Ctrl+S is an S)
        handled = session_.boardKey(code) != ClientSession::BoardKey::None;
    if (handled)
        key->accept();
    return handled;
}

void Tchat::attachRejoiner(Rejoiner *rejoiner)
{
    auto *exit = findChild<QAction *>(QStringLiteral("Exit1"));
    auto *file = qobject_cast<QMenu *>(exit->parent());
    StopRejoining1 = new QAction(QStringLiteral("Stop &Rejoining"), file);
    StopRejoining1->setObjectName(QStringLiteral("StopRejoining1"));
    StopRejoining1->setVisible(false);
    file->insertAction(exit, StopRejoining1);
    connect(StopRejoining1, &QAction::triggered, rejoiner, &Rejoiner::stop);
    // The same item stops a join that is still connecting.
    const auto showStop = [this, rejoiner] {
        StopRejoining1->setText(rejoiner->joining() ? QStringLiteral("Stop &Connecting") : QStringLiteral("Stop &Rejoining"));
        StopRejoining1->setVisible(rejoiner->joining() || rejoiner->active());
    };
    connect(rejoiner, &Rejoiner::activeChanged, this, showStop);
    connect(rejoiner, &Rejoiner::joiningChanged, this, showStop);
    connect(rejoiner, &Rejoiner::progressChanged, puzzleBoard_, &Board::showProgress);
    connect(rejoiner, &Rejoiner::hostEnded, this, [this] { messagebox::show(this, QStringLiteral("The host has ended the game.")); });
}

void Tchat::button_startClick()
{
    if (!session_.connected()) {
        messagebox::show(this, QStringLiteral("You are not connected"));
        return;
    }
    showWindow(gamestart_);
}

void Tchat::JoinaGame1Click(const QString &address)
{
    emit joinGameAsked(address);
}

void Tchat::TextColor1Click()
{
    if (const std::optional<quint32> chosen = chooseColour(session_.textColour()))
        session_.setTextColour(*chosen);
}

void Tchat::N14Click(int size)
{
    session_.setTextSize(size);
    // The player sees the new size at once, the lines already shown included.
    mainchat_->layOutAgain();
}

void Tchat::Fast1Click(int tag)
{
    session_.setBotSpeed(tag);
}

void Tchat::PlaySounds1Click()
{
    session_.setPlaySounds(!session_.options().playSounds);
}

void Tchat::PlayChatterSounds1Click()
{
    session_.setChatterSounds(!session_.options().chatterSounds);
}

void Tchat::Classic1Click(int tag)
{
    session_.setTurnSound(tag);
}

void Tchat::wave12Click(int number)
{
    vrel::guarded([this, number] { session_.wave12Click(number); });
}

void Tchat::ResetScreenLocation1Click()
{
    placeWindow(SettingsFile::kDefaultBounds);
}

void Tchat::PrhaseList1Click()
{
    if (phraseEditor_)
        phraseEditor_->showPhrases();
}

QRect Tchat::bounds() const
{
    return QRect(pos(), size());
}

void Tchat::placeWindow(const QRect &place)
{
    move(place.topLeft());
    resize(place.size());
}

void Tchat::JustWatch1Click()
{
    // The check mark shows what the host said, not the click.
    JustWatch1->setChecked(session_.justWatching());
    session_.JustWatch1Click();
}

// ---------------------------------------------------------------- the other windows

void Tchat::loadchecklist()
{
    if (tallylist_)
        tallylist_->setRoster(session_.opponents());
}

void Tchat::ViewTally1Click()
{
    loadchecklist();
    showWindow(tallylist_);
}

void Tchat::Help2Click()
{
    showWindow(help_);
}

void Tchat::About1Click()
{
    showWindow(about_);
}

void Tchat::image_logoClick()
{
    if (about_)
        about_->URL1.Execute();
}

// ---------------------------------------------------------------- start-up and the end

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    emit firstShown();
}

bool Tchat::mayLeaveGame()
{
    const QString ending = session_.leavingEndsTheGame();
    return ending.isEmpty() || messagebox::ask(this, QStringLiteral("Exit Vrel? ") + ending);
}

void Tchat::closeEvent(QCloseEvent *event)
{
    // The window's own close button asks as Exit does; the game's own reasons to close do not.
    if (event->spontaneous() && !ended_ && !mayLeaveGame()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (!event->isAccepted() || ended_)
        return;
    ended_ = true;
    if (settings_)
        vrel::guarded([this] { settings_->FormClose(frameGeometry().size(), screen()->availableGeometry()); });
    emit ended();
}
