#include "web/CurlShare.h"

#include "web/CurlEasyHandle.h"

CurlShare::CurlShare(bool keepCookies) : share_(curl_share_init()) {
  if (!share_) return;
  curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlShare::Lock);
  curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlShare::Unlock);
  curl_share_setopt(share_, CURLSHOPT_USERDATA, static_cast<void*>(this));
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  if (keepCookies) keepsCookies_ = curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == CURLSHE_OK;
}

bool CurlShare::LoadCookieFile(const std::string& path) {
  if (!keepsCookies_) return false;
  // Read once into the jar: a file named on every request would be read again each time and
  // put back the cookies the site has since changed.
  CurlEasyHandle loader;
  if (!loader.Create()) return false;
  CURL* h = loader.get();
  curl_easy_setopt(h, CURLOPT_SHARE, share_);
  curl_easy_setopt(h, CURLOPT_COOKIEFILE, path.c_str());
  return curl_easy_setopt(h, CURLOPT_COOKIELIST, "RELOAD") == CURLE_OK;
}

CurlShare::~CurlShare() {
  if (share_) curl_share_cleanup(share_);
}

std::mutex* CurlShare::MutexFor(curl_lock_data data) {
  switch (data) {
    case CURL_LOCK_DATA_DNS:
      return &dns_;
    case CURL_LOCK_DATA_SSL_SESSION:
      return &ssl_;
    case CURL_LOCK_DATA_COOKIE:
      return &cookies_;
    default:
      return &other_;
  }
}

void CurlShare::Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
  static_cast<CurlShare*>(self)->MutexFor(data)->lock();
}

void CurlShare::Unlock(CURL*, curl_lock_data data, void* self) { static_cast<CurlShare*>(self)->MutexFor(data)->unlock(); }
