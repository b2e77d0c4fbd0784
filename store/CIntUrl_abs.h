#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/Status.h"
#include "store/UrlState.h"

// A store of the URLs met in one crawl, one record per URL. Keys compare exactly.
class CIntUrl_abs {
 public:
  virtual ~CIntUrl_abs() = default;
  // Appends Waiting URLs to urls (not cleared), marking them Crawling; stops once urls holds at
  // least max entries. The URLs in urls afterwards are taken whatever the answer.
  virtual Status TakeWaiting(std::vector<std::string>& urls, uint32_t max) = 0;
  virtual int32_t Exists(const std::string& url) = 0;       // 1 held, 0 not
  virtual int32_t GetState(const std::string& url) = 0;     // Absent when not held
  virtual int32_t GetExcluded(const std::string& url) = 0;  // 0 when not held
  virtual Status SetState(const std::string& url, int32_t state) = 0;
  virtual Status SetExcluded(const std::string& url, int32_t flag) = 0;
  virtual Status SetFailed(const std::string& url, const std::string& code) = 0;
  // True when a record was created; depth receives the URL's level. A record deeper than
  // maxDepth is born NotAllowed whatever birth says.
  virtual bool Add(const std::string& parent, const std::string& url, int32_t maxDepth, int32_t& depth,
                   const UrlBirth& birth = {}) = 0;
};
