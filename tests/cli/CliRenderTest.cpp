#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "support/SiteFiles.h"
#include "support/SitemapXml.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"
#include "render/PageRenderer.h"

namespace {

// The shell every page of the little application shares: one static link, the rest written
// by its script: after a JSON fetch, after half a second, and by a client-side router that
// moves with history.pushState. It also asks another site for a stylesheet and an image,
// and its own site for an image: none of these may be requested.
Resource AppShell(const std::string& otherSite) {
  const std::string html = R"(<!DOCTYPE html><html><head>
<link rel="stylesheet" href=")" + otherSite + R"(/theme.css">
</head><body>
<a href="/static.html">static</a>
<nav id="nav"></nav><ul id="list"></ul>
<img src="/logo.png"><img src=")" + otherSite + R"(/pixel.png">
<script>
fetch('/links.json').then(r => r.json()).then(items => {
  for (const item of items) {
    const li = document.createElement('li');
    li.innerHTML = '<a href="' + item + '">' + item + '</a>';
    document.getElementById('list').appendChild(li);
  }
});
setTimeout(() => {
  const a = document.createElement('a');
  a.href = 'late.html';
  document.body.appendChild(a);
  const i = document.createElement('img');
  i.src = '/drawn.png';
  document.body.appendChild(i);
}, 500);
for (const route of ['/app/a', '/app/b']) {
  const a = document.createElement('a');
  a.href = route;
  a.onclick = e => { e.preventDefault(); history.pushState({}, '', route); };
  document.getElementById('nav').appendChild(a);
}
history.pushState({}, '', location.pathname);
</script></body></html>)";
  return Resource{200, "text/html", html};
}

std::set<std::string> FetchedPaths(const std::string& urlList, const std::string& origin) {
  std::set<std::string> paths;
  std::istringstream lines(urlList);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(origin, 0) == 0) paths.insert(line.substr(origin.size()));
  }
  return paths;
}

TEST(CliRenderTest, RenderFollowsTheLinksScriptsWriteAndTheBrowserAsksOnlyTheSiteForScriptData) {
  if (!PageRenderer::Available()) GTEST_SKIP() << "Chromium is not installed (scripts/setup.sh)";
  StaticSite other;
  ASSERT_TRUE(other.Start());
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string origin = site.origin();
  for (const char* page : {"/", "/app/a", "/app/b"}) site.Set(page, AppShell(other.origin()));
  site.Set("/static.html", Resource{200, "text/html", "<p>static</p>"});
  site.Set("/late.html", Resource{200, "text/html", "<p>late</p>"});
  site.Set("/from-json.html", Resource{200, "text/html", "<p>json</p>"});
  site.Set("/links.json", Resource{200, "application/json", R"(["/from-json.html"])"});
  site.Set("/logo.png", Resource{200, "image/png", "png"});
  const std::string prefix = SiteFiles(origin);

  TempDir plain;
  ChildResult run = RunCommand({"-q", "--plain", "--no-journal", origin}, plain.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(FetchedPaths(ReadFileBytes(plain.path() / (prefix + "_urls.txt")), origin),
            (std::set<std::string>{"/", "/static.html"}));
  EXPECT_EQ(site.count("/links.json"), 0u);  // no browser without the option

  const size_t rootBefore = site.count("/");
  TempDir rendered;
  run = RunCommand({"-q", "--plain", "--no-journal", "--render", "--images", "--user-agent", "VeltroTest/1", origin},
                   rendered.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(FetchedPaths(ReadFileBytes(rendered.path() / (prefix + "_urls.txt")), origin),
            (std::set<std::string>{"/", "/static.html", "/from-json.html", "/late.html", "/app/a", "/app/b"}));
  // The server log: each page once (the browser's copy comes from our own fetch), the JSON
  // asked by each rendered shell with the crawl's user agent, no image, nothing elsewhere.
  EXPECT_EQ(site.count("/") - rootBefore, 1u);
  EXPECT_EQ(site.count("/app/a"), 1u);
  EXPECT_EQ(site.count("/links.json"), 3u);
  EXPECT_EQ(site.count("/logo.png"), 0u);
  EXPECT_EQ(site.count("/drawn.png"), 0u);
  EXPECT_TRUE(other.targets().empty());
  // The served page's images, then the one its script drew, listed though never fetched.
  const ParsedSitemap sitemap = ParseSitemapXml(ReadFileBytes(rendered.path() / (prefix + "_sitemap0.xml")));
  ASSERT_TRUE(sitemap.ok) << sitemap.problem;
  ASSERT_FALSE(sitemap.urls.empty());
  EXPECT_EQ(sitemap.urls[0].loc, origin + "/");
  EXPECT_EQ(sitemap.urls[0].images,
            (std::vector<std::string>{origin + "/logo.png", other.origin() + "/pixel.png", origin + "/drawn.png"}));
  const std::vector<std::string> targets = site.targets();
  const std::vector<std::string> agents = site.userAgents();
  for (size_t i = 0; i < targets.size(); ++i)
    if (targets[i] == "/links.json") EXPECT_EQ(agents[i], "VeltroTest/1");
}

TEST(CliRenderTest, ACrawlInterruptedWhilePagesRenderGoesOnWithResumeToEveryScriptWrittenPage) {
  if (!PageRenderer::Available()) GTEST_SKIP() << "Chromium is not installed (scripts/setup.sh)";
  // A tree of 40 pages whose links only their scripts write, each script's data a little slow,
  // so the interrupt comes while pages are being rendered.
  StaticSite site;
  ASSERT_TRUE(site.Start());
  const std::string origin = site.origin();
  const std::string shell =
      "<html><body><div id=\"l\"></div><script>"
      "const n = location.pathname === '/' ? 0 : parseInt(location.pathname.slice(3), 10);"
      "fetch('/d/' + n + '.json').then(r => r.json()).then(a => { for (const h of a) {"
      "  const e = document.createElement('a'); e.href = h; document.getElementById('l').appendChild(e); } });"
      "</script></body></html>";
  std::set<std::string> all{"/"};
  for (int n = 0; n < 40; ++n) {
    std::string links = "[";
    for (int c = 3 * n + 1; c <= 3 * n + 3 && c < 40; ++c) {
      links += std::string(links.size() > 1 ? "," : "") + "\"/p/" + std::to_string(c) + "\"";
      all.insert("/p/" + std::to_string(c));
    }
    Resource data{200, "application/json", links + "]"};
    data.delay = std::chrono::milliseconds(150);
    site.Set("/d/" + std::to_string(n) + ".json", data);
    if (n > 0) site.Set("/p/" + std::to_string(n), Resource{200, "text/html", shell});
  }
  site.Set("/", Resource{200, "text/html", shell});
  TempDir work;
  const std::vector<std::string> args{"-q", "--plain", "--render", "-t", "4", origin};
  {
    ChildProcess child(CommandPath(), args, work.path());
    ASSERT_TRUE(child.started());
    for (int i = 0; i < 3000 && site.count("/d/6.json") == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    child.Signal(SIGINT);
    const ChildResult interrupted = child.Wait(std::chrono::seconds(60));
    ASSERT_EQ(interrupted.exitStatus, 130) << interrupted.err;
  }
  const std::string prefix = SiteFiles(origin);
  EXPECT_LT(FetchedPaths(ReadFileBytes(work.path() / (prefix + "_urls.txt")), origin).size(), all.size());
  std::vector<std::string> resume = args;
  resume.insert(resume.begin(), "--resume");
  const ChildResult resumed = RunCommand(resume, work.path());
  ASSERT_EQ(resumed.exitStatus, 0) << resumed.err;
  EXPECT_EQ(FetchedPaths(ReadFileBytes(work.path() / (prefix + "_urls.txt")), origin), all);
}

}  // namespace
