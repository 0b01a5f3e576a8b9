// The PLU editor's register actions end to end: the logic, the project's
// link and the simulated register on a pseudo-terminal.
#include "PluLogic.h"
#include "PluTestProject.h"
#include "ProjectTables.h"

#include <unistd.h>

namespace {

using PluRegisterTest = PluProject;

std::string Line(int64_t cod, const std::string &name, int64_t pret1Cents) {
  Sim::TPlu p;
  p.Cod = cod;
  p.Nume = name;
  p.CodDep = 2;
  p.CodUM = 1;
  p.Pret1 = pret1Cents;
  return Sim::PluLine(p);
}

bool AnyFlag(const TRecordSet &t) {
  for (int r = 1; r <= t.RecordCount(); ++r)
    for (const char *f : {"Nou", "Sters"})
      if (const TFieldValue v = t.ValueAt(r, t.FieldNo(f)); std::holds_alternative<bool>(v) && std::get<bool>(v))
        return true;
  return false;
}

}  // namespace

TEST_F(PluRegisterTest, ReadReplacesTheWholeTableAndClearsTheScaleMarks) {
  SavePlu({{77, true, false, "x"}, {5, false, false, "x"}});
  std::string shortLine = Line(9, "SCURT", 100);
  shortLine.resize(shortLine.rfind(';'));  // 45 fields
  Sim.WithEngine([&](Sim::TEngine &e) {
    e.SetAnswer("D10000", {Line(5, "MERE", 450), shortLine, Line(0, "ZERO", 1), Line(5941234567890, "CIOCOLATA", 725),
                           Line(5, "PERE", 390)});
  });
  TPluLogic logic(Context);
  TProgress progress;
  const TActionResult r = logic.Read(progress);
  ASSERT_TRUE(r.Ok) << r.Text();
  const TRecordSet &t = logic.Table();
  EXPECT_EQ(Codes(t), (std::vector<int64_t>{5, 5941234567890}));  // 77 lived only on the PC
  logic.GridTable().SetRecNo(1);
  EXPECT_EQ(t.AsString("Nume"), "PERE");  // the later line changed the row of this read
  EXPECT_EQ(t.AsFloat("Pret1"), 3.9);
  EXPECT_EQ(t.AsString("Cantar"), " ");
  logic.GridTable().SetRecNo(2);
  EXPECT_EQ(t.AsString("CodAlfa"), "05941234567890");
  EXPECT_EQ(t.AsFloat("Pret1"), 7.25);  // "7.25" on the line
  EXPECT_FALSE(AnyFlag(t));
  EXPECT_EQ(FileCodes(), (std::vector<int64_t>{5, 5941234567890}));

  // An empty answer leaves the table as it was.
  Sim.WithEngine([&](Sim::TEngine &e) { e.SetAnswer("D10000", {}); });
  ASSERT_TRUE(logic.Read(progress).Ok);
  EXPECT_EQ(Codes(t), (std::vector<int64_t>{5, 5941234567890}));
}

TEST_F(PluRegisterTest, ProgrammingTakesTheFlagsIntoEffectAndClosesTheUpload) {
  const struct {
    std::vector<TPluRow> Rows;
    std::vector<std::string> Closing;
    std::vector<int64_t> Register, Table;
  } cases[] = {
      {{{100}, {200, false, true}, {300, true}}, {"CPB"}, {100, 300}, {100, 300}},
      {{{100}, {300, true}}, {"CPM"}, {100, 200, 300}, {100, 300}},
      {{{100}, {200, false, true}}, {"CPD"}, {100}, {100}},
      {{{100}, {200}}, {}, {100, 200}, {100, 200}},
  };
  for (const auto &c : cases) {
    SetRegisterCodes({100, 200});
    Sim.WithEngine([](Sim::TEngine &e) {
      e.BareCommands.clear();
      e.Stats = {};
    });
    SavePlu(c.Rows);
    TPluLogic logic(Context);
    TProgress progress;
    const TActionResult r = logic.Program(progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(Sim.Stats().Records, c.Rows.size());
    EXPECT_EQ(BareCommands(c.Closing.size()), c.Closing);
    EXPECT_EQ(RegisterCodes(), c.Register);
    EXPECT_EQ(Codes(logic.Table()), c.Table);
    EXPECT_FALSE(AnyFlag(logic.Table()));
    EXPECT_EQ(FileCodes(), c.Table);
  }
}

TEST_F(PluRegisterTest, ARefusedRecordLeavesTheSentRowsChangedAndTheFileAsItWas) {
  SetRegisterCodes({2});
  SavePlu({{1, true}, {2, false, true}, {3, true}});
  Sim::TFaults f;
  f.RefuseWrite = 3;
  Sim.SetFaults(f);
  TPluLogic logic(Context);
  TProgress progress;
  const TActionResult r = logic.Program(progress);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, "Operatie nereusita!\r");
  EXPECT_EQ(r.RowCode, "00000000000003");
  EXPECT_EQ(r.Row, 3);
  EXPECT_EQ(r.Reason, "COM1 (" + Dir.Path() + "/sim): casa de marcat a refuzat: Intrare invalida [1]");  // at once
  // Row 1 became a normal PLU, row 2 went; row 3 was not taken.
  const TRecordSet &t = logic.Table();
  EXPECT_EQ(Codes(t), (std::vector<int64_t>{1, 3}));
  EXPECT_EQ(logic.RowColour(1), -1);
  EXPECT_EQ(logic.RowColour(2), 0x00FFFF);
  EXPECT_EQ(RegisterCodes(), std::vector<int64_t>{1});
  EXPECT_TRUE(BareCommands().empty());
  EXPECT_EQ(FileCodes(), (std::vector<int64_t>{1, 2, 3}));
  EXPECT_TRUE(AnyFlag(OpenProjectTable(Project, tiPLU)));
}

TEST_F(PluRegisterTest, NothingIsSentForAnEmptyTableOrRepeatedCodes) {
  const struct {
    std::vector<TPluRow> Rows;
    std::vector<std::string> Messages;
  } cases[] = {
      {{}, {"Nu exista nici un PLU pentru a fi trimis in casa de marcat !\r"}},
      {{{4}, {4}, {6}, {4}}, {"Cod PLU dublat !\r00000000000004", "Cod PLU dublat !\r00000000000004"}},
  };
  for (const auto &c : cases) {
    SavePlu(c.Rows);
    TPluLogic logic(Context);
    TProgress progress;
    const TActionResult r = logic.Program(progress);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, c.Messages.front());
    if (c.Messages.size() > 1) {
      EXPECT_EQ(logic.DuplicateMessages(), c.Messages);
    }
  }
  EXPECT_EQ(Sim.Stats().FramesIn, 0u);
}

TEST_F(PluRegisterTest, EraseAllSendsCpxAndSavesTheEmptyTable) {
  SetRegisterCodes({1, 2});
  SavePlu({{1}, {2}});
  TPluLogic logic(Context);
  ASSERT_TRUE(logic.EraseAll().Ok);
  EXPECT_EQ(BareCommands(1), std::vector<std::string>{"CPX"});
  EXPECT_TRUE(RegisterCodes().empty());
  EXPECT_TRUE(logic.Table().IsEmpty());
  EXPECT_TRUE(FileCodes().empty());

  // Without serial settings nothing is sent and nothing changes.
  SavePlu({{1}});
  ::unlink((Project + "/setari.cds").c_str());
  TPluLogic unset(Context);
  const TActionResult r = unset.EraseAll();
  EXPECT_EQ(r.Notice, "Nu ai setat parametrii de comunicatie seriala !\r");
  EXPECT_EQ(r.Message, "Nu pot deschide portul serial !\r");
  EXPECT_EQ(FileCodes(), std::vector<int64_t>{1});
}
