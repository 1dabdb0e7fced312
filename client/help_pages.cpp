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
              "<p>Vrel is a word game for up to six players. Every player gets the same list of ten "
              "words with letters missing. Fill in the missing letters to make valid words: the "
              "faster and the better you fill your list, the more points you score.</p>"
              "<p>Up to three more people can join a game to watch it; they are listed under "
              "View, Spy List.</p>")},
        {QStringLiteral("Connecting"), 2,
         page("Connecting",
              "<p><b>Solo games</b> start with the Start Game button and work without a network "
              "connection. The game still uses its network components on your own computer, so "
              "your firewall must let Vrel use them.</p>"
              "<p><b>Multiplayer games</b> are started from the Kovren lobby: pick a game there "
              "and Vrel opens and connects by itself.</p>"
              "<p>If nobody can join a game you host, your modem, router or firewall must allow "
              "incoming connections on port 7772.</p>"
              "<p>The host is usually the first player in the list. If the host is disconnected, "
              "all play ends.</p>")},
        {QStringLiteral("Game Play"), 3,
         page("Game Play",
              "<p>The host chooses the number of rounds. Every round deals ten words, and every "
              "player gets the same words, each with two or three of its five letters missing.</p>"
              "<p>Type the letters to fill the blanks; Backspace deletes the last letter. Press "
              "ENTER to submit the word. A word counts when it is a valid word that keeps every "
              "letter shown; then the next word comes up.</p>"
              "<p>The Pass Word button or the key 1 passes the word; the Clear Word button or the "
              "key 0 clears what you typed. Tab moves the keyboard to the chat and back.</p>"
              "<p>A round ends when its time runs out or when every player has filled the list. "
              "After the last round the highest score wins; while the top score is tied, further "
              "rounds are played.</p>")},
        {QStringLiteral("Scoring"), 4,
         page("Scoring",
              "<ul><li>5 points for every valid word.</li>"
              "<li>5 more if your word is the original word.</li>"
              "<li>A bonus of 25 points for completing all ten words of a round.</li>"
              "<li>Another 25 points for the first player to complete the list.</li></ul>")},
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
