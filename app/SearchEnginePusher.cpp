#include "app/SearchEnginePusher.h"

#include <QMetaObject>

#include "output/CrawlResults.h"

SearchEnginePusher::~SearchEnginePusher() { Stop(); }

void SearchEnginePusher::Stop() {
  cancelled_->store(true);
  Wait();
}

void SearchEnginePusher::Wait() {
  if (thread_.joinable()) thread_.join();
}

bool SearchEnginePusher::Start(std::shared_ptr<const CrawlResults> results, SearchEngineSettings settings,
                               PushChoice choice, http_options http, QObject* receiver, Done done) {
  if (running_.load() || !results) return false;
  Wait();  // the last push's thread has ended its work; reap it
  running_.store(true);
  cancelled_ = std::make_shared<std::atomic<bool>>(false);
  http.cancelled = [cancelled = cancelled_] { return cancelled->load(); };
  QPointer<QObject> target(receiver);
  thread_ = std::thread([this, results = std::move(results), settings = std::move(settings), choice,
                         http = std::move(http), target, done = std::move(done)] {
    PushOutcome outcome = PushToSearchEngines(*results, settings, choice, http);
    running_.store(false);
    if (!target) return;
    QMetaObject::invokeMethod(
        target.data(),
        [target, done, outcome = std::move(outcome)] {
          if (target && done) done(outcome);
        },
        Qt::QueuedConnection);
  });
  return true;
}
