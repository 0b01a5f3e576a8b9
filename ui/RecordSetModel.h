// The Qt item model every editor grid shows a table through. It reads the
// rows in place (nothing is copied, so a 100,000-row table opens at once),
// converts texts with the register's code page at this boundary, and sends
// typed values through the grid source's rules.
//
// While the table's controls are disabled (a read or a programming run) the
// model keeps showing the row count it had and answers for rows that went
// away with empty cells; it catches up when the controls come back.
#pragma once

#include <functional>

#include <QAbstractTableModel>

#include "GridSource.h"

class TRecordSetModel : public QAbstractTableModel {
 public:
  // The model takes the table's OnDataChange notification.
  explicit TRecordSetModel(TGridSource &source, QObject *parent = nullptr);
  ~TRecordSetModel() override;

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex &index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  TGridSource &Source() { return FSource; }
  // Re-reads the whole table (rows added or removed behind the model).
  void Refresh();
  // Told why a typed value was not stored (the window shows it).
  std::function<void(const QString &why)> OnRefused;
  // How many typed values were refused so far.
  int Refusals() const { return FRefusals; }

 private:
  void TableChanged(int field);

  TGridSource &FSource;
  int FRows = 0;
  int FRefusals = 0;
};
