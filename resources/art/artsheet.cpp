// Writes every picture at ratios 1 and 2, a sheet of the small ones enlarged, and mock-ups of the
// board (during a turn, with the round results and the winner, and a host before the first game)
// to PNG files, so that the artwork can be judged as a player will see it.
//
//   vrel-artsheet [output folder]      (default: ./artsheet)

#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <functional>
#include <vector>

namespace {

struct Picture {
    QString name;
    std::function<QPixmap(qreal)> draw;
};

std::vector<Picture> pictures()
{
    std::vector<Picture> all{
        {"board", [](qreal d) { return art::boardBackground(d); }},
        {"results", [](qreal d) { return art::resultsBackground(d); }},
        {"winner", [](qreal d) { return art::winnerBanner(d); }},
        {"dialog-320x200", [](qreal d) { return art::dialogBackground({320, 200}, d); }},
        {"logo", [](qreal d) { return art::logo(d); }},
        {"goodjob", [](qreal d) { return art::goodJob(d); }},
        {"progress", [](qreal d) { return art::progressMark(d); }},
        {"refused", [](qreal d) { return art::refusedMark(d); }},
        {"start", [](qreal d) { return art::startPlate(art::PlateState::Normal, d); }},
        {"start-hover", [](qreal d) { return art::startPlate(art::PlateState::Hover, d); }},
        {"start-pressed", [](qreal d) { return art::startPlate(art::PlateState::Pressed, d); }},
        {"pass", [](qreal d) { return art::passPlate(art::PlateState::Normal, d); }},
        {"pass-pressed", [](qreal d) { return art::passPlate(art::PlateState::Pressed, d); }},
        {"clear", [](qreal d) { return art::clearPlate(art::PlateState::Normal, d); }},
        {"clear-hover", [](qreal d) { return art::clearPlate(art::PlateState::Hover, d); }},
        {"fastest", [](qreal d) { return art::fastestStar(d); }},
        {"bonus", [](qreal d) { return art::bonusMarker(d); }},
        {"eyes", [](qreal d) { return art::eyes(d); }},
        {"typing-on", [](qreal d) { return art::typingBox(true, d); }},
        {"typing-off", [](qreal d) { return art::typingBox(false, d); }},
        {"timer", [](qreal d) { return art::timerBar(d); }},
        {"lobby", [](qreal d) { return art::lobbyPicture(d); }},
    };
    for (int code = 0; code <= 26; ++code)
        all.push_back({QStringLiteral("tile%1").arg(code, 2, 10, QLatin1Char('0')),
                       [code](qreal d) { return art::classicTile(code, d); }});
    for (int n = 1; n <= 10; ++n)
        all.push_back({QStringLiteral("number%1").arg(n, 2, 10, QLatin1Char('0')),
                       [n](qreal d) { return art::numberBox(n, d); }});
    for (int n = 1; n <= 10; ++n)
        all.push_back({QStringLiteral("phrase%1").arg(n, 2, 10, QLatin1Char('0')),
                       [n](qreal d) { return art::phraseIcon(n, d); }});
    return all;
}

QFont font(int pixels, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void text(QPainter &p, const QRect &r, const QString &s, const QFont &f, const QColor &c,
          Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, align, s);
}

void tiles(QPainter &p, const QString &word, int top, qreal dpr)
{
    for (int i = 0; i < 5; ++i) {
        const QChar c = i < word.size() ? word.at(i) : QChar('_');
        const int code = c >= QLatin1Char('a') && c <= QLatin1Char('z') ? c.unicode() - 'a' + 1 : 0;
        p.drawPixmap(art::layout::puzzleTile(i + 1).translated(0, top - art::layout::puzzleRowTop).topLeft(),
                     art::classicTile(code, dpr));
    }
}

struct Seat {
    QString name, score, words;
    bool watching;
};

void seatRows(QPainter &p, const std::vector<Seat> &seats, qreal dpr)
{
    using namespace art::layout;
    for (int i = 0; i < 6; ++i) {
        const Seat &s = seats[i];
        const int top = seatRowTops[i];
        if (s.watching)
            p.drawPixmap(eyesIcon(i + 1).topLeft(), art::eyes(dpr));
        const QColor colour = s.name == QLatin1String("<Waiting>") ? QColor(0x80, 0x60, 0x50) : art::palette::ink;
        text(p, QRect(nameLeft, top, nameWidth, 18), s.name, font(13, true), colour);
        text(p, QRect(scoreLeft, top, 60, 18), s.score, font(13, true), art::palette::ink);
        text(p, QRect(wordCountLeft, top, 60, 18), s.words, font(13, true), art::palette::ink);
    }
}

void chat(QPainter &p, qreal dpr, bool typingOn)
{
    using namespace art::layout;
    for (int i = 0; i < 10; ++i)
        p.drawPixmap(phraseButton(i).topLeft(), art::phraseIcon(i + 1, dpr));
    p.fillRect(chatView, art::palette::peach);
    struct Line {
        QString head, body;
        QColor colour;
    };
    const std::vector<Line> lines{
        {"", "You are Connected.", Qt::blue},
        {"", "Mia is Connected.", Qt::blue},
        {"Mia: ", "hi all, ready for a round?", QColor(0x80, 0, 0x80)},
        {"You: ", "sure, start when you like :)", QColor(0, 0x60, 0)},
        {"", "Ben is spying.", Qt::blue},
        {"", "You has started a game.", Qt::blue},
        {"Mia ", "says: Good One!", QColor(0x80, 0, 0x80)},
        {"Ben: ", "see www.example.org for the rules", QColor(0, 0, 0xA0)},
    };
    int y = chatView.top() + 3;
    for (const Line &l : lines) {
        p.setFont(font(13, !l.head.isEmpty()));
        p.setPen(l.colour);
        p.drawText(QPoint(chatView.left() + 4, y + 13), l.head + l.body);
        y += 17;
    }
    p.fillRect(chatEntry, Qt::white);
    text(p, chatEntry.adjusted(4, 0, 0, 0), "<Enter Chat Here>", font(13, false), Qt::gray);
    p.fillRect(smileyButton, art::palette::peachLight);
    p.setPen(QPen(art::palette::frame, 1));
    p.setBrush(QColor(0xFF, 0xD8, 0x40));
    p.drawEllipse(QRectF(smileyButton).adjusted(4, 4, -4, -4));
    p.drawPixmap(typingBox.topLeft(), art::typingBox(typingOn, dpr));
    text(p, QRect(typingCaption, QSize(90, 18)), "Type In Chat", font(12, true), art::palette::ink);
}

void upper(QPainter &p, qreal dpr, const QString &round, int barWidth, const QString &clock,
           const QColor &clockColour, int marks, const QString &status)
{
    using namespace art::layout;
    text(p, roundCaption, round, font(19, false), Qt::black);
    const QPixmap bar = art::timerBar(dpr);
    p.drawPixmap(QRect(timerBar.topLeft(), QSize(barWidth, timerBar.height())), bar,
                 QRectF(0, 0, barWidth * dpr, bar.height()));
    text(p, timerText, clock, font(16, true), clockColour, Qt::AlignCenter);
    for (int word = 1; word <= marks; ++word)
        p.drawPixmap(progressMark(word).topLeft(), art::progressMark(dpr));
    text(p, statusLine, status, font(13, true), Qt::black, Qt::AlignCenter);
}

QImage canvas(qreal dpr)
{
    QImage image(art::layout::boardSize * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    return image;
}

QImage turnMockup(qreal dpr)
{
    using namespace art::layout;
    QImage image = canvas(dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(0, 0, art::boardBackground(dpr));
    upper(p, dpr, "Round: 2 of 5", 236, "Time: 0:59", art::palette::paleYellow, 3,
          "Type a Word - Press ENTER to submit your word.");
    text(p, wordCaption, "Fourth Word", font(16, true), Qt::black, Qt::AlignCenter);
    tiles(p, "ap_le", puzzleRowTop, dpr);
    tiles(p, "ap___", entryRowTop, dpr);
    p.drawPixmap(passPlate.topLeft(), art::passPlate(art::PlateState::Normal, dpr));
    p.drawPixmap(clearPlate.topLeft(), art::clearPlate(art::PlateState::Hover, dpr));
    seatRows(p, {{"You", "45", "3", false}, {"Mia", "30", "4", false}, {"<Waiting>", "0", "", false},
                 {"Tom", "60", "2", true}, {"<Waiting>", "0", "", false}, {"<Waiting>", "0", "", false}},
             dpr);
    chat(p, dpr, false);
    return image;
}

QImage lateMockup(qreal dpr)
{
    using namespace art::layout;
    QImage image = canvas(dpr);
    QPainter p(&image);
    p.drawPixmap(0, 0, art::boardBackground(dpr));
    upper(p, dpr, "Round: 3 of 5", 4 * 12, "Time: 0:12", Qt::red, 10, "You guessed all the words!");
    p.drawPixmap(goodJob.topLeft(), art::goodJob(dpr));
    seatRows(p, {{"You", "145", "10", false}, {"Mia", "130", "7", false}, {"<Waiting>", "0", "", false},
                 {"Tom", "60", "5", true}, {"<Waiting>", "0", "", false}, {"<Waiting>", "0", "", false}},
             dpr);
    chat(p, dpr, true);
    return image;
}

QImage resultsMockup(qreal dpr)
{
    using namespace art::layout;
    QImage image = turnMockup(dpr);
    QPainter p(&image);
    p.translate(resultsPanel.topLeft());
    p.drawPixmap(0, 0, art::resultsBackground(dpr));
    text(p, QRect(originalCaption, QSize(100, 16)), "Original Words", font(12, true), Qt::black);
    const QStringList source{"apple", "crane", "bloom", "tiger", "spice", "frost", "lemon", "grape", "chair", "stone"};
    const auto list = [&](const QRect &r, const QStringList &words) {
        int y = r.top() + 2;
        for (const QString &w : words) {
            text(p, QRect(r.left() + 4, y, r.width() - 6, 16), w, font(13, false), Qt::black);
            y += 16;
        }
    };
    list(originalList, source);
    const QStringList names{"You", "Mia", "<Waiting>", "Tom", "<Waiting>", "<Waiting>"};
    const QStringList scores{"Score: 80", "Score: 45", "", "Score: 20", "", ""};
    const std::vector<QStringList> words{
        {"APPLE", "CRANE", "blood", "TIGER", "SPICE", "FROST", "LEMON", "GRAPE", "CHAIR", "STONE"},
        {"ample", "CRANE", "BLOOM", "ti_er", "spite", "fr__t", "le__n", "gr_pe", "c_a_r", "st__e"},
        {},
        {"a__le", "c_a_e", "bl__m", "TIGER", "s_i_e", "FROST", "le__n", "gr_pe", "c_a_r", "st__e"},
        {},
        {}};
    for (int column = 1; column <= 6; ++column) {
        const int left = scoreColumnLefts[column - 1];
        text(p, QRect(left - 5, columnNameTop, columnNameWidth, 16), names[column - 1], font(13, true),
             Qt::black, Qt::AlignHCenter | Qt::AlignVCenter);
        text(p, QRect(left - 5, roundScoreTop, columnNameWidth, 16), scores[column - 1], font(12, true),
             art::palette::darkRed, Qt::AlignHCenter | Qt::AlignVCenter);
        list(wordList(column), words[column - 1]);
    }
    p.drawPixmap(fastestStar(1).topLeft(), art::fastestStar(dpr));
    p.drawPixmap(bonusMarker(1).topLeft(), art::bonusMarker(dpr));
    text(p, QRect(resultsRoundCaption, QSize(100, 18)), "Round: 2 of 5", font(13, true), Qt::black);
    p.resetTransform();
    return image;
}

QImage winnerMockup(qreal dpr)
{
    using namespace art::layout;
    QImage image = resultsMockup(dpr);
    QPainter p(&image);
    p.translate(winnerBanner.topLeft());
    p.drawPixmap(0, 0, art::winnerBanner(dpr));
    const QString words = "You have Won the Game!";
    text(p, QRect(1, 7, 605, 26), words, font(21, true), Qt::gray, Qt::AlignHCenter | Qt::AlignTop);
    text(p, QRect(0, 9, 605, 26), words, font(21, true), art::palette::peach, Qt::AlignHCenter | Qt::AlignTop);
    return image;
}

QImage hostMockup(qreal dpr)
{
    using namespace art::layout;
    QImage image = canvas(dpr);
    QPainter p(&image);
    p.drawPixmap(0, 0, art::boardBackground(dpr));
    upper(p, dpr, "Round: 0 of 0", timerBar.width(), "Time: 0:00", art::palette::peach, 0,
          "Welcome to Vrel by Kovren Software");
    seatRows(p, {{"You", "0", "0", false}, {"<Waiting>", "0", "0", false}, {"<Waiting>", "0", "0", false},
                 {"<Waiting>", "0", "0", false}, {"<Waiting>", "0", "0", false}, {"<Waiting>", "0", "0", false}},
             dpr);
    p.drawPixmap(startPlate.topLeft(), art::startPlate(art::PlateState::Normal, dpr));
    chat(p, dpr, true);
    return image;
}

// The small pictures side by side, drawn at ratio 2 and shown four times their logical size.
QImage sheet()
{
    constexpr int scale = 4;
    constexpr int width = 1800;
    constexpr int gap = 16;
    QImage image(width, 4000, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x9A, 0x9A, 0x9A));
    QPainter p(&image);
    int x = gap, y = gap, rowHeight = 0;
    for (const Picture &pic : pictures()) {
        const QPixmap pm = pic.draw(2);
        const QSize shown = (pm.deviceIndependentSize() * scale).toSize();
        if (shown.width() > 900)
            continue;
        if (x + shown.width() > width - gap) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        p.drawImage(QRect(QPoint(x, y), shown), pm.toImage());
        x += shown.width() + gap;
        rowHeight = qMax(rowHeight, shown.height());
    }
    p.end();
    return image.copy(0, 0, width, y + rowHeight + gap);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("artsheet");
    QDir dir;
    if (!dir.mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << "\n";
        return 1;
    }
    bool ok = true;
    const auto save = [&](const QImage &image, const QString &name) {
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!image.save(path)) {
            QTextStream(stderr) << "cannot write " << path << "\n";
            ok = false;
        }
    };
    for (const Picture &pic : pictures())
        for (const qreal dpr : {1.0, 2.0})
            save(pic.draw(dpr).toImage(), pic.name + QStringLiteral("@%1x").arg(dpr));
    for (const qreal dpr : {1.0, 2.0}) {
        const QString suffix = QStringLiteral("@%1x").arg(dpr);
        save(turnMockup(dpr), QStringLiteral("mockup-turn") + suffix);
        save(lateMockup(dpr), QStringLiteral("mockup-allfilled") + suffix);
        save(resultsMockup(dpr), QStringLiteral("mockup-results") + suffix);
        save(winnerMockup(dpr), QStringLiteral("mockup-winner") + suffix);
        save(hostMockup(dpr), QStringLiteral("mockup-host") + suffix);
    }
    save(sheet(), QStringLiteral("sheet"));
    // How the finest details look on an ordinary screen: parts of the ratio 1 board, enlarged.
    const QImage plain = turnMockup(1.0);
    const auto zoom = [&](const QRect &part, const QString &name) {
        // scaled() without smoothing by default: every pixel becomes a clean 4 by 4 block.
        save(plain.copy(part).scaled(part.size() * 4), name);
    };
    zoom(QRect(500, 10, 260, 60), QStringLiteral("zoom-progress@1x"));
    zoom(QRect(0, 340, 260, 170), QStringLiteral("zoom-players@1x"));
    zoom(QRect(258, 316, 120, 213), QStringLiteral("zoom-phrases@1x"));
    for (int size : {16, 32, 64, 256})
        save(art::appIcon().pixmap(size).toImage(), QStringLiteral("appicon%1").arg(size));
    return ok ? 0 : 1;
}
