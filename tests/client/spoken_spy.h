#pragma once

#include "client/accessible_voice.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

// What a window's voice tells the screen reader while this lives, with the widget that spoke
// each piece of news and whether that widget carries it where a screen reader reads it (on
// Debian 12's Qt, as the widget's accessible description; later Qt sends announcements).
class SpokenSpy
{
public:
    struct Said {
        QPointer<QWidget> speaker;
        QString text;
        bool carried = false;
    };

    explicit SpokenSpy(AccessibleVoice &voice)
    {
        QObject::connect(&voice, &AccessibleVoice::spoke, &voice, [this](QWidget *speaker, const QString &text) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
            const bool carried = true;
#else
            const bool carried = speaker->accessibleDescription().trimmed() == text;
#endif
            said.append({speaker, text, carried});
        });
    }

    QStringList texts() const
    {
        QStringList all;
        for (const Said &s : said)
            all << s.text;
        return all;
    }
    QString last() const { return said.isEmpty() ? QString() : said.last().text; }
    // Every piece of news so far was carried by its widget.
    bool allCarried() const
    {
        for (const Said &s : said) {
            if (!s.carried)
                return false;
        }
        return true;
    }

    QList<Said> said;
};
