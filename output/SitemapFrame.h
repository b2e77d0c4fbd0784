#pragma once
#include <map>
#include <string>

// The fixed pieces of a printed sitemap document, taken once from the XML library's own
// printer so that documents can be grown as text: a document is head + entries + tail, or
// emptyText while it holds no address; an entry is entryHead + <loc> text + entryTail.
struct SitemapFrame {
  std::string emptyText;   // declaration line + "<urlset xmlns=... />" line
  std::string head;        // declaration line + root start tag line
  std::string tail;        // root end tag line
  std::string entryHead;   // "    <url>" up to and including "<loc>"
  std::string entryTail;   // from "</loc>" to the end of the "    </url>" line
  // entryHead around its lastmod text, for an entry with a date of its own: entryLead +
  // lastmod text + entryMid. Both empty when the template has no lastmod.
  std::string entryLead;   // "    <url>" up to and including "<lastmod>"
  std::string entryMid;    // from "</lastmod>" up to and including "<loc>"
};

// The header text parsed into every new document: declaration, blank line, root start and
// end tags, each line ended by CR LF.
const std::string& SitemapHeaderText();
inline constexpr const char* kSitemapNamespace = "http://www.sitemaps.org/schemas/sitemap/0.9";

// Parses the header with TinyXML and prints, with its printer, an empty document and one
// holding a url element with the given children (key order, "loc" among them).
// False when the header does not parse into a document with a root element.
bool BuildSitemapFrame(const std::map<std::string, std::string>& childTemplate, SitemapFrame& frame);
