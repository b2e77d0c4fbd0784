#include "output/CrawlEnding.h"

#include "common/ResultCodes.h"
#include "output/CrawlResults.h"

CrawlEnding DescribeEnding(const CrawlResults& results, int32_t outcome) {
  CrawlEnding ending;
  if (outcome == rc::kStopped) {
    ending.kind = CrawlEnding::Kind::Stopped;
    return ending;
  }
  if (results.okCount() > 0) return ending;
  // Nothing was fetched: the first failure is the start page's (or the last hop of its
  // redirects), and says why.
  const auto first = results.FirstFailure();
  ending.kind = CrawlEnding::Kind::NothingFetched;
  if (!first) return ending;
  ending.outcome = first->outcome;
  ending.address = FullAddress(results.origin(), first->path);
  ending.redirectTo = first->redirectTo;
  if (ending.outcome.kind() == PageOutcome::Kind::Transfer) ending.kind = CrawlEnding::Kind::Unreachable;
  return ending;
}
