#pragma once
#include "common/Status.h"

// Why a crawl's journal does not hold the whole crawl, for the front ends to say: a crawl cut
// off then cannot be resumed, or only from where its journal stopped.
struct JournalNotice {
  enum class Kind {
    None,      // the journal keeps the crawl, or none was asked for
    NotBegun,  // it could not be begun: the crawl runs without one
    Stopped,   // a write failed part way: it holds the crawl up to there
  };
  Kind kind = Kind::None;
  Status cause;  // the store's words
};
