// The grid of an editor window over a TRecordSetModel: the cell editors
// (pick lists, the typing filter, an ellipsis button) and the keys that
// would add or delete rows, which the editors do not allow.
#pragma once

#include <functional>

#include <QStyledItemDelegate>
#include <QTableView>

#include "RecordSetModel.h"

class TGridDelegate : public QStyledItemDelegate {
 public:
  TGridDelegate(TRecordSetModel &model, QObject *parent);
  QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                        const QModelIndex &index) const override;
  void setEditorData(QWidget *editor, const QModelIndex &index) const override;
  void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
  bool eventFilter(QObject *watched, QEvent *event) override;

  // The "..." button of an ellipsis column was pressed on row recNo.
  std::function<void(int recNo)> OnEllipsis;

 private:
  TRecordSetModel &FModel;
};

class TEditorGrid : public QTableView {
 public:
  TEditorGrid(TRecordSetModel &model, QWidget *parent);
  TGridDelegate *Delegate() const { return FDelegate; }
  TRecordSetModel &Model() { return FModel; }
  // The table's current row follows the grid's; rows from 1.
  int CurrentRecNo() const;

  // DBGrid1KeyDown: Down moves to the next row (nothing at the last one)
  // and never appends; Insert and Ctrl+Delete are discarded. Returns true
  // when the key was handled here.
  bool HandleEditorKey(QKeyEvent *e);

 protected:
  void keyPressEvent(QKeyEvent *e) override;

 private:
  TRecordSetModel &FModel;
  TGridDelegate *FDelegate;
};
