// The windows of the departments, VAT, cashiers, exchange-rate and
// payment-form editors: one window over TTableEditor, named five ways. The
// grid `DBGrid1` fills the window above the panel with "&Citire din casa",
// "&Programare casa", the gauge and "I&esire".
#pragma once

#include <memory>

#include "EditorDialog.h"
#include "EditorGrid.h"
#include "TableEditor.h"

class QPushButton;
class TEVerify;

class TTableEditorWindow : public TEditorDialog {
 public:
  // FormCreate: opens the table of the project the main window gives
  // (ETableFile escapes when its file cannot be read; nothing is then shown
  // or written). Its register buttons take the context's register slot.
  TTableEditorWindow(const TProjectContext &context, const QString &objectName, const QString &caption,
                     const TTableDescription &description, int visibleRows, QWidget *parent);
  ~TTableEditorWindow() override;  // FormDestroy: the table goes, unsaved

  TTableEditor &Logic() { return *FLogic; }

  TRecordSetModel *Ds;
  TEditorGrid *DBGrid1;
  QPushButton *BitBtn1;  // "&Citire din casa"
  QPushButton *BitBtn2;  // "&Programare casa"
  QPushButton *BProgramChanges;  // "Programare mo&dificari"
  QPushButton *BVerify;          // "Veri&ficare casa"
  QPushButton *BStop;    // "I&esire"
  TEVerify *EVerify = nullptr;  // the differences of the last verify, once there were some

  void BitBtn1Click();
  void BitBtn2Click();
  void BProgramChangesClick();
  void BVerifyClick();

 private:
  void ToFirstRow();
  void GoToCode(int64_t code, const std::string &field);

  std::unique_ptr<TTableEditor> FLogic;
};

class TEdept : public TTableEditorWindow {
 public:
  explicit TEdept(const TProjectContext &context, QWidget *parent = nullptr);
};
class TETva : public TTableEditorWindow {
 public:
  explicit TETva(const TProjectContext &context, QWidget *parent = nullptr);
};
class TEcasieri : public TTableEditorWindow {
 public:
  explicit TEcasieri(const TProjectContext &context, QWidget *parent = nullptr);
};
class TEcurs : public TTableEditorWindow {
 public:
  explicit TEcurs(const TProjectContext &context, QWidget *parent = nullptr);
};
class TEFormaPlata : public TTableEditorWindow {
 public:
  explicit TEFormaPlata(const TProjectContext &context, QWidget *parent = nullptr);
};

// The window while it is shown, else null.
extern TEdept *Edept;
extern TETva *ETva;
extern TEcasieri *Ecasieri;
extern TEcurs *Ecurs;
extern TEFormaPlata *EFormaPlata;
