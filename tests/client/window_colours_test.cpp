// Every text of the board and its small windows is written in its own colour: a dark desktop
// theme must not write light text on the peach and orange pictures.

#include "tests/client/client_fixture.h"

#include "app/startup/tgamestart.h"
#include "chat/chatentry.h"
#include "client/tspylist.h"

#include <QApplication>

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

    QStringList boardTexts {"label_status", "label_roundnum", "label_timer", "label_typing"};
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

    struct DarkTheme {
        QPalette desktop = QApplication::palette();
        DarkTheme() { QApplication::setPalette(darkTheme()); }
        ~DarkTheme() { QApplication::setPalette(desktop); }
    } theme;
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
