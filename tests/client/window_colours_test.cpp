// Every text of the board and its small windows is written in its own colour: a dark desktop
// theme must not write light text on the peach and orange pictures.

#include "tests/client/client_fixture.h"

#include "app/lobby/tdownload.h"
#include "app/startup/tgamestart.h"
#include "chat/chatentry.h"
#include "chat/chatview.h"
#include "client/message_box.h"
#include "client/tabout.h"
#include "client/thelp.h"
#include "client/tphrases.h"
#include "client/tspylist.h"
#include "client/ttallylist.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using testing_support::settle;

namespace {

QPalette darkTheme()
{
    QPalette dark(QColor(53, 53, 53));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                     QPalette::BrightText, QPalette::HighlightedText})
        dark.setColor(role, QColor(235, 235, 235));
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    return dark;
}

// The desktop's palette turned dark for as long as it lives.
struct DarkTheme {
    QPalette desktop = QApplication::palette();
    DarkTheme() { QApplication::setPalette(darkTheme()); }
    ~DarkTheme() { QApplication::setPalette(desktop); }
};

// How a window looks, and where each of its named texts is.
struct Shot {
    QImage image;
    QWidget *window;
    QStringList texts;

    QImage textAt(const QImage &from, const QString &name) const
    {
        const QWidget *label = window->findChild<QWidget *>(name);
        return label ? from.copy(QRect(label->mapTo(window, QPoint(0, 0)), label->size())) : QImage();
    }
};

// Dark text is there to see: some pixels of the area are nearly black.
bool hasDarkText(const QImage &area)
{
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            if (qGray(area.pixel(x, y)) < 60)
                return true;
    return false;
}

} // namespace

class WindowColours : public ClientFixture
{
};

TEST_F(WindowColours, ADarkDesktopThemeLeavesTheBoardAndItsDialogsAsTheyAre)
{
    auto ann = host(QStringLiteral("Ann"));
    ann->gamestart().show();
    ann->spylist().show();
    settle(50);

    QStringList boardTexts {"label_status", "label_roundnum", "label_timer", "label_typing", "mainchat"};
    for (int seat = 1; seat <= 6; ++seat)
        for (const char *row : {"label_playername", "label_score", "label_words"})
            boardTexts << QLatin1String(row) + QString::number(seat);
    std::vector<Shot> shots {
        {QImage(), ann->chat().board(), boardTexts},
        {QImage(), &ann->gamestart(), {"label_heading", "label_playtoscore", "label_creationtime"}},
        {QImage(), &ann->spylist(), {"label_spylist"}},
    };
    for (Shot &shot : shots)
        shot.image = shot.window->grab().toImage();

    DarkTheme theme;
    settle(50);
    for (const Shot &shot : shots) {
        const QImage dark = shot.window->grab().toImage();
        for (const QString &name : shot.texts) {
            const QImage before = shot.textAt(shot.image, name);
            ASSERT_FALSE(before.isNull()) << name.toStdString();
            EXPECT_EQ(shot.textAt(dark, name), before) << name.toStdString() << " changed with the theme";
        }
    }
    // The status line, a seat row and the dialog's labels are written in black.
    EXPECT_TRUE(hasDarkText(shots[0].textAt(ann->chat().board()->grab().toImage(), "label_status")));
    EXPECT_TRUE(hasDarkText(shots[0].textAt(ann->chat().board()->grab().toImage(), "label_playername1")));
    EXPECT_TRUE(hasDarkText(shots[1].textAt(ann->gamestart().grab().toImage(), "label_playtoscore")));
    // The chat entry stays a white field with the player's text colour; the chat stays peach.
    const QPalette entry = ann->chat().mychat()->palette();
    EXPECT_EQ(entry.color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(entry.color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(ann->chat().mainchat()->palette().color(QPalette::Base), QColor(0xFF, 0xDA, 0xB0));
    QDir().mkpath(QStringLiteral("screenshots"));
    ann->chat().grab().save(QStringLiteral("screenshots/main-window-dark-theme.png"));
    ann->gamestart().grab().save(QStringLiteral("screenshots/game-options-dark-theme.png"));
    ann->spylist().grab().save(QStringLiteral("screenshots/spy-list-dark-theme.png"));
}

// Every window and dialog looks the same, pixel for pixel, under a light and a dark desktop
// palette: each carries the colours it draws in (the options dialog, the spy list, the lobby
// window, the tally, help, about and phrase windows, and the message boxes). The board's texts
// are compared above, the chat and its scroll bar among them.
TEST_F(WindowColours, EveryWindowLooksTheSameUnderADarkDesktopPalette)
{
    QApplication::setCursorFlashTime(0); // a caret that does not blink looks the same each time
    auto ann = host(QStringLiteral("Ann"));
    const std::vector<std::pair<QString, QWidget *>> windows {
        {"game-options", &ann->gamestart()},
        {"spy-list", &ann->spylist()},          {"lobby", &ann->download()},
        {"tally", &ann->tallylist()}, {"help", &ann->help()},
        {"about", &ann->about()},     {"phrases", &ann->phrases()},
    };
    for (const auto &[name, window] : windows)
        window->window()->show();
    settle(50);

    // A message box of the game as it shows.
    const auto box = messagebox::makeBox(nullptr, QMessageBox::NoIcon, QStringLiteral("You are not connected"), QMessageBox::Ok);
    box->show();
    settle(20);
    const auto messageBox = [&box] { return box->grab().toImage(); };

    const QString folder = qEnvironmentVariable("VREL_SCREENSHOTS");
    std::vector<QImage> light;
    for (const auto &[name, window] : windows) {
        light.push_back(window->grab().toImage());
        if (!folder.isEmpty())
            light.back().save(folder + QStringLiteral("/light-") + name + QStringLiteral(".png"));
    }
    const QImage lightBox = messageBox();
    ASSERT_FALSE(lightBox.isNull());

    DarkTheme theme;
    settle(50);
    for (size_t i = 0; i < windows.size(); ++i) {
        const QImage dark = windows[i].second->grab().toImage();
        EXPECT_TRUE(dark == light[i]) << windows[i].first.toStdString() << " changed with the desktop's palette";
        EXPECT_TRUE(hasDarkText(dark)) << windows[i].first.toStdString();
        if (!folder.isEmpty())
            dark.save(folder + QStringLiteral("/dark-") + windows[i].first + QStringLiteral(".png"));
    }
    const QImage darkBox = messageBox();
    EXPECT_TRUE(darkBox == lightBox) << "the message box changed with the desktop's palette";

    // So does the chat's box for a link that cannot be opened, shown beside the board.
    const auto chatBox = [&ann] {
        chat::ChatView *view = ann->chat().mainchat();
        view->setLinkOpener([](const QUrl &) { return false; });
        view->addlinetochat(QStringLiteral("1+Ann: www.example.org"), 0);
        view->mainchatJump(view->linkCount() - 1);
        settle(20);
        auto *box = view->findChild<QMessageBox *>();
        const QImage shot = box ? box->grab().toImage() : QImage();
        delete box;
        return shot;
    };
    const QImage darkChatBox = chatBox();
    ASSERT_FALSE(darkChatBox.isNull());
    EXPECT_TRUE(hasDarkText(darkChatBox));
    QApplication::setPalette(theme.desktop);
    settle(20);
    EXPECT_TRUE(chatBox() == darkChatBox) << "the chat's box changed with the desktop's palette";
    QApplication::setCursorFlashTime(1000);
}
