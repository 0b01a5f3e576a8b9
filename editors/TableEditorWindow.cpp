#include "TableEditorWindow.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include "EditorWindowParts.h"
#include "UserDialogs.h"
#include "VerifyWindow.h"

TEdept *Edept = nullptr;
TETva *ETva = nullptr;
TEcasieri *Ecasieri = nullptr;
TEcurs *Ecurs = nullptr;
TEFormaPlata *EFormaPlata = nullptr;

TTableEditorWindow::TTableEditorWindow(const TProjectContext &context, const QString &objectName,
                                       const QString &caption, const TTableDescription &description,
                                       int visibleRows, QWidget *parent)
    : TEditorDialog(objectName, caption, parent), FLogic(std::make_unique<TTableEditor>(context, description)) {
  Ds = new TRecordSetModel(*FLogic, this);
  Ds->OnRefused = [](const QString &why) { ShowError(why); };
  DBGrid1 = new TEditorGrid(*Ds, this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  BitBtn1 = AddRegisterButton(Panel1, "BitBtn1", QStringLiteral("&Citire din casa"), [this] { BitBtn1Click(); });
  BitBtn2 = AddRegisterButton(Panel1, "BitBtn2", QStringLiteral("&Programare casa"), [this] { BitBtn2Click(); });
  BProgramChanges = AddRegisterButton(Panel1, "BProgramChanges", ProgramChangesCaption, [this] { BProgramChangesClick(); },
                              false);
  BVerify = AddRegisterButton(Panel1, "BVerify", VerifyCaption, [this] { BVerifyClick(); }, false);
  SetRegisterSlot(FLogic->Context().Slot);
  BStop = AddCloseButton(*this);
  LayOutGridWindow(*this, DBGrid1, BitBtn1, BitBtn2, BStop, BVerify, BProgramChanges);

  // Wide enough for every column and the scroll bar, tall enough for
  // visibleRows rows: nothing is clipped whatever the font.
  int width = 2 * DBGrid1->frameWidth() + DBGrid1->verticalHeader()->sizeHint().width() +
              style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, DBGrid1) + 2;
  for (int c = 0; c < Ds->columnCount(); ++c) width += DBGrid1->columnWidth(c);
  const int buttons = Panel1->sizeHint().width();
  const int height = 2 * DBGrid1->frameWidth() + DBGrid1->horizontalHeader()->sizeHint().height() +
                     visibleRows * DBGrid1->verticalHeader()->defaultSectionSize() + Panel1->sizeHint().height();
  FixSizeAndCentre(std::max(width, buttons), height);
  ToFirstRow();
  DBGrid1->setFocus();
}

TTableEditorWindow::~TTableEditorWindow() {
  // The grid and its model read the logic's table: they go first.
  delete DBGrid1;
  delete Ds;
}

void TTableEditorWindow::ToFirstRow() {
  if (Ds->rowCount() == 0) return;
  const int column = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : 0;
  DBGrid1->setCurrentIndex(Ds->index(0, column));
  DBGrid1->scrollToTop();
}

void TTableEditorWindow::BitBtn1Click() {
  if (!CommitTyping(DBGrid1)) return;
  const TActionResult result = FLogic->Read(Gauge());
  ToFirstRow();
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(result);
}

void TTableEditorWindow::BitBtn2Click() {
  if (!CommitTyping(DBGrid1)) return;
  const TActionResult result = FLogic->Program(Gauge());
  ToFirstRow();
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(result);
}

void TTableEditorWindow::BProgramChangesClick() {
  if (!CommitTyping(DBGrid1)) return;
  const TActionResult result = ProgramChangesOrAll(*this, *FLogic);
  ToFirstRow();
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(result);
}

void TTableEditorWindow::BVerifyClick() {
  if (!CommitTyping(DBGrid1)) return;
  ShowFailure(VerifyAndShow(*this, *FLogic, DBGrid1, EVerify, RowWording,
                            [this](const TDifference &d, const std::string &field) { GoToCode(d.Code, field); }));
}

void TTableEditorWindow::GoToCode(int64_t code, const std::string &field) {
  const int recNo = code >= INT32_MIN && code <= INT32_MAX ? FLogic->FindRow(int32_t(code)) : 0;
  if (recNo < 1) return;
  const int column = FLogic->ColumnOf(field);
  const int at = column >= 0 ? column : std::max(0, DBGrid1->currentIndex().column());
  DBGrid1->setCurrentIndex(Ds->index(recNo - 1, at));
  DBGrid1->scrollTo(Ds->index(recNo - 1, at));
  activateWindow();
  DBGrid1->setFocus();
}

TEdept::TEdept(const TProjectContext &context, QWidget *parent)
    : TTableEditorWindow(context, QStringLiteral("Edept"), QStringLiteral("Fisier departamente"), DeptDescription(), 20,
                         parent) {}

TETva::TETva(const TProjectContext &context, QWidget *parent)
    : TTableEditorWindow(context, QStringLiteral("ETva"), QStringLiteral("Fisier cote TVA"), TvaDescription(), 10, parent) {}

TEcasieri::TEcasieri(const TProjectContext &context, QWidget *parent)
    : TTableEditorWindow(context, QStringLiteral("Ecasieri"), QStringLiteral("Fisier Casieri"), CasieriDescription(), 12,
                         parent) {}

TEcurs::TEcurs(const TProjectContext &context, QWidget *parent)
    : TTableEditorWindow(context, QStringLiteral("Ecurs"), QStringLiteral("Fisier Curs valutar"), CursDescription(), 8,
                         parent) {}

TEFormaPlata::TEFormaPlata(const TProjectContext &context, QWidget *parent)
    : TTableEditorWindow(context, QStringLiteral("EFormaPlata"), QStringLiteral("Fisier forme de plata"),
                         FormePlataDescription(), 10, parent) {}
