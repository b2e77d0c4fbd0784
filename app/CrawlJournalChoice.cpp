#include "app/CrawlJournalChoice.h"

#include "app/platform/MessageBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "crawl/CrawlJournal.h"
#include "crawl/ResumeDecision.h"

std::string WindowJournalPath(const std::string& startUrl) { return "db/" + CrawlJournal::FolderName(startUrl); }

namespace {

// Why the journal cannot be gone on with, as the window says it.
std::wstring RefusalText(const ResumeDecision& decision) {
  using Status = JournalSummary::Status;
  switch (decision.reason) {
    case Status::Older:
      return L"由较旧版本的程序写成，缺少继续爬行所需的内容";
    case Status::Newer:
      return L"由较新版本的程序写成";
    case Status::OtherAddress:
      return L"属于另一个地址（" + Utf8ToWide(decision.detail) + L"）";
    default:
      return L"已损坏（" + Utf8ToWide(decision.detail) + L"）";
  }
}

}  // namespace

CrawlStartParams ChooseJournal(QWidget* parent, const CrawlStartParams& typed) {
  const ResumeDecision decision = ResumeDecision::For(typed, WindowJournalPath(typed.startUrl));
  const std::wstring address = Utf8ToWide(typed.startUrl);
  switch (decision.kind) {
    case ResumeDecision::Kind::Afresh:
      break;
    case ResumeDecision::Kind::Offer: {
      const std::wstring question = L"“" + address + L"”上次的爬行没有完成：已完成 " +
                                    std::to_wstring(decision.finished) + L" 页，还有 " +
                                    std::to_wstring(decision.waiting) +
                                    L" 页等待爬行。\n\n继续上次未完成的爬行吗？\n（是：沿用上次的设置继续；否：重新开始，删除上次的记录）";
      if (AskYesNo(parent, question)) return decision.ParamsToRun(true);
      decision.Discard();
      break;
    }
    case ResumeDecision::Kind::Refused:
      ShowMessageBox(parent, L"“" + address + L"”上次爬行的记录" + RefusalText(decision) + L"，无法继续。\n将重新开始爬行。");
      decision.Discard();
      break;
  }
  return decision.ParamsToRun(false);
}
