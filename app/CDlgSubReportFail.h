#pragma once
// The failure page: the label "访问失败的网址列表" over a report list (1014) with the row
// number, the path, the result code and its description.
#include <string>
#include <utility>
#include <vector>

#include "app/platform/CPlatformDialog.h"

class CReportList;

class CDlgSubReportFail : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdList = 1014;

  explicit CDlgSubReportFail(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // (path, code) pairs, narrow text, appended at the end in the given order.
  void AppendFailures(const std::vector<std::pair<std::string, std::string>>& failures);
  void DeleteAll();
  CReportList* list() const;
};
