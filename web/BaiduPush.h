#pragma once
// Baidu's 普通收录 link push: addresses POSTed as plain text, at most kBatch a request, to
// <endpoint>?site=<site>&token=<token>; each answer says how many were taken and how many
// the site may still push today.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "web/SearchEngineAnswer.h"
#include "web/http_options.h"

struct BaiduPushSetup {
  std::string endpoint = "http://data.zz.baidu.com/urls";
  std::string site;   // as verified on Baidu's platform: "https://www.example.com" or a host
  std::string token;  // never written anywhere but the request's address
  std::string crawlHost;  // the host of the addresses; the site must name it
  http_options http;
};

struct BaiduPushReport {
  PushProblem problem = PushProblem::None;
  int64_t accepted = 0;             // "success", summed
  std::optional<int64_t> remain;    // the last answer's "remain"
  std::vector<std::string> notSameSite;
  std::vector<std::string> notValid;
  size_t sent = 0;                  // addresses in requests that were answered
  size_t unsent = 0;                // addresses never sent (quota reached, or a problem)
  size_t requests = 0;
  // The problem's details.
  int32_t transferCode = 0;
  std::string httpStatus;
  std::string location;
  int64_t errorCode = 0;
  std::string serverMessage;        // Baidu's own "message", as it came

  bool ok() const { return problem == PushProblem::None; }
};

// Pushes addresses (percent-encoded, as in the sitemap) in order; stops at the first problem
// or once Baidu says no quota remains.
BaiduPushReport PushToBaidu(const BaiduPushSetup& setup, const std::vector<std::string>& addresses);

inline constexpr size_t kBaiduBatch = 2000;
