// What only the scale window does: loading the list and the prefix when it
// shows, the digits-only prefix, refusing an address that is no file name,
// and saving both however it closes.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <sstream>

#include "AppTestSupport.h"
#include "CantarWindow.h"
#include "ProjectTables.h"
#include "ScratchDir.h"

TEST(CantarWindow, LoadsEditsAndSavesTheListAndPrefix) {
  TScratchDir dir;
  SaveScaleSettings(dir.Path(), {{"10.0.0.7"}, "21"});
  const TRecordSet plu = NewTable(tiPLU);
  TMessageLog log;
  {
    TECantar w(dir.Path(), plu);
    w.show();
    ASSERT_EQ(w.ListaIP->count(), 1);
    EXPECT_EQ(w.Prefix->text(), "21");
    QTest::keyClicks(w.Prefix, "3a-4");
    EXPECT_EQ(w.Prefix->text(), "2134");
    QTest::keyClicks(w.EIp, "../x");
    w.BitBtn3->click();
    ASSERT_EQ(log.Texts().size(), 1u);  // refused, kept in the box
    EXPECT_EQ(w.ListaIP->count(), 1);
    w.EIp->setText("10.0.0.8");
    w.BitBtn3->click();
    EXPECT_EQ(w.EIp->text(), "");
    EXPECT_EQ(w.ListaIP->currentRow(), 1);
    w.ListaIP->setCurrentRow(0);
    w.BitBtn4->click();
    w.BitBtn2->click();  // no PLUs marked "x" in an empty table
    ASSERT_EQ(log.Texts().size(), 2u);
    w.BStop->click();
  }
  const TScaleSettings saved = LoadScaleSettings(dir.Path());
  EXPECT_EQ(saved.Scales, std::vector<std::string>{"10.0.0.8"});
  EXPECT_EQ(saved.Prefix, "2134");
}
