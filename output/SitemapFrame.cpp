#include "output/SitemapFrame.h"

#include <tinyxml.h>

#include <new>

namespace {

// Stands in for the address while the url element is printed once; XML-neutral and
// never produced by escaping.
const char kLocMarker[] = "LOC-MARKER-9c1d";
const char kLastmodMarker[] = "LASTMOD-MARKER-4e7a";

std::string Print(const TiXmlDocument& doc) {
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return std::string(printer.CStr(), printer.Size());
}

bool ParseHeader(TiXmlDocument& doc) {
  doc.Parse(SitemapHeaderText().c_str(), nullptr, TIXML_ENCODING_UTF8);
  return !doc.Error() && doc.RootElement() != nullptr;
}

// A url element whose children follow the key order of the template plus "loc".
void AddUrlElement(TiXmlElement& root, const std::map<std::string, std::string>& childTemplate) {
  std::map<std::string, std::string> children = childTemplate;
  children["loc"] = kLocMarker;
  TiXmlElement url("url");
  for (const auto& [key, value] : children) {
    if (key.empty()) continue;
    TiXmlElement child(key.c_str());
    child.InsertEndChild(TiXmlText(value.c_str()));
    url.InsertEndChild(child);
  }
  root.InsertEndChild(url);
}

bool SplitAround(const std::string& text, const std::string& middle, std::string& before,
                 std::string& after) {
  size_t at = text.find(middle);
  if (at == std::string::npos) return false;
  before = text.substr(0, at);
  after = text.substr(at + middle.size());
  return true;
}

// One url element printed in a document of its own: head, entry and tail of the printout.
bool PrintOneEntry(const std::map<std::string, std::string>& childTemplate, std::string& head, std::string& entry,
                   std::string& tail) {
  TiXmlDocument one;
  if (!ParseHeader(one)) return false;
  AddUrlElement(*one.RootElement(), childTemplate);
  std::string printed = Print(one);
  // The url element is the only child of the root: the root's opening line ends the head.
  const std::string openUrl = "    <url>";
  size_t entryStart = printed.find(openUrl);
  const std::string closeUrl = "    </url>\n";
  size_t entryEnd = printed.rfind(closeUrl);
  if (entryStart == std::string::npos || entryEnd == std::string::npos) return false;
  entryEnd += closeUrl.size();
  head = printed.substr(0, entryStart);
  tail = printed.substr(entryEnd);
  entry = printed.substr(entryStart, entryEnd - entryStart);
  return true;
}

// The entry printed with marked lastmod, cut around both markers.
bool SplitLastmodSlot(std::map<std::string, std::string> childTemplate, SitemapFrame& frame) {
  frame.entryLead.clear();
  frame.entryMid.clear();
  auto lastmod = childTemplate.find("lastmod");
  if (lastmod == childTemplate.end()) return true;
  lastmod->second = kLastmodMarker;
  std::string head, entry, tail, beforeLoc, afterLoc, lead, mid;
  if (!PrintOneEntry(childTemplate, head, entry, tail) || !SplitAround(entry, kLocMarker, beforeLoc, afterLoc) ||
      !SplitAround(beforeLoc, kLastmodMarker, lead, mid)) {
    return false;
  }
  frame.entryLead = std::move(lead);
  frame.entryMid = std::move(mid);
  return true;
}

}  // namespace

const std::string& SitemapHeaderText() {
  static const std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") +
                                  "\r\n" + "<urlset xmlns=\"" + kSitemapNamespace + "\">\r\n" +
                                  "</urlset>\r\n";
  return text;
}

bool BuildSitemapFrame(const std::map<std::string, std::string>& childTemplate, SitemapFrame& frame) {
  try {
    TiXmlDocument empty;
    if (!ParseHeader(empty)) return false;
    frame.emptyText = Print(empty);

    std::string entry;
    if (!PrintOneEntry(childTemplate, frame.head, entry, frame.tail)) return false;
    return SplitAround(entry, kLocMarker, frame.entryHead, frame.entryTail) && SplitLastmodSlot(childTemplate, frame);
  } catch (const std::bad_alloc&) {
    return false;
  }
}
