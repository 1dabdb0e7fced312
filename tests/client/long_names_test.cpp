// Long names are cut short with an ellipsis where they are shown, and shown whole in a tooltip.

#include "tests/client/fake_host_game.h"

#include "client/tspylist.h"

#include <QListWidget>

using testing_support::waitUntil;

namespace {
const QByteArray T("\xFF", 1);
const QString kLong = QStringLiteral("Catherine_Longname_of_Wessex");
const QChar kEllipsis(0x2026);
}

class LongNames : public FakeHostGame
{
};

TEST_F(LongNames, AreElidedInTheSeatRowsResultsAndSpyListWithTheWholeNameAsTooltip)
{
    joinAnn();
    peer->send("CMD_newplayerinfo+2+Ann" + T + "CMD_newplayerinfo+3+" + kLong.toUtf8() + T);
    ASSERT_TRUE(waitUntil([&] { return ann->session().seat(3).name == kLong; }));
    const QLabel *row = ann->chat().seatRows().name(3);
    EXPECT_TRUE(row->text().endsWith(kEllipsis)) << row->text().toStdString();
    EXPECT_TRUE(kLong.startsWith(row->text().chopped(1)));
    EXPECT_LE(row->fontMetrics().horizontalAdvance(row->text()), row->width());
    EXPECT_EQ(row->toolTip(), kLong);
    // A name that fits is shown whole, without a tooltip.
    EXPECT_EQ(rowName(*ann, 2), "Ann");
    EXPECT_TRUE(ann->chat().seatRows().name(2)->toolTip().isEmpty());

    // The results: the column's name is cut at its end, not at both sides.
    hostSends("CMD_postscores+3+3+1+apple+3+2+30+0+5+apple");
    ASSERT_TRUE(shown(*ann, "panel_scores"));
    const auto *column = ann->chat().findChild<QLabel *>(QStringLiteral("label_name3"));
    ASSERT_NE(column, nullptr);
    EXPECT_TRUE(column->text().startsWith(QStringLiteral("Catherine"))) << column->text().toStdString();
    EXPECT_TRUE(column->text().endsWith(kEllipsis));
    EXPECT_EQ(column->toolTip(), kLong);
    screenshot(&ann->chat(), QStringLiteral("long-names-results"));

    // The spy list: its whole title fits, and a long name is cut with its whole text as tooltip.
    Tspylist &spylist = ann->spylist();
    spylist.draw({{7, kLong}});
    spylist.show();
    EXPECT_GE(spylist.width(), spylist.fontMetrics().horizontalAdvance(spylist.windowTitle()) + 60);
    const QListWidgetItem *item = spylist.list()->item(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->toolTip(), QStringLiteral("7: ") + kLong);
    EXPECT_EQ(spylist.list()->textElideMode(), Qt::ElideRight);
    // Beside the main window, not over it: to its right, else to its left, else at the
    // desktop's right edge.
    const QRect main(100, 50, 780, 600);
    EXPECT_EQ(besidePlace(main, {200, 170}, QRect(0, 0, 1920, 1080)), QPoint(880, 50));
    EXPECT_EQ(besidePlace(main, {200, 170}, QRect(0, 0, 1000, 1080)), QPoint(800, 50)); // no room either side
    EXPECT_EQ(besidePlace(QRect(400, 50, 780, 600), {200, 170}, QRect(0, 0, 1200, 700)), QPoint(200, 50));
    EXPECT_EQ(besidePlace(QRect(10, 650, 780, 600), {200, 170}, QRect(0, 0, 1920, 700)), QPoint(790, 530));
    screenshot(&spylist, QStringLiteral("spy-list-long-name"));
}
