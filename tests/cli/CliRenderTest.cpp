#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "support/SiteFiles.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"
#include "web/PageRenderer.h"

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
  if (!PageRenderer::Unavailable().empty()) GTEST_SKIP() << PageRenderer::Unavailable();
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
  run = RunCommand({"-q", "--plain", "--no-journal", "--render", "--user-agent", "VeltroTest/1", origin},
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
  EXPECT_TRUE(other.targets().empty());
  const std::vector<std::string> targets = site.targets();
  const std::vector<std::string> agents = site.userAgents();
  for (size_t i = 0; i < targets.size(); ++i)
    if (targets[i] == "/links.json") EXPECT_EQ(agents[i], "VeltroTest/1");
}

}  // namespace
