#pragma once

#include "records/profile.h"
#include "session/client_session.h"

#include <QObject>
#include <QRect>
#include <QStringList>

#include <functional>
#include <optional>

// The player's settings in the file kovrlobby.ini, section "Vrel", which the lobby application
// shares (it keeps its own sections there). They are read once the login completes; from then
// on every option change writes every key, and closing a moved or resized window writes them
// too. Before the login nothing has been read, so nothing stored is overwritten with the
// built-in values: an option changed then writes its own keys only, and closing the window
// writes nothing.
class SettingsFile : public QObject
{
    Q_OBJECT
public:
    static inline const QString kFileName = QStringLiteral("kovrlobby.ini");
    static inline const QString kSection = QStringLiteral("Vrel");
    // Left 3, top 3, 775 by 577: before any settings, and "Reset Screen Location".
    static constexpr QRect kDefaultBounds {3, 3, 775, 577};
    static constexpr int kOversizeShrink = 15;

    // The main window as the settings see it. Bounds are the window's left, top, width and height.
    struct Window {
        std::function<QRect()> bounds;
        std::function<void(const QRect &)> place;
        std::function<void(const QString &)> loadTiles;
    };

    SettingsFile(ClientSession &session, const QString &path, QObject *parent = nullptr);

    void setWindow(Window window);
    const QString &path() const { return file_.path(); }
    bool hasBeenRead() const { return read_; }
    // The four bounds last read from or written to the file.
    std::optional<QRect> rememberedBounds() const { return remembered_; }

    // Reads every key in its order and applies it at once; a value that cannot be read gives
    // its key's default or leaves the option as it is.
    void loadinifile();
    // Writes every key except the phrases, in their order. A key that cannot be written stops
    // the save with "Unable to write to" and the path; the keys before it stay written.
    bool saveinifile();
    // "Open My Port on the Router" as the file keeps it (on unless stored "false"): a game is
    // hosted before the login reads the settings.
    bool storedOpenPort() const;
    // Writes the nine phrases, each key on its own, as saveinifile does.
    bool savephrases();

    // The window closes: when the settings have been read and its bounds differ from the
    // remembered ones, a window larger than the work area is stored 15 pixels smaller in that
    // direction, and the settings are saved.
    void FormClose(const QSize &frameSize, const QRect &workArea);

signals:
    // Every key has been read and applied.
    void settingsRead();

private:
    struct Entry {
        QString key;
        QString value;
    };

    QString read(const QString &key, const QString &defaultValue) const;
    // Writes the entries in order; stops at the first failure, which the player is told of.
    // Returns how many were written.
    int write(const QList<Entry> &entries);
    QList<Entry> savedEntries(const QRect &bounds) const;
    bool save(const QRect &bounds, const QStringList &onlyKeys = {});
    void optionChanged(ClientSession::Option option);

    ClientSession &session_;
    ProfileFile file_;
    Window window_;
    bool read_ = false;
    bool reading_ = false;
    std::optional<QRect> remembered_;
};
