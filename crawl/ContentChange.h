#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Status.h"

// How a page's content compares with the site's history (lastmod from content).
enum class ContentChange : int32_t {
  Unknown = 0,    // not judged (another lastmod source, or no history)
  New = 1,        // the history did not hold the page
  Changed = 2,    // its body differs from the one the history holds
  Unchanged = 3,  // the same body: the history's date stays
  Gone = 4,       // the history held it and this crawl did not find it
};

// One row of the changes file.
struct ContentChangeRow {
  ContentChange kind = ContentChange::New;
  std::string path;
  std::string lastmod;
};

// What became of the site's history in one crawl.
struct HistoryNotice {
  enum class Kind {
    None,
    SetAside,     // the database was damaged: moved to asidePath, a new one begun
    Unavailable,  // it could not be opened (in use, no room): the crawl went on without it
  };
  Kind kind = Kind::None;
  std::string folder;     // the history's folder
  std::string asidePath;  // SetAside: where the damaged one now is
  std::string detail;     // leveldb's words
  // Why this crawl's pages could not be written back (a full disk...): the next crawl then
  // judges against the history as it was before this one. Ok when written, or never opened.
  Status writeFailure;
};

// What changed since the last crawl of the site, once the crawl has ended: the new and
// changed pages in path order, then the gone ones (only after a crawl that found every page).
struct ContentChanges {
  bool judged = false;  // the crawl took lastmod from content
  std::vector<ContentChangeRow> rows;
  size_t newCount = 0, changedCount = 0, goneCount = 0;
  HistoryNotice notice;
};
