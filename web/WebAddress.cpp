#include "web/WebAddress.h"

#include "common/StringICompare.h"
#include "web/CurlUrl.h"
#include "common/PercentEncoding.h"
#include "web/ResolvedLinkCache.h"

namespace {

// An href as browsers read it: white space and control characters stripped at both ends, tabs
// and line breaks inside removed.
std::string CleanHref(const std::string& href) {
  size_t b = 0, e = href.size();
  while (b < e && static_cast<unsigned char>(href[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(href[e - 1]) <= 0x20) --e;
  std::string out;
  out.reserve(e - b);
  for (size_t i = b; i < e; ++i)
    if (href[i] != '\t' && href[i] != '\n' && href[i] != '\r') out += href[i];
  return out;
}

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
  // libcurl leaves " < > ` { } and ' raw; a browser encodes them, per part.
  std::string path;
  if (!url.Get(CURLUPART_PATH, path) || path.empty()) path.assign(1, '/');
  parsed.pathAndQuery = PercentEncode(path, PercentEncodeSet::kPath);
  std::string query;
  if (url.Get(CURLUPART_QUERY, query)) parsed.pathAndQuery += "?" + PercentEncode(query, PercentEncodeSet::kSpecialQuery);
  out = std::move(parsed);
  return true;
}

// What of the base a reference other than an empty one or a query alone is resolved by, as
// libcurl holds it: scheme, host, port and the path up to its last "/". Empty when a part is
// missing.
std::string DirectoryOf(const CurlUrl& url) {
  std::string scheme, host, port, path;
  if (!url.Get(CURLUPART_SCHEME, scheme) || !url.Get(CURLUPART_HOST, host) || !url.Get(CURLUPART_PATH, path))
    return {};
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  std::string directory = scheme + "://" + host;
  if (url.Get(CURLUPART_PORT, port)) directory += ":" + port;
  return directory.append(path, 0, slash + 1);
}

}  // namespace

bool ParseWebAddress(const std::string& address, WebAddress& out) {
  CurlUrl url;
  return url.Set(PercentEncode(address, PercentEncodeSet::kAddress)) && ReadParts(url, out);
}

ReferenceResolver::ReferenceResolver(const std::string& base, ResolvedLinkCache* cache)
    : base_(base), url_(std::make_unique<CurlUrl>()) {
  ok_ = url_->Set(PercentEncode(base, PercentEncodeSet::kAddress)) && url_->Get(CURLUPART_SCHEME, baseScheme_);
  if (ok_ && cache) directory_ = DirectoryOf(*url_);
  if (!directory_.empty()) {
    cache_ = cache;
    schemeLength_ = directory_.find(':');
    originLength_ = directory_.find('/', schemeLength_ + 3);
  }
}

// What of the base decides where ref leads: a reference that names its own host needs only
// the base's scheme, one with an absolute path only its origin, any other its directory.
std::string_view ReferenceResolver::CacheBase(const std::string& ref, bool ownAuthority) const {
  const std::string_view directory(directory_);
  if (ownAuthority || ref.compare(0, 2, "//") == 0) return directory.substr(0, schemeLength_);
  if (ref[0] == '/') return directory.substr(0, originLength_);
  return directory;
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
  const bool ownAuthority = !scheme.empty() && ref.compare(scheme.size(), 3, "://") == 0;
  if (!scheme.empty() && !ownAuthority && EqualsIgnoreCase(scheme, baseScheme_)) {
    ref.erase(0, scheme.size() + 1);
  }
  // An empty reference is the base itself, a query alone replaces the base's: both depend on
  // more of the base than its directory, and are resolved every time.
  const bool remembered = cache_ && !ref.empty() && ref[0] != '?';
  std::string_view cacheBase;
  if (remembered) {
    cacheBase = CacheBase(ref, ownAuthority);
    if (const ResolvedLinkCache::Answer* answer = cache_->Find(cacheBase, ref)) {
      if (answer->ok) out = answer->address;
      return answer->ok;
    }
  }
  if (ref.empty()) ref = base_;
  CurlUrl url = url_->Duplicate();
  const bool ok = url.Set(PercentEncode(ref, PercentEncodeSet::kAddress)) && ReadParts(url, out);
  if (remembered) cache_->Remember(cacheBase, ref, ok, out);
  return ok;
}

bool ResolveWebReference(const std::string& base, const std::string& href, WebAddress& out) {
  return ReferenceResolver(base).Resolve(href, out);
}

std::string ToText(const WebAddress& address) {
  return address.scheme + "://" + address.host + address.port + address.pathAndQuery;
}
