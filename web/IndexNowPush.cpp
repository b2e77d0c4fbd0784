#include "web/IndexNowPush.h"

#include <algorithm>

#include "common/PercentEncoding.h"
#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "web/CHttpSession.h"
#include "web/JsonText.h"
#include "web/ResponseHeaders.h"

namespace {

std::string RequestBody(const IndexNowSetup& setup, const std::vector<std::string>& addresses, size_t begin,
                        size_t end) {
  std::string body = "{\"host\":";
  AppendJsonString(body, setup.site.host);
  body += ",\"key\":";
  AppendJsonString(body, setup.key);
  if (setup.keyFolder != "/") {
    body += ",\"keyLocation\":";
    AppendJsonString(body, IndexNowKeyFileAddress(setup));
  }
  body += ",\"urlList\":[";
  for (size_t i = begin; i < end; ++i) {
    if (i > begin) body += ',';
    AppendJsonString(body, PercentEncode(addresses[i], PercentEncodeSet::kAddress));
  }
  body += "]}";
  return body;
}

// The key file as the site serves it: fetched, following redirects as a search engine does.
PushProblem CheckKeyFile(const IndexNowSetup& setup, IndexNowReport& report) {
  CHttpSession session;
  session.options() = setup.http;
  session.options().maxRedirects = 10;
  std::string headers, body;
  const int32_t code = session.Fetch(report.keyFileAddress, headers, body);
  if (code != rc::kOk) {
    report.transferCode = code;
    return PushProblem::KeyFileMissing;
  }
  const ResponseHeaders fields(headers);
  report.httpStatus = fields.StatusCode();
  if (report.httpStatus != "200") return PushProblem::KeyFileMissing;
  std::string text = TrimWhitespace(body);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text = TrimWhitespace(text.substr(3));
  report.httpStatus.clear();
  return text == setup.key ? PushProblem::None : PushProblem::KeyFileWrong;
}

bool Accepted(const std::string& status) { return status == "200" || status == "202"; }

}  // namespace

bool IsValidIndexNowKey(const std::string& key) {
  if (key.size() < 8 || key.size() > 128) return false;
  return std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
  });
}

std::string IndexNowKeyFileAddress(const IndexNowSetup& setup) {
  std::string folder = setup.keyFolder.empty() ? "/" : setup.keyFolder;
  if (folder.back() != '/') folder += '/';
  return FullAddress(setup.site, folder + setup.key + ".txt");
}

IndexNowReport PushToIndexNow(const IndexNowSetup& setup, const std::vector<std::string>& addresses) {
  IndexNowReport report;
  report.unsent = addresses.size();
  if (setup.key.empty() || setup.endpoint.empty()) {
    report.problem = PushProblem::NoSetting;
    return report;
  }
  if (!IsValidIndexNowKey(setup.key)) {
    report.problem = PushProblem::BadKey;
    return report;
  }
  report.keyFileAddress = IndexNowKeyFileAddress(setup);
  report.problem = CheckKeyFile(setup, report);
  if (!report.ok()) return report;
  CHttpSession session;
  session.options() = PushRequestOptions(setup.http);
  for (size_t next = 0; next < addresses.size();) {
    const size_t end = std::min(addresses.size(), next + kIndexNowBatch);
    ++report.requests;
    const EndpointAnswer answer = PostToEndpoint(session, setup.endpoint, "application/json; charset=utf-8",
                                                 RequestBody(setup, addresses, next, end));
    if (answer.transferCode != 0) {
      report.problem = PushProblem::Unreachable;
      report.transferCode = answer.transferCode;
      break;
    }
    report.httpStatus = answer.status;
    if (!Accepted(answer.status)) {
      report.location = answer.location;
      report.problem = !answer.status.empty() && answer.status[0] == '3' ? PushProblem::Redirect : PushProblem::HttpStatus;
      break;
    }
    report.sent += end - next;
    next = end;
  }
  report.unsent = addresses.size() - report.sent;
  return report;
}
