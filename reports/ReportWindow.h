// The report viewer "Raport": the report's lines in a read-only memo, saved
// to a text file with "&Salveaza".
#pragma once

#include <string>

#include <QDialog>

#include "TextHelpers.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TERaport : public QDialog {
  Q_OBJECT
 public:
  // lines: the text as shown (already laid out); projectDir: where the save
  // dialog starts; kept: the file the register's lines are kept in, or "".
  TERaport(const QString &title, TLineList lines, std::string projectDir, const std::string &kept = {},
           QWidget *parent = nullptr);
  ~TERaport() override;

  QPlainTextEdit *aMemo;
  QFrame *Panel1;
  QPushButton *BSave;
  QPushButton *BStop;
  QLabel *LKept;

  // Asks for a file name and writes the memo's lines, CR LF after each.
  void BSaveClick();
  const TLineList &Lines() const { return FLines; }

 private:
  TLineList FLines;  // the memo's lines as bytes, saved exactly
  std::string FProjectDir;
};

extern TERaport *ERaport;

// Shows a report's text (ReportText of its lines) modally under title, in a
// fresh viewer that is destroyed when it closes; kept as for TERaport.
void ShowReport(const std::string &title, TLineList text, const std::string &projectDir,
                const std::string &kept = {});
