#include "support/SitemapXml.h"

#include <tinyxml.h>

#include "support/SitemapSchema.h"

namespace {

std::string TextOf(const TiXmlElement* element) {
  const char* text = element ? element->GetText() : nullptr;
  return text ? text : "";
}

bool ReadUrl(const TiXmlElement* url, ParsedSitemapUrl& out, std::string& problem) {
  for (const TiXmlElement* child = url->FirstChildElement(); child; child = child->NextSiblingElement()) {
    const std::string name = child->ValueStr();
    if (name == "loc") {
      out.loc = TextOf(child);
    } else if (name == "lastmod") {
      out.lastmod = TextOf(child);
    } else if (name == "changefreq") {
      out.changefreq = TextOf(child);
      out.hasChangefreq = true;
    } else if (name == "priority") {
      out.priority = TextOf(child);
      out.hasPriority = true;
    } else if (name == "xhtml:link") {
      const char* rel = child->Attribute("rel");
      const char* lang = child->Attribute("hreflang");
      const char* href = child->Attribute("href");
      if (!rel || std::string(rel) != "alternate" || !lang || !href) {
        problem = "xhtml:link without rel=alternate, hreflang and href";
        return false;
      }
      out.alternates.emplace_back(lang, href);
    } else if (name == "image:image") {
      out.images.push_back(TextOf(child->FirstChildElement("image:loc")));
    } else {
      problem = "unexpected element " + name;
      return false;
    }
  }
  if (out.loc.empty()) problem = "url without loc";
  return !out.loc.empty();
}

}  // namespace

ParsedSitemap ParseSitemapXml(const std::string& text) {
  ParsedSitemap parsed;
  TiXmlDocument doc;
  doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  const TiXmlElement* root = doc.RootElement();
  if (doc.Error() || !root) {
    parsed.problem = std::string("not well-formed: ") + doc.ErrorDesc();
    return parsed;
  }
  const char* ns = root->Attribute("xmlns");
  if (root->ValueStr() != "urlset" || !ns || std::string(ns) != "http://www.sitemaps.org/schemas/sitemap/0.9") {
    parsed.problem = "root is no urlset in the sitemap namespace";
    return parsed;
  }
  const char* xhtml = root->Attribute("xmlns:xhtml");
  if (xhtml && std::string(xhtml) != "http://www.w3.org/1999/xhtml") {
    parsed.problem = "xhtml prefix bound to another namespace";
    return parsed;
  }
  parsed.declaresXhtml = xhtml != nullptr;
  const char* image = root->Attribute("xmlns:image");
  if (image && std::string(image) != "http://www.google.com/schemas/sitemap-image/1.1") {
    parsed.problem = "image prefix bound to another namespace";
    return parsed;
  }
  parsed.declaresImage = image != nullptr;
  bool usesXhtml = false, usesImage = false;
  for (const TiXmlElement* url = root->FirstChildElement(); url; url = url->NextSiblingElement()) {
    if (url->ValueStr() != "url") {
      parsed.problem = "unexpected element " + url->ValueStr();
      return parsed;
    }
    ParsedSitemapUrl one;
    if (!ReadUrl(url, one, parsed.problem)) return parsed;
    usesXhtml = usesXhtml || !one.alternates.empty();
    usesImage = usesImage || !one.images.empty();
    parsed.urls.push_back(std::move(one));
  }
  if (usesXhtml && !parsed.declaresXhtml) {
    parsed.problem = "xhtml:link used without declaring the prefix";
    return parsed;
  }
  if (usesImage && !parsed.declaresImage) {
    parsed.problem = "image:image used without declaring the prefix";
    return parsed;
  }
  if (!parsed.urls.empty()) {
    parsed.problem = SitemapSchemaProblems(text);
    if (!parsed.problem.empty()) return parsed;
  }
  parsed.ok = true;
  return parsed;
}
