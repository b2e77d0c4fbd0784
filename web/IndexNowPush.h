#pragma once
// IndexNow (Bing, Yandex, Naver, Seznam): the site proves it owns a key by serving it as
// /<key>.txt; changed addresses are POSTed as JSON, at most kIndexNowBatch a request.
#include <cstdint>
#include <string>
#include <vector>

#include "web/SearchEngineAnswer.h"
#include "web/SiteOrigin.h"
#include "web/http_options.h"

struct IndexNowSetup {
  std::string endpoint = "https://api.indexnow.org/indexnow";
  std::string key;
  SiteOrigin site;          // the crawl's scheme, host and port
  std::string keyFolder = "/";  // where the key file lies on the site; not "/": keyLocation is sent
  http_options http;
};

struct IndexNowReport {
  PushProblem problem = PushProblem::None;
  size_t sent = 0;    // addresses in requests answered 200 or 202
  size_t unsent = 0;
  size_t requests = 0;
  std::string keyFileAddress;  // where the key file was looked for
  // The problem's details.
  int32_t transferCode = 0;
  std::string httpStatus;
  std::string location;

  bool ok() const { return problem == PushProblem::None; }
};

// 8 to 128 characters of a-z, A-Z, 0-9 and "-".
bool IsValidIndexNowKey(const std::string& key);
// The address of the key file the site must serve.
std::string IndexNowKeyFileAddress(const IndexNowSetup& setup);
// Checks the key file, then pushes addresses (all on the site) in order, stopping at the
// first problem. Nothing is pushed when the key file is missing or wrong.
IndexNowReport PushToIndexNow(const IndexNowSetup& setup, const std::vector<std::string>& addresses);

inline constexpr size_t kIndexNowBatch = 10000;
