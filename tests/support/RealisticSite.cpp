#include "support/RealisticSite.h"

#include <vector>

#include "common/TextCodec.h"
#include "support/GbkText.h"

namespace {

std::string Html(const std::vector<std::string>& links, const std::string& head = "") {
  std::string html = "<!DOCTYPE html>\n<html><head><title>page</title>" + head + "</head><body><ul>\n";
  for (const std::string& link : links) html += "<li><a href=\"" + link + "\">link</a></li>\n";
  return html + "</ul></body></html>\n";
}

Resource Page(const std::vector<std::string>& links, const std::string& head = "") {
  Resource r;
  r.body = Html(links, head);
  return r;
}

}  // namespace

std::set<std::string> RealisticSiteResult::successes() const {
  std::set<std::string> all = pages;
  all.insert(otherSuccesses.begin(), otherSuccesses.end());
  return all;
}

RealisticSiteResult FillRealisticSite(StaticSite& site) {
  const std::string port = std::to_string(site.port());
  const std::string origin = site.origin();
  const Resource home = Page({"docs/index.html", "./docs/intro.html", "docs/intro.html#usage", "/docs/../about.html",
                              "?q=1#x", "#top", origin + "/abs.html", "http://127.0.0.1/noport.html",
                              "//127.0.0.1:" + port + "/proto.html", "//other.example/x.html",
                              "tel:+861012345678", "data:text/plain,hello", "ftp://127.0.0.1/file.txt",
                              "mailto:someone@example.com", "javascript:void(0)", "Upper.html", "upper.html",
                              "  padded.html  ", "utf8.html", "gbk/page.html", "base/page.html", "style.css",
                              "moved-inside", "moved-away"});
  site.Set("/", home);
  site.Set("/docs/index.html", Page({"a.html", "./a.html", "../c.html", "sub/../../c.html", "intro.html#x", "#x",
                                     "sub/deep.html", "../"}));
  site.Set("/docs/intro.html", Page({"index.html", "../", "a.html#frag", "../docs/./a.html"}));
  site.Set("/docs/a.html", Page({"../docs/a.html", "sub/deep.html"}));
  site.Set("/docs/sub/deep.html", Page({"../../c.html", "../intro.html", "../../docs/sub/../index.html"}));
  for (const char* leaf : {"/c.html", "/about.html", "/abs.html", "/proto.html", "/Upper.html", "/upper.html",
                           "/padded.html", "/docs/base-target.html", "/docs/target.html"})
    site.Set(leaf, Page({"/"}));
  site.Set("/base/page.html", Page({"a.html", "base-target.html"}, "<base href=\"/docs/\">"));

  Resource utf8 = Page({"/\xc3\xa9-\xd0\x96-\xf0\x9f\x98\x80.html", "\xc3\xbc.html"});
  utf8.contentType = "text/html; charset=utf-8";
  site.Set("/utf8.html", utf8);
  site.Set("/\xc3\xa9-\xd0\x96-\xf0\x9f\x98\x80.html", Page({"/"}));
  site.Set("/\xc3\xbc.html", Page({"/"}));

  Resource gbk;
  gbk.body = GbkOf(Html({"中文.html"}, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"));
  site.Set("/gbk/page.html", gbk);
  site.Set("/gbk/\xe4\xb8\xad\xe6\x96\x87.html", Page({"../"}));

  Resource css;
  css.contentType = "text/css";
  css.body = "a { color: red } /* <a href=\"/from-css.html\">x</a> */";
  site.Set("/style.css", css);

  Resource inside;
  inside.status = 302;
  inside.location = "/docs/target.html";
  site.Set("/moved-inside", inside);
  Resource away;
  away.status = 302;
  away.location = "http://elsewhere.example/landing.html";
  site.Set("/moved-away", away);

  RealisticSiteResult result;
  result.pages = {"/", "/?q=1", "/docs/index.html", "/docs/intro.html", "/about.html", "/abs.html", "/proto.html",
                  "/Upper.html", "/upper.html", "/padded.html", "/utf8.html", "/%C3%A9-%D0%96-%F0%9F%98%80.html",
                  "/%C3%BC.html", "/gbk/page.html", "/gbk/%E4%B8%AD%E6%96%87.html", "/base/page.html",
                  "/docs/a.html", "/docs/base-target.html", "/docs/sub/deep.html", "/c.html", "/docs/target.html"};
  result.otherSuccesses = {"/style.css"};
  result.failures = {{"/moved-inside", "302"}, {"/moved-away", "302"}};
  return result;
}
