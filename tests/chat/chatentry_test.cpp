#include "chat/chatentry.h"
#include "chat/smileybutton.h"
#include "protocol/constants.h"
#include "resources/art/contrast.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace chat;

namespace {
const QString placeholder = QStringLiteral("<Enter Chat Here>");

void expectCaretAtEndNothingSelected(const ChatEntry &entry)
{
    EXPECT_EQ(entry.cursorPosition(), entry.text().size());
    EXPECT_FALSE(entry.hasSelectedText());
}
} // namespace

TEST(ChatEntry, StartsWithThePlaceholderTextThatTheFirstKeyEmpties)
{
    ChatEntry entry;
    EXPECT_EQ(entry.objectName(), QStringLiteral("mychat"));
    EXPECT_EQ(entry.text(), placeholder);
    EXPECT_TRUE(entry.placeholderText().isEmpty());

    QTest::keyClicks(&entry, QStringLiteral("hi"));
    EXPECT_EQ(entry.text(), QStringLiteral("hi"));

    entry.setText(placeholder);
    QTest::keyClick(&entry, Qt::Key_Shift);
    EXPECT_EQ(entry.text(), QString());

    // Only exactly the placeholder is emptied.
    entry.setText(placeholder + QStringLiteral("x"));
    entry.end(false);
    QTest::keyClick(&entry, Qt::Key_Y);
    EXPECT_EQ(entry.text(), placeholder + QStringLiteral("xy"));
}

TEST(ChatEntry, EnterAsksForSendingAndIsSwallowed)
{
    ChatEntry entry;
    QSignalSpy send(&entry, &ChatEntry::sendRequested);
    QSignalSpy returned(&entry, &QLineEdit::returnPressed);

    QTest::keyClick(&entry, Qt::Key_Return);
    EXPECT_EQ(send.count(), 1);
    EXPECT_EQ(entry.text(), QString()); // the key emptied the placeholder first

    QTest::keyClicks(&entry, QStringLiteral("/me waves"));
    QTest::keyClick(&entry, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(send.count(), 2);
    EXPECT_EQ(entry.text(), QStringLiteral("/me waves"));
    EXPECT_EQ(returned.count(), 0);
}

TEST(ChatEntry, HoldsNoMoreThanTheLongestTextTheHostRelays)
{
    ChatEntry entry;
    const QString longText(100000, QLatin1Char('a'));
    entry.setText(longText);
    EXPECT_EQ(entry.text(), longText.left(proto::kMaxChatChars));
}

TEST(ChatEntry, PasteAppendsAtTheEnd)
{
    ChatEntry entry;
    ASSERT_EQ(entry.contextMenu()->actions(), QList<QAction *>{entry.paste1()});
    EXPECT_EQ(entry.contextMenu()->objectName(), QStringLiteral("popup_mychat"));
    EXPECT_EQ(entry.paste1()->text(), QStringLiteral("&Paste"));

    QGuiApplication::clipboard()->setText(QStringLiteral("xyz"));
    entry.paste1()->trigger(); // from the menu the placeholder stays
    EXPECT_EQ(entry.text(), placeholder + QStringLiteral("xyz"));
    expectCaretAtEndNothingSelected(entry);

    entry.setText(QStringLiteral("hello"));
    entry.setSelection(0, 2);
    entry.paste1()->trigger();
    EXPECT_EQ(entry.text(), QStringLiteral("helloxyz"));
    expectCaretAtEndNothingSelected(entry);

    QGuiApplication::clipboard()->setText(QStringLiteral("two\r\nlines\n"));
    entry.setCursorPosition(0);
    QTest::keyClick(&entry, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry.text(), QStringLiteral("helloxyztwo lines "));
    expectCaretAtEndNothingSelected(entry);

    // With the placeholder, the key press empties it before the paste.
    entry.setText(placeholder);
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(&entry, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry.text(), QStringLiteral("abc"));

    QGuiApplication::clipboard()->clear();
    entry.setCursorPosition(0);
    entry.Paste1Click();
    EXPECT_EQ(entry.text(), QStringLiteral("abc"));
    expectCaretAtEndNothingSelected(entry);
}

TEST(ChatEntry, TakesThePlayersTextColour)
{
    ChatEntry entry;
    entry.setTextColour(0x00800000); // navy reads on the white as it is
    EXPECT_EQ(entry.palette().color(QPalette::Text), QColor(0, 0, 128));
    entry.setTextColour(0x000080FF); // orange is made darker, just enough to read
    const QColor orange = entry.palette().color(QPalette::Text);
    EXPECT_GE(art::contrast(orange, Qt::white), 4.5);
    EXPECT_LT(art::contrast(orange.lighter(104), Qt::white), 4.5);
    EXPECT_NEAR(orange.green() * 2, orange.red(), 2); // still orange
}

TEST(SmileyMenu, HoldsCodesTenToTwentySixAndAppendsTheChosenCode)
{
    QWidget window;
    window.resize(300, 200);
    auto *entry = new ChatEntry(&window);
    auto *button = new SmileyButton(&window);
    button->move(100, 50);
    QObject::connect(button, &SmileyButton::smileyChosen, entry, &ChatEntry::appendSmiley);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(button->objectName(), QStringLiteral("button_smilies"));
    QMenu *menu = button->smileyMenu();
    EXPECT_EQ(menu->objectName(), QStringLiteral("popup_smilies"));
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), 17);
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i]->text(), QStringLiteral(":)#%1").arg(10 + i));
        EXPECT_EQ(items[i]->data().toInt(), 10 + i);
        EXPECT_FALSE(items[i]->icon().isNull());
    }

    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->geometry().topLeft(), button->mapToGlobal(QPoint(button->width(), button->height())));
    items[2]->trigger();
    menu->hide();
    EXPECT_EQ(entry->text(), QStringLiteral(":)#12"));
    expectCaretAtEndNothingSelected(*entry);

    entry->setText(QStringLiteral("hi"));
    entry->setSelection(0, 1);
    items[16]->trigger();
    EXPECT_EQ(entry->text(), QStringLiteral("hi:)#26"));
    expectCaretAtEndNothingSelected(*entry);
}
