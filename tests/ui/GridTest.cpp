// The editors' grid pieces over a real table: what a cell shows, what typing
// may change, the keys that never add a row, and the action guard.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "AppTestSupport.h"
#include "EditorDialog.h"
#include "EditorGrid.h"
#include "ProjectTables.h"

namespace {

// Departments: the name and the VAT group take typing; a name takes no "#".
class TDeptSource : public TGridSource {
 public:
  TDeptSource() : Table(NewTable(tiDepartamente)) {
    for (int c = 1; c <= 3; ++c) {
      Table.Append();
      FillDefaultRow(tiDepartamente, c, Table);
      Table.Post();
    }
    Table.First();
  }
  TRecordSet &GridTable() override { return Table; }
  const std::vector<TGridColumn> &GridColumns() const override {
    static const std::vector<TGridColumn> cols = {
        {"Cod", "Cod", true}, {"Nume", "Nume departament"}, {"TVA", "TVA", false, {"1", "2"}}};
    return cols;
  }
  bool AcceptsChar(int column, char c) const override { return !(column == 1 && c == '#'); }
  TRecordSet Table;
};

}  // namespace

TEST(Grid, CellsShowTheCodePageAndTypingGoesThroughTheRules) {
  TDeptSource src;
  TRecordSetModel model(src);
  QString refused;
  model.OnRefused = [&](const QString &why) { refused = why; };
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Nume departament");
  EXPECT_EQ(model.data(model.index(1, 1)).toString(), "DEPT 2");
  EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);

  EXPECT_TRUE(model.setData(model.index(1, 1), QString::fromUtf8("Pâine")));
  src.Table.SetRecNo(2);
  EXPECT_EQ(src.Table.AsString("Nume"), "P\xE2ine");  // stored as the register's byte
  for (const char *bad : {"Привет", "a#b"}) {
    refused.clear();
    EXPECT_FALSE(model.setData(model.index(1, 1), QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(refused.isEmpty()) << bad;
  }
  EXPECT_FALSE(model.setData(model.index(0, 2), "x"));  // not a number
  src.Table.SetRecNo(2);
  EXPECT_EQ(src.Table.AsString("Nume"), "P\xE2ine");
  EXPECT_NE(src.SetCell(1, 0, "9"), "");  // read-only, whoever asks

  // Rows added behind the model's back while controls are off appear later.
  src.Table.DisableControls();
  src.Table.Append();
  FillDefaultRow(tiDepartamente, 4, src.Table);
  src.Table.Post();
  EXPECT_EQ(model.rowCount(), 3);
  src.Table.EnableControls();
  EXPECT_EQ(model.rowCount(), 4);
}

TEST(Grid, DownOnTheLastRowNeitherAddsNorMovesAndInsertIsDiscarded) {
  TDeptSource src;
  TRecordSetModel model(src);
  TEditorGrid grid(model, nullptr);
  grid.show();
  grid.setCurrentIndex(model.index(1, 1));
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(grid.CurrentRecNo(), 3);
  QTest::keyClick(&grid, Qt::Key_Down);
  QTest::keyClick(&grid, Qt::Key_Insert);
  QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(grid.CurrentRecNo(), 3);
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(src.Table.RecordCount(), 3);
}

TEST(Grid, NoSecondActionAndNoClosingWhileOneRuns) {
  TEditorDialog dialog(QStringLiteral("ETest"), QStringLiteral("Test"));
  int started = 0, nestedStarted = 0;
  bool closedDuring = true;
  QPushButton *b = dialog.AddButton(dialog.Panel1, "BitBtn1", QStringLiteral("&Citire din casa"), [&] {
    ++started;
    dialog.Gauge().Begin(3);
    EXPECT_TRUE(dialog.g->isVisible() || !dialog.isVisible());
    // While the "register" is waited for, the user clicks again and closes.
    QEventLoop wait;
    QTimer::singleShot(0, [&] {
      b->click();
      nestedStarted = started;
      dialog.reject();
      dialog.close();
      closedDuring = !dialog.isVisible();
      wait.quit();
    });
    wait.exec();
    dialog.Gauge().End();
  });
  dialog.show();
  b->click();
  EXPECT_EQ(started, 1);
  EXPECT_EQ(nestedStarted, 1);
  EXPECT_FALSE(closedDuring);
  EXPECT_FALSE(dialog.g->isVisible());
  EXPECT_FALSE(dialog.Busy());
  dialog.reject();  // and afterwards it closes as usual
  EXPECT_FALSE(dialog.isVisible());
}
