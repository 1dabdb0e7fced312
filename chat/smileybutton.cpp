#include "chat/smileybutton.h"

#include "chat/chatline.h"
#include "chat/smilies.h"

#include <QAction>
#include <QMenu>

namespace chat {

SmileyButton::SmileyButton(QWidget *parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("button_smilies"));
    setIcon(smileyIcon(0));
    setIconSize(SmileySize);
    setAutoRaise(true);
    // Reached by Tab; a click leaves the keyboard where the player types.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Smilies"));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("popup_smilies"));
    for (int code = FirstMenuCode; code <= LastMenuCode; ++code) {
        QAction *item = m_menu->addAction(smileyIcon(code - FirstSmileyCode),
                                          SmileyMarker + QString::number(code));
        item->setData(code);
        item->setToolTip(smileyName(code - FirstSmileyCode));
    }
    connect(m_menu, &QMenu::triggered, this, &SmileyButton::MenuItem32Click);
    connect(this, &QToolButton::clicked, this, &SmileyButton::button_smiliesClick);
}

void SmileyButton::setScale(qreal scale)
{
    if (scale == 1) {
        setIcon(smileyIcon(0));
        setIconSize(SmileySize);
        return;
    }
    QPixmap face = smileyPixmap(0, devicePixelRatioF() * scale);
    face.setDevicePixelRatio(devicePixelRatioF());
    setIcon(QIcon(face));
    setIconSize(face.deviceIndependentSize().toSize());
}

void SmileyButton::button_smiliesClick()
{
    m_menu->popup(mapToGlobal(QPoint(width(), height())));
}

void SmileyButton::MenuItem32Click(QAction *item)
{
    emit smileyChosen(item->data().toInt());
}

} // namespace chat
