#include "client/tabout.h"

#include "client/board_controls.h"
#include "client/picture_controls.h"
#include "protocol/constants.h"
#include "resources/art/art.h"
#include "resources/art/palette.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QSize kWindowSize {300, 210};

} // namespace

Tabout::Tabout(QWidget *mainWindow)
    : DialogWindow(QStringLiteral("Tabout"), QStringLiteral("Vrel - About"), kWindowSize, mainWindow)
{
    URL1.URL = gameWebAddress();
    URL1.URLType = TURLType::utHttp;

    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setPixmap(art::logo());
    logo->setAccessibleName(QStringLiteral("Vrel"));
    logo->setGeometry(QRect(QPoint((kWindowSize.width() - 196) / 2, 16), QSize(196, 56)));

    auto *link = new ClickLabel(this);
    Label7 = link;
    link->setObjectName(QStringLiteral("Label7"));
    link->setTextFormat(Qt::PlainText);
    link->setText(URL1.URL);
    QFont linkFont = boardFont(14, true);
    linkFont.setUnderline(true);
    link->setFont(linkFont);
    link->setAlignment(Qt::AlignCenter);
    link->setCursor(Qt::PointingHandCursor);
    link->setRole(QAccessible::Link);
    link->setFocusPolicy(Qt::StrongFocus);
    QPalette blue = link->palette();
    blue.setColor(QPalette::WindowText, QColor(0x10, 0x30, 0xA0));
    link->setPalette(blue);
    link->setGeometry(0, 84, kWindowSize.width(), 22);
    connect(link, &ClickLabel::clicked, this, &Tabout::Label7Click);

    // "Version" and the version, with the release's last number directly after it.
    const QFont font = boardFont(14, true);
    auto *caption = textLabel(this, QStringLiteral("label_version"), QRect(0, 118, 150, 22), font,
                              Qt::AlignRight | Qt::AlignVCenter, art::palette::ink);
    caption->setText(QStringLiteral("Version"));
    version = textLabel(this, QStringLiteral("version"), QRect(0, 118, 0, 22), font, Qt::AlignLeft | Qt::AlignVCenter,
                        art::palette::ink);
    version->setText(QString::fromLatin1(proto::kVersion));
    version->setGeometry(156, 118, version->sizeHint().width(), 22);
    label_release = textLabel(this, QStringLiteral("label_release"), QRect(version->geometry().right() + 1, 118, 40, 22),
                              font, Qt::AlignLeft | Qt::AlignVCenter, art::palette::ink);
    label_release->setText(QStringLiteral(".2"));

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Button1"));
    done->setGeometry((kWindowSize.width() - 80) / 2, 164, 80, 26);
    connect(done, &QPushButton::clicked, this, &Tabout::Button1Click);
}

void Tabout::Label7Click()
{
    URL1.Execute();
}
