#include "web/BaiduPush.h"

#include <algorithm>

#include "common/PercentEncoding.h"
#include "common/StringICompare.h"
#include "web/CHttpSession.h"
#include "web/JsonText.h"
#include "web/UrlRules.h"

namespace {

// A query value: everything but letters, digits, - . _ ~ : / written %XX, so no "&" or "#"
// in a setting can change the request.
std::string QueryValue(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreservedByte(byte) || c == ':' || c == '/') {
      out += c;
    } else {
      AppendPercentEscape(out, byte);
    }
  }
  return out;
}

std::string PushAddress(const BaiduPushSetup& setup) {
  const char joint = setup.endpoint.find('?') == std::string::npos ? '?' : '&';
  return setup.endpoint + joint + "site=" + QueryValue(setup.site) + "&token=" + QueryValue(setup.token);
}

void AppendStrings(const JsonValue* list, std::vector<std::string>& out) {
  if (!list || list->kind != JsonValue::Kind::Array) return;
  for (const JsonValue& item : list->items)
    if (item.kind == JsonValue::Kind::String) out.push_back(item.text);
}

// One batch's answer into the report; false when the push must stop.
bool ReadAnswer(const EndpointAnswer& answer, size_t batch, BaiduPushReport& report) {
  if (answer.transferCode != 0) {
    report.problem = PushProblem::Unreachable;
    report.transferCode = answer.transferCode;
    return false;
  }
  report.httpStatus = answer.status;
  if (!answer.status.empty() && answer.status[0] == '3') {
    report.problem = PushProblem::Redirect;
    report.location = answer.location;
    return false;
  }
  const std::optional<JsonValue> json = ParseJson(answer.body);
  if (json && json->kind == JsonValue::Kind::Object) {
    const JsonValue* error = json->Member("error");
    if (error && error->WholeNumber()) {
      report.problem = PushProblem::Refused;
      report.errorCode = *error->WholeNumber();
      if (const JsonValue* message = json->Member("message"); message && message->kind == JsonValue::Kind::String)
        report.serverMessage = message->text;
      return false;
    }
  }
  if (answer.status != "200") {
    report.problem = PushProblem::HttpStatus;
    return false;
  }
  if (!json) {
    report.problem = PushProblem::NotJson;
    return false;
  }
  const JsonValue* success = json->Member("success");
  const JsonValue* remain = json->Member("remain");
  if (!success || !remain || !success->WholeNumber() || !remain->WholeNumber() || *success->WholeNumber() < 0) {
    report.problem = PushProblem::NotEngineAnswer;
    return false;
  }
  report.sent += batch;
  report.accepted += *success->WholeNumber();
  report.remain = std::max<int64_t>(0, *remain->WholeNumber());
  AppendStrings(json->Member("not_same_site"), report.notSameSite);
  AppendStrings(json->Member("not_valid"), report.notValid);
  if (*report.remain == 0 && report.accepted == 0) {
    report.problem = PushProblem::QuotaUsedUp;
    return false;
  }
  return true;
}

// The site as Baidu names it may be a bare host.
std::string SiteHost(const std::string& site) {
  return HostOf(site.find("://") == std::string::npos ? "http://" + site : site);
}

}  // namespace

BaiduPushReport PushToBaidu(const BaiduPushSetup& setup, const std::vector<std::string>& addresses) {
  BaiduPushReport report;
  report.unsent = addresses.size();
  if (setup.site.empty() || setup.token.empty() || setup.endpoint.empty()) {
    report.problem = PushProblem::NoSetting;
    return report;
  }
  if (!EqualsIgnoreCase(SiteHost(setup.site), setup.crawlHost)) {
    report.problem = PushProblem::OtherHost;
    return report;
  }
  CHttpSession session;
  session.options() = PushRequestOptions(setup.http);
  const std::string target = PushAddress(setup);
  size_t next = 0;
  while (next < addresses.size()) {
    // No more than Baidu says it will take today: the rest would only be refused.
    size_t room = kBaiduBatch;
    if (report.remain) room = std::min<size_t>(room, static_cast<size_t>(*report.remain));
    if (room == 0) break;
    const size_t end = std::min(addresses.size(), next + room);
    std::string body;
    for (size_t i = next; i < end; ++i) {
      body += PercentEncode(addresses[i], PercentEncodeSet::kAddress);
      body += '\n';
    }
    ++report.requests;
    const EndpointAnswer answer = PostToEndpoint(session, target, "text/plain", body);
    if (!ReadAnswer(answer, end - next, report)) break;
    next = end;
  }
  report.unsent = addresses.size() - report.sent;
  return report;
}
