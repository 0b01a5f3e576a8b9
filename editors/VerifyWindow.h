// The differences a verify found between the project's table and the
// register, listed over the editor window that asked: one line per
// differing field (its name, the project's value, the register's), and one
// per row only one side holds or a code repeats. The window stays open
// while the user works on in the editor; a double click on a line goes to
// its row there.
#pragma once

#include <functional>
#include <string>

#include <QDialog>

#include "RegisterCompare.h"

class QLabel;
class QPushButton;
class QTableWidget;

// How the list speaks of what it compares: the title of the code column, the
// plural of a compared unit and what the grid marks.
struct TVerifyWording {
  QString CodeTitle, Units, Marked, Goes;
};
// Table rows, by their Cod.
extern const TVerifyWording RowWording;
// Parameter and option blocks: the grid marks positions.
extern const TVerifyWording BlockWording;

class TEVerify : public QDialog {
 public:
  explicit TEVerify(QWidget *editor);

  // Shows report under the editor's caption, in the given wording.
  void ShowReport(const TVerifyReport &report, const QString &editorCaption, const TVerifyWording &wording);
  // A line was double-clicked: its difference and, for a differing field,
  // the field's name ("" otherwise).
  std::function<void(const TDifference &, const std::string &field)> OnGoTo;
  // What a field is called in the list; its name when not set.
  std::function<QString(const TDifference &, const std::string &field)> FieldTitle;

  QLabel *Summary;
  QTableWidget *List;
  QPushButton *BClose;

 private:
  TVerifyReport FReport;
};

// What a difference of one kind is called in the list ("doar in proiect").
QString DifferenceText(const TDifference &d);
