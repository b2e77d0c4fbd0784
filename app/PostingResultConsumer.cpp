#include "app/PostingResultConsumer.h"

PostingResultConsumer::PostingResultConsumer(WindowHandle window, intptr_t crawlId)
    : PortionHandOver([window, crawlId](Event event, int32_t result) {
        if (event == Event::PortionsWaiting) return PostWindowMessage(window, WM_CRAWL_RESULTS, 0, crawlId);
        return PostWindowMessage(window, WM_CRAWL_FINISHED, static_cast<uintptr_t>(static_cast<uint32_t>(result)),
                                 crawlId);
      }),
      crawlId_(crawlId) {}
