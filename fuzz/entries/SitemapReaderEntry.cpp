#include <algorithm>
#include <string>

#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "web/SitemapFeed.h"
#include "web/SitemapReader.h"

namespace {

constexpr size_t kFeedLimit = 1 << 20;

// The body fed in pieces whose sizes come from the input's first byte, as a transfer would.
void ReadFed(const std::string& input) {
  SitemapFeed feed(kFeedLimit);
  const size_t step = input.empty() ? 1 : 1 + static_cast<unsigned char>(input[0]) % 97;
  for (size_t pos = 0; pos < input.size(); pos += step)
    if (!feed.Add(input.data() + pos, std::min(step, input.size() - pos))) break;
  feed.End();
  FuzzCheck(feed.text().size() <= kFeedLimit, "the feed kept more than its limit", input);
  FuzzCheck(!feed.damaged() || feed.gzip(), "a body that is no gzip was called damaged gzip", input);
  const SitemapRead read = ReadSitemapDocument(feed.text());
  FuzzCheck(read.entries.size() <= kMaxSitemapAddresses, "a document kept more addresses than allowed", input);
  if (read.form == SitemapRead::Form::None) FuzzCheck(read.entries.empty(), "a document that is none has entries", input);
  for (const SitemapListed& listed : read.entries) {
    FuzzCheck(!listed.address.empty(), "an empty address was listed", input);
    FuzzCheck(listed.address.find('\n') == std::string::npos || read.form != SitemapRead::Form::Text,
              "a text sitemap's address holds a line break", input);
  }
}

}  // namespace

void FuzzSitemapReader(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  ReadFed(input);
  for (const std::string& line : RobotsSitemapLines(input)) {
    FuzzCheck(!line.empty(), "robots.txt gave an empty Sitemap: address", input);
    FuzzCheck(line.find_first_of("\r\n#") == std::string::npos, "a Sitemap: address holds a line end or comment", input);
  }
}
