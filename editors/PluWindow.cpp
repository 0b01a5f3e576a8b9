#include "PluWindow.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "CantarWindow.h"
#include "CodePage.h"
#include "EditorWindowParts.h"
#include "Projects.h"
#include "UserDialogs.h"
#include "VerifyWindow.h"

TEPlu *EPlu = nullptr;

namespace {

// A typed code moves its row to its place in Cod order: the grid's cursor
// goes with it, so what the user types next lands on the same PLU.
class TPluModel : public TRecordSetModel {
 public:
  TPluModel(TPluLogic &logic, std::function<void(int recNo)> moved)
      : TRecordSetModel(logic), FLogic(logic), FMoved(std::move(moved)) {}
  bool setData(const QModelIndex &index, const QVariant &value, int role) override {
    const bool stored = TRecordSetModel::setData(index, value, role);
    if (stored && index.column() == TPluLogic::colCodAlfa && FLogic.Table().RecNo() != index.row() + 1)
      FMoved(FLogic.Table().RecNo());
    return stored;
  }

 private:
  TPluLogic &FLogic;
  std::function<void(int)> FMoved;
};

// The grid, able to open a cell's editor quietly when one is open already.
class TPluGrid : public TEditorGrid {
 public:
  using TEditorGrid::TEditorGrid;
  void OpenEditor(const QModelIndex &at) { edit(at, AllEditTriggers, nullptr); }
};

}  // namespace

TEPlu::TEPlu(TProjectContext context, QWidget *parent)
    : TEditorDialog(QStringLiteral("EPlu"), QStringLiteral("Fisier PLU-uri"), parent),
      FLogic(std::make_unique<TPluLogic>(std::move(context))),
      FModel(std::make_unique<TPluModel>(*FLogic, [this](int recNo) {
        // After the grid has finished with the key that committed the code.
        QTimer::singleShot(0, this, [this, recNo] { GoToRow(recNo); });
      })) {
  Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  BitBtn3 = AddButton(Panel2, "BitBtn3", QStringLiteral("&Adauga"), [this] { BitBtn3Click(); }, false);
  BitBtn4 = AddButton(Panel2, "BitBtn4", QStringLiteral("&Sterge "), [this] { BitBtn4Click(); }, false);
  BSave = AddButton(Panel2, "BSave", QStringLiteral("Sal&vare fisier text"), [this] { BSaveClick(); }, false);
  BLoad = AddButton(Panel2, "BLoad", QStringLiteral("I&mport fiisier text"), [this] { BLoadClick(); }, false);
  auto *top = new QHBoxLayout(Panel2);
  top->setContentsMargins(8, 6, 8, 6);
  for (QPushButton *b : {BitBtn3, BitBtn4, BSave, BLoad}) top->addWidget(b);
  top->addStretch(1);

  DBGrid1 = new TPluGrid(*FModel, this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  // The cell editor is always shown: moving onto a cell that takes typing
  // opens it, so the Cantar cell's "..." is there at once.
  DBGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
  DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 8);
  // The name takes the width the other columns leave.
  DBGrid1->horizontalHeader()->setSectionResizeMode(TPluLogic::colNume, QHeaderView::Stretch);
  DBGrid1->Delegate()->OnEllipsis = [this](int recNo) {
    RunAction([this, recNo] { DBGrid1EditButtonClick(recNo); }, false);
  };
  FModel->OnRefused = [](const QString &why) { ShowError(why); };

  BitBtn1 = AddRegisterButton(Panel1, "BitBtn1", QStringLiteral("&Citire din casa"), [this] { BitBtn1Click(); });
  BitBtn2 = AddRegisterButton(Panel1, "BitBtn2", QStringLiteral("&Programare casa"), [this] { BitBtn2Click(); });
  BitBtn5 = AddRegisterButton(Panel1, "BitBtn5", QStringLiteral("Sterge &toate PLU-urile"), [this] { BitBtn5Click(); },
                      false);
  BitBtn6 = AddButton(Panel1, "BitBtn6", QStringLiteral("Cantare"), [this] { BitBtn6Click(); }, false);
  BProgramChanges = AddRegisterButton(Panel1, "BProgramChanges", ProgramChangesCaption, [this] { BProgramChangesClick(); },
                              false);
  BVerify = AddRegisterButton(Panel1, "BVerify", VerifyCaption, [this] { BVerifyClick(); }, false);
  SetRegisterSlot(FLogic->Context().Slot);
  BStop = AddCloseButton(*this);
  // The register's actions in two rows: verify under read, the changes
  // under the whole run.
  auto *bottom = new QGridLayout(Panel1);
  bottom->setContentsMargins(8, 6, 8, 6);
  bottom->setSpacing(6);
  bottom->addWidget(BitBtn1, 0, 0);
  bottom->addWidget(BitBtn2, 0, 1);
  bottom->addWidget(BVerify, 1, 0);
  bottom->addWidget(BProgramChanges, 1, 1);
  bottom->addWidget(BitBtn5, 0, 2);
  bottom->addWidget(BitBtn6, 0, 3);
  bottom->addWidget(g, 0, 4);
  bottom->setColumnStretch(4, 1);
  bottom->addWidget(BStop, 0, 5);
  g->setMinimumWidth(80);
  // Keep the buttons where they are when the gauge appears.
  QSizePolicy keep = g->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  g->setSizePolicy(keep);

  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(Panel2);
  outer->addWidget(DBGrid1, 1);
  outer->addWidget(Panel1);
  FixSizeAndCentre(900, 520);
  if (FModel->rowCount() > 0) GoToRow(1, TPluLogic::colNume);
}

TEPlu::~TEPlu() {
  // The grid goes before the model it shows, the model before the table.
  delete DBGrid1;
  FModel.reset();
}

void TEPlu::OpenCellEditor(const QModelIndex &at) {
  if (DBGrid1->isVisible() && at.isValid() && (FModel->flags(at) & Qt::ItemIsEditable))
    static_cast<TPluGrid *>(DBGrid1)->OpenEditor(at);
}

void TEPlu::showEvent(QShowEvent *e) {
  TEditorDialog::showEvent(e);
  // The first cell's editor, which could not open while the window was hidden.
  OpenCellEditor(DBGrid1->currentIndex());
}

void TEPlu::GoToRow(int recNo, int column) {
  if (column < 0) column = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : 0;
  const int rows = FModel->rowCount();
  if (rows == 0) return;
  if (recNo > rows) recNo = rows;
  if (recNo < 1) recNo = 1;
  const QModelIndex at = FModel->index(recNo - 1, column);
  DBGrid1->setCurrentIndex(at);
  DBGrid1->scrollTo(at);
  // The cell editor is always shown, also when the cursor stayed where it
  // was and a button took the focus from it.
  OpenCellEditor(at);
}

void TEPlu::BitBtn1Click() {
  if (!CommitTyping(DBGrid1)) return;
  const TActionResult r = FLogic->Read(Gauge());
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(r);
  GoToRow(1);
}

void TEPlu::ShowRunFailure(const TActionResult &r) {
  if (!FLogic->DuplicateMessages().empty()) {
    for (const std::string &m : FLogic->DuplicateMessages()) ShowError(ToDisplay(m));
  } else {
    ShowFailure(r);
  }
}

void TEPlu::BitBtn2Click() {
  if (!CommitTyping(DBGrid1)) return;
  const TActionResult r = FLogic->Program(Gauge());
  HideStaleVerify(EVerify, *FLogic);
  ShowRunFailure(r);
  GoToRow(1);
}

void TEPlu::BProgramChangesClick() {
  if (!CommitTyping(DBGrid1)) return;
  const TActionResult r = ProgramChangesOrAll(*this, *FLogic);
  HideStaleVerify(EVerify, *FLogic);
  ShowRunFailure(r);
  GoToRow(1);
}

void TEPlu::BVerifyClick() {
  if (!CommitTyping(DBGrid1)) return;
  ShowFailure(VerifyAndShow(*this, *FLogic, DBGrid1, EVerify, RowWording,
                            [this](const TDifference &d, const std::string &field) {
                              const int recNo = FLogic->FindCode(d.Code);
                              if (recNo < 1) return;
                              const int column = FLogic->ColumnOf(field);
                              GoToRow(recNo, column >= 0 ? column : TPluLogic::colCodAlfa);
                              activateWindow();
                              DBGrid1->setFocus();
                            }));
}

void TEPlu::BitBtn3Click() {
  const int recNo = FLogic->Add();
  // Focus first: the code cell's editor opens with the row and must keep it.
  DBGrid1->setFocus();
  if (recNo > 0) GoToRow(recNo, TPluLogic::colCodAlfa);
}

void TEPlu::BitBtn4Click() {
  const int recNo = DBGrid1->CurrentRecNo();
  if (FLogic->Table().IsEmpty() || recNo < 1) return;
  FLogic->DeleteOrMark(recNo);
  GoToRow(recNo);
}

void TEPlu::BitBtn5Click() {
  if (!CommitTyping(DBGrid1)) return;
  if (!AskYesNo(QString::fromLatin1(EraseAllQuestion))) return;
  TWaitCursor wait;
  ShowFailure(FLogic->EraseAll());
  HideStaleVerify(EVerify, *FLogic);
}

void TEPlu::BitBtn6Click() {
  if (!CommitTyping(DBGrid1)) return;
  if (const TActionResult saved = FLogic->SavePluTable(); !saved.Ok) {
    ShowFailure(saved);
    return;
  }
  struct TClear {
    ~TClear() { ECantar = nullptr; }
  } clear;
  std::unique_ptr<TECantar> window(new TECantar(FLogic->Context().Dir, FLogic->Table(), this));
  ECantar = window.get();
  window->exec();
}

void TEPlu::BSaveClick() {
  if (!CommitTyping(DBGrid1)) return;
  const std::optional<QString> file = ChooseTextFileToSave(
      QStringLiteral("Salvare fisier text"), QString::fromLocal8Bit(FLogic->Context().Dir.c_str()));
  if (!file) return;
  TWaitCursor wait;
  ShowFailure(FLogic->SaveTextFile(PathBytes(*file)));
}

void TEPlu::BLoadClick() {
  if (!CommitTyping(DBGrid1)) return;
  const std::optional<QString> file = ChooseTextFileToOpen(
      QStringLiteral("Import fisier text"), QString::fromLocal8Bit(FLogic->Context().Dir.c_str()));
  if (!file) return;
  TWaitCursor wait;
  ShowFailure(FLogic->ImportTextFile(PathBytes(*file)));
  GoToRow(1);
}

void TEPlu::DBGrid1EditButtonClick(int recNo) {
  FLogic->ToggleScaleMark(recNo);
  GoToRow(FLogic->Table().RecNo(), TPluLogic::colCantar);
}
