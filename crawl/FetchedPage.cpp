#include "crawl/FetchedPage.h"

#include "web/HeaderFields.h"
#include "web/PageOutcome.h"
#include "web/ResponseHeaders.h"

std::string StatusOf(const std::string& headers) {
  return headers.empty() ? std::string() : ExtractHeaderField(headers, kFieldStatus);
}

bool RedirectTarget(const std::string& headers, const std::string& address, WebAddress& target) {
  if (!PageOutcome::OfStatusText(StatusOf(headers)).IsRedirect()) return false;
  const std::string location = ResponseHeaders(headers).Field("Location");
  return !location.empty() && ResolveWebReference(address, location, target);
}
