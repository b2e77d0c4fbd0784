#include "app/platform/CReportListModel.h"

CReportListModel::CReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CReportListModel::SetColumnTitles(const QStringList& titles) {
  beginResetModel();
  titles_ = titles;
  endResetModel();
}

void CReportListModel::AppendRows(std::vector<QStringList>&& rows) {
  if (rows.empty()) return;
  int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  rows_.reserve(rows_.size() + rows.size());
  for (auto& row : rows) rows_.push_back(std::move(row));
  endInsertRows();
}

void CReportListModel::AppendRow(const QStringList& row) {
  std::vector<QStringList> one;
  one.push_back(row);
  AppendRows(std::move(one));
}

void CReportListModel::DeleteAll() {
  beginResetModel();
  rows_.clear();
  rows_.shrink_to_fit();
  endResetModel();
}

QString CReportListModel::Text(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return QString();
  const QStringList& r = rows_[static_cast<size_t>(row)];
  return column >= 0 && column < r.size() ? r[column] : QString();
}

int CReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CReportListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant CReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return Text(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return QVariant();
}

QVariant CReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QVariant();
  if (role == Qt::DisplayRole && section >= 0 && section < titles_.size()) return titles_[section];
  if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  return QVariant();
}
