#include "client/results_panel.h"

#include "accessibility/spoken.h"
#include "client/accessible_interfaces.h"
#include "client/board_controls.h"
#include "client/board_scale.h"
#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"
#include "session/client_session.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>

namespace layout = art::layout;

namespace {

// A word list drawn into the frame the backdrop paints for it.
QListWidget *wordList(QWidget *parent, const QString &objectName, const QRect &place)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(objectName);
    board_scale::place(list, place);
    board_scale::letter(list, boardFont(13));
    list->setFrameShape(QFrame::NoFrame);
    list->setFocusPolicy(Qt::NoFocus);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideNone);
    list->viewport()->setAutoFillBackground(false);
    list->setAutoFillBackground(false);
    QPalette look = list->palette();
    look.setColor(QPalette::Base, Qt::transparent);
    look.setColor(QPalette::Text, Qt::black);
    list->setPalette(look);
    list->setStyleSheet(QStringLiteral("QListWidget { background: transparent; padding: 1px 2px; }"));
    return list;
}

} // namespace

ResultsPanel::ResultsPanel(QWidget *board)
    : QObject(board)
{
    panel_scores = new Backdrop([](qreal dpr) { return art::resultsBackground(dpr); }, board);
    panel_scores->setObjectName(QStringLiteral("panel_scores"));
    // A screen reader reads the whole panel as one text (its description).
    panel_scores->setProperty(kAccessibleRole, int(QAccessible::StaticText));
    panel_scores->setAccessibleName(QStringLiteral("Round results"));
    board_scale::place(panel_scores, layout::resultsPanel);

    const QRect originalCaptionPlace(layout::originalCaption, QSize(layout::originalList.width() + 6, 18));
    textLabel(panel_scores, QStringLiteral("label_original"), originalCaptionPlace, boardFont(12, true),
              Qt::AlignLeft | Qt::AlignVCenter, Qt::black)
        ->setText(QStringLiteral("Original Words"));
    listbox_original = wordList(panel_scores, QStringLiteral("listbox_original"), layout::originalList);
    listbox_original->setAccessibleName(QStringLiteral("Original Words"));
    label_scoreround = textLabel(panel_scores, QStringLiteral("label_scoreround"),
                               QRect(layout::resultsRoundCaption, QSize(layout::originalList.width() + 6, 18)),
                                 boardFont(13, true), Qt::AlignLeft | Qt::AlignVCenter, Qt::black);

    for (int column = 1; column <= kColumns; ++column) {
        const QString n = QString::number(column);
        // Name and score are centred over the list, which is narrower than they are.
        const int left = layout::scoreColumnLefts[index(column)]
                         - (layout::columnNameWidth - layout::wordListSize.width()) / 2;
        Column &c = columns_[index(column)];
        c.name = textLabel(panel_scores, QStringLiteral("label_name") + n,
                           QRect(left, layout::columnNameTop, layout::columnNameWidth, 17), boardFont(13, true),
                           Qt::AlignCenter, Qt::black);
        c.score = textLabel(panel_scores, QStringLiteral("label_ascore") + n,
                            QRect(left, layout::roundScoreTop, layout::columnNameWidth, 16), boardFont(12, true),
                            Qt::AlignCenter, art::palette::darkRed);
        c.words = wordList(panel_scores, QStringLiteral("listbox_player") + n, layout::wordList(column));
        c.fastest = pictureLabel(panel_scores, QStringLiteral("image_fastest") + n, layout::fastestStar(column),
                                 [](qreal dpr) { return art::fastestStar(dpr); });
        c.bonus = pictureLabel(panel_scores, QStringLiteral("image_bonus") + n, layout::bonusMarker(column),
                               [](qreal dpr) { return art::bonusMarker(dpr); });
    }
    panel_scores->hide();
}

namespace {

void fill(QListWidget *list, const QStringList &items)
{
    list->clear();
    list->addItems(items);
}

} // namespace

void ResultsPanel::draw(const ClientSession &session)
{
    const ResultsState &results = session.results();
    fill(listbox_original, results.sourceWords);
    label_scoreround->setText(results.roundCaption);
    for (int seat = 1; seat <= kColumns; ++seat) {
        const ResultColumn &shown = results.of(seat);
        const Column &column = columns_[index(session.columnOfSeat(seat))];
        setElidedText(column.name, shown.name);
        column.score->setText(shown.roundScore ? QStringLiteral("Score: %1").arg(*shown.roundScore) : QString());
        fill(column.words, shown.words);
        const QString listName = shown.name.isEmpty() ? QString() : shown.name + QStringLiteral("'s words");
        if (column.words->accessibleName() != listName)
            column.words->setAccessibleName(listName);
        column.fastest->setVisible(shown.fastest);
        column.bonus->setVisible(shown.bonus);
    }
    const QString read = spoken::results(session);
    if (panel_scores->accessibleDescription() != read)
        panel_scores->setAccessibleDescription(read);
    if (results.shown && panel_scores->isHidden()) {
        board_scale::move(panel_scores, layout::resultsPanel.topLeft());
        panel_scores->raise();
        panel_scores->show();
    } else if (!results.shown) {
        panel_scores->hide();
    }
}
