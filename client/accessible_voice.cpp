#include "client/accessible_voice.h"

#include <QAccessible>
#include <QApplication>
#include <QWidget>

AccessibleVoice::AccessibleVoice(QWidget *window)
    : QObject(window)
    , window_(window)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (borrowed_ && now != borrowed_)
            giveBack();
    });
}

Announcer::Voice AccessibleVoice::voice()
{
    return [this](const QString &text, Announcer::Urgency urgency) { say(text, urgency); };
}

void AccessibleVoice::say(const QString &text, Announcer::Urgency urgency)
{
    QWidget *speaker = QApplication::focusWidget() ? QApplication::focusWidget() : window_;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(speaker, text);
    event.setPoliteness(urgency == Announcer::Urgency::Assertive ? QAccessible::AnnouncementPoliteness::Assertive
                                                                 : QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    Q_UNUSED(urgency);
    if (speaker != borrowed_) {
        giveBack();
        borrowed_ = speaker;
        ownDescription_ = speaker->accessibleDescription();
    }
    // The same news twice is news twice: the description must change to be read again.
    speaker->setAccessibleDescription(speaker->accessibleDescription() == text ? text + QLatin1Char(' ') : text);
#endif
    emit spoke(speaker, text);
}

void AccessibleVoice::giveBack()
{
    if (borrowed_)
        borrowed_->setAccessibleDescription(ownDescription_);
    borrowed_.clear();
    ownDescription_.clear();
}
