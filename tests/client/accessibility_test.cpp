// What a screen reader and a keyboard find in the windows: every control Tab reaches is named in
// its role, Tab reaches every control of the main window and of each dialog in their order, the
// menus are walked from the keyboard, the board's cells, the seat list, the clock and the results
// say what the session holds, and the game's news is spoken by the widget that has the keys.

#include "tests/client/game_fixture.h"
#include "tests/client/spoken_spy.h"

#include "accessibility/spoken.h"
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

QString cellText(QAccessibleInterface *table, int row, int column)
{
    QAccessibleInterface *cell = table->tableInterface()->cellAt(row, column);
    return cell ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>");
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

// The board's cells, the seat list, the round and the results say what the session holds, the
// marks read as done or wrong, and the news of the game is spoken by the widget with the keys,
// which carries it as its description.
TEST_F(Accessibility, TheBoardTheSeatsAndTheResultsReadWhatTheSessionHoldsAndTheNewsIsSpoken)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    ASSERT_TRUE(activate(&ann->chat()));
    SpokenSpy spoken(ann->chat().accessibleVoice());
    startGame(*ann, 1, 60);
    ASSERT_TRUE(waitUntil([&] { return ownsBoard(*ann) && status(*ann) == QLatin1String("Type a Word - Press ENTER to submit your word."); }));
    ASSERT_TRUE(activate(&ann->chat())); // back from the options dialog
    ann->server().puzzle(1, 2) = {"apple", "ap_le"};
    const QByteArray first = ann->server().puzzle(1, 1).source;
    const QString firstMasked = spoken::letters(ann->server().puzzle(1, 1).masked);
    QWidget *keys = board(*ann).keyTarget();
    ASSERT_TRUE(waitUntil([&] { return spoken.texts().contains("Your turn. Word 1 of 10, " + firstMasked + "."); }))
        << spoken.texts().join('|').toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(keys)->text(QAccessible::Name), "your word for word 1 of 10, " + firstMasked);

    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(board(*ann).wordTable());
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), "Board");
    EXPECT_EQ(table->tableInterface()->rowCount(), 10);
    EXPECT_EQ(table->tableInterface()->columnCount(), 2);
    EXPECT_EQ(table->childCount(), 20);
    EXPECT_EQ(cellText(table, 0, 0), "word 1 of 10, " + firstMasked);
    EXPECT_EQ(cellText(table, 1, 0), "word 2 of 10, not dealt yet");

    submit(*ann, QString::fromLatin1(first));
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_wordcount") == "Second Word" && ownsBoard(*ann); }));
    submit(*ann, QStringLiteral("apply"));
    ASSERT_TRUE(waitUntil([&] { return status(*ann) == QLatin1String("Invalid Match"); }));
    EXPECT_EQ(spoken.last(), "APPLY refused: Invalid Match");
    EXPECT_EQ(spoken.said.last().speaker, keys);
    EXPECT_EQ(cellText(table, 0, 1), "your word: " + QString::fromLatin1(first).toUpper() + ", accepted");
    EXPECT_EQ(cellText(table, 1, 0), "word 2 of 10, A P blank L E");
    EXPECT_EQ(cellText(table, 1, 1), "your word: APPLY, refused, Invalid Match");
    EXPECT_EQ(board(*ann).mark(1)->accessibleName(), "word 1: done");
    EXPECT_EQ(board(*ann).mark(2)->accessibleName(), "word 2: wrong");
    EXPECT_TRUE(shown(*ann, "image_check2"));
    EXPECT_NE(board(*ann).mark(1)->pixmap().toImage(), board(*ann).mark(2)->pixmap().toImage());
    const QRect marks = board(*ann).mark(1)->geometry().united(board(*ann).mark(10)->geometry()).adjusted(-4, -4, 4, 4);
    screenshot(ann->chat().board(), QStringLiteral("marks-done-and-wrong"), marks, 4);

    submit(*ann, QStringLiteral("apple"));
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_wordcount") == "Third Word" && ownsBoard(*ann); }));
    EXPECT_TRUE(spoken.last().startsWith("APPLE accepted. Word 3 of 10, ")) << spoken.last().toStdString();
    EXPECT_EQ(cellText(table, 1, 1), "your word: APPLE, accepted");
    EXPECT_EQ(board(*ann).mark(2)->accessibleName(), "word 2: done");
    screenshot(ann->chat().board(), QStringLiteral("marks-done"), marks, 4);
    // Cells belong to their table, in order.
    QAccessibleInterface *cell = table->tableInterface()->cellAt(1, 1);
    EXPECT_EQ(table->child(3), cell);
    EXPECT_EQ(table->indexOfChild(cell), 3);
    EXPECT_EQ(cell->parent(), table);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);

    QAccessibleInterface *seats = QAccessible::queryAccessibleInterface(ann->chat().seatRows().list());
    EXPECT_EQ(seats->role(), QAccessible::List);
    ASSERT_EQ(seats->childCount(), 6);
    EXPECT_EQ(seats->child(0)->text(QAccessible::Name), "Ann, 0 points, 2 words");
    EXPECT_EQ(seats->child(0)->role(), QAccessible::ListItem);
    EXPECT_EQ(seats->child(1)->text(QAccessible::Name), "seat 2, waiting for a player");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ann->chat().findChild<QLabel *>("label_roundnum"))->text(QAccessible::Name),
              "Round 1 of 1");

    // F2 tells the board in one breath.
    ann->session().turntimeTimer();
    press(*ann, Qt::Key_F2);
    EXPECT_EQ(spoken.last(), "Round 1 of 1. 59 seconds left. 2 of 10 words filled. Your score 0 points, 1st of 1. "
                             "Now word 3 of 10, " + spoken::letters(ann->server().puzzle(1, 3).masked) + ", no word yet.");

    for (int word = 3; word <= 10; ++word) {
        submit(*ann, QString::fromLatin1(ann->server().puzzle(1, word).source));
        ASSERT_TRUE(waitUntil([&] { return ann->session().board().mark(word) == WordRecord::Mark::Done; })) << word;
    }
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return shown(*ann, "panel_scores"); }));
    ASSERT_TRUE(waitUntil([&] { return spoken.texts().contains("Round 1 of 1 scored. You made 150 points, 1st of 1 with 150 points."); }))
        << spoken.texts().join('|').toStdString();
    QAccessibleInterface *results = QAccessible::queryAccessibleInterface(ann->chat().resultsPanel().panel());
    EXPECT_EQ(results->role(), QAccessible::StaticText);
    EXPECT_EQ(results->text(QAccessible::Name), "Round results");
    EXPECT_TRUE(results->text(QAccessible::Description).startsWith("Round: 1 of 1 results. Ann: 150 points, fastest, bonus, words "));
    runHostPhase(*ann);
    ASSERT_TRUE(waitUntil([&] { return spoken.texts().contains("You have Won the Game!"); }));
    EXPECT_TRUE(spoken.allCarried());
}
