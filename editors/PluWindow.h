// TEPlu, "Fisier PLU-uri": the window over TPluLogic. It shows the table,
// turns clicks into the logic's actions and shows what they return; every
// button runs through the dialog's guard, so nothing starts while a register
// action waits, and cells take no typing meanwhile.
#pragma once

#include <memory>

#include "EditorDialog.h"
#include "EditorGrid.h"
#include "PluLogic.h"

class QFrame;
class QPushButton;
class TEVerify;

class TEPlu : public TEditorDialog {
 public:
  // Opens the project's PLU.cds; throws ETableFile when it cannot be read.
  explicit TEPlu(TProjectContext context, QWidget *parent = nullptr);
  ~TEPlu() override;

  TPluLogic &Logic() { return *FLogic; }

  QFrame *Panel2;
  QPushButton *BitBtn3, *BitBtn4, *BSave, *BLoad;
  TEditorGrid *DBGrid1;
  QPushButton *BitBtn1, *BitBtn2, *BStop, *BitBtn5, *BitBtn6;
  QPushButton *BProgramChanges;  // "Programare mo&dificari"
  QPushButton *BVerify;          // "Veri&ficare casa"
  TEVerify *EVerify = nullptr;

  void BitBtn1Click();  // read from the register
  void BitBtn2Click();  // program the register
  void BitBtn3Click();  // add a PLU
  void BitBtn4Click();  // delete a new PLU, mark or unmark another
  void BitBtn5Click();  // erase all PLUs in the register
  void BitBtn6Click();  // the scales
  void BProgramChangesClick();
  void BVerifyClick();
  void BSaveClick();
  void BLoadClick();
  void DBGrid1EditButtonClick(int recNo);

 protected:
  void showEvent(QShowEvent *e) override;

 private:
  // Puts the grid's cursor on row recNo (from 1), keeping the column.
  void GoToRow(int recNo, int column = -1);
  // Opens the cell's editor when the cell takes typing.
  void OpenCellEditor(const QModelIndex &at);
  // The duplicate messages of a run refused for repeated codes, else its failure.
  void ShowRunFailure(const TActionResult &r);

  std::unique_ptr<TPluLogic> FLogic;
  std::unique_ptr<TRecordSetModel> FModel;
};

extern TEPlu *EPlu;
