#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "crawl/ContentChange.h"
#include "store/CLevelDb.h"

// The history of one site for lastmod from content: for each page the hash of its body and the
// date that content was first seen, in a leveldb database of its own (key: the path; value:
// a text archive of hash and date). Loaded whole when the crawl begins, judged against by the
// workers, written back when the crawl ends or stops. A damaged database is set aside and a new
// one begun, so the history never stops a crawl.
class PageHistory {
 public:
  struct Verdict {
    ContentChange change = ContentChange::Unknown;
    std::string lastmod;
  };

  // today: the crawl's date (YYYY-MM-DD), the date of every new or changed content.
  explicit PageHistory(std::string today);
  PageHistory(const PageHistory&) = delete;
  PageHistory& operator=(const PageHistory&) = delete;

  // Opens (or begins) the history in folder. False when the crawl goes on without one;
  // notice() says why, and also when a damaged one was set aside.
  bool Open(const std::string& folder);
  const HistoryNotice& notice() const { return notice_; }
  bool isOpen() const { return db_.isOpen() == 1; }

  // A fetched page: new (its lastmod the server's Last-Modified in W3C form when it has a
  // trustworthy one, else today), changed (today) or unchanged (the stored date). Any thread.
  Verdict Judge(const std::string& path, const std::string& hash, const std::string& headerDate);
  // A page a resumed crawl fetched before its stop, as its journal kept it.
  void Restore(const std::string& path, const std::string& hash, const std::string& lastmod, ContentChange change);
  // Writes what this crawl saw. complete: the crawl found every page it would, so pages the
  // history holds and it did not find are gone and leave the history. kNotOpen, or the
  // database's failure.
  Status Commit(bool complete);
  // The new and changed pages in path order, then (complete) the gone ones.
  ContentChanges Changes(bool complete) const;

  // The hash of a page's body as the history keeps it.
  static std::string HashOf(const std::string& body);
  // The site's folder below the histories' folder, named after its host and port.
  static std::string SiteFolder(const std::string& historiesFolder, const std::string& host, const std::string& port);

 private:
  // One page: as the history holds it, and once this crawl judged it, as it will hold it. One
  // map for both, so a site's history costs one node a page.
  struct Record {
    std::string hash;
    std::string date;
    ContentChange change = ContentChange::Unknown;  // Unknown: not judged (yet) by this crawl
    bool held = false;                              // the history held it when the crawl began
  };
  // Reads every record; false when the database or a record is damaged.
  bool Load(std::string& problem);
  // Moves the damaged folder aside and opens a new one there.
  bool SetAside(const std::string& folder, const std::string& problem);

  const std::string today_;
  CLevelDb db_;
  HistoryNotice notice_;
  mutable std::mutex lock_;  // guards records_ once the crawl's workers run
  std::map<std::string, Record> records_;
};
