#include "web/CurlShare.h"

CurlShare::CurlShare() : share_(curl_share_init()) {
  if (!share_) return;
  curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlShare::Lock);
  curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlShare::Unlock);
  curl_share_setopt(share_, CURLSHOPT_USERDATA, static_cast<void*>(this));
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
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
    default:
      return &other_;
  }
}

void CurlShare::Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
  static_cast<CurlShare*>(self)->MutexFor(data)->lock();
}

void CurlShare::Unlock(CURL*, curl_lock_data data, void* self) { static_cast<CurlShare*>(self)->MutexFor(data)->unlock(); }
