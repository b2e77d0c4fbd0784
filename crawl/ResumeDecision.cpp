#include "crawl/ResumeDecision.h"

#include <filesystem>

#include "store/CLevelDb.h"

ResumeDecision ResumeDecision::For(const CrawlStartParams& typed, const std::string& journalPath) {
  ResumeDecision decision;
  decision.typed = typed;
  decision.journalPath = journalPath;
  const JournalSummary found = CrawlJournal::Inspect(journalPath, typed.startUrl);
  using Status = JournalSummary::Status;
  switch (found.status) {
    case Status::None:
      break;
    case Status::Unfinished:
      decision.kind = Kind::Offer;
      decision.finished = found.finished;
      decision.waiting = found.waiting;
      decision.journalParams = found.params;
      break;
    case Status::Older:
    case Status::Newer:
    case Status::Damaged:
    case Status::OtherAddress:
      decision.kind = Kind::Refused;
      decision.reason = found.status;
      decision.detail = found.detail;
      break;
  }
  return decision;
}

CrawlStartParams ResumeDecision::ParamsToRun(bool resume) const {
  if (resume && kind == Kind::Offer) {
    CrawlStartParams params = journalParams;
    // How requests are made belongs to this run (timeouts, proxy), not to the crawl's record.
    params.httpOptions = typed.httpOptions;
    params.maxRate = typed.maxRate;
    params.historyFolder = typed.historyFolder;
    params.journalPath = journalPath;
    params.resume = true;
    return params;
  }
  CrawlStartParams params = typed;
  params.journalPath = journalPath;
  params.resume = false;
  return params;
}

bool ResumeDecision::Discard() const {
  if (journalPath.empty()) return true;
  std::error_code ec;
  if (!std::filesystem::exists(journalPath, ec)) return true;
  // A journal another crawl of the address is writing right now stays: it is that crawl's.
  {
    CLevelDb db;
    const Status opened = db.Open(journalPath);
    if (!opened.ok() && opened.message().find("LOCK") != std::string::npos) return false;
  }
  return CrawlJournal::Remove(journalPath);
}
