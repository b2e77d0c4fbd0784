#include "app/CrawlJournalChoice.h"

#include "app/platform/MessageBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "crawl/CrawlJournal.h"

std::string WindowJournalPath(const std::string& startUrl) { return "db/" + CrawlJournal::FolderName(startUrl); }

CrawlStartParams ChooseJournal(QWidget* parent, const CrawlStartParams& typed) {
  CrawlStartParams params = typed;
  params.journalPath = WindowJournalPath(typed.startUrl);
  params.resume = false;
  const JournalSummary found = CrawlJournal::Inspect(params.journalPath, typed.startUrl);
  const std::wstring address = Utf8ToWide(typed.startUrl);
  using Status = JournalSummary::Status;
  std::wstring refusal;
  switch (found.status) {
    case Status::None:
      return params;
    case Status::Unfinished: {
      const std::wstring question = L"“" + address + L"”上次的爬行没有完成：已完成 " +
                                    std::to_wstring(found.finished) + L" 页，还有 " + std::to_wstring(found.waiting) +
                                    L" 页等待爬行。\n\n继续上次未完成的爬行吗？\n（是：沿用上次的设置继续；否：重新开始，删除上次的记录）";
      if (AskYesNo(parent, question)) {
        CrawlStartParams resumed = found.params;
        resumed.httpOptions = typed.httpOptions;
        resumed.journalPath = params.journalPath;
        resumed.resume = true;
        return resumed;
      }
      CrawlJournal::Remove(params.journalPath);
      return params;
    }
    case Status::Newer:
      refusal = L"由较新版本的程序写成";
      break;
    case Status::Damaged:
      refusal = L"已损坏（" + Utf8ToWide(found.detail) + L"）";
      break;
    case Status::OtherAddress:
      refusal = L"属于另一个地址（" + Utf8ToWide(found.detail) + L"）";
      break;
  }
  ShowMessageBox(parent, L"“" + address + L"”上次爬行的记录" + refusal + L"，无法继续。\n将重新开始爬行。");
  CrawlJournal::Remove(params.journalPath);
  return params;
}
