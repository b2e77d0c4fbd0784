#pragma once
// A small site with Chinese folder and file names, for the tests of addresses as people write
// and read them.
#include <string>
#include <vector>

#include "support/LoopbackServer.h"

namespace chinese {

// 新闻 (news) and 产品 (products), percent-encoded as UTF-8.
inline const std::string kNews = "/%E6%96%B0%E9%97%BB/";
inline const std::string kFirst = kNews + "%E7%AC%AC%E4%B8%80%E7%AF%87.html";  // 第一篇.html
inline const std::string kProduct = "/%E4%BA%A7%E5%93%81/a.html";

inline std::string Page(const std::vector<std::string>& links) {
  std::string html = "<html><head><meta charset=\"utf-8\"><title>t</title></head><body>";
  for (const std::string& link : links) html += "<a href=\"" + link + "\">x</a>";
  return html + "</body></html>";
}

// A site whose folders and files have Chinese names, linked both written directly and
// percent-encoded, so that each page is linked twice in two spellings.
class ChineseSite {
 public:
  explicit ChineseSite(const std::string& address = "127.0.0.1") {
    Serve("/", Page({"/新闻/第一篇.html", kFirst, "/产品/a.html", kProduct}));
    Serve("/新闻/第一篇.html", Page({"../产品/a.html", "/"}));
    Serve("/产品/a.html", Page({"/%E6%96%B0%E9%97%BB/第一篇.html"}));
    started_ = server_.Start(address);
  }
  bool started() const { return started_; }
  LoopbackServer& server() { return server_; }

 private:
  // cpp-httplib routes on the decoded path.
  void Serve(const std::string& path, const std::string& body) {
    server_.server().Get(path, [body](const httplib::Request&, httplib::Response& res) {
      res.set_content(body, "text/html; charset=utf-8");
    });
  }
  LoopbackServer server_;
  bool started_ = false;
};

}  // namespace chinese
