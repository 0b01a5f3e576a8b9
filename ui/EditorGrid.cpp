#include "EditorGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "CodePage.h"

namespace {

// The column of a cell editor, kept on the editor for the typing filter.
const char *const ColumnProperty = "gridColumn";
// The editor of a cell with a "..." button: the line edit inside it has the
// focus and gets the keys, but the view knows the frame as the editor, by
// the cell kept on it.
const char *const EllipsisCellName = "EllipsisCell";
const char *const CellProperty = "gridCell";

}  // namespace

TGridDelegate::TGridDelegate(TRecordSetModel &model, QObject *parent)
    : QStyledItemDelegate(parent), FModel(model) {}

QWidget *TGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const {
  const TGridColumn &col = FModel.Source().GridColumns()[size_t(index.column())];
  if (!col.PickList.empty()) {
    auto *box = new QComboBox(parent);
    for (const std::string &v : FModel.Source().PickItems(index.row() + 1, index.column())) box->addItem(ToDisplay(v));
    return box;
  }
  auto *edit = new QLineEdit(parent);
  edit->setProperty(ColumnProperty, index.column());
  edit->installEventFilter(const_cast<TGridDelegate *>(this));
  const TRecordSet &t = FModel.Source().GridTable();
  if (const int f = t.FieldIndex(col.Field); f >= 0 && t.FieldDefs()[size_t(f)].DataType == ftString)
    edit->setMaxLength(t.FieldDefs()[size_t(f)].Size);
  // Typing stays where the value shows.
  if (col.Align == TGridColumn::alCenter) edit->setAlignment(Qt::AlignCenter);
  if (col.Align == TGridColumn::alRight) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (!col.Ellipsis) return edit;

  // A cell with its "..." button beside the text.
  auto *frame = new QWidget(parent);
  frame->setObjectName(QString::fromLatin1(EllipsisCellName));
  frame->setProperty(CellProperty, QVariant::fromValue(QPersistentModelIndex(index)));
  auto *row = new QHBoxLayout(frame);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  edit->setParent(frame);
  row->addWidget(edit);
  auto *button = new QToolButton(frame);
  button->setObjectName(QStringLiteral("EllipsisButton"));
  button->setText(QStringLiteral("..."));
  button->setFocusPolicy(Qt::NoFocus);
  row->addWidget(button);
  const int recNo = index.row() + 1;
  connect(button, &QToolButton::clicked, frame, [this, recNo] {
    if (OnEllipsis) OnEllipsis(recNo);
  });
  frame->setFocusProxy(edit);
  Q_UNUSED(option);
  return frame;
}

void TGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
  const QString text = index.data(Qt::EditRole).toString();
  if (auto *box = qobject_cast<QComboBox *>(editor)) {
    // A value the list lacks is shown as it is, never replaced by the
    // first entry: leaving the cell must not change it.
    int at = box->findText(text);
    if (at < 0) {
      box->insertItem(0, text);
      at = 0;
    }
    box->setCurrentIndex(at);
    return;
  }
  auto *edit = qobject_cast<QLineEdit *>(editor);
  if (!edit) edit = editor->findChild<QLineEdit *>();
  if (edit && edit->text() != text) edit->setText(text);
}

void TGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const {
  if (auto *box = qobject_cast<QComboBox *>(editor)) {
    model->setData(index, box->currentText(), Qt::EditRole);
    return;
  }
  auto *edit = qobject_cast<QLineEdit *>(editor);
  if (!edit) edit = editor->findChild<QLineEdit *>();
  if (edit) model->setData(index, edit->text(), Qt::EditRole);
}

bool TGridDelegate::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress) {
    auto *key = static_cast<QKeyEvent *>(event);
    const QVariant column = watched->property(ColumnProperty);
    const QString text = key->text();
    // The typing filter sees printable characters; editing keys pass.
    if (column.isValid() && text.size() == 1 && text[0].isPrint()) {
      bool ok = true;
      const std::string byte = FromDisplay(text, &ok);
      if (!ok || !FModel.Source().AcceptsChar(column.toInt(), byte[0])) return true;
    }
  }
  // What commits or closes the editor of a "..." cell (Return, Tab, the
  // focus leaving) must name the frame, the widget the view opened; once
  // the view has let it go (it is closing it), the focus its line edit
  // loses is nobody's business.
  if (auto *inner = qobject_cast<QWidget *>(watched))
    if (QWidget *frame = inner->parentWidget(); frame && frame->objectName() == QLatin1String(EllipsisCellName)) {
      const auto *view = qobject_cast<const QAbstractItemView *>(parent());
      const QModelIndex cell = frame->property(CellProperty).value<QPersistentModelIndex>();
      return view && cell.isValid() && view->indexWidget(cell) == frame &&
             QStyledItemDelegate::eventFilter(frame, event);
    }
  return QStyledItemDelegate::eventFilter(watched, event);
}

TEditorGrid::TEditorGrid(TRecordSetModel &model, QWidget *parent)
    : QTableView(parent), FModel(model), FDelegate(new TGridDelegate(model, this)) {
  setModel(&model);
  setItemDelegate(FDelegate);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  const auto &cols = model.Source().GridColumns();
  for (size_t c = 0; c < cols.size(); ++c)
    if (cols[c].Width > 0) setColumnWidth(int(c), cols[c].Width);
}

int TEditorGrid::CurrentRecNo() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() + 1 : 0;
}

bool TEditorGrid::HandleEditorKey(QKeyEvent *e) {
  if (e->key() == Qt::Key_Insert) return true;
  if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier)) return true;
  if (e->key() == Qt::Key_Down && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const QModelIndex i = currentIndex();
    if (i.isValid() && i.row() + 1 < model()->rowCount()) setCurrentIndex(model()->index(i.row() + 1, i.column()));
    return true;
  }
  return false;
}

void TEditorGrid::keyPressEvent(QKeyEvent *e) {
  if (HandleEditorKey(e)) {
    e->accept();
    return;
  }
  QTableView::keyPressEvent(e);
}
