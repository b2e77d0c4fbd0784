#pragma once
// kSitemapNamespace is the reader's, in web/.
#include "web/SitemapReader.h"
#include <map>
#include <string>
#include <utility>
#include <vector>

// The fixed pieces of a printed sitemap document, taken once from the XML library's own
// printer so that documents can be grown as text: a document is head + entries + tail, or
// emptyText while it holds no address. An entry is
//   beforeLoc + <loc> text + beforeLastmod + lastmod + beforePriority + priority + beforeClose
//   + one alternate per language + one image per image + close,
// where a slot the template lacks (lastmod, priority) is empty together with the piece that
// leads to it. The children come in the protocol's order: loc, lastmod, changefreq, priority,
// then the extensions. An alternate is alternateLead + hreflang + alternateMid + href +
// alternateTail; an image is imageLead + its address + imageTail.
struct SitemapFrame {
  std::string emptyText;   // declaration line + "<urlset xmlns=... />" line
  std::string head;        // declaration line + root start tag line
  std::string tail;        // root end tag line
  std::string beforeLoc;       // "    <url>" up to and including "<loc>"
  std::string beforeLastmod;   // from "</loc>" up to and including "<lastmod>"
  std::string beforePriority;  // from the previous slot's value up to and including "<priority>"
  std::string beforeClose;     // the rest of the last child's line
  std::string close;           // the "    </url>" line
  std::string alternateLead;   // an xhtml:link line up to the hreflang value
  std::string alternateMid;    // between the hreflang value and the href value
  std::string alternateTail;   // after the href value, line end included
  std::string imageLead;       // the image:image element up to its image:loc text
  std::string imageTail;       // from "</image:loc>" to the element's end, line end included
  bool hasLastmod = false;
  bool hasPriority = false;
};

// The header text parsed into every new document: declaration, blank line, root start and
// end tags, each line ended by CR LF; with alternates the root also declares the xhtml prefix,
// with images the image prefix.
const std::string& SitemapHeaderText(bool alternates = false, bool images = false);
inline constexpr const char* kXhtmlNamespace = "http://www.w3.org/1999/xhtml";
inline constexpr const char* kImageNamespace = "http://www.google.com/schemas/sitemap-image/1.1";

// Parses the header with TinyXML and prints, with its printer, an empty document and one
// holding a url element with loc and the given children in the protocol's order, and with
// alternates one xhtml:link child after them, with images one image:image after those.
// False when the header does not parse into a document with a root element.
bool BuildSitemapFrame(const std::map<std::string, std::string>& childTemplate, SitemapFrame& frame,
                       bool alternates = false, bool images = false);

// Appends one url entry: lastmod and priority texts go into their slots when the frame has
// them (escaped here), the address as <loc> text, each (hreflang, address) as an alternate,
// each image address as an image:image when the frame has images.
void AppendSitemapEntry(const SitemapFrame& frame, const std::string& address, const std::string& lastmod,
                        const std::string& priority,
                        const std::vector<std::pair<std::string, std::string>>& alternates, std::string& out,
                        const std::vector<std::string>& images = {});
