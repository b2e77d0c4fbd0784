#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include "support/HttpLibraryEnvironment.h"
#include "support/LoopbackServer.h"
#include "texts/PushText.h"
#include "web/BaiduPush.h"
#include "web/IndexNowPush.h"
#include "web/JsonText.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kHttpEnvironment =
    ::testing::AddGlobalTestEnvironment(new HttpLibraryEnvironment);

struct Received {
  std::string method;
  std::string path;
  std::string site;
  std::string token;
  std::string contentType;
  std::string body;
};

// A stand-in for a push endpoint: records every request and answers with what the test set.
class PushEndpoint {
 public:
  using Answer = std::function<void(const Received&, size_t index, httplib::Response&)>;

  explicit PushEndpoint(Answer answer) : answer_(std::move(answer)) {
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
      Received r{req.method, req.path, req.get_param_value("site"), req.get_param_value("token"),
                 req.get_header_value("Content-Type"), req.body};
      size_t index;
      {
        std::lock_guard<std::mutex> guard(lock_);
        index = received_.size();
        received_.push_back(r);
      }
      answer_(r, index, res);
    };
    server_.server().Post("/urls", handler);
    server_.server().Post("/indexnow", handler);
    server_.server().Get("/moved", handler);
    EXPECT_TRUE(server_.Start());
  }

  std::vector<Received> received() const {
    std::lock_guard<std::mutex> guard(lock_);
    return received_;
  }
  std::string origin() const { return server_.origin(); }
  LoopbackServer& server() { return server_; }

 private:
  Answer answer_;
  mutable std::mutex lock_;
  std::vector<Received> received_;
  // Last, so that it goes first: its threads end before what their handler writes to.
  LoopbackServer server_;
};

std::vector<std::string> Lines(const std::string& body) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < body.size()) {
    const size_t end = body.find('\n', start);
    lines.push_back(body.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> Pages(size_t n) {
  std::vector<std::string> pages;
  for (size_t i = 0; i < n; ++i) pages.push_back("http://127.0.0.1/p" + std::to_string(i) + ".html");
  return pages;
}

BaiduPushSetup BaiduAt(const PushEndpoint& endpoint) {
  BaiduPushSetup setup;
  setup.endpoint = endpoint.origin() + "/urls";
  setup.site = "http://127.0.0.1";
  setup.token = "s3cr3t&tok";
  setup.crawlHost = "127.0.0.1";
  setup.http.totalTimeout = 5;
  return setup;
}

void Json(httplib::Response& res, int status, const std::string& body) {
  res.status = status;
  res.set_content(body, "application/json");
}

TEST(BaiduPushTest, PostsPlainTextBatchesOf2000WithSiteAndTokenAndSumsTheAnswers) {
  PushEndpoint endpoint([](const Received& r, size_t, httplib::Response& res) {
    Json(res, 200, "{\"remain\":99000,\"success\":" + std::to_string(Lines(r.body).size()) +
                       ",\"not_same_site\":[],\"not_valid\":[\"http://127.0.0.1/p7.html\"]}");
  });
  std::vector<std::string> pages = Pages(4500);
  pages[0] = "http://127.0.0.1/新闻 1.html";
  const BaiduPushReport report = PushToBaidu(BaiduAt(endpoint), pages);

  ASSERT_TRUE(report.ok()) << BaiduReportText(report);
  const std::vector<Received> got = endpoint.received();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(Lines(got[0].body).size(), 2000u);
  EXPECT_EQ(Lines(got[1].body).size(), 2000u);
  EXPECT_EQ(Lines(got[2].body).size(), 500u);
  for (const Received& r : got) {
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.contentType, "text/plain");
    EXPECT_EQ(r.site, "http://127.0.0.1");
    EXPECT_EQ(r.token, "s3cr3t&tok");  // escaped in the query, whole at the other end
  }
  EXPECT_EQ(Lines(got[0].body)[0], "http://127.0.0.1/%E6%96%B0%E9%97%BB%201.html");
  EXPECT_EQ(Lines(got[2].body).back(), "http://127.0.0.1/p4499.html");
  EXPECT_EQ(report.accepted, 4500);
  EXPECT_EQ(report.remain, 99000);
  EXPECT_EQ(report.unsent, 0u);
  EXPECT_EQ(report.notValid.size(), 3u);
  const std::string text = BaiduReportText(report);
  EXPECT_NE(text.find("接受 4500 条"), std::string::npos) << text;
  EXPECT_NE(text.find("剩余配额 99000"), std::string::npos) << text;
  EXPECT_NE(text.find("not_valid"), std::string::npos) << text;
  EXPECT_EQ(text.find("s3cr3t"), std::string::npos);
}

TEST(BaiduPushTest, SendsNoMoreThanTheQuotaLeftAndStopsWhenItReachesZero) {
  PushEndpoint endpoint([](const Received& r, size_t index, httplib::Response& res) {
    const size_t n = Lines(r.body).size();
    Json(res, 200, "{\"remain\":" + std::to_string(index == 0 ? 700 : 0) + ",\"success\":" + std::to_string(n) + "}");
  });
  const BaiduPushReport report = PushToBaidu(BaiduAt(endpoint), Pages(5000));
  const std::vector<Received> got = endpoint.received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(Lines(got[1].body).size(), 700u);
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.accepted, 2700);
  EXPECT_EQ(report.remain, 0);
  EXPECT_EQ(report.unsent, 2300u);
  EXPECT_NE(BaiduReportText(report).find("今天的配额已用完"), std::string::npos);
}

TEST(BaiduPushTest, NoQuotaAtTheFirstRequestIsAProblem) {
  PushEndpoint endpoint([](const Received&, size_t, httplib::Response& res) {
    Json(res, 200, "{\"remain\":0,\"success\":0}");
  });
  const BaiduPushReport report = PushToBaidu(BaiduAt(endpoint), Pages(10));
  EXPECT_EQ(report.problem, PushProblem::QuotaUsedUp);
  EXPECT_EQ(endpoint.received().size(), 1u);
  EXPECT_EQ(report.accepted, 0);
  EXPECT_NE(BaiduReportText(report).find("今天的推送配额已用完"), std::string::npos) << BaiduReportText(report);
}

TEST(BaiduPushTest, ARefusalKeepsBaidusOwnMessageBesideOurs) {
  PushEndpoint endpoint([](const Received&, size_t, httplib::Response& res) {
    Json(res, 401, "{\"error\":401,\"message\":\"token is not valid\"}");
  });
  const BaiduPushReport report = PushToBaidu(BaiduAt(endpoint), Pages(4100));
  EXPECT_EQ(report.problem, PushProblem::Refused);
  EXPECT_EQ(report.errorCode, 401);
  EXPECT_EQ(report.serverMessage, "token is not valid");
  EXPECT_EQ(endpoint.received().size(), 1u);  // no second batch after a refusal
  EXPECT_EQ(report.unsent, 4100u);
  const std::string text = BaiduReportText(report);
  EXPECT_NE(text.find("token is not valid"), std::string::npos) << text;
  EXPECT_NE(text.find("准入密钥（token）无效"), std::string::npos) << text;
}

TEST(BaiduPushTest, AnswersThatAreNotBaidusAreNamedAndRedirectsNotFollowed) {
  PushEndpoint endpoint([](const Received& r, size_t, httplib::Response& res) {
    const std::string kind = Lines(r.body).front();
    if (kind.ends_with("html")) res.set_content("<html><body>hello</body></html>", "text/html");
    if (kind.ends_with("other")) Json(res, 200, "{\"ok\":true}");
    if (kind.ends_with("array")) Json(res, 200, "[1,2]");
    if (kind.ends_with("moved")) res.set_redirect("/moved", 302);
    if (kind.ends_with("teapot")) res.status = 503;
  });
  const auto problemFor = [&](const std::string& kind) {
    return PushToBaidu(BaiduAt(endpoint), {"http://127.0.0.1/" + kind}).problem;
  };
  EXPECT_EQ(problemFor("html"), PushProblem::NotJson);
  EXPECT_EQ(problemFor("other"), PushProblem::NotEngineAnswer);
  EXPECT_EQ(problemFor("array"), PushProblem::NotEngineAnswer);
  EXPECT_EQ(problemFor("moved"), PushProblem::Redirect);
  EXPECT_EQ(problemFor("teapot"), PushProblem::HttpStatus);
  for (const Received& r : endpoint.received()) EXPECT_NE(r.path, "/moved");
}

TEST(BaiduPushTest, ASiteOfAnotherHostOrAnEndpointThatIsDownSendsNothing) {
  PushEndpoint endpoint([](const Received&, size_t, httplib::Response& res) { Json(res, 200, "{}"); });
  BaiduPushSetup other = BaiduAt(endpoint);
  other.site = "https://www.example.com";
  EXPECT_EQ(PushToBaidu(other, Pages(3)).problem, PushProblem::OtherHost);
  other.site = "127.0.0.1";  // a bare host is the site too
  other.endpoint = "http://127.0.0.1:1/urls";
  const BaiduPushReport down = PushToBaidu(other, Pages(3));
  EXPECT_EQ(down.problem, PushProblem::Unreachable);
  EXPECT_NE(BaiduReportText(down).find("curl 7"), std::string::npos) << BaiduReportText(down);
  EXPECT_TRUE(endpoint.received().empty());
}

TEST(BaiduPushTest, ASlowEndpointEndsAtTheCrawlsTimeLimitWithTheTransfersCode) {
  PushEndpoint endpoint([](const Received&, size_t, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    Json(res, 200, "{\"remain\":1,\"success\":1}");
  });
  BaiduPushSetup setup = BaiduAt(endpoint);
  setup.http.totalTimeout = 1;
  const BaiduPushReport report = PushToBaidu(setup, Pages(1));
  EXPECT_EQ(report.problem, PushProblem::Unreachable);
  EXPECT_EQ(report.transferCode, 28);
  EXPECT_NE(BaiduReportText(report).find("curl 28"), std::string::npos) << BaiduReportText(report);
}

// The site, its key file and the IndexNow endpoint on one loopback server.
class IndexNowTest : public ::testing::Test {
 protected:
  IndexNowTest()
      : endpoint_([this](const Received&, size_t, httplib::Response& res) {
          res.status = status_;
          res.set_content("", "text/plain");
        }) {
    endpoint_.server().server().Get("/" + std::string(kKey) + ".txt", [this](const httplib::Request&, httplib::Response& res) {
      if (keyFile_.empty()) {
        res.status = 404;
        return;
      }
      res.set_content(keyFile_, "text/plain");
    });
  }

  IndexNowSetup Setup() const {
    IndexNowSetup setup;
    setup.endpoint = endpoint_.origin() + "/indexnow";
    setup.key = kKey;
    setup.site = OriginOf(endpoint_.origin());
    setup.http.totalTimeout = 5;
    return setup;
  }

  static constexpr const char* kKey = "a1b2c3d4-e5f6";
  int status_ = 200;
  std::string keyFile_ = std::string(kKey) + "\r\n";
  PushEndpoint endpoint_;
};

TEST_F(IndexNowTest, PostsJsonBatchesOf10000AfterTheKeyFileHoldsTheKey) {
  status_ = 202;
  std::vector<std::string> pages = Pages(10001);
  pages[1] = "http://127.0.0.1/a\"b\\c.html";
  const IndexNowReport report = PushToIndexNow(Setup(), pages);
  ASSERT_TRUE(report.ok()) << IndexNowReportText(report, kKey);
  const std::vector<Received> got = endpoint_.received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].method, "POST");
  EXPECT_EQ(got[0].contentType, "application/json; charset=utf-8");
  const std::optional<JsonValue> first = ParseJson(got[0].body);
  ASSERT_TRUE(first) << got[0].body.substr(0, 200);
  EXPECT_EQ(first->Member("host")->text, "127.0.0.1");
  EXPECT_EQ(first->Member("key")->text, kKey);
  EXPECT_EQ(first->Member("keyLocation"), nullptr);
  ASSERT_EQ(first->Member("urlList")->items.size(), 10000u);
  EXPECT_EQ(first->Member("urlList")->items[1].text, "http://127.0.0.1/a\"b\\c.html");
  EXPECT_EQ(ParseJson(got[1].body)->Member("urlList")->items.size(), 1u);
  EXPECT_EQ(report.sent, 10001u);
}

TEST_F(IndexNowTest, EachRefusingStatusHasItsOwnMessageAndStopsThePush) {
  std::set<std::string> texts;
  for (int status : {400, 403, 422, 429}) {
    status_ = status;
    const IndexNowReport report = PushToIndexNow(Setup(), Pages(3));
    EXPECT_EQ(report.problem, PushProblem::HttpStatus);
    EXPECT_EQ(report.httpStatus, std::to_string(status));
    EXPECT_EQ(report.unsent, 3u);
    texts.insert(IndexNowReportText(report, kKey));
  }
  EXPECT_EQ(texts.size(), 4u);
  EXPECT_NE(IndexNowStatusText("429").find("请求过多"), std::string::npos);
}

TEST_F(IndexNowTest, AMissingOrWrongKeyFileSaysWhichFileToPutWhereAndPushesNothing) {
  keyFile_.clear();
  IndexNowReport missing = PushToIndexNow(Setup(), Pages(3));
  EXPECT_EQ(missing.problem, PushProblem::KeyFileMissing);
  const std::string where = endpoint_.origin() + "/" + kKey + ".txt";
  EXPECT_EQ(missing.keyFileAddress, where);
  EXPECT_NE(IndexNowReportText(missing, kKey).find(where), std::string::npos);
  EXPECT_NE(IndexNowReportText(missing, kKey).find("HTTP 404"), std::string::npos);

  keyFile_ = "another-key-entirely";
  IndexNowReport wrong = PushToIndexNow(Setup(), Pages(3));
  EXPECT_EQ(wrong.problem, PushProblem::KeyFileWrong);
  EXPECT_NE(IndexNowReportText(wrong, kKey).find(std::string("内容只有一行 ") + kKey), std::string::npos);
  EXPECT_TRUE(endpoint_.received().empty());
}

TEST_F(IndexNowTest, AKeyOfBadCharactersIsRefusedBeforeAnyRequest) {
  for (const char* key : {"short", "has space in it", "semi;colon-key", "中文密钥中文密钥"}) {
    IndexNowSetup setup = Setup();
    setup.key = key;
    EXPECT_EQ(PushToIndexNow(setup, Pages(1)).problem, PushProblem::BadKey) << key;
  }
  EXPECT_TRUE(IsValidIndexNowKey(std::string(128, 'a')));
  EXPECT_FALSE(IsValidIndexNowKey(std::string(129, 'a')));
  EXPECT_TRUE(endpoint_.server().requestLog().empty());
}

TEST_F(IndexNowTest, AKeyFileBelowAFolderIsNamedAsKeyLocation) {
  endpoint_.server().server().Get("/sub/" + std::string(kKey) + ".txt", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(kKey, "text/plain");
  });
  IndexNowSetup setup = Setup();
  setup.keyFolder = "/sub";
  ASSERT_TRUE(PushToIndexNow(setup, Pages(1)).ok());
  const std::optional<JsonValue> body = ParseJson(endpoint_.received().at(0).body);
  ASSERT_TRUE(body && body->Member("keyLocation"));
  EXPECT_EQ(body->Member("keyLocation")->text, endpoint_.origin() + "/sub/" + kKey + ".txt");
}

TEST(JsonTextTest, ReadsEscapesAndRefusesWhatIsNotOneValue) {
  const std::optional<JsonValue> value = ParseJson(R"( {"a":"\u00e9\ud83d\ude00\n","n":-12,"x":[true,null,1.5e3]} )");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->Member("a")->text, "\xC3\xA9\xF0\x9F\x98\x80\n");
  EXPECT_EQ(value->Member("n")->WholeNumber(), -12);
  EXPECT_EQ(value->Member("x")->items.size(), 3u);
  EXPECT_FALSE(value->Member("x")->items[2].WholeNumber());
  for (const char* bad : {"", "{", "{\"a\":1} x", "{\"a\":01x}", "\"\\ud800\"", "[1,]", "{'a':1}", "nul", "\"a\nb\""})
    EXPECT_FALSE(ParseJson(bad)) << bad;
  EXPECT_FALSE(ParseJson(std::string(100000, '[') + std::string(100000, ']')));  // no stack overflow
  std::string written;
  AppendJsonString(written, std::string("q\"\\\x01\x7F", 5));
  EXPECT_EQ(ParseJson(written)->text, std::string("q\"\\\x01\x7F", 5));
}

}  // namespace
