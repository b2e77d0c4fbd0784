#include <string>

#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "web/LinkExtractor.h"

namespace {

const SiteOrigin kSite{"http", "www.example.com", ""};
const std::string kPageAddress = "http://www.example.com/dir/page.html?q=1";

// The one call into link extraction; the robots rules are obeyed so that meta elements and
// rel attributes are read too.
void ExtractPageLinks(const std::string& headers, const std::string& body, PageLinks& links) {
  LinkOptions options;
  options.obeyRobots = true;
  options.productToken = "veltrobot";
  ExtractLinks(headers, body, kSite, kPageAddress, links, options);
}

// Header block before the first blank line; the body keeps the blank line at its front.
void SplitResponse(const std::string& input, std::string& headers, std::string& body) {
  const size_t blank = input.find("\r\n\r\n");
  if (blank == std::string::npos) {
    body = input;
    return;
  }
  headers = input.substr(0, blank);
  body = input.substr(blank);
}

// A path as it is requested: from "/", no fragment, only bytes a request line carries.
bool ReadyToRequest(const std::string& path) {
  if (path.empty() || path[0] != '/' || path.find('#') != std::string::npos) return false;
  for (unsigned char c : path)
    if (c <= 0x20 || c >= 0x7F) return false;
  return true;
}

}  // namespace

void FuzzLinkExtraction(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string headers, body;
  SplitResponse(input, headers, body);
  PageLinks links;
  ExtractPageLinks(headers, body, links);
  for (const std::string& path : links.internal)
    FuzzCheck(ReadyToRequest(path), "same-site path is no request target", path);
  for (const std::string& link : links.external)
    FuzzCheck(link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0, "external link is no web address", link);
}
