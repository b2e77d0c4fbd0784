#pragma once
#include <cstdint>
#include <string>

#include "crawl/CrawlJournal.h"
#include "crawl/CrawlStartParams.h"

// What a crawl about to start does with the journal its address left behind: start afresh
// (there is none to go on with), offer to go on with it, or refuse it with the reason. The
// front ends word the question and the messages; what runs is decided here alone.
struct ResumeDecision {
  enum class Kind {
    Afresh,   // no journal, or one of a crawl that never reached its first page
    Offer,    // an unfinished crawl of this address that can go on
    Refused,  // a journal that cannot be gone on with: see reason and detail
  };

  // Reads the journal at journalPath against the address of typed; changes nothing on disk.
  static ResumeDecision For(const CrawlStartParams& typed, const std::string& journalPath);

  // The start record to run. Going on (resume, and a journal on offer): the journal's own
  // settings, with this run's request options. Otherwise typed, starting afresh; its journal
  // replaces whatever the folder held.
  CrawlStartParams ParamsToRun(bool resume) const;
  // Removes the journal (one refused, or one the user chose not to go on with); true when it
  // is gone.
  bool Discard() const;

  Kind kind = Kind::Afresh;
  JournalSummary::Status reason = JournalSummary::Status::None;  // when Refused: why
  std::string detail;   // when Refused: the particulars (leveldb's text, the other address...)
  int64_t finished = 0;  // when offered: pages with a result
  int64_t waiting = 0;   // when offered: admitted pages not fetched yet
  CrawlStartParams typed;          // the start record as the front end made it
  CrawlStartParams journalParams;  // when offered: the journal's start record
  std::string journalPath;
};
