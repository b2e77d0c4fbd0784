#include "crawl/PageHistory.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "common/ResultCodes.h"
#include "store/TextArchive.h"

namespace {

std::string EntryText(const std::string& hash, const std::string& date) {
  TextArchiveWriter w;
  w.WriteString(hash);
  w.WriteString(date);
  return w.ok() ? w.text() : std::string();
}

bool ReadEntry(const std::string& text, std::string& hash, std::string& date) {
  TextArchiveReader r(text);
  return r.ReadHeader() && r.ReadString(hash) && r.ReadString(date) && r.remaining() == 0 && !hash.empty() &&
         !date.empty();
}

}  // namespace

PageHistory::PageHistory(std::string today) : today_(std::move(today)) {}

std::string PageHistory::HashOf(const std::string& body) {
  // FNV-1a, 64 bits: stable across runs and machines, and a change of any byte shows.
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : body) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(hash));
  return std::string(text, 16);
}

std::string PageHistory::SiteFolder(const std::string& historiesFolder, const std::string& host,
                                    const std::string& port) {
  std::string name;
  for (char c : host) {
    if (c == '[' || c == ']') continue;  // an IPv6 literal
    name += c == ':' ? '-' : c;
  }
  if (port.size() > 1) name += "_" + port.substr(1);  // ":8080"
  return (std::filesystem::path(historiesFolder) / name).string();
}

bool PageHistory::Open(const std::string& folder) {
  notice_ = HistoryNotice{};
  notice_.folder = folder;
  held_.clear();
  std::string problem;
  if (db_.Open(folder) == rc::kOk) {
    if (Load(problem)) return true;
  } else {
    problem = db_.lastError();
  }
  // Another crawl of the site holds it: that one's history, left alone.
  if (problem.find("LOCK") != std::string::npos || problem.find("lock") != std::string::npos) {
    db_.Close();
    notice_.kind = HistoryNotice::Kind::Unavailable;
    notice_.detail = problem;
    return false;
  }
  return SetAside(folder, problem);
}

bool PageHistory::Load(std::string& problem) {
  std::map<std::string, std::string> stored;
  if (db_.ReadAll(stored) != rc::kOk) {
    problem = db_.lastError();
    return false;
  }
  for (auto& [path, text] : stored) {
    Entry entry;
    if (!ReadEntry(text, entry.hash, entry.date)) {
      problem = "the record of " + path + " cannot be read";
      held_.clear();
      return false;
    }
    held_.emplace(path, std::move(entry));
  }
  return true;
}

bool PageHistory::SetAside(const std::string& folder, const std::string& problem) {
  db_.Close();
  held_.clear();
  notice_.detail = problem;
  std::error_code ec;
  std::string aside = folder + ".damaged";
  for (int n = 2; std::filesystem::exists(aside, ec) && n < 1000; ++n) aside = folder + ".damaged-" + std::to_string(n);
  std::filesystem::rename(folder, aside, ec);
  if (ec || db_.Open(folder) != rc::kOk) {
    db_.Close();
    notice_.kind = HistoryNotice::Kind::Unavailable;
    if (ec) notice_.detail += "; it could not be moved aside: " + ec.message();
    return false;
  }
  notice_.kind = HistoryNotice::Kind::SetAside;
  notice_.asidePath = aside;
  return true;
}

PageHistory::Verdict PageHistory::Judge(const std::string& path, const std::string& hash,
                                        const std::string& headerDate) {
  Verdict verdict;
  auto held = held_.find(path);
  if (held == held_.end()) {
    verdict = {ContentChange::New, headerDate.empty() ? today_ : headerDate};
  } else if (held->second.hash == hash) {
    verdict = {ContentChange::Unchanged, held->second.date};
  } else {
    verdict = {ContentChange::Changed, today_};
  }
  std::lock_guard<std::mutex> guard(lock_);
  seen_[path] = Seen{{hash, verdict.lastmod}, verdict.change};
  return verdict;
}

void PageHistory::Restore(const std::string& path, const std::string& hash, const std::string& lastmod,
                          ContentChange change) {
  if (change == ContentChange::Unknown || hash.empty()) return;
  std::lock_guard<std::mutex> guard(lock_);
  seen_[path] = Seen{{hash, lastmod}, change};
}

std::vector<std::string> PageHistory::GonePaths() const {
  std::vector<std::string> gone;
  for (const auto& [path, entry] : held_)
    if (!seen_.count(path)) gone.push_back(path);
  return gone;
}

int32_t PageHistory::Commit(bool complete) {
  if (!isOpen()) return rc::kNotOpen;
  std::map<std::string, std::string> written;
  std::vector<std::string> erased;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& [path, seen] : seen_) {
      auto held = held_.find(path);
      if (held != held_.end() && held->second.hash == seen.entry.hash && held->second.date == seen.entry.date) continue;
      written.emplace(path, EntryText(seen.entry.hash, seen.entry.date));
    }
    if (complete) erased = GonePaths();
  }
  return db_.WriteAll(written, erased);
}

ContentChanges PageHistory::Changes(bool complete) const {
  ContentChanges changes;
  changes.judged = true;
  changes.notice = notice_;
  std::lock_guard<std::mutex> guard(lock_);
  for (const auto& [path, seen] : seen_) {
    if (seen.change == ContentChange::New) ++changes.newCount;
    else if (seen.change == ContentChange::Changed) ++changes.changedCount;
    else continue;
    changes.rows.push_back({seen.change, path, seen.entry.date});
  }
  if (!complete) return changes;
  for (const std::string& path : GonePaths()) {
    changes.rows.push_back({ContentChange::Gone, path, held_.at(path).date});
    ++changes.goneCount;
  }
  return changes;
}
