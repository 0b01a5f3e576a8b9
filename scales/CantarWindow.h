// TECantar, "Programare cantare": the project's scale list and barcode
// prefix, and the button that sends the PLU editor's scale articles to the
// scales. The list and the prefix are saved however the window closes.
#pragma once

#include <string>

#include "EditorDialog.h"
#include "ScaleSettings.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TRecordSet;

class TECantar : public TEditorDialog {
 public:
  // plu: the open table of the PLU editor that opens this window.
  TECantar(std::string projectDir, const TRecordSet &plu, QWidget *parent = nullptr);
  ~TECantar() override;

  QLabel *Label1, *Label2, *Label3;
  QLabel *Status;  // says a transfer is under way
  QListWidget *ListaIP;
  QLineEdit *EIp;
  QLineEdit *Prefix;
  QPushButton *BitBtn3, *BitBtn4, *BitBtn2, *BStop;

  void FormShow();
  void FormClose();
  void BitBtn3Click();  // add the typed address
  void BitBtn4Click();  // remove the selected address
  void BitBtn2Click();  // send to the scales

  // The list and the prefix as the window holds them.
  TScaleSettings Settings() const;

  void done(int result) override;

 protected:
  void showEvent(QShowEvent *e) override;

 private:
  std::string FProjectDir;
  const TRecordSet &FPlu;
  bool FShown = false;
  bool FClosed = false;
};

extern TECantar *ECantar;
