#include "ui/widgets/ImageList.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/ProgramIcons.h"

#include "engine/QtPrinters.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

TEST(ImageList, SixDistinctGlyphs)
{
    QSet<QByteArray> seen;
    for (int i = 0; i < ImageList::Count; ++i) {
        const QImage image = ImageList::image(i);
        ASSERT_EQ(image.size(), QSize(16, 16)) << i;
        seen.insert(
                QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), ImageList::Count);
    EXPECT_TRUE(ImageList::glyph(6).isNull());
    EXPECT_TRUE(ImageList::glyph(-1).isNull());

    // Colours a user tells the glyphs apart by, sampled inside the disc off the sign.
    auto at = [](int index) {
        return QColor(ImageList::image(index).pixel(4, 4));
    };
    EXPECT_GT(at(ImageList::Delete).red(), 180);
    EXPECT_LT(at(ImageList::Delete).green(), 80);
    EXPECT_GT(at(ImageList::Add).green(), 140);
    EXPECT_LT(at(ImageList::Add).red(), 80);
    EXPECT_EQ(QColor(ImageList::image(ImageList::None).pixel(8, 8)), QColor(Qt::white));
    EXPECT_GT(at(ImageList::Information).blue(), 180);
    EXPECT_EQ(at(ImageList::Globe).red(), at(ImageList::Globe).blue());
}

TEST(PictureButton, PicturesByNameHintAndCaption)
{
    EXPECT_EQ(PictureButton::pictureForName("JvXPBtnSave"), PictureButton::Picture::Save);
    EXPECT_EQ(PictureButton::pictureForName("JvXPNext"), PictureButton::Picture::Next);
    EXPECT_EQ(PictureButton::pictureForName("Autre"), PictureButton::Picture::Generic);
    PictureButton button;
    EXPECT_TRUE(button.autoRaise());
    EXPECT_FALSE(button.icon().isNull());
    button.show(); // a hidden button learns its size when shown
    button.resize(200, 45);
    button.setCaption("VO");
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    button.resize(30, 45); // too narrow for both
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextOnly);
    button.setCaption("");
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST(PictureButton, CaptionAloneShrinksToTheButton)
{
    PictureButton button;
    button.show();
    button.resize(62, 22);
    button.setCaption(QStringLiteral("<< Enrg.Préc. et suivants"));
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_EQ(QFontInfo(button.font()).pixelSize(), 8); // as small as it goes
    button.resize(400, 22); // room again: the caption's own size
    EXPECT_GT(QFontInfo(button.font()).pixelSize(), 8);
}

TEST(ProgramIcons, OneIconPerRecordFamily)
{
    const QImage dravik = programIcon(QStringLiteral("ICODRAVIK")).pixmap(32).toImage();
    const QImage clarim = programIcon(QStringLiteral("ICOCLARIM")).pixmap(32).toImage();
    ASSERT_FALSE(dravik.isNull());
    ASSERT_FALSE(clarim.isNull());
    EXPECT_NE(dravik, clarim);
    // Vehicles blue, customers green, seen on the tile's edge.
    EXPECT_GT(QColor(dravik.pixel(16, 2)).blue(), QColor(dravik.pixel(16, 2)).green());
    EXPECT_GT(QColor(clarim.pixel(16, 2)).green(), QColor(clarim.pixel(16, 2)).blue());
    EXPECT_TRUE(programIcon(QStringLiteral("ICOAUTRE")).isNull());
}
