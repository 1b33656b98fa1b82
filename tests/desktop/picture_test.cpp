// Pictures in areas of other sizes: a banner laid over a wider strip becomes
// one band across it, centred, its edge colours carried to the strip's ends.
#include <QImage>
#include <QLabel>

#include "platform/desktop/assets.h"
#include "program_fixture.h"

namespace tallow::desktop::testing {
namespace {

class Pictures : public Window {
 public:
  explicit Pictures(Program& app) : Window(app, "Pictures") {
    geometry = {0, 0, 500, 200};
    wide.geometry = {0, 0, 480, 90};
    exact.geometry = {0, 100, 150, 52};
    small.geometry = {300, 100, 100, 40};
  }
  Image wide{*this, "Image1", nullptr, "banner"};
  Image exact{*this, "Image2", nullptr, "banner"};
  Image small{*this, "Image3", nullptr, "banner"};
};

class PictureTest : public ProgramOnDesktop {
 protected:
  QImage Drawn(const Control& c) {
    return Widget<QLabel>(c)->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  }
  WindowSlot<Pictures> pictures{app};
  Pictures& form = pictures();
  const QImage banner = AssetPixmap("banner").toImage().convertToFormat(QImage::Format_ARGB32);
};

TEST_F(PictureTest, WiderAreaGetsTheBannerCentredWithItsEdgesCarriedOut) {
  ASSERT_EQ(banner.size(), QSize(150, 52));
  QImage drawn = Drawn(form.wide);
  ASSERT_EQ(drawn.size(), QSize(480, 90));
  const int left = (480 - 150) / 2, top = (90 - 52) / 2;
  EXPECT_EQ(drawn.copy(left, top, 150, 52), banner);
  // Corners take the picture's corners; the sides its edge columns, row by row.
  EXPECT_EQ(drawn.pixel(0, 0), banner.pixel(0, 0));
  EXPECT_EQ(drawn.pixel(479, 89), banner.pixel(149, 51));
  for (int y = 0; y < 52; y += 10) {
    EXPECT_EQ(drawn.pixel(0, top + y), banner.pixel(0, y));
    EXPECT_EQ(drawn.pixel(479, top + y), banner.pixel(149, y));
  }
}

TEST_F(PictureTest, ExactOrSmallerAreaGetsThePictureAsItIs) {
  EXPECT_EQ(Drawn(form.exact), banner);
  EXPECT_EQ(Drawn(form.small), banner);  // clipped by its area, from the top left
  form.wide.SetPicture("");
  EXPECT_TRUE(Widget<QLabel>(form.wide)->pixmap().isNull());
}

}  // namespace
}  // namespace tallow::desktop::testing
