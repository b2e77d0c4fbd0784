#include <gtest/gtest.h>

#include <curl/curl.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"
#include "support/HttpLibraryEnvironment.h"
#include "support/LoopbackServer.h"
#include "support/RawHttpSite.h"
#include "support/StaticSite.h"
#include "support/TempDir.h"
#include "web/CHttpSession.h"
#include "web/CurlEasyHandle.h"
#include "web/HeaderFields.h"
#include "web/LinkExtractor.h"
#include "web/RecvBuffer.h"
#include "web/TransferFailure.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kHttpEnvironment =
    ::testing::AddGlobalTestEnvironment(new HttpLibraryEnvironment);

struct FetchResult {
  int32_t code = 0;
  std::string headers;
  std::string body;
};

FetchResult Fetch(const std::string& address) {
  CHttpSession session(address);
  FetchResult r;
  r.code = session.Fetch(r.headers, r.body);
  return r;
}

class HttpSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = server_.server();
    s.Get("/page", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<html><body>hello</body></html>", "text/html");
    });
    s.Get("/old", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/page", 301);
    });
    s.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.status = 200; });
    s.Get("/big", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(big_, "application/octet-stream");
    });
    s.Get("/agent", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("ua=[" + req.get_header_value("User-Agent") + "] ae=[" +
                          req.get_header_value("Accept-Encoding") + "]",
                      "application/octet-stream");
    });
    ASSERT_TRUE(server_.Start());
  }

  std::string big_ = std::string(9 * 1024 * 1024, 'x');
  LoopbackServer server_;
};

TEST_F(HttpSessionTest, PageArrivesSplitAtTheFirstBlankLine) {
  const FetchResult r = Fetch(server_.hostPort() + "/page");
  ASSERT_EQ(r.code, rc::kOk);
  EXPECT_EQ(r.headers.rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_EQ(r.headers.find("\r\n\r\n"), std::string::npos);
  EXPECT_EQ(r.body.rfind("\r\n\r\n", 0), 0u);
  EXPECT_NE(r.body.find("hello"), std::string::npos);
}

TEST_F(HttpSessionTest, NotFoundIsReceivedWithItsStatus) {
  const FetchResult r = Fetch(server_.hostPort() + "/missing");
  ASSERT_EQ(r.code, rc::kOk);
  EXPECT_EQ(ExtractHeaderField(r.headers, kFieldStatus), "404");
}

TEST_F(HttpSessionTest, RedirectIsFollowedAndTheHeaderBlockIsTheRedirects) {
  const FetchResult r = Fetch(server_.hostPort() + "/old");
  ASSERT_EQ(r.code, rc::kOk);
  EXPECT_EQ(ExtractHeaderField(r.headers, kFieldStatus), "301");
  EXPECT_NE(r.body.find("HTTP/1.1 200"), std::string::npos);
  EXPECT_NE(r.body.find("hello"), std::string::npos);
  EXPECT_EQ(server_.requestCount("/page"), 1u);
}

TEST_F(HttpSessionTest, GzipBodyArrivesDecodedWithItsEncodingHeader) {
  std::string page = "<html><body>";
  for (int i = 0; i < 2000; ++i) page += "<p>compressible line</p>";
  page += "</body></html>";
  server_.server().Get("/zipped", [page](const httplib::Request&, httplib::Response& res) {
    res.set_content(page, "text/html");
  });
  const FetchResult r = Fetch(server_.hostPort() + "/zipped");
  ASSERT_EQ(r.code, rc::kOk);
  EXPECT_EQ(ExtractHeaderField(r.headers, kFieldContentEncoding), "gzip");
  EXPECT_EQ(r.body, "\r\n\r\n" + page);
}

TEST_F(HttpSessionTest, HeadersOnlyAnswerHasJustTheBlankLineAsBody) {
  const FetchResult r = Fetch(server_.hostPort() + "/empty");
  ASSERT_EQ(r.code, rc::kOk);
  EXPECT_EQ(ExtractHeaderField(r.headers, kFieldStatus), "200");
  EXPECT_EQ(r.body, "\r\n\r\n");
}

TEST_F(HttpSessionTest, PageBeyondTheLimitIsCutBeforeIt) {
  const FetchResult r = Fetch(server_.hostPort() + "/big");
  ASSERT_EQ(r.code, rc::kOk);
  const size_t total = r.headers.size() + r.body.size();
  EXPECT_LE(total, static_cast<size_t>(RecvBuffer::kLimit));
  EXPECT_GT(total, static_cast<size_t>(RecvBuffer::kLimit - CURL_MAX_WRITE_SIZE));
  EXPECT_EQ(r.body.find_first_not_of('x', 4), std::string::npos);
}

TEST(RecvBufferTest, ExactlyTheLimitIsTakenAndHandedOverWholeWithoutASecondBlock) {
  RecvBuffer buffer;
  ASSERT_TRUE(buffer.ok());
  const std::string chunk(16384, 'y');
  while (buffer.length() < RecvBuffer::kLimit) ASSERT_EQ(buffer.Append(chunk.data(), chunk.size()), chunk.size());
  EXPECT_EQ(buffer.length(), RecvBuffer::kLimit);
  EXPECT_EQ(buffer.capacity(), RecvBuffer::kLimit);  // doubling stopped at the limit, not past it
  EXPECT_EQ(buffer.data()[buffer.length()], '\0');
  EXPECT_EQ(buffer.Append("z", 1), 0u);
  const char* held = buffer.data();
  std::string text;
  buffer.TakeText(text);
  EXPECT_EQ(text.data(), held);  // the same block, not a copy
  EXPECT_EQ(text.size(), RecvBuffer::kLimit);
  EXPECT_EQ(buffer.length(), 0u);
}

TEST(RecvBufferTest, PastAMibItGrowsAMibAtATimeAndAsksOnceBeforeHoldingMore) {
  int asked = 0;
  size_t lengthWhenAsked = 0;
  RecvBuffer* self = nullptr;
  RecvBuffer buffer(std::string(), [&] {
    ++asked;
    lengthWhenAsked = self->length();
    return true;
  });
  self = &buffer;
  const std::string chunk(16384, 'y');
  while (buffer.length() < 5 * RecvBuffer::kLargeBody + 100) {
    ASSERT_EQ(buffer.Append(chunk.data(), chunk.size()), chunk.size());
    // Never more room than a MiB past what it holds (doubling would leave up to twice the page).
    ASSERT_LE(buffer.capacity(), std::max<size_t>(buffer.length() + RecvBuffer::kLargeBody, RecvBuffer::kLargeBody));
  }
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(lengthWhenAsked, RecvBuffer::kLargeBody);

  RecvBuffer refusing(std::string(), [] { return false; });
  while (refusing.length() < RecvBuffer::kLargeBody) ASSERT_EQ(refusing.Append(chunk.data(), chunk.size()), chunk.size());
  EXPECT_FALSE(refusing.refused());
  EXPECT_EQ(refusing.Append(chunk.data(), chunk.size()), 0u);
  EXPECT_TRUE(refusing.refused());
  EXPECT_LE(refusing.capacity(), RecvBuffer::kLargeBody);  // nothing past a MiB was held
}

TEST_F(HttpSessionTest, ALargeBodyRefusedItsTurnEndsAsACancelledTransfer) {
  CHttpSession session(server_.hostPort() + "/big");
  int asked = 0;
  session.options().holdLargeBody = [&] { return ++asked > 1; };
  std::string headers, body;
  EXPECT_EQ(session.Fetch(headers, body), CURLE_ABORTED_BY_CALLBACK);
  EXPECT_EQ(asked, 1);
  // Its turn granted, the same page arrives (up to the limit); a small page asks nothing.
  EXPECT_EQ(session.Fetch(headers, body), rc::kOk);
  EXPECT_EQ(asked, 2);
  EXPECT_GT(body.size(), size_t(RecvBuffer::kLimit) - 65536);
  EXPECT_EQ(session.Fetch(server_.hostPort() + "/page", headers, body), rc::kOk);
  EXPECT_EQ(asked, 2);
}

// The bytes the allocator has handed out and not had back, in the main arena and in blocks of
// their own: a worker's storage, not the process's resident pages.
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

std::string IndexPage(size_t anchors, size_t from) {
  std::string page = "<!DOCTYPE html><html><head><title>Index</title></head><body><table>\n";
  for (size_t i = from; i < from + anchors; ++i)
    page += "<tr><td><a href=\"/part" + std::to_string(i % 30) + "/page" + std::to_string(i) + ".html#s\">entry " +
            std::to_string(i) + "</a></td><td>" + std::string(360, 'w') + "</td></tr>\n";
  return page + "</table></body></html>";
}

// One worker's session and scratch, as the crawl keeps them from page to page: after a page of
// 4 MB and 10,000 anchors, fetched and read, what it holds is what it held before it.
TEST_F(HttpSessionTest, AWorkersMemoryReturnsToItsIdleSizeAfterAFourMegabytePage) {
  const std::string large = IndexPage(10000, 0);
  ASSERT_GT(large.size(), size_t(4) << 20);
  // A page as large in anchors fills the worker's link cache first: it is bounded, not given back.
  const std::string warm = IndexPage(4000, 20000);
  server_.server().Get("/large", [&](const httplib::Request&, httplib::Response& res) { res.set_content(large, "text/html"); });
  server_.server().Get("/warm", [&](const httplib::Request&, httplib::Response& res) { res.set_content(warm, "text/html"); });
  const SiteOrigin origin{"http", "127.0.0.1", ":" + std::to_string(server_.port())};
  CHttpSession session;
  PageScratch scratch;
  auto crawl = [&](const std::string& path, size_t expected) {
    std::string headers;
    const std::string address = "http://" + server_.hostPort() + path;
    ASSERT_EQ(session.Fetch(address, headers, scratch.body), rc::kOk);
    std::string body;
    body.swap(scratch.body);
    PageLinks links;
    ASSERT_EQ(ExtractLinks(headers, body, origin, address, links, {}, scratch), rc::kOk);
    EXPECT_EQ(links.internal.size(), expected) << path;
    // The crawl keeps a page's room only when it is of the usual size.
    if (body.capacity() <= PageScratch::kKeptBytes) scratch.body.swap(body);
  };
  crawl("/warm", 4000);
  crawl("/page", 0);
  const size_t idle = HeapInUse();
  crawl("/large", 10000);
  crawl("/page", 0);
  const size_t after = HeapInUse();
  EXPECT_LE(after, idle + 128 * 1024) << "idle " << idle << ", after " << after;
}

TEST_F(HttpSessionTest, RequestCarriesAnEmptyUserAgentAndAcceptsGzipAndDeflate) {
  const FetchResult r = Fetch(server_.hostPort() + "/agent");
  ASSERT_EQ(r.code, rc::kOk);
  EXPECT_NE(r.body.find("ua=[]"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("ae=[gzip, deflate]"), std::string::npos) << r.body;
}

TEST(HttpSession, RefusedConnectionGivesCurlsCodeAndNoTexts) {
  LoopbackServer server;
  ASSERT_TRUE(server.Start());
  const std::string address = server.hostPort() + "/";
  server.Stop();
  const FetchResult r = Fetch(address);
  EXPECT_EQ(r.code, CURLE_COULDNT_CONNECT);
  EXPECT_TRUE(r.headers.empty());
  EXPECT_TRUE(r.body.empty());
}

TEST(HttpSession, SessionWithoutAddressStartsNoTransfer) {
  CHttpSession session("");
  EXPECT_EQ(session.address(), "");
  std::string headers, body;
  EXPECT_EQ(session.Fetch(headers, body), rc::kMissing);
  EXPECT_EQ(session.options().totalTimeout, 10);
  EXPECT_EQ(session.options().connectTimeout, 60);
  EXPECT_EQ(session.options().maxRedirects, 10);
}

TEST(HttpSession, PageCutByTheTotalTimeoutFailsWithCode28EvenAfterSomeOfItArrived) {
  // Content-Length 100, one byte a second: some of the body arrives before the time limit.
  std::atomic<int> sent{0};
  RawHttpSite site;  // after what its handler writes, so its threads end first
  site.Route("/trickle", [&sent](const std::string&, RawHttpSite::Connection& out) {
    if (!out.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100\r\n\r\n")) return false;
    for (int i = 0; i < 100 && !out.stopping(); ++i) {
      if (!out.Send("x")) return false;
      ++sent;
      for (int t = 0; t < 20 && !out.stopping(); ++t) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  });
  ASSERT_TRUE(site.Start());
  CHttpSession session(site.origin() + "/trickle");
  session.options().totalTimeout = 2;
  std::string headers, body;
  const auto started = std::chrono::steady_clock::now();
  const int32_t code = session.Fetch(headers, body);
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(code, CURLE_OPERATION_TIMEDOUT);
  EXPECT_EQ(TransferFailureCode(code), "curl 28");
  EXPECT_EQ(CurlErrorText(code), curl_easy_strerror(CURLE_OPERATION_TIMEDOUT));
  EXPECT_TRUE(headers.empty());
  EXPECT_TRUE(body.empty());
  EXPECT_GE(sent.load(), 2);
  EXPECT_GE(took, std::chrono::milliseconds(1900));
  EXPECT_LT(took, std::chrono::seconds(5));
  site.Stop();
}

// A self-signed HTTPS site on loopback, fetched with the CA bundle each case names.
class HttpsSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_SSL)) GTEST_SKIP() << "no TLS in libcurl";
    site_ = std::make_unique<StaticSite>(dir_.str());
    ASSERT_TRUE(site_->Start()) << "no certificate (openssl) or no port for the HTTPS site";
    site_->Set("/secure", Resource(200, "application/octet-stream", "secret page"));
  }

  // caFile empty: libcurl's own default bundle.
  int32_t FetchWith(const std::string& caFile, bool verify) {
    CHttpSession session(site_->origin() + "/secure");
    session.options().caFile = caFile;
    session.options().verifyTls = verify;
    return session.Fetch(headers_, body_);
  }

  TempDir dir_;
  std::unique_ptr<StaticSite> site_;
  std::string headers_, body_;
};

TEST_F(HttpsSessionTest, HttpsFetchWorksAgainstASelfSignedServerWithoutVerification) {
  ASSERT_EQ(FetchWith("", false), rc::kOk);
  EXPECT_EQ(ExtractHeaderField(headers_, kFieldStatus), "200");
  EXPECT_EQ(body_, "\r\n\r\nsecret page");
}

TEST_F(HttpsSessionTest, SelfSignedServerIsRefusedWithABundleAndNoBundleAsksForTheCaPackage) {
  // A bundle that exists but holds another issuer: the certificate is refused.
  const std::filesystem::path other = dir_.path() / "other";
  std::filesystem::create_directory(other);
  ASSERT_TRUE(MakeSelfSignedCertificate(other.string()));
  EXPECT_EQ(FetchWith((other / "cert.pem").string(), true), CURLE_PEER_FAILED_VERIFICATION);

  // No usable bundle, as on a machine without ca-certificates: every HTTPS site fails with 77,
  // and the failure's description tells the user what to install.
  const std::string empty = (dir_.path() / "empty.pem").string();
  std::ofstream(empty).close();
  const int32_t missing = FetchWith(empty, true);
  EXPECT_EQ(missing, CURLE_SSL_CACERT_BADFILE);
  const std::string description = FailureDescription(TransferFailureCode(missing));
  EXPECT_NE(description.find("CA"), std::string::npos) << description;
  EXPECT_NE(description.find("ca-certificates"), std::string::npos) << description;

  // libcurl's default bundle: the same two answers, whichever this machine has.
  CurlEasyHandle probe;
  ASSERT_TRUE(probe.Create());
  const char* defaultBundle = nullptr;
  curl_easy_getinfo(probe.get(), CURLINFO_CAINFO, &defaultBundle);
  std::error_code error;
  const uintmax_t size = defaultBundle ? std::filesystem::file_size(defaultBundle, error) : 0;
  const bool hasBundle = defaultBundle && !error && size > 0;
  EXPECT_EQ(FetchWith("", true), hasBundle ? CURLE_PEER_FAILED_VERIFICATION : CURLE_SSL_CACERT_BADFILE)
      << (defaultBundle ? defaultBundle : "no default bundle");
}

}  // namespace
