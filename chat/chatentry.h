#pragma once

#include <QLineEdit>

class QAction;
class QMenu;

namespace chat {

// The chat entry ("mychat"): a one-line field that starts with the placeholder text, empties
// itself at the first key, and asks for its text to be sent when Enter is pressed.
class ChatEntry : public QLineEdit
{
    Q_OBJECT

public:
    static const QString Placeholder;

    explicit ChatEntry(QWidget *parent = nullptr);

    // The player's text colour, a colour value.
    void setTextColour(quint32 colour);

    QMenu *contextMenu() const { return m_popup; }
    QAction *paste1() const { return m_paste1; }

public slots:
    // Appends the clipboard's text at the end (the placeholder stays); the caret goes to the end.
    void Paste1Click();
    // Appends ":)#" and the smiley code, after emptying the placeholder; the caret goes to the end.
    void appendSmiley(int code);

signals:
    // Enter was pressed; the main window sends the text (and clears the entry as it decides).
    void sendRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The line typed so far is never selected by the focus coming back (a line edit selects all
    // when reached by Tab, or when the focused board row hides at the end of a turn): the next
    // key would replace the player's unsent text.
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void mychatKeyDown();
    void emptyPlaceholder();
    void showTextEnd(const QString &text);

    QMenu *m_popup = nullptr;
    QAction *m_paste1 = nullptr;
};

} // namespace chat
