#include "res/Pictures.h"

#include <QImage>

#include <gtest/gtest.h>

namespace linkpanel {
namespace {

double OpaqueShare(const QImage& image) {
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128;
    return double(opaque) / (image.width() * image.height());
}

TEST(Pictures, EveryIconDrawsAtTrayAndWindowSizes) {
    for (int id : {128, 131, 132, 142, 145, 149, 160, 175}) {
        SCOPED_TRACE(id);
        const QIcon icon = IconResource(id);
        ASSERT_FALSE(icon.isNull());
        for (int size : {16, 22, 48}) {
            const QImage image = icon.pixmap(size, size).toImage();
            EXPECT_EQ(image.size(), QSize(size, size));
            EXPECT_GT(OpaqueShare(image), 0.1) << "nearly empty at " << size << " px";
        }
        // HiDPI: twice the pixels, not a blown-up small picture.
        const QPixmap hidpi = icon.pixmap(QSize(32, 32), 2.0);
        EXPECT_EQ(hidpi.size(), QSize(64, 64));
        EXPECT_DOUBLE_EQ(hidpi.devicePixelRatio(), 2.0);
    }
}

TEST(Pictures, UnknownIdsGiveNothing) {
    for (int id : {0, 100, 129, 170, 176}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(IconResource(id).isNull());
    }
    EXPECT_TRUE(BitmapResource(128).isNull());
}

// Someone who cannot tell red from green must still tell the two tray pictures apart, so
// they must differ in lightness pattern, not only in hue.
TEST(Pictures, TrayPicturesDifferInShape) {
    const QImage connected =
        IconResource(128).pixmap(16, 16).toImage().convertToFormat(QImage::Format_Grayscale8);
    const QImage lost =
        IconResource(175).pixmap(16, 16).toImage().convertToFormat(QImage::Format_Grayscale8);
    int different = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            different += (qGray(connected.pixel(x, y)) > 200) != (qGray(lost.pixel(x, y)) > 200);
    EXPECT_GE(different, 20);
}

TEST(Pictures, LogoHasItsOwnSize) {
    const QPixmap logo = BitmapResource(170);
    ASSERT_FALSE(logo.isNull());
    EXPECT_EQ(logo.deviceIndependentSize().toSize(), QSize(LOGO_WIDTH, LOGO_HEIGHT));
    EXPECT_GT(OpaqueShare(logo.toImage()), 0.9);
}

}  // namespace
}  // namespace linkpanel
