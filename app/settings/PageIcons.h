#pragma once
// The 48x48 page icons of the settings sheet, one per page in page order: appearance, run,
// auto-save, crawl rules, URL rules, sitemap content, connection, search engines. Drawn as SVG in resources/; their text is compiled in here so the sheet needs no
// resource file of its own (PageIconsTest checks that both stay the same).
#include <QPixmap>
#include <vector>

constexpr int kPageIconSide = 48;
constexpr int kPageIconCount = 8;

// The SVG text of icon n (0 to kPageIconCount - 1); nullptr for any other n.
const char* PageIconSvg(int index);
// The file name below resources/ of icon n; nullptr for any other n.
const char* PageIconFileName(int index);
// All icons rendered at side x side pixels (transparent background), in page order.
std::vector<QPixmap> RenderPageIcons(int side = kPageIconSide);
