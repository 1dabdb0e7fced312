#include "chat/colourtext.h"

#include <gtest/gtest.h>

using namespace chat;

TEST(ColourText, WritesNamesOrDollarAndEightUpperCaseHexDigits)
{
    EXPECT_EQ(colourToText(0x000080FF), QStringLiteral("$000080FF"));
    EXPECT_EQ(colourToText(0x00ABCDEF), QStringLiteral("$00ABCDEF"));
    EXPECT_EQ(colourToText(0x80000019), QStringLiteral("$80000019")); // past the last system colour
    EXPECT_EQ(colourToText(0x000000FF), QStringLiteral("clRed"));
    EXPECT_EQ(colourToText(0x00000000), QStringLiteral("clBlack"));
    EXPECT_EQ(colourToText(0x00C0C0C0), QStringLiteral("clSilver"));
    EXPECT_EQ(colourToText(0x00FFFFFF), QStringLiteral("clWhite"));
    EXPECT_EQ(colourToText(0x80000000), QStringLiteral("clScrollBar"));
    EXPECT_EQ(colourToText(0x80000008), QStringLiteral("clWindowText"));
    EXPECT_EQ(colourToText(0x80000015), QStringLiteral("cl3DDkShadow"));
    EXPECT_EQ(colourToText(0x80000018), QStringLiteral("clInfoBk"));
    EXPECT_EQ(colourToText(0x1FFFFFFF), QStringLiteral("clNone"));
}

TEST(ColourText, ReadsNamesInAnyCase)
{
    EXPECT_EQ(colourFromText(QStringLiteral("clRed")), 0x000000FFu);
    EXPECT_EQ(colourFromText(QStringLiteral("CLRED")), 0x000000FFu);
    EXPECT_EQ(colourFromText(QStringLiteral("clfuchsia")), 0x00FF00FFu);
    EXPECT_EQ(colourFromText(QStringLiteral("clBtnFace")), 0x8000000Fu);
    EXPECT_EQ(colourFromText(QStringLiteral("CLINACTIVECAPTIONTEXT")), 0x80000013u);
    EXPECT_EQ(colourFromText(QStringLiteral("clNONE")), 0x1FFFFFFFu);
}

TEST(ColourText, ReadsDecimalAndHexNumbers)
{
    EXPECT_EQ(colourFromText(QStringLiteral("$000080FF")), 0x000080FFu);
    EXPECT_EQ(colourFromText(QStringLiteral("$80ff")), 0x000080FFu);
    EXPECT_EQ(colourFromText(QStringLiteral("$FFFFFFFF")), 0xFFFFFFFFu);
    EXPECT_EQ(colourFromText(QStringLiteral("255")), 255u);
    EXPECT_EQ(colourFromText(QStringLiteral("0")), 0u);
    EXPECT_EQ(colourFromText(QStringLiteral("16711680")), 0x00FF0000u);
    EXPECT_EQ(colourFromText(QStringLiteral("4294967295")), 0xFFFFFFFFu);
    EXPECT_EQ(colourFromText(QStringLiteral("-1")), 0xFFFFFFFFu);
    EXPECT_EQ(colourFromText(QStringLiteral("-2147483648")), 0x80000000u);
}

TEST(ColourText, RefusesJunk)
{
    for (const char *junk : {"", "red", "clRed ", " clRed", "clReds", "$", "$123456789", "$GG",
                             "$-1", " 255", "255 ", "12a", "4294967296", "-2147483649", "-",
                             "0x10", "+5", "b|clRed", "１２"})
        EXPECT_FALSE(colourFromText(QString::fromUtf8(junk)).has_value()) << junk;
}

TEST(ColourText, EveryValueReadsBackAsWritten)
{
    for (quint32 index = 0; index < 25; ++index) {
        const quint32 system = 0x80000000u + index;
        const QString name = colourToText(system);
        EXPECT_TRUE(name.startsWith(QStringLiteral("cl"))) << index;
        EXPECT_EQ(colourFromText(name), system) << name.toStdString();
        EXPECT_EQ(colourFromText(name.toLower()), system) << name.toStdString();
    }
    for (quint32 value : {0x00000080u, 0x00008080u, 0x00800080u, 0x00808000u, 0x00808080u,
                          0x0000FF00u, 0x0000FFFFu, 0x00FFFF00u, 0x000080FFu, 0x12345678u,
                          0xFFFFFFFFu, 0x1FFFFFFEu, 0x00000001u})
        EXPECT_EQ(colourFromText(colourToText(value)), value) << value;
}
