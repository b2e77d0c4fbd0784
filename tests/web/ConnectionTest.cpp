#include <gtest/gtest.h>

#include <curl/curl.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>

#include "common/ResultCodes.h"
#include "output/FailureReport.h"
#include "support/HttpLibraryEnvironment.h"
#include "support/LoopbackServer.h"
#include "support/RawHttpSite.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"
#include "web/CHttpSession.h"
#include "web/ConnectionCheck.h"
#include "web/HeaderFields.h"
#include "web/RetryAfter.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kHttpEnvironment =
    ::testing::AddGlobalTestEnvironment(new HttpLibraryEnvironment);

using Fault = ConnectionProblem::Fault;

std::string WriteFile(const TempDir& dir, const std::string& name, const std::string& content) {
  const std::string path = (dir.path() / name).string();
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

TEST(ConnectionCheckTest, HeaderLinesMustBeOneNameValueLineAndLeaveTheClientsOwnFieldsAlone) {
  EXPECT_EQ(CheckHeaderLine("X-Staging-Token: t0k").fault, Fault::None);
  EXPECT_EQ(CheckHeaderLine("Authorization: Bearer abc").fault, Fault::None);
  EXPECT_EQ(CheckHeaderLine("Accept-Language:zh-CN").fault, Fault::None);
  for (const char* bad : {"no colon", ": no name", "Two Words: x", "X: a\r\nHost: evil", "X: a\nY: b", "X\x01: y"})
    EXPECT_EQ(CheckHeaderLine(bad).fault, Fault::HeaderForm) << bad;
  for (const char* reserved : {"Host: other.example", "content-length: 0", "User-Agent: x", "Transfer-Encoding: chunked"})
    EXPECT_EQ(CheckHeaderLine(reserved).fault, Fault::HeaderReserved) << reserved;
}

TEST(ConnectionCheckTest, AProxyNeedsOneOfFourSchemesAndAHost) {
  for (const char* good : {"", "http://proxy:3128", "https://proxy.example", "socks5://127.0.0.1:1080", "SOCKS5H://p:1"})
    EXPECT_EQ(CheckProxyAddress(good).fault, Fault::None) << good;
  for (const char* scheme : {"proxy:3128", "ftp://proxy", "socks4://proxy"})
    EXPECT_EQ(CheckProxyAddress(scheme).fault, Fault::ProxyScheme) << scheme;
  EXPECT_EQ(CheckProxyAddress("http://").fault, Fault::ProxyHost);
  EXPECT_EQ(ProxyHostOf("socks5h://corp-proxy:1080"), "corp-proxy");
}

TEST(ConnectionCheckTest, CookieAndCaFilesAreReadBeforeTheCrawlAndRefusedWhenMissingOrOfAnotherKind) {
  TempDir dir;
  const std::string curlWritten = WriteFile(dir, "curl.txt",
                                            "# Netscape HTTP Cookie File\n# https://curl.se/docs/http-cookies.html\n\n"
                                            "#HttpOnly_.example.com\tTRUE\t/\tTRUE\t0\tsid\tabc\r\n"
                                            "example.com\tFALSE\t/\tFALSE\t1900000000\tlang\tzh\n");
  EXPECT_EQ(CheckCookieFile(curlWritten).fault, Fault::None);
  EXPECT_EQ(CheckCookieFile(WriteFile(dir, "heading.txt", "# Netscape HTTP Cookie File\n")).fault, Fault::None);
  EXPECT_EQ(CheckCookieFile((dir.path() / "absent.txt").string()).fault, Fault::CookieFileMissing);
  EXPECT_EQ(CheckCookieFile(WriteFile(dir, "json.txt", "[{\"name\":\"sid\",\"value\":\"abc\"}]\n")).fault, Fault::NotCookieFile);
  EXPECT_EQ(CheckCookieFile(WriteFile(dir, "empty.txt", "")).fault, Fault::NotCookieFile);

  EXPECT_EQ(CheckCaFile((dir.path() / "absent.pem").string()).fault, Fault::CaFileMissing);
  EXPECT_EQ(CheckCaFile(curlWritten).fault, Fault::CaFileNotPem);
  ASSERT_TRUE(MakeSelfSignedCertificate(dir.str()));
  EXPECT_EQ(CheckCaFile((dir.path() / "cert.pem").string()).fault, Fault::None);

  http_options options;
  options.headers = {"X-A: 1", "Host: evil"};
  options.cookieFile = curlWritten;
  EXPECT_EQ(CheckConnection(options).fault, Fault::HeaderReserved);
  EXPECT_EQ(CheckConnection(http_options{}).fault, Fault::None);
}

TEST(RetryAfterTest, SecondsAndDatesAreReadAndAbsurdValuesCapped) {
  const std::time_t now = 1700000000;  // Tue, 14 Nov 2023 22:13:20 GMT
  EXPECT_EQ(RetryAfterWait("30", now), std::chrono::seconds(30));
  EXPECT_EQ(RetryAfterWait(" 0 ", now), std::chrono::seconds(0));
  EXPECT_EQ(RetryAfterWait("-5", now), std::chrono::seconds(0));
  EXPECT_EQ(RetryAfterWait("100000000", now), kMaxRetryAfter);
  EXPECT_EQ(RetryAfterWait("99999999999999999999999", now), kMaxRetryAfter);
  EXPECT_EQ(RetryAfterWait("Tue, 14 Nov 2023 22:14:05 GMT", now), std::chrono::seconds(45));
  EXPECT_EQ(RetryAfterWait("Tue, 14 Nov 2023 22:00:00 GMT", now), std::chrono::seconds(0));
  EXPECT_EQ(RetryAfterWait("Fri, 14 Nov 2053 22:13:20 GMT", now), kMaxRetryAfter);
  EXPECT_EQ(RetryAfterWait("", now), std::nullopt);
  EXPECT_EQ(RetryAfterWait("soon", now), std::nullopt);
}

// A forward proxy on loopback: it logs each request target as sent (an absolute address
// when the client goes through it) and answers every one itself.
class ProxyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    proxy_.RoutePrefix("http://", FixedAnswer(200, "text/html", "via proxy"));
    ASSERT_TRUE(proxy_.Start());
  }
  void TearDown() override { unsetenv("http_proxy"); }

  int32_t Fetch(const http_options& options, const char* address = kAddress) {
    // Nothing listens on port 1: only the proxy can answer.
    CHttpSession session(address);
    session.options() = options;
    return session.Fetch(headers_, body_);
  }

  static constexpr const char* kAddress = "http://127.0.0.1:1/page.html";
  RawHttpSite proxy_;
  std::string headers_, body_;
};

TEST_F(ProxyTest, TheProxyGivenOrTheEnvironmentsCarriesTheRequestButNotToThisMachineAndNoProxyIgnoresTheEnvironment) {
  http_options given;
  given.proxy = proxy_.origin();
  ASSERT_EQ(Fetch(given), rc::kOk);
  EXPECT_EQ(body_, "\r\n\r\nvia proxy");
  EXPECT_EQ(proxy_.targets(), (std::vector<std::string>{kAddress}));

  // The environment's proxy carries a site elsewhere (the name is never looked up: the proxy
  // gets it), and leaves one on this machine to a direct connection.
  setenv("http_proxy", proxy_.origin().c_str(), 1);
  constexpr const char* kElsewhere = "http://staging.invalid/page.html";
  EXPECT_EQ(Fetch(http_options{}, kElsewhere), rc::kOk);
  EXPECT_EQ(proxy_.count(kElsewhere), 1u);
  EXPECT_EQ(Fetch(http_options{}), CURLE_COULDNT_CONNECT);
  EXPECT_EQ(proxy_.count(kAddress), 1u);
  http_options direct;
  direct.ignoreProxyEnvironment = true;
  EXPECT_EQ(Fetch(direct), CURLE_COULDNT_CONNECT);
  EXPECT_EQ(proxy_.count(kAddress), 1u);
}

// The site's own self-signed certificate, as a test server has it.
class OwnCertificateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_SSL)) GTEST_SKIP() << "no TLS in libcurl";
    site_ = std::make_unique<StaticSite>(dir_.str());
    ASSERT_TRUE(site_->Start()) << "no certificate (openssl) or no port for the HTTPS site";
    site_->Set("/", Resource(200, "text/html", "<p>staging</p>"));
  }
  int32_t FetchWith(const http_options& options) {
    CHttpSession session(site_->origin() + "/");
    session.options() = options;
    return session.Fetch(headers_, body_);
  }
  TempDir dir_;
  std::unique_ptr<StaticSite> site_;
  std::string headers_, body_;
};

TEST_F(OwnCertificateTest, FailsWithTheSystemsCertificatesThenWorksWithItsCaFileOrWithoutVerification) {
  const int32_t refused = FetchWith(http_options{});
  EXPECT_EQ(refused, CURLE_PEER_FAILED_VERIFICATION);
  // The failure names both ways out.
  const std::string description = FailureDescription("curl " + std::to_string(refused));
  EXPECT_NE(description.find("--cacert"), std::string::npos) << description;
  EXPECT_NE(description.find("--insecure"), std::string::npos) << description;

  http_options trusted;
  trusted.caFile = (dir_.path() / "cert.pem").string();
  ASSERT_EQ(FetchWith(trusted), rc::kOk);
  EXPECT_EQ(ExtractHeaderField(headers_, kFieldStatus), "200");

  http_options insecure;
  insecure.verifyTls = false;
  EXPECT_EQ(FetchWith(insecure), rc::kOk);
}

// Credentials go with the request to the site, and libcurl (7.88) does not carry them on when
// one of its redirects leads to another host, even one that asks for them.
TEST(CredentialsTest, SentToTheSiteAskingForThemButNotOnARedirectToAnotherHost) {
  std::mutex lock;
  std::vector<std::string> atSite, atOther;
  auto challengeOr = [&lock](std::vector<std::string>& log, std::function<void(httplib::Response&)> then) {
    return [&lock, &log, then](const httplib::Request& req, httplib::Response& res) {
      const std::string authorization = req.get_header_value("Authorization");
      {
        std::lock_guard<std::mutex> hold(lock);
        log.push_back(authorization);
      }
      if (authorization.empty()) {
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"r\"");
        return;
      }
      then(res);
    };
  };
  LoopbackServer other;
  other.server().Get("/", challengeOr(atOther, [](httplib::Response& res) { res.set_content("other", "text/plain"); }));
  ASSERT_TRUE(other.Start());
  LoopbackServer site;
  const std::string elsewhere = "http://localhost:" + std::to_string(other.port()) + "/";
  site.server().Get("/", challengeOr(atSite, [&](httplib::Response& res) {
    res.status = 302;
    res.set_header("Location", elsewhere);
  }));
  ASSERT_TRUE(site.Start());

  CHttpSession session(site.origin() + "/");
  session.options().user = "alice";
  session.options().password = "s3cret";
  std::string headers, body;
  ASSERT_EQ(session.Fetch(headers, body), rc::kOk);
  std::lock_guard<std::mutex> hold(lock);
  EXPECT_EQ(atSite, (std::vector<std::string>{"", "Basic YWxpY2U6czNjcmV0"}));
  ASSERT_FALSE(atOther.empty());
  for (const std::string& authorization : atOther) EXPECT_EQ(authorization, "");
}

}  // namespace
