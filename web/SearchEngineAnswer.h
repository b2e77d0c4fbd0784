#pragma once
// One request to a search engine's push interface and what came back, as the Baidu and
// IndexNow clients share it.
#include <cstdint>
#include <string>

#include "web/http_options.h"

// Why a push stopped before every address was sent, or why it never began.
enum class PushProblem {
  None,
  NoSetting,        // the engine's setting (site, token, key) is empty
  BadKey,           // an IndexNow key that is not 8 to 128 of a-z A-Z 0-9 -
  OtherHost,        // the engine's site names another host than the crawl's
  Unreachable,      // the transfer failed (transferCode: libcurl's, or the client's own)
  Redirect,         // the endpoint answered with a redirect (location)
  HttpStatus,       // an answer the engine's protocol has no place for (httpStatus)
  NotJson,          // Baidu: the body is not JSON (an HTML page, say)
  NotEngineAnswer,  // Baidu: JSON, but not Baidu's answer
  Refused,          // Baidu: {"error":N,"message":"..."}
  QuotaUsedUp,      // Baidu: remain 0 before anything was accepted
  KeyFileMissing,   // IndexNow: /<key>.txt could not be fetched from the site
  KeyFileWrong,     // IndexNow: it was fetched but does not hold the key
};

// One answer from an endpoint.
struct EndpointAnswer {
  int32_t transferCode = 0;  // 0: an answer came; else as CHttpSession::Fetch returns
  std::string status;        // "200"
  std::string location;      // a redirect's Location
  std::string mediaType;     // lower case
  std::string body;
};

class CHttpSession;

// POSTs content to address and reads the answer; a redirect is never followed.
EndpointAnswer PostToEndpoint(CHttpSession& session, const std::string& address, const std::string& contentType,
                              const std::string& content);
// The request options of a push: the crawl's, without redirects (cancelled still ends it).
http_options PushRequestOptions(const http_options& crawl);
