#include "web/CHttpSession.h"

#include <cstdlib>

#include <new>
#include <string_view>
#include <utility>

#include "common/ResultCodes.h"
#include "web/CurlShare.h"
#include "web/RecvBuffer.h"

namespace {

const char kBlankLine[] = "\r\n\r\n";

bool CountsAsReceived(CURLcode result) {
  // A page cut short by the size limit (write error) keeps what arrived. One cut short by the
  // time limit is a failure (code 28) however much arrived: the rest of it never came.
  return result == CURLE_OK || result == CURLE_WRITE_ERROR;
}

// An interim answer (100 Continue, 103 Early Hints) comes before the real one.
bool IsInterimBlock(const std::string& response, size_t begin) {
  if (response.compare(begin, 5, "HTTP/") != 0) return false;
  const size_t space = response.find(' ', begin);
  return space != std::string::npos && space + 1 < response.size() && response[space + 1] == '1';
}

// An authentication challenge (401, or 407 from a proxy) that libcurl answered itself: its
// body is not passed on, so the retried request's answer follows its blank line at once.
bool IsAnsweredChallenge(const std::string& response, size_t begin, size_t end) {
  if (response.compare(begin, 5, "HTTP/") != 0 || response.compare(end + 4, 5, "HTTP/") != 0) return false;
  const size_t space = response.find(' ', begin);
  return space != std::string::npos && space < end &&
         (response.compare(space + 1, 3, "401") == 0 || response.compare(space + 1, 3, "407") == 0);
}

// Splits in place: the body keeps the response's storage, so a large page is not copied.
int32_t SplitResponse(std::string& response, std::string& headers, std::string& body) {
  size_t begin = 0;
  size_t pos = response.find(kBlankLine);
  while (pos != std::string::npos && (IsInterimBlock(response, begin) || IsAnsweredChallenge(response, begin, pos)) &&
         pos + 4 < response.size()) {
    begin = pos + 4;
    pos = response.find(kBlankLine, begin);
  }
  if (pos == std::string::npos) return rc::kNoBlankLine;
  headers.assign(response, begin, pos - begin);
  response.erase(0, pos);
  body.swap(response);
  return rc::kOk;
}

// libcurl's progress callback: a non-zero answer ends the transfer.
int AbortWhenCancelled(void* options, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* o = static_cast<const http_options*>(options);
  return o->cancelled && o->cancelled() ? 1 : 0;
}


}  // namespace

CHttpSession::CHttpSession() { handle_.Create(); }

CHttpSession::CHttpSession(const std::string& address) {
  if (!address.empty() && handle_.Create()) address_ = address;
}

int32_t CHttpSession::Fetch(const std::string& address, std::string& headers, std::string& body) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (address.empty() || !handle_) return rc::kMissing;
    address_ = address;
  }
  return Fetch(headers, body);
}

int32_t CHttpSession::Post(const std::string& address, const std::string& contentType, const std::string& content,
                           std::string& headers, std::string& body) {
  std::lock_guard<std::mutex> guard(lock_);
  if (address.empty() || !handle_) return rc::kMissing;
  address_ = address;
  const PostRequest request{&contentType, &content};
  post_ = &request;
  const int32_t code = Receive(headers, body);
  post_ = nullptr;
  return code;
}

int32_t CHttpSession::Fetch(std::string& headers, std::string& body) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!handle_) return rc::kMissing;
  return Receive(headers, body);
}

int32_t CHttpSession::Receive(std::string& headers, std::string& body) {
  try {
    curl_easy_reset(handle_.get());
    // The body's room from the last page receives this one.
    std::string response;
    response.swap(body);
    int32_t code = Transfer(response);
    if (code != rc::kOk) return code;
    if (response.empty()) return rc::kEmpty;
    return SplitResponse(response, headers, body);
  } catch (const std::bad_alloc&) {
    headers.clear();
    body.clear();
    return rc::kNoMemory;
  } catch (...) {
    headers.clear();
    body.clear();
    return rc::kGeneral;
  }
}

int32_t CHttpSession::Transfer(std::string& response) {
  RecvBuffer buffer(std::move(response), options_.holdLargeBody);
  if (!buffer.ok()) return rc::kNoMemory;
  ApplyOptions(buffer);
  CurlHeaderList postHeaders;
  if (post_) {
    CURL* h = handle_.get();
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(post_->content->size()));
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, post_->content->data());
    // A search engine's endpoint need not answer 100 Continue; the body goes at once.
    postHeaders.Assign({"Content-Type: " + *post_->contentType, "Expect:"});
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, postHeaders.get());
  }
  const CURLcode result = curl_easy_perform(handle_.get());
  if (buffer.refused()) return CURLE_ABORTED_BY_CALLBACK;
  if (!CountsAsReceived(result)) return static_cast<int32_t>(result);
  buffer.TakeText(response);
  return rc::kOk;
}

void CHttpSession::ApplyOptions(RecvBuffer& buffer) {
  CURL* h = handle_.get();
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_HEADER, 1L);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, static_cast<long>(options_.totalTimeout));
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(options_.connectTimeout));
  if (options_.maxRedirects >= 1) {
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(options_.maxRedirects));
  } else {
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  }
  curl_easy_setopt(h, CURLOPT_USERAGENT, options_.userAgent.c_str());
  // An empty Referer header, as the crawler has always sent.
  curl_easy_setopt(h, CURLOPT_REFERER, "");
  curl_easy_setopt(h, CURLOPT_ENCODING, "gzip, deflate");
  ApplyProxy();
  // A tunnel's "200 Connection established" through a proxy is not the site's answer.
  curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(h, CURLOPT_URL, address_.c_str());
  curl_easy_setopt(h, CURLOPT_WRITEDATA, static_cast<void*>(&buffer));
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &RecvBuffer::WriteCallback);
  // Worker threads fetch at the same time: without this, libcurl's time-outs during name
  // resolution use SIGALRM and longjmp, which is not safe with several threads.
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  if (share_ && share_->get()) {
    curl_easy_setopt(h, CURLOPT_SHARE, share_->get());
    // The empty name turns the cookie engine on without a file: the share holds the cookies.
    if (share_->keepsCookies()) curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
  }
  if (options_.cancelled) {
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &AbortWhenCancelled);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, static_cast<void*>(&options_));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  }
  // The bundle replaces libcurl's default file only; the system's folder of certificates
  // (/etc/ssl/certs on Debian) is still searched, so the system's authorities stay trusted.
  if (!options_.caFile.empty()) {
    curl_easy_setopt(h, CURLOPT_CAINFO, options_.caFile.c_str());
    curl_easy_setopt(h, CURLOPT_PROXY_CAINFO, options_.caFile.c_str());
  }
  if (!options_.verifyTls) {
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(h, CURLOPT_PROXY_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_PROXY_SSL_VERIFYHOST, 0L);
  }
  ApplyAuthentication();
}

void CHttpSession::ApplyProxy() {
  CURL* h = handle_.get();
  if (!options_.proxy.empty()) {
    curl_easy_setopt(h, CURLOPT_PROXY, options_.proxy.c_str());
  } else if (options_.ignoreProxyEnvironment) {
    // The empty name is libcurl's "no proxy", whatever the environment says.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
  } else {
    curl_easy_setopt(h, CURLOPT_NOPROXY, proxyBypass_.c_str());
  }
}

std::string CHttpSession::EnvironmentProxyBypass() {
  // A proxy of the environment is for the outside world: a site on this machine is reached
  // directly, as a browser reaches it, beside what no_proxy names.
  std::string bypass = "localhost,127.0.0.0/8,::1";
  const char* named = std::getenv("no_proxy");
  if (named == nullptr || *named == '\0') named = std::getenv("NO_PROXY");
  if (named != nullptr && *named != '\0') bypass = std::string(named) + "," + bypass;
  return bypass;
}

void CHttpSession::ApplyAuthentication() {
  CURL* h = handle_.get();
  // Nothing to give: the address need not be judged (that parses it, on every request).
  if (options_.user.empty() && options_.headers.empty()) return;
  if (options_.mayAuthenticate && !options_.mayAuthenticate(address_)) return;
  if (!options_.user.empty()) {
    curl_easy_setopt(h, CURLOPT_USERNAME, options_.user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, options_.password.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
    // Explicitly off (libcurl's default): a redirect to another host, port or scheme does not
    // carry the credentials.
    curl_easy_setopt(h, CURLOPT_UNRESTRICTED_AUTH, 0L);
  }
  if (!options_.headers.empty() && headerLines_.Assign(options_.headers))
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerLines_.get());
}

namespace {

struct StreamTarget {
  const CHttpSession::BodySink* sink;
  std::string* headers;
  bool wantsMore = true;
};

size_t StreamBody(char* ptr, size_t size, size_t nmemb, void* userdata) {
  auto* target = static_cast<StreamTarget*>(userdata);
  if (size != 0 && nmemb > SIZE_MAX / size) return 0;
  const size_t n = size * nmemb;
  if (!(*target->sink)(ptr, n)) {
    target->wantsMore = false;
    return 0;
  }
  return n;
}

// Header lines of the final answer only: an interim answer's block is replaced by the next.
size_t StreamHeader(char* ptr, size_t size, size_t nmemb, void* userdata) {
  auto* target = static_cast<StreamTarget*>(userdata);
  const size_t n = size * nmemb;
  const std::string_view line(ptr, n);
  if (line.substr(0, 5) == "HTTP/") target->headers->clear();
  if (line != "\r\n" && line != "\n" && target->headers->size() < 1048576) target->headers->append(line);
  return n;
}

}  // namespace

int32_t CHttpSession::FetchStream(const std::string& address, std::string& headers, const BodySink& sink) {
  std::lock_guard<std::mutex> guard(lock_);
  if (address.empty() || !handle_) return rc::kMissing;
  address_ = address;
  try {
    curl_easy_reset(handle_.get());
    RecvBuffer unused;
    ApplyOptions(unused);
    headers.clear();
    StreamTarget target{&sink, &headers};
    CURL* h = handle_.get();
    curl_easy_setopt(h, CURLOPT_HEADER, 0L);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, static_cast<void*>(&target));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &StreamBody);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, static_cast<void*>(&target));
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &StreamHeader);
    const CURLcode result = curl_easy_perform(h);
    if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && !target.wantsMore)) return static_cast<int32_t>(result);
    while (!headers.empty() && (headers.back() == '\n' || headers.back() == '\r')) headers.pop_back();
    return headers.empty() ? rc::kEmpty : rc::kOk;
  } catch (const std::bad_alloc&) {
    headers.clear();
    return rc::kNoMemory;
  } catch (...) {
    headers.clear();
    return rc::kGeneral;
  }
}
