#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "app/settings/PageIcons.h"
#include "support/TempDir.h"

TEST(PageIcons, CompiledTextsMatchTheSvgFiles) {
  for (int i = 0; i < kPageIconCount; ++i) {
    std::string file = std::string(VELTRO_SOURCE_DIR) + "/app/settings/resources/" + PageIconFileName(i);
    EXPECT_EQ(ReadFileBytes(file), std::string(PageIconSvg(i))) << file;
  }
  EXPECT_EQ(PageIconSvg(kPageIconCount), nullptr);
}

TEST(PageIcons, EveryIconRendersAt48PixelsWithSomethingDrawn) {
  std::vector<QPixmap> icons = RenderPageIcons();
  ASSERT_EQ(icons.size(), 7u);
  for (const QPixmap& icon : icons) {
    EXPECT_EQ(icon.size(), QSize(48, 48));
    QImage image = icon.toImage();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 0;
    EXPECT_GT(opaque, 48 * 48 / 4);
  }
}
