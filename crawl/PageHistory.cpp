#include "crawl/PageHistory.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "store/TextArchive.h"

#include <leveldb/iterator.h>

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
  records_.clear();
  std::string problem;
  if (Status opened = db_.Open(folder); opened.ok()) {
    if (Load(problem)) return true;
  } else {
    problem = opened.message();
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
  leveldb::DB* db = db_.handle();
  if (!db) return false;
  std::unique_ptr<leveldb::Iterator> it(db->NewIterator(leveldb::ReadOptions()));
  for (it->SeekToFirst(); it->Valid(); it->Next()) {
    Record record;
    record.held = true;
    if (!ReadEntry(it->value().ToString(), record.hash, record.date)) {
      problem = "the record of " + it->key().ToString() + " cannot be read";
      records_.clear();
      return false;
    }
    records_.emplace_hint(records_.end(), it->key().ToString(), std::move(record));
  }
  if (!it->status().ok()) {
    problem = it->status().ToString();
    records_.clear();
    return false;
  }
  return true;
}

bool PageHistory::SetAside(const std::string& folder, const std::string& problem) {
  db_.Close();
  records_.clear();
  notice_.detail = problem;
  std::error_code ec;
  std::string aside = folder + ".damaged";
  for (int n = 2; std::filesystem::exists(aside, ec) && n < 1000; ++n) aside = folder + ".damaged-" + std::to_string(n);
  std::filesystem::rename(folder, aside, ec);
  if (ec || !db_.Open(folder).ok()) {
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
  std::lock_guard<std::mutex> guard(lock_);
  auto [it, fresh] = records_.try_emplace(path);
  Record& record = it->second;
  if (fresh || !record.held) {
    verdict = {ContentChange::New, headerDate.empty() ? today_ : headerDate};
  } else if (record.hash == hash) {
    verdict = {ContentChange::Unchanged, record.date};
  } else {
    verdict = {ContentChange::Changed, today_};
  }
  record.hash = hash;
  record.date = verdict.lastmod;
  record.change = verdict.change;
  return verdict;
}

void PageHistory::Restore(const std::string& path, const std::string& hash, const std::string& lastmod,
                          ContentChange change) {
  if (change == ContentChange::Unknown || hash.empty()) return;
  std::lock_guard<std::mutex> guard(lock_);
  Record& record = records_[path];
  record.hash = hash;
  record.date = lastmod;
  record.change = change;
}

Status PageHistory::Commit(bool complete) {
  if (!isOpen()) return StatusCode::kNotOpen;
  std::map<std::string, std::string> written;
  std::vector<std::string> erased;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& [path, record] : records_) {
      // An unchanged page is stored as it is (a resumed crawl's may have been written at its stop).
      if (record.change == ContentChange::New || record.change == ContentChange::Changed ||
          (record.change == ContentChange::Unchanged && !record.held))
        written.emplace(path, EntryText(record.hash, record.date));
      else if (complete && record.change == ContentChange::Unknown && record.held)
        erased.push_back(path);
    }
  }
  return db_.WriteAll(written, erased);
}

ContentChanges PageHistory::Changes(bool complete) const {
  ContentChanges changes;
  changes.judged = true;
  changes.notice = notice_;
  std::lock_guard<std::mutex> guard(lock_);
  for (const auto& [path, record] : records_) {
    if (record.change == ContentChange::New) ++changes.newCount;
    else if (record.change == ContentChange::Changed) ++changes.changedCount;
    else continue;
    changes.rows.push_back({record.change, path, record.date});
  }
  if (!complete) return changes;
  for (const auto& [path, record] : records_) {
    if (!record.held || record.change != ContentChange::Unknown) continue;
    changes.rows.push_back({ContentChange::Gone, path, record.date});
    ++changes.goneCount;
  }
  return changes;
}
