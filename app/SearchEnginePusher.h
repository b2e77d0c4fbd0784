#pragma once
// Runs one push to the search engines on a thread of its own, so the window never waits for
// an endpoint, and hands the outcome to the window thread. Destroying it ends a push that is
// still running (its transfers are cancelled) and waits for the thread.
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "output/SearchEnginePush.h"

class CrawlResults;

class SearchEnginePusher {
 public:
  using Done = std::function<void(const PushOutcome&)>;

  SearchEnginePusher() = default;
  ~SearchEnginePusher();
  SearchEnginePusher(const SearchEnginePusher&) = delete;
  SearchEnginePusher& operator=(const SearchEnginePusher&) = delete;

  // Starts the push unless one runs; done is called on receiver's thread, unless receiver is
  // gone by then. False when a push was running.
  bool Start(std::shared_ptr<const CrawlResults> results, SearchEngineSettings settings, PushChoice choice,
             http_options http, QObject* receiver, Done done);
  bool running() const { return running_.load(); }
  // Waits for a running push to end (tests).
  void Wait();
  // Ends a running push at once (its transfers are cancelled) and waits for its thread.
  void Stop();

 private:
  std::thread thread_;
  std::shared_ptr<std::atomic<bool>> cancelled_ = std::make_shared<std::atomic<bool>>(false);
  std::atomic<bool> running_{false};
};
