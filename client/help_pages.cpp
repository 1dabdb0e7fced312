#include "client/help_pages.h"

namespace {

QString page(const char *title, const char *body)
{
    return QStringLiteral("<h2>%1</h2>%2").arg(QString::fromUtf8(title), QString::fromUtf8(body));
}

} // namespace

const QList<HelpPage> &helpPages()
{
    static const QList<HelpPage> pages = {
        {QStringLiteral("Overview"), 1,
         page("Overview",
              "<p>Vrel is a word game for up to six players. Each round every player gets the same "
              "ten five-letter words, each with two or three letters hidden. You type a whole "
              "word that fits the letters shown; the host checks it against its dictionary. The "
              "faster and better you fill your list, the more points you score.</p>"
              "<p>The board shows the round and its clock at the top, the word to fill and the row "
              "you type into in the middle, the players with their scores and word counts at the "
              "lower left, and the chat at the lower right.</p>"
              "<p><b>Watching.</b> Up to three more people can join a game to watch it; they are "
              "listed under View, Spy List. During a game a player can sit the rest of it out with "
              "Options, Just Watch (eyes beside a name show who is watching) and choose it again to "
              "play on. Every new game starts with everybody at the table playing.</p>"
              "<p><b>The tally.</b> View, View Tally keeps count of the games you finish. Tick a "
              "name under Players In Current Game to follow that player: from then on every game "
              "you play together is counted, with who won it.</p>")},
        {QStringLiteral("Connecting"), 2,
         page("Connecting",
              "<p><b>Solo games</b> start when Vrel is started on its own: press START GAME (or "
              "File, Start Game) to play. They need no network connection, but the game talks to "
              "itself over your computer's own network components, so your firewall must let Vrel "
              "use them.</p>"
              "<p><b>Hosting.</b> File, Host a Game... asks for your name and a port (TCP port 7772 "
              "unless you change it) and hosts a game there; <tt>vrel NAME HOST true</tt> does the "
              "same from the command line. Your game shows itself to the other computers of your "
              "network, and the chat lists its invite links (vrel://ADDRESS:PORT); File, Copy "
              "Invite Link puts them on the clipboard to send to your friends. Options, Open My "
              "Port on the Router asks your router to let players from the internet in. When no "
              "router opens the port, forward that TCP port to your computer in the router's own "
              "settings and send your public address as an invite link.</p>"
              "<p><b>Joining.</b> File, Join a Game... lists the games found on this network: a "
              "double click joins one. Or type the game's address (HOST, HOST:PORT or [IPv6]:PORT), "
              "or paste an invite link there. An invite link clicked in the chat or in a browser "
              "joins its game too; the game you are in is left only once the new one answers. "
              "<tt>vrel NAME HOST x</tt> joins from the command line, and the Kovren lobby starts "
              "Vrel this way for you. If your name is taken at that table you play under the name "
              "the host gives you, for example Anna (2).</p>"
              "<p><b>Who starts the games.</b> When a player hosts a game on their own copy of "
              "Vrel, that player starts the games and may remove players. On a dedicated host "
              "(<tt>vrel-host</tt>, a host without a window) the player who has been at the table "
              "longest starts the games; when that player leaves, the next one takes over and is "
              "told \"You now start the games.\" Between games the START GAME button shows on the "
              "screen of the player who starts.</p>"
              "<p><b>Dropped connections.</b> When your connection drops, your window rejoins "
              "the game by itself and you get your own seat, score and words back, for two "
              "minutes, and your place among those longest at the table. When the host ends the "
              "game, or removes you from it, you are told so. A "
              "game hosted on a player's own copy ends for the others when that player exits; a "
              "dedicated host plays on as players come and go.</p>")},
        {QStringLiteral("Game Play"), 3,
         page("Game Play",
              "<p>The player who starts the game chooses the number of rounds and the time for "
              "each. When a round starts "
              "the first word appears and the keyboard belongs to the board: the row you type "
              "into is outlined.</p>"
              "<p>Type the <b>whole word</b>, all five letters, the letters already shown "
              "included: the word must keep every letter shown and be in the dictionary. "
              "Backspace takes back the last letter; ENTER submits the word. A word that is "
              "not accepted says why (Invalid Word, Invalid Match) so you can correct it or "
              "try another.</p>"
              "<p>The key 1 (or Space) or the PASS WORD button passes a word; you come back to it "
              "after the others. The key 0 (or =) or the CLEAR WORD button clears what you "
              "typed.</p>"
              "<p>Each accepted word puts a mark in its box in the row of numbered boxes at the "
              "top right, so you see which words of the list you have solved.</p>"
              "<p><b>Chatting during a round.</b> Click into the chat entry, or press Tab, to "
              "type in the chat; the Type In Chat box shows a red dot while the chat has the "
              "keys. Click the board, or press Escape or Tab, to go back to your words.</p>"
              "<p>A round ends when its time runs out or when every player has filled the list. "
              "After the last round the highest total wins; while the top total is shared, "
              "further rounds are played.</p>")},
        {QStringLiteral("Scoring"), 4,
         page("Scoring",
              "<ul><li>5 points for every accepted word.</li>"
              "<li>10 points instead when your word is the original word itself.</li>"
              "<li>A bonus of 25 points for filling all ten words of a round.</li>"
              "<li>25 points more for the player who fills all ten first.</li></ul>"
              "<p><b>The results</b> after each round show the Original Words at the left and "
              "every player's list beside them:</p>"
              "<ul><li>a word in CAPITALS is the original word (10 points);</li>"
              "<li>a word in small letters is another valid word (5 points);</li>"
              "<li>a word with underscores was left unfilled (no points);</li>"
              "<li>BONUS under a list: the player filled all ten words;</li>"
              "<li>the star: the player who filled the list fastest.</li></ul>"
              "<p>Score shows the points of the round; the player list keeps the totals.</p>")},
        {QStringLiteral("Documentation"), 5,
         page("History",
              "<p><b>1.0.4.2</b> Sounds and smilies added.</p>"
              "<p><b>1.0.4.1</b> The tally of wins: follow your opponents from game to game.</p>"
              "<p><b>1.0.4</b> Players can just watch a game and play again later; the host can "
              "remove players.</p>"
              "<p><b>1.0.3</b> Tile sets: choose the look of your tiles.</p>"
              "<p><b>1.0.2</b> Late joiners see the running round; ties are played out.</p>"
              "<p><b>1.0.1</b> Phrase buttons and chat colours.</p>"
              "<p><b>1.0.0</b> First release, with the Kovren lobby.</p>"
              "<p><b>0.9</b> Beta release: multiplayer games for up to six players.</p>"
              "<p><b>0.5</b> First alpha release.</p>")},
    };
    return pages;
}
