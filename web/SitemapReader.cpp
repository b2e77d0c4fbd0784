#include "web/SitemapReader.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <exception>

#include "common/DecimalNumber.h"
#include "common/StringICompare.h"
#include "common/TextCodec.h"

namespace {

// A sitemap of the protocol's largest size holds a few elements per address; a document with
// far more elements than that would build a tree many times its own size.
constexpr size_t kMaxElements = 1000000;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view LocalName(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view Prefix(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

size_t ElementStarts(std::string_view text) {
  size_t count = 0;
  for (size_t pos = text.find('<'); pos != std::string_view::npos; pos = text.find('<', pos + 1))
    if (pos + 1 < text.size() && text[pos + 1] != '/') ++count;
  return count;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
           auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
           return upper(a) == upper(b);
         }) != text.end();
}

// The text of a child element, trimmed; empty when there is none.
std::string ChildText(const TiXmlElement& parent, std::string_view name, int32_t& line) {
  for (const TiXmlElement* e = parent.FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (LocalName(e->ValueStr()) != name) continue;
    line = e->Row();
    const char* text = e->GetText();
    return text ? TrimWhitespace(text) : std::string();
  }
  return {};
}

bool IsChangefreq(const std::string& word) {
  static const std::array<const char*, 7> kWords{"always", "hourly", "daily", "weekly", "monthly", "yearly", "never"};
  return std::any_of(kWords.begin(), kWords.end(), [&](const char* w) { return word == w; });
}

bool IsPriority(const std::string& text) {
  const std::optional<double> value = ParseDecimalFraction(text, 2.0);
  return value && *value <= 1.0;
}

// Adds one entry unless the document already has the most it may; false once it is full.
bool AddEntry(SitemapRead& read, std::string address, int32_t line) {
  if (read.entries.size() >= kMaxSitemapAddresses) {
    read.findings.push_back({SitemapFault::TooManyAddresses, line, {}});
    return false;
  }
  read.entries.push_back({std::move(address), line});
  return true;
}

// partial: the document was cut short, and its last entry may be too.
void ReadEntries(const TiXmlElement& root, bool index, bool partial, SitemapRead& read) {
  const std::string_view entryName = index ? "sitemap" : "url";
  for (const TiXmlElement* e = root.FirstChildElement(); e; e = e->NextSiblingElement()) {
    if (LocalName(e->ValueStr()) != entryName) continue;
    int32_t line = e->Row();
    std::string loc = ChildText(*e, "loc", line);
    if (loc.empty()) {
      if (!partial || e->NextSiblingElement()) read.findings.push_back({SitemapFault::NotAddress, e->Row(), {}});
      continue;
    }
    int32_t at = e->Row();
    const std::string lastmod = ChildText(*e, "lastmod", at);
    if (!lastmod.empty() && !IsW3cDateTime(lastmod)) read.findings.push_back({SitemapFault::Lastmod, at, lastmod});
    if (!index) {
      const std::string changefreq = ChildText(*e, "changefreq", at);
      if (!changefreq.empty() && !IsChangefreq(changefreq))
        read.findings.push_back({SitemapFault::Changefreq, at, changefreq});
      const std::string priority = ChildText(*e, "priority", at);
      if (!priority.empty() && !IsPriority(priority)) read.findings.push_back({SitemapFault::Priority, at, priority});
    }
    if (!AddEntry(read, std::move(loc), line)) return;
  }
}

void ReadXml(const std::string& text, SitemapRead& read) {
  if (ContainsIgnoreCase(text, "<!ENTITY")) {
    // No sitemap needs entities; not reading the document means none can be expanded.
    read.findings.push_back({SitemapFault::EntityDeclarations, 0, {}});
    return;
  }
  if (ElementStarts(text) > kMaxElements) {
    read.findings.push_back({SitemapFault::TooManyElements, 0, {}});
    return;
  }
  // The parser trusts a UTF-8 lead byte and reads past the end of the text behind a cut
  // sequence, so it only ever sees valid UTF-8 (what is not is read as GBK, as text sitemaps are).
  std::string converted;
  if (!IsValidUtf8(text)) {
    read.findings.push_back({SitemapFault::NotUtf8, 0, {}});
    converted = StoredTextToUtf8(text);
  }
  const std::string& source = converted.empty() ? text : converted;
  TiXmlDocument doc;
  doc.Parse(source.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) {
    // A document cut short fails at its end, where the parser gives no line.
    const int32_t line = doc.ErrorRow() > 0 ? doc.ErrorRow() : 1 + static_cast<int32_t>(std::count(source.begin(), source.end(), '\n'));
    read.findings.push_back({SitemapFault::NotWellFormed, line, doc.ErrorDesc() ? doc.ErrorDesc() : ""});
  }
  const TiXmlElement* root = doc.RootElement();
  if (!root) return;
  const std::string_view name = LocalName(root->ValueStr());
  const bool index = name == "sitemapindex";
  if (!index && name != "urlset") {
    read.findings.push_back({SitemapFault::NotSitemap, root->Row(), root->ValueStr()});
    return;
  }
  read.form = index ? SitemapRead::Form::Index : SitemapRead::Form::UrlSet;
  const std::string_view prefix = Prefix(root->ValueStr());
  const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
  const char* ns = root->Attribute(attribute.c_str());
  if (!ns || std::string_view(ns) != kSitemapNamespace)
    read.findings.push_back({SitemapFault::Namespace, root->Row(), ns ? ns : ""});
  ReadEntries(*root, index, doc.Error(), read);
}

void ReadText(std::string_view text, SitemapRead& read) {
  read.form = SitemapRead::Form::Text;
  std::string converted;
  if (!IsValidUtf8(text)) {
    read.findings.push_back({SitemapFault::NotUtf8, 0, {}});
    converted = StoredTextToUtf8(std::string(text));
    text = converted;
  }
  int32_t line = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++line;
    const std::string_view entry = TrimWhitespaceView(text.substr(start, end - start));
    start = end + 1;
    if (!entry.empty() && !AddEntry(read, std::string(entry), line)) return;
  }
}

// Digits exactly n long at text[pos], within [min, max].
bool Digits(std::string_view text, size_t pos, size_t n, int min, int max) {
  if (pos + n > text.size()) return false;
  const std::optional<uint64_t> value = ParseDecimal(text.substr(pos, n), 9999);
  if (!value) return false;
  for (size_t i = pos; i < pos + n; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return *value >= static_cast<uint64_t>(min) && *value <= static_cast<uint64_t>(max);
}

bool IsTimeZone(std::string_view zone) {
  if (zone == "Z") return true;
  return zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && Digits(zone, 1, 2, 0, 23) && zone[3] == ':' &&
         Digits(zone, 4, 2, 0, 59);
}

}  // namespace

bool IsW3cDateTime(std::string_view t) {
  if (!Digits(t, 0, 4, 0, 9999)) return false;
  if (t.size() == 4) return true;
  if (t[4] != '-' || !Digits(t, 5, 2, 1, 12)) return false;
  if (t.size() == 7) return true;
  if (t.size() < 10 || t[7] != '-' || !Digits(t, 8, 2, 1, 31)) return false;
  if (t.size() == 10) return true;
  if (t[10] != 'T' || !Digits(t, 11, 2, 0, 23) || t.size() < 16 || t[13] != ':' || !Digits(t, 14, 2, 0, 59))
    return false;
  size_t pos = 16;
  if (pos < t.size() && t[pos] == ':') {
    if (!Digits(t, pos + 1, 2, 0, 60)) return false;
    pos += 3;
    if (pos < t.size() && t[pos] == '.') {
      const size_t digits = ++pos;
      while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9') ++pos;
      if (pos == digits) return false;
    }
  }
  return IsTimeZone(t.substr(pos));
}

SitemapRead ReadSitemapDocument(const std::string& whole) {
  SitemapRead read;
  try {
    std::string_view text = whole;
    if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
    const std::string_view trimmed = TrimWhitespaceView(text);
    if (trimmed.empty()) {
      read.findings.push_back({SitemapFault::Empty, 0, {}});
    } else if (trimmed.front() == '<') {
      ReadXml(text.size() == whole.size() ? whole : std::string(text), read);
    } else {
      ReadText(text, read);
    }
  } catch (const std::exception&) {
    // Out of memory part way: what was read stays.
  }
  return read;
}

std::vector<std::string> RobotsSitemapLines(std::string_view robots) {
  std::vector<std::string> addresses;
  for (size_t start = 0; start < robots.size();) {
    size_t end = robots.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = robots.size();
    std::string_view line = robots.substr(start, end - start);
    start = end + 1;
    const size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (!EqualsIgnoreCase(TrimWhitespaceView(line.substr(0, colon)), "sitemap")) continue;
    const std::string_view address = TrimWhitespaceView(line.substr(colon + 1));
    if (!address.empty()) addresses.emplace_back(address);
  }
  return addresses;
}
