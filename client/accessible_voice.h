#pragma once

#include "accessibility/announcer.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The announcer's voice on this desktop: news handed to the screen reader through Qt's
// accessibility. Qt 6.8 and later send it as an announcement; older Qt (Debian 12's 6.4) has
// none, so the news becomes the accessible description of the widget with the keyboard focus,
// which Orca reads out when it changes. The widget gets its own description back when the focus
// leaves it. Without a screen reader listening Qt passes the news on to nobody.
class AccessibleVoice : public QObject
{
    Q_OBJECT
public:
    // `window` speaks when no widget has the focus.
    explicit AccessibleVoice(QWidget *window);

    void say(const QString &text, Announcer::Urgency urgency);
    Announcer::Voice voice();

signals:
    // The news was handed on, by this widget.
    void spoke(QWidget *speaker, const QString &text);

private:
    void giveBack();

    QWidget *window_;
    QPointer<QWidget> borrowed_;
    QString ownDescription_;
};
