// The Help menu: the help window with its pages, the about window with the version, and the
// game's web link behind the about window's link and the logo on the board.

#include "tests/client/game_fixture.h"
#include "tests/client/fake_host.h"

#include "client/tabout.h"
#include "client/thelp.h"

#include <QAction>
#include <QTextBrowser>

using testing_support::FakeHost;
using testing_support::waitUntil;

namespace {

QString firstLine(const QTextBrowser *page)
{
    return page->toPlainText().section(QLatin1Char('\n'), 0, 0);
}

} // namespace

class HelpWindows : public GameFixture
{
};

TEST_F(HelpWindows, PagesChosenByTheirButtonsAndTheLastOneKept)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    QAction *content = ann->chat().helpAction();
    EXPECT_EQ(content->text(), "&Content");
    EXPECT_EQ(content->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(ann->chat().aboutAction()->text(), "&About");

    content->trigger();
    Thelp &help = ann->help();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), "Vrel - Help File");
    EXPECT_EQ(help.caption()->text(), "Overview");
    EXPECT_EQ(help.frontPage()->objectName(), "memo1");
    EXPECT_EQ(firstLine(help.frontPage()), "Overview");
    EXPECT_TRUE(help.frontPage()->isReadOnly());
    EXPECT_EQ(help.frontPage()->focusPolicy(), Qt::TabFocus);
    screenshot(&help, QStringLiteral("help-overview"));

    // Every page opens under its button's caption and starts with its own title.
    const QList<std::pair<QString, QString>> pages = {{"Connecting", "Connecting"},
                                                      {"Game Play", "Game Play"},
                                                      {"Scoring", "Scoring"},
                                                      {"Documentation", "History"}};
    for (const auto &[button, title] : pages) {
        QPushButton *pageButton = help.pageButton(button);
        ASSERT_TRUE(pageButton) << button.toStdString();
        QTest::mouseClick(pageButton, Qt::LeftButton);
        EXPECT_EQ(help.caption()->text(), button);
        EXPECT_EQ(firstLine(help.frontPage()), title);
    }
    EXPECT_EQ(help.frontPage()->objectName(), "memo5");
    EXPECT_TRUE(help.frontPage()->toPlainText().contains(QLatin1String("1.0.4.2")));
    screenshot(&help, QStringLiteral("help-documentation"));
    // Connecting tells how games are played together: hosting and joining from the File menu,
    // the games found on the network, invite links, who starts the games on either kind of host,
    // rejoining after a drop; nothing on it is untrue of a host without a window.
    QTest::mouseClick(help.pageButton("Connecting"), Qt::LeftButton);
    const QString connecting = help.frontPage()->toPlainText().simplified();
    for (const char *told : {"7772", "File, Host a Game...", "File, Join a Game...", "games found on this network",
                             "paste an invite link", "vrel://", "vrel-host", "at the table longest",
                             "You now start the games.", "rejoins the game by itself",
                             "your own seat, score and words back, for two minutes", "removes you"})
        EXPECT_TRUE(connecting.contains(QLatin1String(told))) << told;
    for (const char *untrue : {"Only the host starts games", "If the host leaves", "the game ends for everybody"})
        EXPECT_FALSE(connecting.contains(QLatin1String(untrue), Qt::CaseInsensitive)) << untrue;
    screenshot(&help, QStringLiteral("help-connecting"));
    QTest::mouseClick(help.pageButton("Documentation"), Qt::LeftButton);

    // "Done" hides the window; it comes back on the page it showed.
    QTest::mouseClick(help.findChild<QPushButton *>(QStringLiteral("button_done")), Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
    content->trigger();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.caption()->text(), "Documentation");
    EXPECT_EQ(firstLine(help.frontPage()), "History");

    // "About" in the help window shows the about window.
    QTest::mouseClick(help.findChild<QPushButton *>(QStringLiteral("button_about")), Qt::LeftButton);
    EXPECT_TRUE(ann->about().isVisible());
}

TEST_F(HelpWindows, TheAboutWindowReadsTheReleaseWhileTheLoginSendsTheProtocolVersion)
{
    FakeHost fake;
    auto ann = launch({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, fake.port());
    auto host = fake.accept();
    ASSERT_TRUE(host);
    host->send(QByteArray("CMD_sendlogininfo+2\xFF"));
    EXPECT_TRUE(host->waitFor("CMD_logininfo+2+1.0.4+Ann"));

    ann->chat().aboutAction()->trigger();
    Tabout &about = ann->about();
    ASSERT_TRUE(about.isVisible());
    EXPECT_EQ(about.windowTitle(), "Vrel - About");
    EXPECT_EQ(about.versionLabel()->text(), "1.0.4");
    EXPECT_EQ(about.versionLabel()->text() + about.releaseLabel()->text(), "1.0.4.2");
    // ".2" follows the version directly, on the same line.
    EXPECT_EQ(about.releaseLabel()->geometry().left(), about.versionLabel()->geometry().right() + 1);
    EXPECT_EQ(about.releaseLabel()->geometry().top(), about.versionLabel()->geometry().top());
    screenshot(&about, QStringLiteral("about"));

    // The link and the logo on the board open the game's web page in the browser.
    QList<QUrl> opened;
    about.URL1.opener = [&](const QUrl &url) {
        opened << url;
        return true;
    };
    QTest::mouseClick(about.link(), Qt::LeftButton);
    QTest::mouseClick(ann->chat().logo(), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>({QUrl("http://www.kovren.com"), QUrl("http://www.kovren.com")}));
    EXPECT_EQ(about.link()->text(), "www.kovren.com");
    QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST(TURL, OpensOnlyWebAddresses)
{
    const QStringList prefixes = {"file://", "ftp://", "gopher://", "http://", "https://", "mailto:",
                                  "news:", "telnet:", "wais:", ""};
    for (int type = 0; type < prefixes.size(); ++type)
        EXPECT_EQ(TURL::prefix(TURLType(type)), prefixes.at(type));

    QList<QUrl> opened;
    TURL link;
    link.opener = [&](const QUrl &url) {
        opened << url;
        return true;
    };
    EXPECT_FALSE(link.Execute()); // no address
    link.URL = QStringLiteral("example.org/rules");
    EXPECT_TRUE(link.Execute());
    link.URLType = TURLType::utHttps;
    EXPECT_TRUE(link.Execute());
    for (const TURLType other : {TURLType::utFile, TURLType::utFtp, TURLType::utMailto, TURLType::utTelnet}) {
        link.URLType = other;
        EXPECT_FALSE(link.Execute());
    }
    // Without a type of its own the address must be a web address itself.
    link.URLType = TURLType::utnone;
    EXPECT_FALSE(link.Execute());
    link.URL = QStringLiteral("https://example.org/");
    EXPECT_TRUE(link.Execute());
    link.URL = QStringLiteral("file:///etc/passwd");
    EXPECT_FALSE(link.Execute());
    EXPECT_EQ(opened, QList<QUrl>({QUrl("http://example.org/rules"), QUrl("https://example.org/rules"),
                                   QUrl("https://example.org/")}));

    // A browser that refuses the address is told as such.
    link.opener = [](const QUrl &) { return false; };
    EXPECT_FALSE(link.Execute());
}
