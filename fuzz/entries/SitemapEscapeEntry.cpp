#include <tinyxml.h>

#include <cstring>
#include <string>

#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapEscape.h"

namespace {

bool StartsAt(const std::string& text, size_t pos, const char* word) {
  return text.compare(pos, std::strlen(word), word) == 0;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Length of the entity or hexadecimal reference at text[pos] ("&"), 0 when there is none.
size_t ReferenceLength(const std::string& text, size_t pos) {
  for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
    if (StartsAt(text, pos, entity)) return std::strlen(entity);
  if (!StartsAt(text, pos, "&#x")) return 0;
  size_t i = pos + 3;
  while (i < text.size() && IsHexDigit(text[i])) ++i;
  return (i > pos + 3 && i < text.size() && text[i] == ';') ? i + 1 - pos : 0;
}

// Character data: no markup characters, no control bytes, every "&" begins a reference.
void CheckCharacterData(const std::string& escaped, const std::string& source) {
  for (size_t i = 0; i < escaped.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(escaped[i]);
    FuzzCheck(c >= 0x20 && c != '<' && c != '>' && c != '"' && c != '\'',
              "escaped text keeps a byte XML text cannot hold", source);
    if (c == '&') {
      const size_t ref = ReferenceLength(escaped, i);
      FuzzCheck(ref > 0, "escaped text holds a bare ampersand", source);
      i += ref - 1;
    }
  }
}

void CheckPrintedSitemap(const std::string& address, const std::string& loc) {
  CSitemapXmlWriter writer("2024-01-01");
  FuzzCheck(writer.AddUrl(address).ok(), "the sitemap refused an address", address);
  std::string printed;
  FuzzCheck(writer.PrintCurrent(printed).ok(), "the sitemap cannot be printed", address);
  FuzzCheck(printed.find("<loc>" + loc + "</loc>") != std::string::npos,
            "the printed sitemap does not hold the address's <loc> text", address);
  TiXmlDocument doc;
  doc.Parse(printed.c_str());
  FuzzCheck(!doc.Error(), "the printed sitemap is not XML", address);
  const TiXmlElement* root = doc.RootElement();
  FuzzCheck(root && std::strcmp(root->Value(), "urlset") == 0, "the sitemap has no urlset root", address);
  const TiXmlElement* url = root->FirstChildElement("url");
  FuzzCheck(url && !url->NextSiblingElement(), "the sitemap does not hold exactly one url", address);
  FuzzCheck(url->FirstChildElement("loc") != nullptr, "the url element has no loc", address);
}

}  // namespace

void FuzzSitemapEscape(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string escaped;
  AppendXmlEscaped(escaped, input);
  CheckCharacterData(escaped, input);

  const std::string loc = LocText(input);
  for (unsigned char c : loc) FuzzCheck(c > 0x20 && c < 0x7F, "<loc> text is not printable ASCII", input);
  CheckCharacterData(loc, input);
  CheckPrintedSitemap(input, loc);
}
