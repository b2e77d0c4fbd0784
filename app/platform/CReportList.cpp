#include "app/platform/CReportList.h"

#include <QHeaderView>

CReportList::CReportList(QWidget* parent) : QTableView(parent), model_(new CReportListModel(this)) {
  setModel(model_);
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setWordWrap(false);
  setAlternatingRowColors(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Tab goes on to the next control, as in every list of rows; arrows move within it.
  setTabKeyNavigation(false);
  verticalHeader()->setVisible(false);
  // Fixed row height keeps long lists fast: no per-row size hints are asked for.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setSortIndicatorShown(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

QModelIndex CReportList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  QModelIndex next = QTableView::moveCursor(action, modifiers);
  if ((action == MoveHome || action == MoveEnd) && next.isValid()) {
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    next = model_->index(next.row(), column);
  }
  return next;
}

void CReportList::AddColumn(const std::wstring& title, int pixelWidth) {
  titles_.push_back(QString::fromStdWString(title));
  widths_.push_back(pixelWidth);
  model_->SetColumnTitles(titles_);
  for (size_t i = 0; i < widths_.size(); ++i) setColumnWidth(static_cast<int>(i), widths_[i]);
}

void CReportList::AppendRow(const std::vector<std::wstring>& texts) {
  QStringList row;
  for (const auto& t : texts) row.push_back(QString::fromStdWString(t));
  model_->AppendRow(row);
}

void CReportList::AppendRows(std::vector<QStringList>&& rows) { model_->AppendRows(std::move(rows)); }

void CReportList::DeleteAllItems() { model_->DeleteAll(); }

int CReportList::RowCount() const { return model_->rowCount(); }

std::wstring CReportList::ItemText(int row, int column) const {
  return model_->Text(row, column).toStdWString();
}
