#include "RecordSetModel.h"

#include <QBrush>
#include <QColor>

#include "CodePage.h"

TRecordSetModel::TRecordSetModel(TGridSource &source, QObject *parent)
    : QAbstractTableModel(parent), FSource(source), FRows(source.GridTable().RecordCount()) {
  FSource.GridTable().OnDataChange = [this](TRecordSet &, int field) { TableChanged(field); };
}

TRecordSetModel::~TRecordSetModel() { FSource.GridTable().OnDataChange = nullptr; }

void TRecordSetModel::Refresh() {
  beginResetModel();
  FRows = FSource.GridTable().RecordCount();
  endResetModel();
}

void TRecordSetModel::TableChanged(int field) {
  const TRecordSet &t = FSource.GridTable();
  if (t.RecordCount() != FRows) {
    Refresh();
    return;
  }
  if (FRows == 0) return;
  // A changed cell repaints its row; rows that moved or many that changed
  // repaint all, without a reset that would close an open cell editor.
  const int row = t.RecNo() - 1;
  if (field >= 0 && row >= 0 && row < FRows)
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  else
    emit dataChanged(index(0, 0), index(FRows - 1, columnCount() - 1));
}

int TRecordSetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : FRows; }

int TRecordSetModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : int(FSource.GridColumns().size());
}

QVariant TRecordSetModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid()) return {};
  const int recNo = index.row() + 1;
  const TGridColumn &col = FSource.GridColumns()[size_t(index.column())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      // Rows that went away during a read show empty until the refresh.
      if (recNo > FSource.GridTable().RecordCount()) return QString();
      return ToDisplay(FSource.CellText(recNo, index.column()));
    case Qt::BackgroundRole: {
      if (recNo > FSource.GridTable().RecordCount()) return {};
      const int32_t rgb = FSource.RowColour(recNo);
      if (rgb < 0) return {};
      return QBrush(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
    case Qt::TextAlignmentRole:
      switch (col.Align) {
        case TGridColumn::alCenter: return int(Qt::AlignCenter);
        case TGridColumn::alRight: return int(Qt::AlignRight | Qt::AlignVCenter);
        case TGridColumn::alLeft: return int(Qt::AlignLeft | Qt::AlignVCenter);
        case TGridColumn::alDefault: return {};
      }
      return {};
    default:
      return {};
  }
}

bool TRecordSetModel::setData(const QModelIndex &index, const QVariant &value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const int recNo = index.row() + 1;
  if (recNo > FSource.GridTable().RecordCount()) return false;
  bool ok = true;
  const std::string bytes = FromDisplay(value.toString(), &ok);
  QString why;
  if (!ok)
    why = QStringLiteral("Textul contine caractere care nu exista in pagina de cod Windows-1250 !");
  else if (bytes == FSource.CellText(recNo, index.column()))
    return true;  // nothing changed: no post, no completion rules
  else if (const std::string refused = FSource.SetCell(recNo, index.column(), bytes); !refused.empty())
    why = ToDisplay(refused);
  if (!why.isEmpty()) {
    ++FRefusals;
    if (OnRefused) OnRefused(why);
    return false;
  }
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
  return true;
}

Qt::ItemFlags TRecordSetModel::flags(const QModelIndex &index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!FSource.CellReadOnly(index.row() + 1, index.column())) f |= Qt::ItemIsEditable;
  return f;
}

QVariant TRecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return {};
  const auto &cols = FSource.GridColumns();
  if (section < 0 || section >= int(cols.size())) return {};
  const TGridColumn &c = cols[size_t(section)];
  return QString::fromLatin1(c.Title.empty() ? c.Field.c_str() : c.Title.c_str());
}
