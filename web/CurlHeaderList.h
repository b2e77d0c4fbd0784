#pragma once
#include <curl/curl.h>

#include <string>
#include <vector>

// Owns one libcurl list of request header lines; it must outlive the transfer that sends it.
class CurlHeaderList {
 public:
  CurlHeaderList() = default;
  ~CurlHeaderList() { curl_slist_free_all(list_); }
  CurlHeaderList(const CurlHeaderList&) = delete;
  CurlHeaderList& operator=(const CurlHeaderList&) = delete;

  // Replaces the held lines; false when libcurl had no memory (the list is then empty).
  bool Assign(const std::vector<std::string>& lines) {
    curl_slist_free_all(list_);
    list_ = nullptr;
    for (const std::string& line : lines) {
      curl_slist* longer = curl_slist_append(list_, line.c_str());
      if (!longer) {
        curl_slist_free_all(list_);
        list_ = nullptr;
        return false;
      }
      list_ = longer;
    }
    return true;
  }
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};
