// The windows of the system parameter and system option editors: the list
// `GMan` of described positions over the panel with "&Citire din casa",
// "&Programare casa" (`BSave`, disabled until a read when the project had
// no block table yet), the gauge and "I&esire". The block table's own grid
// `DBGrid1` exists but is never shown.
#pragma once

#include <memory>

#include "BlockEditor.h"
#include "EditorDialog.h"
#include "EditorGrid.h"

class QPushButton;
class TEVerify;

class TBlockEditorWindow : public TEditorDialog {
 public:
  TBlockEditorWindow(const TProjectContext &context, const QString &objectName, const QString &caption,
                     const TBlockDescription &description, int clientWidth, int clientHeight, QWidget *parent);
  ~TBlockEditorWindow() override;

  TBlockEditor &Logic() { return *FLogic; }

  TRecordSetModel *DsMan;
  TEditorGrid *GMan;
  TRecordSetModel *Ds;
  TEditorGrid *DBGrid1;
  QPushButton *BitBtn1;  // "&Citire din casa"
  QPushButton *BSave;    // "&Programare casa"
  QPushButton *BProgramChanges;  // "Programare mo&dificari"
  QPushButton *BVerify;          // "Veri&ficare casa"
  QPushButton *BStop;    // "I&esire"
  TEVerify *EVerify = nullptr;

  void BitBtn1Click();
  void BSaveClick();
  void BProgramChangesClick();
  void BVerifyClick();

 private:
  void ToFirstRow();
  // The list's row of a block's position (the block's first listed one
  // when field is not a listed position).
  void GoToPosition(int64_t block, const std::string &field);

  std::unique_ptr<TBlockEditor> FLogic;
};

class TESP : public TBlockEditorWindow {
 public:
  explicit TESP(const TProjectContext &context, QWidget *parent = nullptr);
};
class TESO : public TBlockEditorWindow {
 public:
  explicit TESO(const TProjectContext &context, QWidget *parent = nullptr);
};

extern TESP *ESP;
extern TESO *ESO;
