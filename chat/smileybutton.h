#pragma once

#include <QToolButton>

class QAction;
class QMenu;

namespace chat {

// The smiley button ("button_smilies") beside the chat entry and its menu ("popup_smilies") of
// the smilies with codes 10 to 26.
class SmileyButton : public QToolButton
{
    Q_OBJECT

public:
    static constexpr int FirstMenuCode = 10;
    static constexpr int LastMenuCode = 26;

    explicit SmileyButton(QWidget *parent = nullptr);

    QMenu *smileyMenu() const { return m_menu; }
    QSize sizeHint() const override { return {22, 22}; }
    // The board's scale: the face is drawn anew at its size.
    void setScale(qreal scale);

public slots:
    // Opens the menu with its top left corner at the button's bottom right corner.
    void button_smiliesClick();

signals:
    // A smiley was chosen in the menu; connect it to ChatEntry::appendSmiley.
    void smileyChosen(int code);

private:
    void MenuItem32Click(QAction *item);

    QMenu *m_menu = nullptr;
};

} // namespace chat
