#include "output/CrawlSession.h"

#include <condition_variable>
#include <mutex>

#include "common/ResultCodes.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadControlSitemap.h"
#include "output/CrawlResults.h"

// Whether and how the crawl ended, shared with the crawl's thread.
struct CrawlSession::Ending {
  mutable std::mutex lock;
  std::condition_variable changed;
  bool finished = false;
  int32_t outcome = rc::kOk;
};

// Fills the record, then passes everything on to the front end.
class CrawlSession::Recorder : public CrawlResultConsumer {
 public:
  Recorder(std::shared_ptr<CrawlResults> results, std::shared_ptr<CrawlResultConsumer> frontEnd,
           std::shared_ptr<Ending> ending)
      : results_(std::move(results)), frontEnd_(std::move(frontEnd)), ending_(std::move(ending)) {}

  // Set before the crawl's thread starts; the crawl outlives every call it makes here.
  void Watch(const CSitemapControl* control, std::weak_ptr<CThreadControlSitemap> thread) {
    control_ = control;
    thread_ = std::move(thread);
  }

  void OnPortion(CrawlPortion&& portion, const std::function<bool()>& stopped) override {
    results_->AddPortion(portion, control_->Origin());
    if (frontEnd_) frontEnd_->OnPortion(std::move(portion), stopped);
  }

  void OnFinished(int32_t result) override {
    results_->SetChanges(control_->Changes());
    results_->SortSitemap();
    {
      std::lock_guard<std::mutex> guard(ending_->lock);
      ending_->finished = true;
      ending_->outcome = result;
    }
    if (auto thread = thread_.lock()) thread->SetState(2);
    ending_->changed.notify_all();
    if (frontEnd_) frontEnd_->OnFinished(result);
  }

 private:
  std::shared_ptr<CrawlResults> results_;
  std::shared_ptr<CrawlResultConsumer> frontEnd_;
  std::shared_ptr<Ending> ending_;
  const CSitemapControl* control_ = nullptr;
  std::weak_ptr<CThreadControlSitemap> thread_;
};

std::shared_ptr<CrawlSession> CrawlSession::Start(const CrawlStartParams& params,
                                                  std::shared_ptr<CrawlResultConsumer> frontEnd,
                                                  const Prepare& prepare) {
  std::shared_ptr<CrawlSession> session(new CrawlSession());
  session->ending_ = std::make_shared<Ending>();
  session->results_ = std::make_shared<CrawlResults>(params.sitemap);
  auto recorder = std::make_shared<Recorder>(session->results_, std::move(frontEnd), session->ending_);
  session->control_ = std::make_shared<CSitemapControl>(params, recorder);
  session->thread_ = std::make_shared<CThreadControlSitemap>();
  recorder->Watch(session->control_.get(), session->thread_);
  if (prepare) prepare(*session->control_);
  if (session->thread_->Start(session->control_) != rc::kOk) return nullptr;
  return session;
}

CrawlSession::~CrawlSession() = default;

void CrawlSession::Stop() {
  if (thread_) thread_->Stop();
}

CrawlCounters CrawlSession::counters() const { return control_->Counters(); }

int32_t CrawlSession::state() const { return thread_->state(); }

RenderStop CrawlSession::renderStop() const { return control_->RenderNotice(); }

bool CrawlSession::pageLimitReached() const { return control_->PageLimitReached(); }

std::string CrawlSession::repeatedParameter() const { return control_->RepeatedParameter(); }

JournalNotice CrawlSession::journalProblem() const { return control_->JournalProblem(); }

std::chrono::milliseconds CrawlSession::pauseRemaining() const { return control_->PauseRemaining(); }
std::vector<AuditRow> CrawlSession::auditRows(size_t from) const { return control_->AuditRows(from); }
bool CrawlSession::robotsTxtLacksSitemap() const { return control_->RobotsTxtLacksSitemap(); }

const CrawlStartParams& CrawlSession::params() const { return control_->params(); }

bool CrawlSession::ThreadEnded(std::chrono::milliseconds timeout) const { return thread_->WaitFinished(timeout); }

bool CrawlSession::finished() const {
  std::lock_guard<std::mutex> guard(ending_->lock);
  return ending_->finished;
}

int32_t CrawlSession::outcome() const {
  std::lock_guard<std::mutex> guard(ending_->lock);
  return ending_->outcome;
}

bool CrawlSession::WaitFinished(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> guard(ending_->lock);
  return ending_->changed.wait_for(guard, timeout, [&] { return ending_->finished; });
}
