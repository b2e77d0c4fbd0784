#pragma once

// Why a crawl whose rules render pages does not render them (any more).
enum class RenderStop {
  None,              // rendering as asked, or not asked for
  BrowserMissing,    // no usable browser at kChromiumPath: no page is rendered
  BrowserDiedTwice,  // the browser died, was started again and died again: the rest are not
};
