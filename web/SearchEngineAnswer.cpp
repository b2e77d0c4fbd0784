#include "web/SearchEngineAnswer.h"

#include "common/ResultCodes.h"
#include "web/CHttpSession.h"
#include "web/ResponseHeaders.h"

EndpointAnswer PostToEndpoint(CHttpSession& session, const std::string& address, const std::string& contentType,
                              const std::string& content) {
  EndpointAnswer answer;
  std::string headers;
  answer.transferCode = session.Post(address, contentType, content, headers, answer.body);
  if (answer.transferCode != rc::kOk) {
    answer.body.clear();
    return answer;
  }
  const ResponseHeaders fields(headers);
  answer.status = fields.StatusCode();
  answer.location = fields.Field("Location");
  answer.mediaType = fields.MediaType();
  return answer;
}

http_options PushRequestOptions(const http_options& crawl) {
  http_options options = crawl;
  // A redirected push would send the token or the addresses somewhere the user never named.
  options.maxRedirects = 0;
  return options;
}
