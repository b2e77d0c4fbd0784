#include <gtest/gtest.h>

#include "AppTestSupport.h"

#include <QElapsedTimer>
#include <chrono>
#include <thread>

#include "app/platform/EditBox.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"

std::string PageLinking(const std::vector<std::string>& paths) {
  std::string html = "<html><head><title>t</title></head><body>";
  for (const std::string& p : paths) html += "<a href=\"" + p + "\">" + p + "</a>\n";
  return html + "</body></html>";
}

void ServeSite(LoopbackServer& server, int pages, int delayMs) {
  std::vector<std::string> links;
  for (int i = 1; i <= pages; ++i) links.push_back("/p" + std::to_string(i) + ".html");
  links.push_back("/missing.html");
  std::string root = PageLinking(links);
  std::string leaf = PageLinking({"/"});
  server.server().Get("/", [root](const httplib::Request&, httplib::Response& res) {
    res.set_content(root, "text/html");
  });
  server.server().Get(R"(/p\d+\.html)", [leaf, delayMs](const httplib::Request&, httplib::Response& res) {
    if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    res.set_content(leaf, "text/html");
  });
}

WindowTest::WindowTest() {
  SetMessageBoxHook([this](const std::wstring& text) { messageBoxes_.push_back(text); });
  SetOpenAddressHook([this](const QString& address) { opened_.push_back(address); });
  SetQuestionHook([this](const std::wstring& text) {
    questions_.push_back(text);
    return answer_;
  });
}

WindowTest::~WindowTest() {
  if (window_ && window_->actionPage()->isCrawling()) {
    window_->FinishBackgroundWork(std::chrono::milliseconds(15000));
  }
  window_.reset();
  SetMessageBoxHook(nullptr);
  SetQuestionHook(nullptr);
  SetOpenAddressHook(nullptr);
  SetSaveFileHook(nullptr);
  RestoreCursor();
}

CSitemapDlg& WindowTest::Window() {
  if (!window_) {
    window_ = std::make_unique<CSitemapDlg>();
    window_->show();
  }
  return *window_;
}

void WindowTest::StartCrawl(const std::string& address) {
  CDlgSubAction* page = Window().actionPage();
  SetEditText(page->Control(CDlgSubAction::kIdAddress), std::wstring(address.begin(), address.end()));
  page->ControlAs<QPushButton>(CDlgSubAction::kIdStart)->click();
}

std::wstring WindowTest::StatusLine(int id) {
  const QString tip = Window().Control(id)->toolTip();
  return tip.isEmpty() ? Window().GetItemText(id) : tip.toStdWString();
}

bool WindowTest::WaitUntilIdle(int limitMs) {
  QElapsedTimer t;
  t.start();
  while (window_->actionPage()->isCrawling() && t.elapsed() < limitMs) QTest::qWait(5);
  QCoreApplication::processEvents();
  return !window_->actionPage()->isCrawling();
}

bool WindowTest::StoreAutoSaveEverySecond(const std::string& path) {
  CSetupManager setup;
  CLevelDb db;
  if (!LoadSettings(&setup, &db).ok()) return false;
  setup.autoSaveInterval = 1;
  setup.autoSavePath = path;
  return SaveSettings(&setup, &db).ok();
}
