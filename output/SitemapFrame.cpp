#include "output/SitemapFrame.h"

#include <tinyxml.h>

#include <new>

#include "output/SitemapEscape.h"

namespace {

// Stand in for the values while the url element is printed once; XML-neutral and never
// produced by escaping.
const char kLocMarker[] = "LOC-MARKER-9c1d";
const char kLastmodMarker[] = "LASTMOD-MARKER-4e7a";
const char kPriorityMarker[] = "PRIORITY-MARKER-27b0";
const char kHreflangMarker[] = "HREFLANG-MARKER-d35f";
const char kHrefMarker[] = "HREF-MARKER-81ac";
const char kImageMarker[] = "IMAGE-MARKER-5f02";

std::string Print(const TiXmlDocument& doc) {
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return std::string(printer.CStr(), printer.Size());
}

bool ParseHeader(TiXmlDocument& doc, bool alternates, bool images) {
  doc.Parse(SitemapHeaderText(alternates, images).c_str(), nullptr, TIXML_ENCODING_UTF8);
  return !doc.Error() && doc.RootElement() != nullptr;
}

void AddTextChild(TiXmlElement& parent, const char* name, const std::string& value) {
  TiXmlElement child(name);
  child.InsertEndChild(TiXmlText(value.c_str()));
  parent.InsertEndChild(child);
}

// A url element with the children the template has, in the order the protocol's schema
// requires (loc, lastmod, changefreq, priority), lastmod and priority marked, then one marked
// xhtml:link when alternates are written and one marked image:image when images are.
void AddUrlElement(TiXmlElement& root, const std::map<std::string, std::string>& childTemplate, bool alternates,
                   bool images) {
  TiXmlElement url("url");
  AddTextChild(url, "loc", kLocMarker);
  if (childTemplate.count("lastmod")) AddTextChild(url, "lastmod", kLastmodMarker);
  if (auto it = childTemplate.find("changefreq"); it != childTemplate.end()) AddTextChild(url, "changefreq", it->second);
  if (childTemplate.count("priority")) AddTextChild(url, "priority", kPriorityMarker);
  if (alternates) {
    TiXmlElement link("xhtml:link");
    link.SetAttribute("rel", "alternate");
    link.SetAttribute("hreflang", kHreflangMarker);
    link.SetAttribute("href", kHrefMarker);
    url.InsertEndChild(link);
  }
  if (images) {
    TiXmlElement image("image:image");
    AddTextChild(image, "image:loc", kImageMarker);
    url.InsertEndChild(image);
  }
  root.InsertEndChild(url);
}

// Cuts text at marker: what comes before it goes to before, text keeps what follows.
bool CutAt(std::string& text, const std::string& marker, std::string& before) {
  const size_t at = text.find(marker);
  if (at == std::string::npos) return false;
  before = text.substr(0, at);
  text.erase(0, at + marker.size());
  return true;
}

// One url element printed in a document of its own, cut into the frame's pieces.
bool CutEntry(const std::map<std::string, std::string>& childTemplate, bool alternates, bool images,
              SitemapFrame& frame) {
  TiXmlDocument one;
  if (!ParseHeader(one, alternates, images)) return false;
  AddUrlElement(*one.RootElement(), childTemplate, alternates, images);
  std::string rest = Print(one);
  // The url element is the only child of the root: the root's opening line ends the head.
  const std::string openUrl = "    <url>";
  const std::string closeUrl = "    </url>\n";
  const size_t entryStart = rest.find(openUrl);
  const size_t entryEnd = rest.rfind(closeUrl);
  if (entryStart == std::string::npos || entryEnd == std::string::npos || entryEnd < entryStart) return false;
  frame.head = rest.substr(0, entryStart);
  frame.tail = rest.substr(entryEnd + closeUrl.size());
  frame.close = closeUrl;
  rest = rest.substr(entryStart, entryEnd - entryStart);
  frame.hasLastmod = childTemplate.count("lastmod") != 0;
  frame.hasPriority = childTemplate.count("priority") != 0;
  if (!CutAt(rest, kLocMarker, frame.beforeLoc)) return false;
  if (frame.hasLastmod && !CutAt(rest, kLastmodMarker, frame.beforeLastmod)) return false;
  if (frame.hasPriority && !CutAt(rest, kPriorityMarker, frame.beforePriority)) return false;
  // The image comes last: cut from the line its element begins on, the rest is read as before.
  if (images) {
    std::string toImage;
    if (!CutAt(rest, kImageMarker, toImage)) return false;
    const size_t element = toImage.rfind("<image:image>");
    const size_t lineStart = element == std::string::npos ? element : toImage.rfind('\n', element);
    if (lineStart == std::string::npos) return false;
    frame.imageLead = toImage.substr(lineStart + 1);
    frame.imageTail = rest;
    rest = toImage.substr(0, lineStart + 1);
  }
  if (!alternates) {
    frame.beforeClose = rest;
    return true;
  }
  // The alternate's line begins after the last line end before its hreflang value.
  std::string lineToHreflang;
  if (!CutAt(rest, kHreflangMarker, lineToHreflang)) return false;
  const size_t lineStart = lineToHreflang.rfind('\n');
  if (lineStart == std::string::npos) return false;
  frame.beforeClose = lineToHreflang.substr(0, lineStart + 1);
  frame.alternateLead = lineToHreflang.substr(lineStart + 1);
  if (!CutAt(rest, kHrefMarker, frame.alternateMid)) return false;
  frame.alternateTail = rest;
  return true;
}

}  // namespace

namespace {

std::string HeaderText(bool alternates, bool images) {
  std::string text = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") + "\r\n" + "<urlset xmlns=\"" +
                     kSitemapNamespace + "\"";
  if (alternates) text.append(" xmlns:xhtml=\"").append(kXhtmlNamespace).append("\"");
  if (images) text.append(" xmlns:image=\"").append(kImageNamespace).append("\"");
  return text + ">\r\n" + "</urlset>\r\n";
}

}  // namespace

const std::string& SitemapHeaderText(bool alternates, bool images) {
  static const std::string texts[4] = {HeaderText(false, false), HeaderText(true, false), HeaderText(false, true),
                                       HeaderText(true, true)};
  return texts[(alternates ? 1 : 0) + (images ? 2 : 0)];
}

bool BuildSitemapFrame(const std::map<std::string, std::string>& childTemplate, SitemapFrame& frame,
                       bool alternates, bool images) {
  try {
    frame = SitemapFrame{};
    TiXmlDocument empty;
    if (!ParseHeader(empty, alternates, images)) return false;
    frame.emptyText = Print(empty);
    return CutEntry(childTemplate, alternates, images, frame);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void AppendSitemapEntry(const SitemapFrame& frame, const std::string& address, const std::string& lastmod,
                        const std::string& priority,
                        const std::vector<std::pair<std::string, std::string>>& alternates, std::string& out,
                        const std::vector<std::string>& images) {
  // The usual entry (no alternates, no images, nothing to escape) in one allocation.
  out.reserve(out.size() + frame.beforeLoc.size() + address.size() + frame.beforeLastmod.size() + lastmod.size() +
              frame.beforePriority.size() + priority.size() + frame.beforeClose.size() + frame.close.size());
  out.append(frame.beforeLoc).append(LocText(address)).append(frame.beforeLastmod);
  if (frame.hasLastmod) AppendXmlEscaped(out, lastmod);
  out.append(frame.beforePriority);
  if (frame.hasPriority) AppendXmlEscaped(out, priority);
  out.append(frame.beforeClose);
  if (!frame.alternateLead.empty()) {
    for (const auto& [hreflang, href] : alternates) {
      out.append(frame.alternateLead);
      AppendXmlEscaped(out, hreflang);
      out.append(frame.alternateMid).append(LocText(href)).append(frame.alternateTail);
    }
  }
  if (!frame.imageLead.empty())
    for (const std::string& image : images) out.append(frame.imageLead).append(LocText(image)).append(frame.imageTail);
  out.append(frame.close);
}
