#include "VerifyWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "CodePage.h"

namespace {

enum { ColCode, ColWhat, ColProject, ColRegister };

QTableWidgetItem *Cell(const QString &text) {
  auto *item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

const TVerifyWording RowWording{QStringLiteral("Cod"), QStringLiteral("randuri"), QStringLiteral("Randurile"),
                                QStringLiteral("rand")};
const TVerifyWording BlockWording{QStringLiteral("Bloc"), QStringLiteral("blocuri"), QStringLiteral("Pozitiile"),
                                  QStringLiteral("pozitie")};

QString DifferenceText(const TDifference &d) {
  switch (d.Kind) {
    case TDifferenceKind::OnlyInRegister: return QStringLiteral("doar in casa de marcat");
    case TDifferenceKind::OnlyInProject: return QStringLiteral("doar in proiect");
    case TDifferenceKind::FieldsDiffer: return QStringLiteral("campuri diferite");
    case TDifferenceKind::MarkedButInRegister: return QStringLiteral("marcat pentru stergere, inca in casa");
    case TDifferenceKind::RepeatedInProject: return QStringLiteral("cod repetat in proiect (%1 randuri)").arg(d.Count);
    case TDifferenceKind::RepeatedInRegister: return QStringLiteral("cod repetat in casa (%1 randuri)").arg(d.Count);
  }
  return {};
}

TEVerify::TEVerify(QWidget *editor) : QDialog(editor) {
  setObjectName(QStringLiteral("EVerify"));
  // Not modal: the user works on in the editor while the list is open.
  setWindowModality(Qt::NonModal);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  Summary = new QLabel(this);
  Summary->setObjectName(QStringLiteral("Summary"));
  Summary->setWordWrap(true);
  List = new QTableWidget(0, 4, this);
  List->setObjectName(QStringLiteral("List"));
  List->setHorizontalHeaderLabels(
      {QStringLiteral("Cod"), QStringLiteral("Diferenta"), QStringLiteral("In proiect"), QStringLiteral("In casa")});
  List->verticalHeader()->hide();
  List->setSelectionBehavior(QAbstractItemView::SelectRows);
  List->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List->horizontalHeader()->setSectionResizeMode(ColProject, QHeaderView::Stretch);
  List->horizontalHeader()->setSectionResizeMode(ColRegister, QHeaderView::Stretch);
  List->verticalHeader()->setDefaultSectionSize(List->fontMetrics().height() + 6);
  connect(List, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    const QTableWidgetItem *item = List->item(row, ColCode);
    if (!item || !OnGoTo) return;
    const int index = item->data(Qt::UserRole).toInt();
    if (index < 0 || index >= int(FReport.Differences.size())) return;
    OnGoTo(FReport.Differences[size_t(index)], List->item(row, ColWhat)->data(Qt::UserRole).toString().toStdString());
  });
  BClose = new QPushButton(QStringLiteral("&Inchide"), this);
  BClose->setObjectName(QStringLiteral("BClose"));
  BClose->setAutoDefault(false);
  connect(BClose, &QPushButton::clicked, this, &QDialog::close);

  auto *bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(BClose);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Summary);
  layout->addWidget(List, 1);
  layout->addLayout(bottom);
  resize(500, 340);
}

void TEVerify::ShowReport(const TVerifyReport &report, const QString &editorCaption, const TVerifyWording &wording) {
  FReport = report;
  setWindowTitle(QStringLiteral("Verificare casa - ") + editorCaption);
  List->horizontalHeaderItem(ColCode)->setText(wording.CodeTitle);
  const size_t n = report.Differences.size();
  Summary->setText(QStringLiteral("%1 %2 intre proiect (%3 %4) si casa de marcat (%5 %4). "
                                  "%6 sunt marcate in tabel; dublu clic pe o linie duce la %7.")
                       .arg(report.Lines())
                       .arg(report.Lines() == 1 ? QStringLiteral("diferenta") : QStringLiteral("diferente"))
                       .arg(report.ProjectRows)
                       .arg(wording.Units)
                       .arg(report.RegisterRows)
                       .arg(wording.Marked, wording.Goes));
  List->setRowCount(0);
  for (size_t i = 0; i < n; ++i) {
    const TDifference &d = report.Differences[i];
    auto line = [&](const QString &what, const std::string &field, const std::string &mine,
                    const std::string &theirs) {
      const int row = List->rowCount();
      List->insertRow(row);
      QTableWidgetItem *code = Cell(QString::fromStdString(d.CodeText));
      code->setData(Qt::UserRole, int(i));
      code->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      List->setItem(row, ColCode, code);
      QTableWidgetItem *whatItem = Cell(what);
      whatItem->setData(Qt::UserRole, QString::fromStdString(field));
      List->setItem(row, ColWhat, whatItem);
      List->setItem(row, ColProject, Cell(ToDisplay(mine)));
      List->setItem(row, ColRegister, Cell(ToDisplay(theirs)));
    };
    if (d.Kind == TDifferenceKind::FieldsDiffer) {
      for (const TFieldDifference &f : d.Fields)
        line(FieldTitle ? FieldTitle(d, f.Field) : QString::fromStdString(f.Field), f.Field, f.Project, f.Register);
    } else {
      line(DifferenceText(d), "", d.Project, d.Register);
    }
  }
  List->resizeColumnToContents(ColCode);
  List->resizeColumnToContents(ColWhat);
  if (List->rowCount() > 0) List->selectRow(0);
}
