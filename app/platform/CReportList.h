#pragma once
// A list view in report mode: columns with a title and a pixel width (left aligned), grid
// lines, full-row single selection, a header that does not sort. Rows live in a
// CReportListModel, so appending many rows is cheap.
//
//   list->AddColumn(L"序号", 50); list->AddColumn(L"网址", 800);
//   list->AppendRow({L"1", L"/index.html"});  // or AppendRows for a batch
//   list->RowCount(); list->ItemText(0, 1); list->DeleteAllItems();
#include <QStringList>
#include <QTableView>
#include <string>
#include <vector>

#include "app/platform/CReportListModel.h"

class CReportList : public QTableView {
  Q_OBJECT
 public:
  explicit CReportList(QWidget* parent = nullptr);

  void AddColumn(const std::wstring& title, int pixelWidth);
  void AppendRow(const std::vector<std::wstring>& texts);
  void AppendRows(std::vector<QStringList>&& rows);
  void DeleteAllItems();
  int RowCount() const;
  std::wstring ItemText(int row, int column) const;
  CReportListModel* rows() const { return model_; }

 protected:
  // Home and End (with Ctrl too) go to the first or last row and keep the column: rows are
  // selected whole, so the view does not scroll sideways away from the row numbers.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  CReportListModel* model_;
  QStringList titles_;
  std::vector<int> widths_;
};
