#include "web/PageScratch.h"

namespace {

void Trim(std::string& text) {
  if (text.capacity() > PageScratch::kKeptBytes) std::string().swap(text);
  else text.clear();
}

}  // namespace

void PageScratch::Release() {
  Trim(body);
  Trim(converted);
  Trim(markup);
  Trim(escaped);
  resolved.clear();
  page.hasBase = false;
  page.baseHref.clear();
  page.namedMetas.clear();
  page.headLinks.clear();
  if (page.anchors.capacity() > kKeptBytes / sizeof(AnchorLink)) std::vector<AnchorLink>().swap(page.anchors);
  else page.anchors.clear();
  if (page.images.capacity() > kKeptBytes / sizeof(ImageReference)) std::vector<ImageReference>().swap(page.images);
  else page.images.clear();
}
