#pragma once
#include <memory>

#include "crawl/CThreadControl.h"

class CSitemapControl;

// The crawl thread controller: runs one crawl object's RunCrawl on a thread of its own.
class CThreadControlSitemap : public CThreadControl {
 public:
  // Starts the crawl thread, state 1; 0, rc::kMissing without a crawl, -10000 when no thread
  // could be made. The thread keeps the crawl alive until it ends.
  int32_t Start(std::shared_ptr<CSitemapControl> crawl);
  // Asks the crawl to stop, state 2; 0. Returns at once: the crawl ends its running pages,
  // hands over what it has and tells its consumer it finished.
  int32_t Stop() override;

 private:
  std::weak_ptr<CSitemapControl> crawl_;
};
