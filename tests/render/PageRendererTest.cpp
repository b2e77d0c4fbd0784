#include "render/PageRenderer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/StaticSite.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kAgent[] = "VeltroRenderTest/1.0";

#define SKIP_WITHOUT_CHROMIUM()                                                       \
  do {                                                                                \
    if (!PageRenderer::Available()) GTEST_SKIP() << "Chromium is not installed (scripts/setup.sh)"; \
  } while (0)

// Renders pages of one site: everything it requests must be on that site.
RenderOptions OptionsFor(const StaticSite& site, size_t tabs = 1) {
  RenderOptions options;
  options.userAgent = kAgent;
  options.tabs = tabs;
  const std::string origin = site.origin();
  options.mayRequest = [origin](const std::string& address) { return address.rfind(origin + "/", 0) == 0; };
  return options;
}

std::string Headers() { return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 999\r\n\r\n"; }

std::vector<std::string> Hrefs(const PageMarkup& markup) {
  std::vector<std::string> hrefs;
  for (const auto& anchor : markup.anchors) hrefs.push_back(anchor.href);
  return hrefs;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::string Page(const std::string& head, const std::string& body) {
  return "<!doctype html><html><head>" + head + "</head><body>" + body + "</body></html>";
}

// Pids of the processes whose command line names text.
std::vector<int> ProcessesNaming(const std::string& text) {
  std::vector<int> pids;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (cmdline.find(text) != std::string::npos) pids.push_back(std::stoi(name));
  }
  return pids;
}

// Kills the browser from outside and waits until it has ended: a zombie whose threads are all
// gone, or gone itself.
void KillFromOutside(int pid) {
  ASSERT_GT(pid, 0);
  ::kill(pid, SIGKILL);
  const std::string proc = "/proc/" + std::to_string(pid);
  for (int i = 0; i < 400; ++i) {
    std::ifstream stat(proc + "/stat");
    std::string pidText, comm, state;
    std::error_code ec;
    if (!(stat >> pidText >> comm >> state)) return;
    const auto threads = std::distance(std::filesystem::directory_iterator(proc + "/task", ec),
                                       std::filesystem::directory_iterator());
    if (state == "Z" && threads <= 1) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

const char kLinksFromJson[] = R"(<script src="/app.js"></script>)";
const char kAppJs[] = R"(
fetch('/links.json').then(r => r.json()).then(list => {
  for (const path of list) {
    const a = document.createElement('a');
    a.href = path; a.rel = 'next'; a.textContent = path;
    document.body.appendChild(a);
  }
  const meta = document.createElement('meta');
  meta.name = 'robots'; meta.content = 'noindex';
  document.head.appendChild(meta);
  const link = document.createElement('link');
  link.rel = 'canonical'; link.href = 'canon';
  document.head.appendChild(link);
});)";

const char kLateLink[] = R"(<picture><source srcset="wide.webp 2x"></picture><script>
setTimeout(() => { const a = document.createElement('a'); a.href = 'late.html'; document.body.appendChild(a);
  const i = document.createElement('img'); i.src = 'pic.png'; document.body.appendChild(i); }, 500);
</script>)";

// A script added once the page has loaded, arriving late, writes the link.
const char kScriptAfterLoad[] = R"(<script>
addEventListener('load', () => { const s = document.createElement('script'); s.src = '/late.js'; document.head.appendChild(s); });
</script>)";

// A small client-side router: the address changes by pushState and each view writes its links.
const char kRouter[] = R"(<nav id="nav"></nav><script>
const views = { '/app/home': ['/app/about', '/app/contact'], '/app/about': ['/app/team'] };
function show(path) {
  history.pushState({}, '', path);
  const nav = document.getElementById('nav');
  for (const to of views[path] || []) {
    const a = document.createElement('a'); a.href = to; a.dataset.route = '';
    nav.appendChild(a);
  }
}
show('/app/home');
setTimeout(() => show('/app/about'), 30);
</script><svg><a href="/svg-link"><text>x</text></a></svg><area href="map.html">)";

}  // namespace

TEST(PageRendererTest, ScriptWrittenLinksAreReadOnceTheirFetchTimerRouterOrLateScriptHasRun) {
  SKIP_WITHOUT_CHROMIUM();
  StaticSite site;
  ASSERT_TRUE(site.Start());
  site.Set("/app.js", Resource(200, "text/javascript", kAppJs));
  site.Set("/links.json", Resource(200, "application/json", R"(["/a.html", "sub/b.html"])"));
  Resource late(200, "text/javascript", "const a = document.createElement('a'); a.href = 'from-script.html'; document.body.appendChild(a);");
  late.delay = std::chrono::milliseconds(300);
  site.Set("/late.js", late);
  const std::string o = site.origin();
  PageRenderer renderer(OptionsFor(site, 4));

  struct Job {
    std::string path, body;
    PageMarkup markup;
    RenderOutcome outcome = RenderOutcome::kNotRendered;
    double seconds = 0;
  };
  std::vector<Job> jobs = {{"/dir/json.html", Page("", kLinksFromJson), {}},
                           {"/dir/late.html", Page("", kLateLink), {}},
                           {"/start", Page("", kRouter), {}},
                           {"/dir/added.html", Page("", kScriptAfterLoad), {}}};
  // Four pages at once, each in a tab of its own.
  std::vector<std::thread> threads;
  for (auto& job : jobs)
    threads.emplace_back([&] {
      const auto start = Clock::now();
      job.outcome = renderer.Render(o + job.path, Headers(), job.body, job.markup);
      job.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    });
  for (auto& t : threads) t.join();

  for (const auto& job : jobs) EXPECT_EQ(job.outcome, RenderOutcome::kRendered) << job.path << " " << job.seconds;
  const PageMarkup& fetched = jobs[0].markup;
  EXPECT_TRUE(fetched.hasBase);
  EXPECT_EQ(fetched.baseHref, o + "/dir/json.html");
  EXPECT_EQ(Hrefs(fetched), (std::vector<std::string>{o + "/a.html", o + "/dir/sub/b.html"}));
  ASSERT_EQ(fetched.anchors.size(), 2u);
  EXPECT_EQ(fetched.anchors[0].rel, "next");
  EXPECT_TRUE(std::count(fetched.namedMetas.begin(), fetched.namedMetas.end(),
                         std::pair<std::string, std::string>("robots", "noindex")));
  ASSERT_EQ(fetched.headLinks.size(), 1u);
  EXPECT_EQ(fetched.headLinks[0].rel, "canonical");
  EXPECT_EQ(fetched.headLinks[0].href, o + "/dir/canon");

  EXPECT_EQ(Hrefs(jobs[1].markup), (std::vector<std::string>{o + "/dir/late.html"}));
  // The images of the rendered document, a script's too, for the sitemap's image entries.
  ASSERT_EQ(jobs[1].markup.images.size(), 2u);
  EXPECT_EQ(jobs[1].markup.images[0].value, "wide.webp 2x");
  EXPECT_TRUE(jobs[1].markup.images[0].srcset);
  EXPECT_EQ(jobs[1].markup.images[1].value, o + "/dir/pic.png");
  EXPECT_FALSE(jobs[1].markup.images[1].srcset);
  // It waited for the timer; that it settled before the time-out, its outcome says.
  EXPECT_GE(jobs[1].seconds, 0.5);

  const auto routed = Hrefs(jobs[2].markup);
  for (const char* path : {"/app/about", "/app/contact", "/app/team", "/svg-link", "/app/map.html"})
    EXPECT_TRUE(Has(routed, o + path)) << path;
  EXPECT_EQ(jobs[2].markup.baseHref, o + "/app/about");

  EXPECT_EQ(Hrefs(jobs[3].markup), (std::vector<std::string>{o + "/dir/from-script.html"}));

  // The documents came from our bodies; what the browser fetched carried our User-Agent.
  const auto targets = site.targets();
  EXPECT_EQ(targets.size(), 3u) << ::testing::PrintToString(targets);
  EXPECT_EQ(site.count("/app.js"), 1u);
  EXPECT_EQ(site.count("/links.json"), 1u);
  for (const auto& agent : site.userAgents()) EXPECT_EQ(agent, kAgent);
}

TEST(PageRendererTest, RequestsToOtherSitesAndHeavyKindsNeverLeaveTheBrowser) {
  SKIP_WITHOUT_CHROMIUM();
  StaticSite site, other;
  ASSERT_TRUE(site.Start());
  ASSERT_TRUE(other.Start());
  const std::string o = site.origin(), x = other.origin();
  site.Set("/style.css", Resource(200, "text/css", "body { background: url(/bg.png); }"));
  site.Set("/late.js", Resource(200, "text/javascript", "document.body.insertAdjacentHTML('beforeend', '<a href=\"/after-script\">x</a>');"));
  const std::string body = "<img src='/same.png'><img src='" + x + "/far.png'>" +
                           "<link rel='stylesheet' href='" + x + "/far.css'><link rel='stylesheet' href='/style.css'>"
                           "<link rel='prefetch' href='/prefetched.html'>"
                           "<video src='/clip.mp4'></video><script>"
                           "fetch('" + x + "/far.json').catch(() => {});"
                           "new Image().src = '/made.png';"
                           "const f = new FontFace('F', 'url(/font.woff2)'); f.load().catch(() => {});"
                           "navigator.sendBeacon && navigator.sendBeacon('/beacon', 'x');"
                           "addEventListener('load', () => { const s = document.createElement('script');"
                           " s.src = '/late.js'; document.body.appendChild(s); });"
                           "</script><a href='" + x + "/elsewhere'>far</a>";
  PageRenderer renderer(OptionsFor(site));
  PageMarkup markup;
  ASSERT_EQ(renderer.Render(o + "/page", Headers(), Page("", body), markup), RenderOutcome::kRendered);
  // A script added after the load event was waited for.
  EXPECT_TRUE(Has(Hrefs(markup), o + "/after-script"));
  EXPECT_TRUE(Has(Hrefs(markup), x + "/elsewhere"));
  EXPECT_TRUE(other.targets().empty()) << ::testing::PrintToString(other.targets());
  std::vector<std::string> targets = site.targets();
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ(targets, (std::vector<std::string>{"/late.js", "/style.css"}));
}

TEST(PageRendererTest, ABusyPageIsCutAtTheTimeOutWithItsLinksAndAStopEndsARenderAtOnce) {
  SKIP_WITHOUT_CHROMIUM();
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  site.Set("/poll.json", Resource(200, "application/json", "[]"));
  std::atomic<bool> stop{false};
  RenderOptions options = OptionsFor(site);
  options.timeoutMs = 1500;
  options.stopped = [&stop] { return stop.load(); };
  PageRenderer renderer(options);
  const std::string poller = Page("", "<a href='/kept'>k</a><script>"
                                      "setInterval(() => fetch('/poll.json'), 100);</script>");
  PageMarkup markup;
  auto start = Clock::now();
  EXPECT_EQ(renderer.Render(o + "/busy", Headers(), poller, markup), RenderOutcome::kTimedOut);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GE(seconds, 1.5);
  EXPECT_LT(seconds, 4.0);  // the browser's start-up included
  EXPECT_EQ(Hrefs(markup), (std::vector<std::string>{o + "/kept"}));
  EXPECT_GE(site.count("/poll.json"), 5u);

  // The same tab serves the next page, and the poller left behind stops asking.
  ASSERT_EQ(renderer.Render(o + "/calm", Headers(), Page("", "<a href='/c'>c</a>"), markup), RenderOutcome::kRendered);
  EXPECT_EQ(Hrefs(markup), (std::vector<std::string>{o + "/c"}));
  const size_t polls = site.count("/poll.json");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(site.count("/poll.json"), polls);

  auto stopper = std::async(std::launch::async, [&stop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop = true;
  });
  start = Clock::now();
  EXPECT_EQ(renderer.Render(o + "/busy", Headers(), poller, markup), RenderOutcome::kNotRendered);
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_LT(seconds, 0.8);
  stopper.get();
  EXPECT_EQ(renderer.Render(o + "/calm", Headers(), Page("", "<a href='/c'>c</a>"), markup),
            RenderOutcome::kNotRendered);
}

TEST(PageRendererTest, ACrashedTabGivesTabCrashedAndTheNextRenderGetsAFreshOne) {
  SKIP_WITHOUT_CHROMIUM();
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  RenderOptions options = OptionsFor(site);
  // Running out of memory takes the tab 4 to 10 s alone and over 20 s beside other tests.
  options.timeoutMs = 90000;
  PageRenderer renderer(options);
  // Allocates until the renderer runs out of memory.
  const std::string hog = Page("", "<script>const keep = []; for (;;) keep.push(new Array(4e6).fill(1.5));</script>");
  PageMarkup markup;
  const auto start = Clock::now();
  EXPECT_EQ(renderer.Render(o + "/hog", Headers(), hog, markup), RenderOutcome::kTabCrashed);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 90.0);
  EXPECT_TRUE(markup.anchors.empty());
  ASSERT_EQ(renderer.Render(o + "/fine", Headers(), Page("", "<a href='/f'>f</a>"), markup), RenderOutcome::kRendered);
  EXPECT_EQ(Hrefs(markup), (std::vector<std::string>{o + "/f"}));
  EXPECT_FALSE(renderer.GivenUp());
}

TEST(PageRendererTest, ABrowserKilledOnceIsStartedAgainTwiceIsGivenUpAndNothingOfItRemains) {
  SKIP_WITHOUT_CHROMIUM();
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string o = site.origin();
  const std::string page = Page("", "<a href='/p'>p</a>");
  std::string profile;
  {
    PageRenderer renderer(OptionsFor(site));
    PageMarkup markup;
    ASSERT_EQ(renderer.Render(o + "/1", Headers(), page, markup), RenderOutcome::kRendered);
    const int first = renderer.BrowserProcessId();
    profile = renderer.ProfilePath();
    ASSERT_FALSE(profile.empty());
    EXPECT_TRUE(std::filesystem::is_directory(profile));
    EXPECT_FALSE(ProcessesNaming(profile).empty());

    KillFromOutside(first);
    ASSERT_EQ(renderer.Render(o + "/2", Headers(), page, markup), RenderOutcome::kRendered);
    EXPECT_EQ(Hrefs(markup), (std::vector<std::string>{o + "/p"}));
    EXPECT_FALSE(renderer.GivenUp());
    const int second = renderer.BrowserProcessId();
    EXPECT_NE(second, first);
    EXPECT_TRUE(ProcessesNaming(profile).empty());  // the first browser's helpers went with it
    EXPECT_FALSE(std::filesystem::exists(profile));
    profile = renderer.ProfilePath();

    KillFromOutside(second);
    const auto start = Clock::now();
    EXPECT_EQ(renderer.Render(o + "/3", Headers(), page, markup), RenderOutcome::kNotRendered);
    EXPECT_TRUE(renderer.GivenUp());
    EXPECT_EQ(renderer.Render(o + "/4", Headers(), page, markup), RenderOutcome::kNotRendered);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 1.5);
  }
  EXPECT_FALSE(std::filesystem::exists(profile));
  EXPECT_TRUE(ProcessesNaming(profile).empty());
}

TEST(PageRendererTest, TheRendererIsGoneWithItsBrowserAndAMissingBrowserIsNoticed) {
  std::string profile;
  if (PageRenderer::Available()) {
    StaticSite site;
    ASSERT_TRUE(site.Start());
    PageRenderer renderer(OptionsFor(site, 4));
    PageMarkup markup;
    ASSERT_EQ(renderer.Render(site.origin() + "/", Headers(), Page("", ""), markup), RenderOutcome::kRendered);
    profile = renderer.ProfilePath();
  }
  if (!profile.empty()) {
    EXPECT_FALSE(std::filesystem::exists(profile));
    EXPECT_TRUE(ProcessesNaming(profile).empty());
  }
  EXPECT_FALSE(PageRenderer::Available("/nonexistent/chromium"));
  EXPECT_FALSE(PageRenderer::Available(""));
  TempDir dir;
  const std::string plain = dir.str() + "/chromium";
  std::ofstream(plain) << "#!/bin/sh\n";
  EXPECT_FALSE(PageRenderer::Available(plain));  // not executable
  EXPECT_FALSE(PageRenderer::Available(dir.str()));
  RenderOptions options;
  options.executable = "/nonexistent/chromium";
  PageRenderer renderer(options);
  PageMarkup markup;
  EXPECT_EQ(renderer.Render("http://127.0.0.1:1/", Headers(), "", markup), RenderOutcome::kNotRendered);
  EXPECT_TRUE(renderer.GivenUp());
}
