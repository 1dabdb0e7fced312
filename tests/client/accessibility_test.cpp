// What a screen reader and a keyboard find in the windows: every control Tab reaches is named in
// its role, Tab reaches every control of the main window and of each dialog in their order, the
// menus are walked from the keyboard. (What the board, the seats and the results read, and the news
// spoken during a game, are heard in the game played from the keyboard alone.)

#include "tests/client/game_fixture.h"

#include "app/lobby/tdownload.h"
#include "chat/chatentry.h"
#include "client/phrase_buttons.h"
#include "client/picture_controls.h"
#include "client/seat_menu.h"
#include "app/startup/thostgame.h"
#include "app/startup/tjoingame.h"
#include "client/heard_views.h"
#include "client/tabout.h"
#include "client/thelp.h"
#include "client/tphrases.h"
#include "client/tspylist.h"
#include "client/ttallylist.h"
#include "resources/art/board_layout.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStringListModel>

using testing_support::waitUntil;
namespace layout = art::layout;

namespace {

// The control Tab stops at: a spin box or a combo box rather than its text field.
QWidget *control(QWidget *widget)
{
    for (QWidget *up = widget ? widget->parentWidget() : nullptr; up; up = up->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox *>(up) || qobject_cast<QComboBox *>(up))
            return up;
    }
    return widget;
}

// The controls of a window that Tab may reach as it stands.
QList<QWidget *> tabControls(QWidget *window)
{
    QList<QWidget *> found;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window) && widget->isEnabled()
            && widget->window() == window && control(widget) == widget)
            found << widget;
    }
    return found;
}

// The controls met pressing Tab, from the one with the keys, once round the window and more.
QList<QWidget *> walkTabs(QWidget *window, int presses)
{
    QList<QWidget *> met;
    for (int press = 0; press < presses; ++press) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Tab);
        QWidget *now = control(QApplication::focusWidget());
        if (now && !met.contains(now))
            met << now;
    }
    return met;
}

QString nameOf(QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : widget->objectName();
}

} // namespace

class Accessibility : public GameFixture
{
};

TEST_F(Accessibility, EveryControlTabReachesInEveryWindowIsNamedInItsRoleAndTabReachesThemAll)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    auto *found = new QStringListModel({QStringLiteral("Bob's game\t192.0.2.7\t7772")}, &ann->joinDialog());
    ann->joinDialog().setFoundGames(found, Qt::DisplayRole);
    const std::vector<std::pair<QWidget *, std::function<void()>>> windows {
        {&ann->chat(), [] {}},
        {&ann->gamestart(), [&] { ann->chat().startGameAction()->trigger(); }},
        {&ann->spylist(), [&] { ann->spylist().show(); }},
        {&ann->tallylist(), [&] { ann->chat().viewTallyAction()->trigger(); }},
        {&ann->help(), [&] { ann->chat().helpAction()->trigger(); }},
        {&ann->about(), [&] { ann->chat().aboutAction()->trigger(); }},
        {&ann->phrases(), [&] { ann->chat().PrhaseList1Click(); }},
        {&ann->hostDialog(), [&] { ann->chat().hostGameAction()->trigger(); }},
        {&ann->joinDialog(), [&] { ann->chat().JoinaGame1Click(); }},
        {&ann->download(), [&] { ann->download().show(); }},
    };
    for (const auto &[window, open] : windows) {
        SCOPED_TRACE(nameOf(window).toStdString());
        open();
        ASSERT_TRUE(activate(window));
        const QList<QWidget *> controls = tabControls(window);
        ASSERT_GE(controls.size(), 2);
        for (QWidget *widget : controls) {
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
            ASSERT_TRUE(iface) << nameOf(widget).toStdString();
            EXPECT_FALSE(iface->text(QAccessible::Name).trimmed().isEmpty()) << nameOf(widget).toStdString() << " has no name";
            EXPECT_NE(iface->role(), QAccessible::NoRole) << nameOf(widget).toStdString();
            EXPECT_NE(iface->role(), QAccessible::Client) << nameOf(widget).toStdString() << " has no role of its own";
        }
        controls.first()->setFocus(Qt::TabFocusReason);
        const QList<QWidget *> met = walkTabs(window, int(controls.size()) + 2);
        for (QWidget *widget : controls)
            EXPECT_TRUE(met.contains(widget)) << nameOf(widget).toStdString() << " is never reached by Tab";
        screenshot(window, QStringLiteral("tab-") + nameOf(window)); // a control showing it has the keys
        if (window == &ann->joinDialog()) {
            // Down the rows as they stand, then the buttons.
            Tjoingame &join = ann->joinDialog();
            join.nameEdit()->setFocus(Qt::TabFocusReason);
            const QList<QWidget *> order = walkTabs(window, 5);
            EXPECT_EQ(order, (QList<QWidget *> {join.foundList(), join.addressBox(), join.goButton(),
                                                 join.findChild<QWidget *>("button_cancel"), join.nameEdit()}));
        }
        if (window != &ann->chat())
            window->hide();
    }
    // The main window's order follows the screen: the board's controls, the phrase buttons, the
    // chat; its labels name what they are for.
    ASSERT_TRUE(activate(&ann->chat()));
    QWidget *start = ann->chat().startButton();
    start->setFocus(Qt::TabFocusReason);
    const QList<QWidget *> order = walkTabs(&ann->chat(), 3);
    EXPECT_EQ(order, (QList<QWidget *> {ann->chat().seatRows().list(), board(*ann).typingBox(), ann->chat().logo()}));
    // On the seat list the arrows choose a row and Enter opens the seat menu there; the menu key
    // does so on the spy list's entry.
    QWidget *seats = ann->chat().seatRows().list();
    seats->setFocus(Qt::TabFocusReason);
    QTest::keyClick(seats, Qt::Key_Down);
    QAccessibleInterface *seatList = QAccessible::queryAccessibleInterface(seats);
    EXPECT_EQ(seatList->focusChild(), seatList->child(1));
    EXPECT_TRUE(seatList->child(1)->state().focused);
    screenshot(ann->chat().board(), QStringLiteral("seat-list-keyboard"), layout::playersPanel);
    QTest::keyClick(seats, Qt::Key_Return);
    SeatMenu &seatMenu = ann->chat().seatMenu();
    ASSERT_TRUE(waitUntil([&] { return seatMenu.menu()->isVisible(); }, 2000));
    EXPECT_EQ(seatMenu.targetSeat(), 2);
    EXPECT_FALSE(seatMenu.removeFromGame()->isEnabled()); // nobody sits there
    EXPECT_TRUE(seatMenu.setToJustWatch()->isEnabled());
    QTest::keyClick(seatMenu.menu(), Qt::Key_Escape);
    Tspylist &spies = ann->spylist();
    QList<int> removed;
    spies.onRemove = [&removed](int seat) { removed << seat; };
    spies.draw({{7, QStringLiteral("Gus")}, {8, QStringLiteral("Hal")}});
    spies.removeAction()->setEnabled(true);
    QListWidget *spyList = spies.findChild<QListWidget *>(QStringLiteral("listbox_spys"));
    spyList->setCurrentRow(1);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), spyList->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(spyList, &menuKey);
    spies.removeAction()->trigger();
    EXPECT_EQ(removed, QList<int>({8}));
    spies.findChild<QMenu *>(QStringLiteral("popup_spys"))->hide();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(board(*ann).typingBox())->role(), QAccessible::CheckBox);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ann->chat().logo())->role(), QAccessible::Link);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ann->gamestart().UpDown1)->text(QAccessible::Name).trimmed(), "Rounds Per Game:");
}

// F10 and the menus' letters open them at any time; the arrow keys then reach every item.
TEST_F(Accessibility, TheArrowKeysReachEveryItemOfEveryMenuOpenedFromTheKeyboard)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    Tchat &window = ann->chat();
    ASSERT_TRUE(activate(&window));
    QTest::keyClick(window.mychat(), Qt::Key_F10);
    QMenu *file = window.menuBar()->actions().constFirst()->menu();
    ASSERT_TRUE(waitUntil([&] { return file->isVisible(); }, 2000));
    QTest::keyClick(file, Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !file->isVisible(); }, 2000));
    for (QAction *top : window.menuBar()->actions()) {
        QMenu *menu = top->menu();
        SCOPED_TRACE(top->text().toStdString());
        const QChar letter = top->text().at(top->text().indexOf(u'&') + 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(letter.toUpper().unicode()), Qt::AltModifier);
        ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }, 2000));
        QSet<QAction *> reached;
        for (int press = 0; press < 2 * menu->actions().size(); ++press) {
            QTest::keyClick(menu, Qt::Key_Down);
            if (menu->activeAction())
                reached.insert(menu->activeAction());
        }
        for (QAction *item : menu->actions()) {
            if (!item->isSeparator() && item->isVisible() && item->isEnabled()) {
                EXPECT_TRUE(reached.contains(item)) << item->text().toStdString();
            }
        }
        QTest::keyClick(menu, Qt::Key_Escape);
        ASSERT_TRUE(waitUntil([&] { return !menu->isVisible(); }, 2000));
    }
}
