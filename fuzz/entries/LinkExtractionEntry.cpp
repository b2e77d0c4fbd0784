#include <string>

#include "common/StringICompare.h"
#include "fuzz/entries/FuzzCheck.h"
#include "fuzz/entries/FuzzEntries.h"
#include "web/LinkExtractor.h"

namespace {

const std::string kSiteHost = "www.example.com";

// The one call into link extraction: its signature is about to change, so it stays here.
void ExtractPageLinks(const std::string& headers, const std::string& body, StringISet& internal,
                      StringISet& external) {
  ExtractLinks(external, headers, kSiteHost, body, internal);
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

bool ReadyToRequest(const std::string& path) {
  for (unsigned char c : path)
    if (c <= 0x20 || c >= 0x7F) return false;
  return true;
}

}  // namespace

void FuzzLinkExtraction(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string headers, body;
  SplitResponse(input, headers, body);
  StringISet internal, external;
  ExtractPageLinks(headers, body, internal, external);
  for (const std::string& path : internal)
    FuzzCheck(ReadyToRequest(path), "same-site path holds a byte a request cannot carry", path);
  for (const std::string& link : external) FuzzCheck(!link.empty(), "empty external link");
}
