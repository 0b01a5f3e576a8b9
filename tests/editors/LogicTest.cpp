// The editors' logic against the simulated register, without a window: what
// a read takes, what a programming run leaves in the register and in the
// table file, and what a failure says.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "BlockEditor.h"
#include "EditorEnv.h"
#include "FieldText.h"
#include "ProjectTables.h"
#include "SerialSettings.h"
#include "TableFile.h"
#include "TarvoCore.h"
#include "ValueText.h"

namespace {

// The table holds exactly what the register's lines say, field by field.
void ExpectTableIsRegister(TTableEditor &editor, const std::vector<std::string> &lines) {
  const TTableDescription &d = editor.Description();
  TRecordSet &t = editor.Table();
  ASSERT_EQ(size_t(t.RecordCount()), lines.size()) << d.ReadCommand;
  for (const std::string &line : lines) {
    TLineList f;
    SplitText(line, ';', f);
    const int row = editor.FindRow(WholeOr(f[1], 0));
    ASSERT_GT(row, 0) << line;
    for (const TLineField &lf : d.Line) {
      const std::string &text = f[size_t(lf.Position)];
      const std::string expected = lf.How == TLineValue::Name   ? WithoutQuotes(text)
                                   : lf.How == TLineValue::Text ? text
                                                                : std::to_string(WholeOr(text, lf.Fallback));
      EXPECT_EQ(ValueToText(t.ValueAt(row, t.FieldNo(lf.Field))), expected) << line << " field " << lf.Field;
    }
  }
}

// Changes a cell as the grid (or tarvoctl set) does; "" when stored.
std::string Change(TTableEditor &editor, int32_t cod, const std::string &field, const std::string &value) {
  if (auto *blocks = dynamic_cast<TBlockEditor *>(&editor))
    return blocks->SetPosition(cod, std::stoi(field.substr(1)), value);
  return editor.SetCell(editor.FindRow(cod), editor.ColumnOf(field), value);
}

// A line of n fields for a table: its number, the code, a name, then 7s.
std::string LineOf(const TTableDescription &d, size_t n, int32_t cod) {
  std::string line = std::string(d.ReadCommand + 1) + ";" + std::to_string(cod) + ";\"Q\"";
  for (size_t i = 3; i < n; ++i) line += ";7";
  return line;
}

const TTableId Tables[] = {tiDepartamente, tiTVA, tiCasieri, tiCurs, tiFormePlata, tiSP, tiSO};

}  // namespace

class Logic : public EditorEnv {};

TEST_F(Logic, ReadThenProgramLeavesTheRegisterEqualToTheTable) {
  struct TCase {
    TTableId Id;
    int32_t Cod;
    std::string Field, Value;
    size_t Position;   // where the change shows on the register's line
    std::string Shown;
  } cases[] = {
      {tiDepartamente, 3, "Nume", "PAINE", 2, "\"PAINE\""},
      {tiTVA, 2, "Cota", "2100", 3, "2100"},
      {tiCasieri, 4, "Parola", "42", 5, "00000042"},
      {tiCurs, 2, "Rata", "480", 4, "480"},
      {tiFormePlata, 5, "Nume", "CARD BANCAR", 2, "\"CARD BANCAR\""},
      {tiSP, 2, "P21", "7", 22, "7"},
      {tiSO, 5, "P11", "1", 12, "1"},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(TableFileName(c.Id));
    auto editor = Open(c.Id);
    const std::string command = editor->Description().ReadCommand;
    TProgressLog progress;
    TActionResult r = editor->Read(progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(progress.Last, int(SimLines(command).size()));
    EXPECT_TRUE(progress.Ended);
    ExpectTableIsRegister(*editor, SimLines(command));
    EXPECT_EQ(LoadTableFile(ProjectTablePath(Project, c.Id)).RecordCount(), editor->Table().RecordCount());

    ASSERT_EQ(Change(*editor, c.Cod, c.Field, c.Value), "");
    r = editor->Program(progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(progress.Last, editor->Table().RecordCount());
    const std::vector<std::string> after = SimLines(command);
    ExpectTableIsRegister(*editor, after);
    TLineList f;
    SplitText(after[size_t(editor->FindRow(c.Cod) - 1)], ';', f);
    EXPECT_EQ(f[c.Position], c.Shown);
    // The file holds the programmed table.
    const TRecordSet file = LoadTableFile(ProjectTablePath(Project, c.Id));
    const int row = editor->FindRow(c.Cod);
    const int field = file.FieldIndex(c.Field);
    EXPECT_EQ(ValueToText(file.ValueAt(row, field)), ValueToText(editor->Table().ValueAt(row, field)));
  }
}

TEST_F(Logic, LinesWithAnotherFieldCountAreSkippedAndNewCodesAppended) {
  for (TTableId id : Tables) {
    SCOPED_TRACE(TableFileName(id));
    auto editor = Open(id);
    const TTableDescription &d = editor->Description();
    const int rows = editor->Table().RecordCount();
    const int listed = editor->GridTable().RecordCount();
    Answer(d.ReadCommand, {LineOf(d, d.FieldCount - 1, 41), LineOf(d, d.FieldCount, 40),
                           LineOf(d, d.FieldCount + 1, 42)});
    TProgressLog progress;
    const TActionResult r = editor->Read(progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    EXPECT_EQ(editor->LastAnswerLines(), 3);
    EXPECT_EQ(editor->LastLinesTaken(), 1);
    EXPECT_EQ(editor->Table().RecordCount(), rows + 1);
    EXPECT_GT(editor->FindRow(40), 0);
    EXPECT_EQ(editor->FindRow(41), 0);
    EXPECT_EQ(editor->FindRow(42), 0);
    // A block nobody described adds nothing to the list.
    if (id == tiSP || id == tiSO) {
      EXPECT_EQ(editor->GridTable().RecordCount(), listed);
    }
  }
}

TEST_F(Logic, DepartmentLinesLoseTheirQuotesAndAnEmptyGroupIsOne) {
  auto editor = Open(tiDepartamente);
  std::vector<std::string> lines = SimLines("D5000");
  lines.push_back("5000;25;\"\"Pa\"ine\"\";1;0;;0;0;1256;0;;0;0;0;0;0;0;0;0");
  Answer("D5000", lines);
  TProgressLog progress;
  ASSERT_TRUE(editor->Read(progress).Ok);
  TRecordSet &t = editor->Table();
  ASSERT_EQ(t.RecordCount(), 21);
  t.SetRecNo(editor->FindRow(25));
  EXPECT_EQ(t.AsString("Nume"), "Paine");
  EXPECT_EQ(t.AsInteger("TVA"), 1);
  EXPECT_EQ(t.AsInteger("O1"), 0);
  EXPECT_TRUE(t.IsNull("G"));  // never read, never stored

  Sim.WithEngine([](Sim::TEngine &e) { e.Commands.clear(); });
  ASSERT_TRUE(editor->Program(progress).Ok);
  const auto sent = Sim.WithEngine([](Sim::TEngine &e) { return e.Commands; });
  ASSERT_EQ(sent.size(), 21u);
  EXPECT_EQ(sent[0].rfind("U5000;1;", 0), 0u);
  EXPECT_EQ(sent[20], "U5000;25;\"Paine\";1;0;0;0;0;1256;0;1;;;;;;;;;");
}

TEST_F(Logic, AnAnswerWithoutLinesChangesNothing) {
  auto editor = Open(tiCasieri);
  ASSERT_EQ(editor->SetCell(1, editor->ColumnOf("Nume"), "ANA"), "");
  Answer("D2000", {});
  TProgressLog progress;
  const TActionResult r = editor->Read(progress);
  EXPECT_TRUE(r.Ok) << r.Text();
  EXPECT_EQ(editor->LastAnswerLines(), 0);
  EXPECT_EQ(editor->Table().RecordCount(), 8);
  EXPECT_EQ(editor->CellText(1, editor->ColumnOf("Nume")), "ANA");
  EXPECT_EQ(FileBytes(tiCasieri), "");  // no file was made
}

TEST_F(Logic, APortThatDoesNotOpenChangesNothingAndSaysWhichDevice) {
  SaveSerialSettings(Project, {5, 3});  // COM5 is mapped to a path with nothing there
  for (TTableId id : {tiCurs, tiDepartamente}) {
    auto editor = Open(id);
    TProgressLog progress;
    for (TActionResult r : {editor->Read(progress), editor->Program(progress)}) {
      EXPECT_FALSE(r.Ok);
      EXPECT_EQ(r.Message, PortOpenMessage);
      EXPECT_EQ(r.Reason, "COM5 (" + Dir.Path() + "/no-such-port): portul nu exista [8045, errno 2]");
    }
    EXPECT_FALSE(progress.Shown);
    EXPECT_EQ(FileBytes(id), "");
  }
}

TEST_F(Logic, AReadThatTimesOutLeavesTableAndFileAsTheyWere) {
  auto editor = Open(tiFormePlata);
  ASSERT_TRUE(editor->Save().Ok);
  const std::string before = FileBytes(tiFormePlata);
  ASSERT_EQ(editor->SetCell(2, editor->ColumnOf("Nume"), "BON"), "");
  Sim::TFaults f;
  f.SilentAfterFrame = 2;  // two lines, then nothing
  Faults(f);
  TProgressLog progress;
  const TActionResult r = editor->Read(progress);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, OperationFailedMessage);
  EXPECT_EQ(r.Reason, "COM1 (" + Dir.Path() + "/sim): casa de marcat nu a raspuns 400 ms; verificati cablul si ca ea "
                      "este pornita [8000]");
  EXPECT_EQ(editor->CellText(1, editor->ColumnOf("Nume")), "FORMA PLATA 1");
  EXPECT_EQ(editor->CellText(2, editor->ColumnOf("Nume")), "BON");
  EXPECT_EQ(FileBytes(tiFormePlata), before);
  ASSERT_FALSE(progress.Received.empty());
  EXPECT_EQ(progress.Received.back(), 2);  // what came before the silence was counted
  EXPECT_FALSE(progress.Shown);
}

TEST_F(Logic, AReadAndAVerifyCountTheLinesUpToTheLast) {
  for (const bool verify : {false, true}) {
    auto editor = Open(tiDepartamente);
    const int rows = editor->Table().RecordCount();
    const int lines = int(SimLines(editor->Description().ReadCommand).size());
    ASSERT_GT(lines, 1);
    TProgressLog progress;
    const TActionResult r = verify ? editor->Verify(progress) : editor->Read(progress);
    ASSERT_TRUE(r.Ok) << r.Text();
    ASSERT_FALSE(progress.Totals.empty());
    EXPECT_EQ(progress.Totals.front(), rows) << verify;  // the table's rows are the estimate
    ASSERT_FALSE(progress.Received.empty()) << verify;
    EXPECT_TRUE(std::is_sorted(progress.Received.begin(), progress.Received.end())) << verify;
    EXPECT_EQ(progress.Received.back(), lines) << verify;
    EXPECT_FALSE(progress.Shown) << verify;
  }
}

TEST_F(Logic, TheThirdRecordRefusedStopsTheRunAndNamesTheRow) {
  auto editor = Open(tiDepartamente);
  ASSERT_TRUE(editor->Save().Ok);
  const std::string before = FileBytes(tiDepartamente);
  ASSERT_EQ(editor->SetCell(1, editor->ColumnOf("Nume"), "PAINE"), "");
  Sim::TFaults f;
  f.RefuseWrite = 3;
  f.RefuseCode = 136;
  Faults(f);
  TProgressLog progress;
  const TActionResult r = editor->Program(progress);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, OperationFailedMessage);
  EXPECT_EQ(r.Row, 3);
  EXPECT_EQ(r.RowCode, "3");
  EXPECT_EQ(r.ReasonLine(), "Cod 3: COM1 (" + Dir.Path() + "/sim): casa de marcat a refuzat: Lipsa cota TVA asociata "
                            "PLU / Dept [136]");
  EXPECT_EQ(r.Text(), "Operatie nereusita!\r" + r.ReasonLine());
  EXPECT_EQ(Sim.Stats().Records, 3u);
  EXPECT_EQ(progress.Last, 3);
  EXPECT_TRUE(progress.Ended);
  EXPECT_EQ(FileBytes(tiDepartamente), before);
  EXPECT_EQ(editor->CellText(1, editor->ColumnOf("Nume")), "PAINE");  // the edit stays
  EXPECT_EQ(SimLines("D5000")[0], "5000;1;\"PAINE\";1;0;4;0;0;1256;0;1;0;0;0;0;0;0;0;0");
}

TEST_F(Logic, TypingFiltersAndCashierPasswordsCompletedWhenTyped) {
  auto editor = Open(tiCasieri);
  const int parola = editor->ColumnOf("parola");
  const int nume = editor->ColumnOf("Nume");
  EXPECT_TRUE(editor->AcceptsChar(parola, '7'));
  EXPECT_FALSE(editor->AcceptsChar(parola, 'a'));
  EXPECT_TRUE(editor->AcceptsChar(nume, 'a'));
  struct {
    const char *Typed;
    const char *Stored;  // nullptr: refused, the cell keeps its value
  } cases[] = {{"42", "00000042"}, {"12345678", "12345678"}, {"", "00000000"},
               {"4a", nullptr},    {"123456789", nullptr}};
  for (const auto &c : cases) {
    const std::string why = editor->SetCell(2, parola, c.Typed);
    EXPECT_EQ(why.empty(), c.Stored != nullptr) << c.Typed << ": " << why;
    if (c.Stored) {
      EXPECT_EQ(editor->CellText(2, parola), c.Stored) << c.Typed;
    }
  }
  EXPECT_NE(editor->SetCell(2, editor->ColumnOf("O1"), "1"), "");  // read-only
  // Whole-number cells take digits and a sign only.
  auto vat = Open(tiTVA);
  const int cota = vat->ColumnOf("Cota");
  EXPECT_TRUE(vat->AcceptsChar(cota, '-'));
  EXPECT_FALSE(vat->AcceptsChar(cota, 'x'));
  EXPECT_NE(vat->SetCell(1, cota, "1x"), "");
  EXPECT_EQ(vat->SetCell(1, cota, "-5"), "");

  // A password read from the register stays exactly as it came.
  Answer("D2000", {"2000;3;\"ANA\";0;0;123;0;0"});
  TProgressLog progress;
  ASSERT_TRUE(editor->Read(progress).Ok);
  EXPECT_EQ(editor->CellText(3, parola), "123");
}

TEST_F(Logic, TheParameterListShowsOnlyDescribedPositionsAndWaitsForARead) {
  struct {
    TTableId Id;
    int Blocks, Listed;
  } cases[] = {{tiSP, 8, 26}, {tiSO, 16, 30}};
  for (const auto &c : cases) {
    SCOPED_TRACE(TableFileName(c.Id));
    auto editor = Open(c.Id);
    auto &blocks = static_cast<TBlockEditor &>(*editor);
    EXPECT_EQ(blocks.BlockTable().RecordCount(), c.Blocks);
    TRecordSet &list = blocks.Manual();
    ASSERT_EQ(list.RecordCount(), c.Listed);
    std::set<int> shown;
    for (int r = 1; r <= list.RecordCount(); ++r) {
      shown.insert(TRowValues(list, r).Int("Rand"));
      EXPECT_EQ(blocks.CellText(r, 1), "0");
    }
    const std::set<int> described = c.Id == tiSP ? std::set<int>{1, 2, 3, 4}
                                                 : std::set<int>{1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    EXPECT_EQ(shown, described);

    // No programming before a read: nothing reaches the register.
    EXPECT_FALSE(blocks.ProgramAllowed());
    TProgressLog progress;
    const TActionResult refused = blocks.Program(progress);
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(refused.Message, ReadBlocksFirstMessage);
    EXPECT_EQ(Sim.Stats().Records, 0u);
    EXPECT_NE(blocks.SetPosition(2, 20, "5"), "");   // undescribed
    EXPECT_NE(blocks.SetPosition(1, 1, "x"), "");    // not a number
    ASSERT_TRUE(blocks.Read(progress).Ok);
    EXPECT_TRUE(blocks.ProgramAllowed());
    auto again = Open(c.Id);  // the file exists now
    EXPECT_TRUE(static_cast<TBlockEditor &>(*again).ProgramAllowed());
  }
}

TEST_F(Logic, NoValueChangesUnlessTheUserTypesIt) {
  // A pick-list cell offers a value its list lacks first, so that entering
  // and leaving the cell keeps it.
  Answer("D5000", {"5000;1;\"PAINE\";7;0;4;0;0;1256;0;9;0;0;0;0;0;0;0;0"});
  auto dept = Open(tiDepartamente);
  TProgressLog progress;
  ASSERT_TRUE(dept->Read(progress).Ok);
  const int um = dept->ColumnOf("UM"), tva = dept->ColumnOf("TVA");
  ASSERT_EQ(dept->SetCell(3, um, ""), "");
  const struct {
    int Row, Column;
    std::vector<std::string> Offered;
  } picks[] = {{1, um, {"7", "0", "1", "2", "3", "4", "5"}},
               {1, tva, {"9", "1", "2", "3", "4", "5", "6"}},
               {2, um, {"0", "1", "2", "3", "4", "5"}},
               {3, um, {"", "0", "1", "2", "3", "4", "5"}}};
  for (const auto &p : picks) EXPECT_EQ(dept->PickItems(p.Row, p.Column), p.Offered) << p.Row << "/" << p.Column;

  // Every cell of a whole number refuses a fraction, whole: "4,97" is
  // neither 497 nor 5, and the cell keeps its value.
  for (TTableId id : {tiDepartamente, tiTVA, tiCasieri, tiCurs, tiFormePlata, tiSP, tiSO}) {
    auto editor = Open(id);
    TRecordSet &t = editor->GridTable();
    int checked = 0;
    for (int c = 0; c < int(editor->GridColumns().size()); ++c) {
      const int f = t.FieldIndex(editor->GridColumns()[size_t(c)].Field);
      if (editor->CellReadOnly(1, c) || f < 0 || t.FieldDefs()[size_t(f)].DataType != ftInteger) continue;
      ++checked;
      const std::string before = editor->CellText(1, c);
      EXPECT_TRUE(editor->AcceptsChar(c, ',') && editor->AcceptsChar(c, '.'));
      for (const char *typed : {"4,97", "4.97"}) {
        const std::string why = editor->SetCell(1, c, typed);
        EXPECT_NE(why.find("nu este un numar intreg"), std::string::npos) << TableFileName(id) << " " << c << ": " << why;
        EXPECT_EQ(editor->CellText(1, c), before);
      }
    }
    EXPECT_GT(checked, id == tiCasieri || id == tiFormePlata ? -1 : 0) << TableFileName(id);
  }
}
