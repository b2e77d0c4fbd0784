#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "web/PageMarkup.h"

// Where the Debian package chromium puts the browser.
inline constexpr const char* kChromiumPath = "/usr/bin/chromium";

// How pages are rendered for one crawl.
struct RenderOptions {
  std::string executable = kChromiumPath;
  // How long a page may take to settle (load event, then no request and no short timer
  // pending); a page still busy then is read as it stands.
  int32_t timeoutMs = 10000;
  std::string userAgent;  // the browser's User-Agent; empty: the browser's own
  size_t tabs = 1;        // tabs open at once, at most kMaxTabs
  // Whether the browser may request a full address: the crawl's own site. Called from any
  // worker's thread.
  std::function<bool(const std::string& address)> mayRequest;
  // Waits for the crawl's request interval before each request the browser makes; false when
  // the crawl stops meanwhile.
  std::function<bool()> waitTurn;
  // The crawl's stop request: a render in progress ends soon after it is set.
  std::function<bool()> stopped;
  // The crawl's proxy and its host name; empty: none.
  std::string proxy;
  std::string proxyHost;
  bool ignoreCertificateErrors = false;  // as the crawl's requests do with --insecure
};

// What one render gave.
enum class RenderOutcome {
  kRendered,     // the page settled; markup holds what its document showed
  kTimedOut,     // cut at the time-out; markup holds what it had by then
  kTabCrashed,   // the page's tab died (markup empty); the next render gets a fresh tab
  kNotRendered,  // no browser (never started, or given up after a second crash), or stopped
};

// Renders a crawl's pages in one headless Chromium, started on the first Render and driven
// over the DevTools protocol through a pipe (no network port is opened). Its profile is a
// throwaway folder, removed with the renderer. A browser that dies is started once more; when
// it dies again, GivenUp() turns true and every later Render gives kNotRendered.
// Safe to call from several workers at once: each render takes a free tab.
class PageRenderer {
 public:
  static constexpr size_t kMaxTabs = 16;

  explicit PageRenderer(RenderOptions options);
  ~PageRenderer();
  PageRenderer(const PageRenderer&) = delete;
  PageRenderer& operator=(const PageRenderer&) = delete;

  // Whether the browser at executable can be used: a regular file this process may run.
  static bool Available(const std::string& executable = kChromiumPath);

  // Loads address in a tab and reads from the settled document: document.baseURI (as
  // markup.baseHref, hasBase set), every a[href] and area[href] as the browser resolved them
  // with their rel, every meta with a name, every link element with an href. The document's
  // own request is answered from (headers, body) as our fetch received them, not fetched again.
  RenderOutcome Render(const std::string& address, const std::string& headers, const std::string& body,
                       PageMarkup& markup);

  bool GivenUp() const;

  // The running browser's process id and profile folder; 0 and empty when none runs. For
  // checks from outside (tests, diagnostics).
  int BrowserProcessId() const;
  std::string ProfilePath() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};
