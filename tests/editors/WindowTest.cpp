// What only the editor windows do: keep a second action (or closing) from
// starting under a running one, the gauge, the grid's keys, the password
// typing filter, and the programming button of the parameter list.
#include <gtest/gtest.h>

#include <algorithm>

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "AppTestSupport.h"
#include "BlockEditorWindow.h"
#include "EditorEnv.h"
#include "SerialSettings.h"
#include "TableEditorWindow.h"

namespace {

class Windows : public EditorEnv {
 protected:
  int Sent(const std::string &command) {
    return Sim.WithEngine([&](Sim::TEngine &e) { return int(std::count(e.Commands.begin(), e.Commands.end(), command)); });
  }
  TMessageLog Log;
};

}  // namespace

TEST_F(Windows, NothingElseStartsAndTheWindowStaysWhileARegisterActionRuns) {
  Sim::TFaults slow;
  slow.ByteDelayMs = 10;  // each acceptance takes 70 ms: the six records half a second
  Faults(slow);
  TETva window(WindowContext());
  window.show();
  bool busyDuring = false, linkDuring = false, visibleDuring = false, gaugeDuring = false;
  QTimer::singleShot(100, [&] {
    busyDuring = window.Busy();
    linkDuring = Slot.Holder() == window.windowTitle().toStdString();
    gaugeDuring = window.g->isVisible();
    window.BitBtn1->click();
    window.BitBtn2->click();
    window.BStop->click();
    QTest::keyClick(&window, Qt::Key_Escape);
    window.close();
    visibleDuring = window.isVisible();
  });
  window.BitBtn2->click();
  EXPECT_TRUE(busyDuring);
  EXPECT_TRUE(linkDuring);
  EXPECT_TRUE(gaugeDuring);
  EXPECT_TRUE(visibleDuring);
  EXPECT_EQ(Sent("D260"), 0);
  EXPECT_EQ(Sim.Stats().Records, 6u);
  EXPECT_TRUE(Log.Shown.empty());
  EXPECT_FALSE(Slot.Busy());
  EXPECT_FALSE(window.Busy());
  EXPECT_FALSE(window.g->isVisible());
  EXPECT_EQ(window.g->value(), 6);
  window.BStop->click();
  EXPECT_FALSE(window.isVisible());
}

// The gauge while a read waits for the register: it shows, counts the
// lines as they come, and goes when the read is done.
TEST_F(Windows, TheGaugeCountsTheLinesWhileAReadWaits) {
  const int lines = int(SimLines("D2000").size());
  Sim::TFaults slow;
  slow.ByteDelayMs = 3;  // a line about every tenth of a second
  Faults(slow);
  TEcasieri window(WindowContext());
  window.show();
  std::vector<int> seen;  // each count the visible gauge showed
  QString text;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const int n = window.g->Received();
    if (!window.g->isVisible() || n <= 0 || (!seen.empty() && seen.back() == n)) return;
    seen.push_back(n);
    text = window.g->text();
  });
  watch.start(10);
  window.BitBtn1->click();
  watch.stop();
  EXPECT_TRUE(Log.Shown.empty());
  EXPECT_GE(seen.size(), 3u) << ::testing::PrintToString(seen);  // it moved
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << ::testing::PrintToString(seen);
  EXPECT_LE(seen.back(), lines);
  EXPECT_EQ(text, QString::number(seen.back()) + " linii primite");
  EXPECT_FALSE(window.g->isVisible());
  EXPECT_EQ(window.g->Received(), -1);
}

TEST_F(Windows, AFailureShowsTheFixedMessageWithItsReasonUnderIt) {
  SaveSerialSettings(Project, {5, 3});
  TEcurs window(WindowContext());
  window.show();
  window.BitBtn2->click();
  ASSERT_EQ(Log.Shown.size(), 1u);
  EXPECT_EQ(Log.Shown[0].Title, "Eroare");
  EXPECT_TRUE(Log.Shown[0].Text.startsWith("Nu pot deschide portul serial !\rCOM5 (")) << Log.Shown[0].Text.toStdString();
  EXPECT_TRUE(Log.Shown[0].Text.contains("no-such-port")) << Log.Shown[0].Text.toStdString();
  EXPECT_FALSE(window.g->isVisible());
}

TEST_F(Windows, TheGridNeverAddsOrDeletesRows) {
  TEdept window(WindowContext());
  window.show();
  TEditorGrid *grid = window.DBGrid1;
  grid->setCurrentIndex(window.Ds->index(19, 1));
  for (auto [key, mods] : {std::pair{Qt::Key_Down, Qt::NoModifier}, std::pair{Qt::Key_Insert, Qt::NoModifier},
                           std::pair{Qt::Key_Delete, Qt::ControlModifier}})
    QTest::keyClick(grid, key, mods);
  EXPECT_EQ(grid->CurrentRecNo(), 20);
  EXPECT_EQ(window.Logic().Table().RecordCount(), 20);
  EXPECT_EQ(window.Ds->rowCount(), 20);
}

TEST_F(Windows, APasswordTakesOnlyDigitsAndIsCompletedToEight) {
  TEcasieri window(WindowContext());
  window.show();
  QApplication::setActiveWindow(&window);
  const QModelIndex cell = window.Ds->index(1, window.Logic().ColumnOf("Parola"));
  window.DBGrid1->setCurrentIndex(cell);
  window.DBGrid1->edit(cell);
  auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->clear();
  QTest::keyClicks(editor, "4a2");
  EXPECT_EQ(editor->text(), "42");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the grid commits a cell after the key
  EXPECT_EQ(window.Logic().CellText(2, cell.column()), "00000042");
  EXPECT_TRUE(Log.Shown.empty());
}

TEST_F(Windows, TheParameterListCanBeProgrammedOnlyAfterARead) {
  TESP window(WindowContext());
  window.show();
  EXPECT_EQ(window.size(), QSize(496, 499));
  EXPECT_EQ(window.DsMan->rowCount(), 26);
  EXPECT_EQ(window.DsMan->headerData(0, Qt::Horizontal).toString(), "Semnificatie parametru");
  EXPECT_FALSE(window.BSave->isEnabled());
  EXPECT_FALSE(window.DBGrid1->isVisible());
  window.BitBtn1->click();
  EXPECT_TRUE(Log.Shown.empty());
  EXPECT_TRUE(window.BSave->isEnabled());
  ASSERT_TRUE(window.DsMan->setData(window.DsMan->index(3, 1), "12"));  // block 2, position 21
  window.BSave->click();
  EXPECT_TRUE(Log.Shown.empty());
  EXPECT_EQ(Sim.Stats().Records, 8u);
  EXPECT_EQ(SimLines("D16")[1].rfind("16;2;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;12;", 0), 0u);
}
