// The PLU editor's changes run and verify against the simulator: new and
// marked PLUs always go and close the upload, repeated codes are said so,
// an erase leaves an empty image rather than none.
#include <QPushButton>
#include <QTableWidget>

#include "AppTestSupport.h"
#include "PluLogic.h"
#include "PluTestProject.h"
#include "PluWindow.h"
#include "RegisterTables.h"
#include "VerifyWindow.h"

namespace {

class PluChanges : public PluProject {
 protected:
  void ResetLog() {
    Sim.WithEngine([](Sim::TEngine &e) {
      e.Stats = {};
      e.BareCommands.clear();
    });
  }
  std::string RegisterName(int64_t code) {
    return Sim.WithEngine([&](Sim::TEngine &e) { return e.Tables.Plus.count(code) ? e.Tables.Plus[code].Nume : ""; });
  }
  TProgress Quiet;
};

}  // namespace

TEST_F(PluChanges, NewAndMarkedPlusAlwaysGoAndCloseTheUploadAsAFullRunWould) {
  enum { Rename = 1, AddNew = 2, Mark = 4 };
  const struct {
    int Edits;
    uint64_t Records;
    std::vector<std::string> Closing;
    std::vector<int64_t> Register;
  } cases[] = {
      {Rename | AddNew | Mark, 3, {"CPB"}, {100, 200, 400}},
      {AddNew, 1, {"CPM"}, {100, 200, 300, 400}},
      {Mark, 1, {"CPD"}, {100, 200}},
      {Rename, 1, {}, {100, 200, 300}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Edits);
    SetRegisterCodes({100, 200, 300});
    TPluLogic logic(Context);
    ASSERT_TRUE(logic.Read(Quiet).Ok);
    if (c.Edits & Rename) {
      ASSERT_EQ(logic.SetCell(logic.FindCode(200), TPluLogic::colNume, "NOU"), "");
    }
    if (c.Edits & AddNew) {
      ASSERT_EQ(logic.SetCell(logic.Add(), TPluLogic::colCodAlfa, "400"), "");
    }
    if (c.Edits & Mark) logic.SetDeletionMark(logic.FindCode(300), true);
    ResetLog();
    const TActionResult r = logic.ProgramChanges(Quiet);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(Records(), c.Records);
    EXPECT_EQ(BareCommands(c.Closing.size()), c.Closing);
    EXPECT_EQ(RegisterCodes(), c.Register);
    EXPECT_EQ(RegisterName(200), c.Edits & Rename ? "NOU" : "REG200");
    EXPECT_EQ(FileCodes(), Codes(logic.Table()));
    // The image took the run in: nothing more to send, nothing to close.
    ResetLog();
    ASSERT_TRUE(logic.ProgramChanges(Quiet).Ok);
    EXPECT_EQ(Records(), 0u);
    EXPECT_EQ(BareCommands(), std::vector<std::string>{});
    ASSERT_TRUE(logic.Verify(Quiet).Ok);
    EXPECT_TRUE(logic.LastVerify().Same());
  }
}

TEST_F(PluChanges, VerifyComparesByCodeAndSaysWhenACodeRepeats) {
  SavePlu({{1}, {3}, {3}, {9}, {8, false, true}});
  auto line = [](int64_t code, const char *name) {
    Sim::TPlu p;
    p.Cod = code;
    p.Nume = name;
    p.CodDep = 1;
    p.CodUM = 1;
    p.Pret1 = code;  // hundredths, as the project's prices
    return Sim::PluLine(p);
  };
  Sim.WithEngine([&](Sim::TEngine &e) {
    e.SetAnswer("D10000", {line(1, "ART1"), line(2, "A"), line(2, "B"), line(8, "ART8")});
  });
  TPluLogic logic(Context);
  const TActionResult r = logic.Verify(Quiet);
  ASSERT_TRUE(r.Ok) << r.Text();
  std::vector<std::pair<std::string, TDifferenceKind>> found;
  for (const TDifference &d : logic.LastVerify().Differences) found.push_back({d.CodeText, d.Kind});
  using K = TDifferenceKind;
  const std::vector<std::pair<std::string, TDifferenceKind>> expected = {
      {"00000000000002", K::RepeatedInRegister}, {"00000000000002", K::OnlyInRegister},
      {"00000000000003", K::RepeatedInProject},  {"00000000000003", K::OnlyInProject},
      {"00000000000008", K::MarkedButInRegister}, {"00000000000009", K::OnlyInProject}};
  EXPECT_EQ(found, expected);
  // Both rows of the repeated code are marked; code 1 is the register's.
  EXPECT_EQ(logic.RowColour(2), VerifyMarkColour);
  EXPECT_EQ(logic.RowColour(3), VerifyMarkColour);
  EXPECT_EQ(logic.RowColour(1), -1);
  EXPECT_EQ(logic.RowColour(4), 0xF94444);  // the mark for deletion shows first
  EXPECT_EQ(FileCodes(), (std::vector<int64_t>{1, 3, 3, 8, 9}));  // the table file as it was
}

TEST_F(PluChanges, AnEraseLeavesAnEmptyImageSoEveryRowGoesNext) {
  SetRegisterCodes({1, 2});
  SavePlu({{1}, {2}});
  {
    TPluLogic logic(Context);
    const TActionResult r = logic.ProgramChanges(Quiet);
    EXPECT_EQ(r.Message, NoImageMessage);
    EXPECT_EQ(Records(), 0u);
    ASSERT_TRUE(logic.EraseAll().Ok);
  }
  SavePlu({{1}, {2}, {3}});
  TPluLogic logic(Context);
  ResetLog();
  ASSERT_TRUE(logic.ProgramChanges(Quiet).Ok);
  EXPECT_EQ(Records(), 3u);
  EXPECT_EQ(RegisterCodes(), (std::vector<int64_t>{1, 2, 3}));
}
