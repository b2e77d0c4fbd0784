#pragma once
// The rows of a report list: a plain table of texts, appended in bulk so that lists of
// 100,000 rows stay fast (one model notification per batch, no per-row widgets).
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

class CReportListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CReportListModel(QObject* parent = nullptr);

  // Columns are fixed before the first row goes in.
  void SetColumnTitles(const QStringList& titles);
  // Appends rows at the end; each row holds up to columnCount texts (missing ones are empty).
  void AppendRows(std::vector<QStringList>&& rows);
  void AppendRow(const QStringList& row);
  void DeleteAll();
  QString Text(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList titles_;
  std::vector<QStringList> rows_;
};
