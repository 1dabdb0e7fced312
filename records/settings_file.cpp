#include "records/settings_file.h"

#include "chat/colourtext.h"
#include "net/error_sink.h"
#include "records/settings_values.h"

namespace {

// The keys of the section, in the order they are read.
const QString kTextsize = QStringLiteral("Textsize");
const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kTextcolor = QStringLiteral("Textcolor");
const QString kPlaytoscore = QStringLiteral("Playtoscore");
const QString kTimeperturn = QStringLiteral("Timeperturn");
const QString kBotspeed = QStringLiteral("Botspeed");
const QString kTurnsound = QStringLiteral("Turnsound");
const QString kTiles = QStringLiteral("Tiles");
const QString kPlaysounds = QStringLiteral("Playsounds");
const QString kAutoerase = QStringLiteral("Autoerase");
const QString kChatterSounds = QStringLiteral("ChatterSounds");
const QString kOpenPort = QStringLiteral("OpenPort");
const QString kReadChatAloud = QStringLiteral("ReadChatAloud");

constexpr int kDefaultTextSize = 8;

QString phraseKey(int button)
{
    return QStringLiteral("Phrase%1").arg(button);
}

QStringList keysOf(ClientSession::Option option)
{
    using O = ClientSession::Option;
    switch (option) {
    case O::TextSize: return {kTextsize};
    case O::TextColour: return {kTextcolor};
    case O::GameOptions: return {kPlaytoscore, kTimeperturn};
    case O::BotSpeed: return {kBotspeed};
    case O::TurnSound: return {kTurnsound};
    case O::TileSet: return {kTiles};
    case O::PlaySounds: return {kPlaysounds};
    case O::AutoErase: return {kAutoerase};
    case O::ChatterSounds: return {kChatterSounds};
    case O::OpenPort: return {kOpenPort};
    case O::ReadChatAloud: return {kReadChatAloud};
    }
    return {};
}

int botSpeedOf(const QString &text)
{
    if (text == QString::number(PlayerOptions::kSlowBots))
        return PlayerOptions::kSlowBots;
    if (text == QString::number(PlayerOptions::kFastBots))
        return PlayerOptions::kFastBots;
    return PlayerOptions::kNormalBots;
}

} // namespace

SettingsFile::SettingsFile(ClientSession &session, const QString &path, QObject *parent)
    : QObject(parent)
    , session_(session)
    , file_(path)
{
    // Read at the first login of the run; a later game in the same window (hosted or joined from
    // the File menu) keeps the options as they are, the window where the player has put it.
    connect(&session_, &ClientSession::loggedIn, this, [this] {
        if (!read_)
            loadinifile();
    });
    connect(&session_, &ClientSession::optionChanged, this, &SettingsFile::optionChanged);
}

void SettingsFile::setWindow(Window window)
{
    window_ = std::move(window);
}

QString SettingsFile::read(const QString &key, const QString &defaultValue) const
{
    return file_.readString(kSection, key, defaultValue);
}

void SettingsFile::loadinifile()
{
    reading_ = true;
    const auto integer = [this](const QString &key, int defaultValue) {
        return settings::readInteger(read(key, QString::number(defaultValue))).value_or(defaultValue);
    };

    const int size = integer(kTextsize, kDefaultTextSize);
    const bool sizeShown = size >= PlayerOptions::kMinTextSize && size <= PlayerOptions::kMaxTextSize;
    session_.setTextSize(sizeShown ? size : kDefaultTextSize);

    const int top = integer(kTop, kDefaultBounds.top());
    const int left = integer(kLeft, kDefaultBounds.left());
    const int width = integer(kWidth, kDefaultBounds.width());
    const int height = integer(kHeight, kDefaultBounds.height());
    const QRect bounds(left, top, width, height);
    if (window_.place)
        window_.place(bounds);
    remembered_ = bounds;

    session_.setTextColour(chat::colourFromText(read(kTextcolor, QStringLiteral("clblack"))).value_or(chat::ColourBlack));
    // Values that are not numbers leave the start dialog as it is.
    if (const std::optional<int> rounds = settings::readInteger(read(kPlaytoscore, QStringLiteral("5"))))
        session_.setGameOptions(*rounds, session_.options().secondsPerRound);
    if (const std::optional<int> seconds = settings::readInteger(read(kTimeperturn, QStringLiteral("60"))))
        session_.setGameOptions(session_.options().roundsPerGame, *seconds);
    session_.setBotSpeed(botSpeedOf(read(kBotspeed, QString::number(PlayerOptions::kNormalBots))));
    session_.setTurnSound(read(kTurnsound, QStringLiteral("0")) == QLatin1String("1") ? PlayerOptions::kNewTurnSound
                                                                                     : PlayerOptions::kClassicTurnSound);
    for (int button = 1; button <= chat::kPhraseButtons; ++button) {
        const QString phrase = read(phraseKey(button), QString());
        if (!phrase.isEmpty())
            session_.setPhrase(button, phrase);
    }
    const QString tiles = read(kTiles, QString());
    if (!tiles.isEmpty() && window_.loadTiles)
        vrel::guarded([&] { window_.loadTiles(tiles); });
    session_.setPlaySounds(settings::readSwitch(read(kPlaysounds, QStringLiteral("true"))));
    session_.setAutoErase(settings::readSwitch(read(kAutoerase, QStringLiteral("true"))));
    session_.setChatterSounds(settings::readSwitch(read(kChatterSounds, QStringLiteral("true"))));
    session_.setOpenPort(storedOpenPort());
    session_.setReadChatAloud(settings::readSwitch(read(kReadChatAloud, QStringLiteral("true"))));

    reading_ = false;
    read_ = true;
    emit settingsRead();
}

QList<SettingsFile::Entry> SettingsFile::savedEntries(const QRect &bounds) const
{
    const PlayerOptions &o = session_.options();
    return {
        {kTextsize, QString::number(o.textSize)},
        {kTop, QString::number(bounds.top())},
        {kLeft, QString::number(bounds.left())},
        {kWidth, QString::number(bounds.width())},
        {kHeight, QString::number(bounds.height())},
        {kTiles, o.tileSet},
        {kTextcolor, chat::colourToText(o.textColour)},
        {kPlaytoscore, QString::number(o.roundsPerGame)},
        {kTimeperturn, QString::number(o.secondsPerRound)},
        {kBotspeed, QString::number(o.botSpeed)},
        {kTurnsound, QString::number(o.turnSound)},
        {kAutoerase, settings::switchText(o.autoErase)},
        {kPlaysounds, settings::switchText(o.playSounds)},
        {kChatterSounds, settings::switchText(o.chatterSounds)},
        {kOpenPort, settings::switchText(o.openPort)},
        {kReadChatAloud, settings::switchText(o.readChatAloud)},
    };
}

bool SettingsFile::storedOpenPort() const
{
    return settings::readSwitch(read(kOpenPort, QStringLiteral("true")));
}

int SettingsFile::write(const QList<Entry> &entries)
{
    for (int i = 0; i < entries.size(); ++i) {
        if (!file_.writeString(kSection, entries[i].key, entries[i].value)) {
            vrel::reportError(file_.writeFailure());
            return i;
        }
    }
    return int(entries.size());
}

bool SettingsFile::save(const QRect &bounds, const QStringList &onlyKeys)
{
    QList<Entry> entries = savedEntries(bounds);
    if (!onlyKeys.isEmpty())
        entries.removeIf([&](const Entry &entry) { return !onlyKeys.contains(entry.key); });
    const int written = write(entries);
    const auto height = std::find_if(entries.cbegin(), entries.cend(), [](const Entry &e) { return e.key == kHeight; });
    if (height != entries.cend() && written > height - entries.cbegin())
        remembered_ = bounds;
    return written == entries.size();
}

bool SettingsFile::saveinifile()
{
    return save(window_.bounds ? window_.bounds() : remembered_.value_or(kDefaultBounds));
}

bool SettingsFile::savephrases()
{
    QList<Entry> entries;
    for (int button = 1; button <= chat::kPhraseButtons; ++button)
        entries.append({phraseKey(button), session_.phrase(button)});
    return write(entries) == entries.size();
}

void SettingsFile::optionChanged(ClientSession::Option option)
{
    if (reading_)
        return;
    if (read_)
        saveinifile();
    else
        save(QRect(), keysOf(option));
}

void SettingsFile::FormClose(const QSize &frameSize, const QRect &workArea)
{
    // Before the login the window never stood where the file says: its place is not stored.
    if (!read_ || !window_.bounds)
        return;
    QRect bounds = window_.bounds();
    if (remembered_ && bounds == *remembered_)
        return;
    if (frameSize.width() > workArea.width())
        bounds.setWidth(bounds.width() - kOversizeShrink);
    if (frameSize.height() > workArea.height())
        bounds.setHeight(bounds.height() - kOversizeShrink);
    save(bounds);
}
