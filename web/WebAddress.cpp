#include "web/WebAddress.h"

#include "common/StringICompare.h"
#include "web/CurlUrl.h"
#include "web/LinkText.h"

namespace {

bool IsWebScheme(const std::string& scheme) { return scheme == "http" || scheme == "https"; }

bool IsSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme the reference names ("" when it is relative), lower case.
std::string SchemeOf(const std::string& ref) {
  for (size_t i = 0; i < ref.size(); ++i) {
    const char c = ref[i];
    if (c == ':') return i == 0 ? std::string() : ToLowerAscii(ref.substr(0, i));
    if (!IsSchemeChar(c, i == 0)) return {};
  }
  return {};
}

// "\" is a path separator to browsers in http(s) addresses, up to the query or fragment.
void BackslashesToSlashes(std::string& ref) {
  for (char& c : ref) {
    if (c == '?' || c == '#') break;
    if (c == '\\') c = '/';
  }
}

bool ReadParts(const CurlUrl& url, WebAddress& out) {
  WebAddress parsed;
  if (!url.Get(CURLUPART_SCHEME, parsed.scheme)) return false;
  parsed.scheme = ToLowerAscii(parsed.scheme);
  if (!IsWebScheme(parsed.scheme)) return false;
  if (!url.Get(CURLUPART_HOST, parsed.host) || parsed.host.empty()) return false;
  std::string port;
  if (url.Get(CURLUPART_PORT, port)) parsed.port = ":" + port;
  if (!url.Get(CURLUPART_PATH, parsed.pathAndQuery) || parsed.pathAndQuery.empty()) parsed.pathAndQuery.assign(1, '/');
  std::string query;
  if (url.Get(CURLUPART_QUERY, query)) parsed.pathAndQuery += "?" + query;
  out = std::move(parsed);
  return true;
}

}  // namespace

bool ParseWebAddress(const std::string& address, WebAddress& out) {
  CurlUrl url;
  return url.Set(PercentEncodeLink(address)) && ReadParts(url, out);
}

ReferenceResolver::ReferenceResolver(const std::string& base) : base_(base), url_(std::make_unique<CurlUrl>()) {
  ok_ = url_->Set(base) && url_->Get(CURLUPART_SCHEME, baseScheme_);
}

ReferenceResolver::~ReferenceResolver() = default;

bool ReferenceResolver::Resolve(const std::string& href, WebAddress& out) const {
  if (!ok_) return false;
  std::string ref = CleanHref(href);
  // The fragment never reaches the server; libcurl also resolves "#x" wrongly.
  const size_t hash = ref.find('#');
  if (hash != std::string::npos) ref.erase(hash);
  const std::string scheme = SchemeOf(ref);
  if (!scheme.empty() && !IsWebScheme(scheme)) return false;
  BackslashesToSlashes(ref);
  // "http:a.html" on an http page is relative to browsers; libcurl wants the slashes.
  if (!scheme.empty() && ref.compare(scheme.size(), 3, "://") != 0 && EqualsIgnoreCase(scheme, baseScheme_)) {
    ref.erase(0, scheme.size() + 1);
  }
  if (ref.empty()) ref = base_;  // an empty reference is the base itself
  CurlUrl url = url_->Duplicate();
  return url.Set(PercentEncodeLink(ref)) && ReadParts(url, out);
}

bool ResolveWebReference(const std::string& base, const std::string& href, WebAddress& out) {
  return ReferenceResolver(base).Resolve(href, out);
}

std::string ToText(const WebAddress& address) {
  return address.scheme + "://" + address.host + address.port + address.pathAndQuery;
}
