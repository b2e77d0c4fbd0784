#include "render/PageRenderer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <exception>

#include "render/ChromiumBrowser.h"
#include "render/RenderRequestRules.h"
#include "web/UrlRules.h"

// The browser that renders, and how many times one was started: a browser that dies is
// started once more, and after the second death none is.
class PageRenderer::Impl {
 public:
  explicit Impl(RenderOptions options) : options_(std::move(options)) {}

  RenderOutcome Render(const std::string& address, const std::string& headers, const std::string& body,
                       PageMarkup& markup);
  bool GivenUp();
  int BrowserProcessId();
  std::string ProfilePath();

 private:
  static constexpr int kStarts = 2;

  std::shared_ptr<ChromiumBrowser> Browser(const std::string& address);
  bool Stopped() const { return options_.stopped && options_.stopped(); }

  const RenderOptions options_;
  std::mutex lock_;  // guards the browser and the count of starts
  std::shared_ptr<ChromiumBrowser> browser_;
  int starts_ = 0;
  std::string siteHost_;
  bool givenUp_ = false;
};

// The browser is started by the first render, whose address names the crawl's site: the one
// host it may resolve.
std::shared_ptr<ChromiumBrowser> PageRenderer::Impl::Browser(const std::string& address) {
  std::lock_guard<std::mutex> guard(lock_);
  if (givenUp_) return nullptr;
  if (browser_ && browser_->Alive()) return browser_;
  browser_.reset();
  if (siteHost_.empty()) siteHost_ = HostOf(address);
  while (starts_ < kStarts) {
    ++starts_;
    std::shared_ptr<ChromiumBrowser> started = ChromiumBrowser::Start(options_, siteHost_);
    if (started) {
      browser_ = std::move(started);
      return browser_;
    }
  }
  givenUp_ = true;
  return nullptr;
}

bool PageRenderer::Impl::GivenUp() {
  std::lock_guard<std::mutex> guard(lock_);
  if (!givenUp_ && starts_ >= kStarts && (!browser_ || !browser_->Alive())) givenUp_ = true;
  return givenUp_;
}

int PageRenderer::Impl::BrowserProcessId() {
  std::lock_guard<std::mutex> guard(lock_);
  return browser_ ? browser_->pid() : 0;
}

std::string PageRenderer::Impl::ProfilePath() {
  std::lock_guard<std::mutex> guard(lock_);
  return browser_ ? browser_->profile() : std::string();
}

RenderOutcome PageRenderer::Impl::Render(const std::string& address, const std::string& headers,
                                         const std::string& body, PageMarkup& markup) {
  markup = PageMarkup();
  // A browser found dead on the way to a tab is replaced once, within the starts allowed.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (Stopped()) return RenderOutcome::kNotRendered;
    std::shared_ptr<ChromiumBrowser> browser = Browser(address);
    if (!browser) return RenderOutcome::kNotRendered;
    RenderTab* tab = browser->Acquire(options_.stopped);
    if (!tab) {
      if (browser->Alive()) return RenderOutcome::kNotRendered;
      continue;
    }
    // The tab goes back however the render ends; one whose render threw is replaced, as its
    // state is unknown.
    struct Lease {
      ChromiumBrowser& browser;
      RenderTab* tab;
      bool finished = false;
      ~Lease() {
        if (!finished) tab->Abandon();
        browser.Release(tab);
      }
    } lease{*browser, tab};
    const RenderOutcome outcome = tab->Render(address, headers, body, markup);
    lease.finished = true;
    return outcome;
  }
  return RenderOutcome::kNotRendered;
}

PageRenderer::PageRenderer(RenderOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

PageRenderer::~PageRenderer() = default;

bool PageRenderer::Available(const std::string& executable) {
  struct stat info {};
  return !executable.empty() && ::stat(executable.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(executable.c_str(), X_OK) == 0;
}

RenderOutcome PageRenderer::Render(const std::string& address, const std::string& headers, const std::string& body,
                                   PageMarkup& markup) {
  try {
    return impl_->Render(address, headers, body, markup);
  } catch (const std::exception&) {
    markup = PageMarkup();
    return RenderOutcome::kNotRendered;
  }
}

bool PageRenderer::GivenUp() const {
  try {
    return impl_->GivenUp();
  } catch (const std::exception&) {
    return true;
  }
}

int PageRenderer::BrowserProcessId() const {
  try {
    return impl_->BrowserProcessId();
  } catch (const std::exception&) {
    return 0;
  }
}

std::string PageRenderer::ProfilePath() const {
  try {
    return impl_->ProfilePath();
  } catch (const std::exception&) {
    return {};
  }
}
