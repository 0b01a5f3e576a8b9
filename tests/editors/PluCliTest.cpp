// tarvoctl plu as a script sees it: a copy of the program in a scratch
// program directory, so its projects stay there.
#include <QFile>
#include <QProcess>

#include <fstream>
#include <sstream>

#include "PluTestProject.h"
#include "RunProgram.h"
#include "ScratchDir.h"

namespace {

class PluCliTest : public PluProject {
 protected:
  TRun Run(const QStringList &args) { return Tarvoctl(args); }
};

}  // namespace

TEST_F(PluCliTest, RowEditsSaveThePluFileAndEraseWantsYes) {
  EXPECT_EQ(Run({"plu", "add", "Nume=Pâine", "Pret1=3,5"}).Out, "1\n");
  EXPECT_EQ(Run({"plu", "add", "CodAlfa=42", "Cantar=x"}).Out, "42\n");
  EXPECT_EQ(Run({"plu", "add"}).Out, "43\n");
  TRun r = Run({"plu", "set", "1", "CodAlfa=7", "CodDep=3"});  // new rows take a code
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Run({"plu", "delete", "43"}).Status, 0);  // a new row goes
  r = Run({"plu", "show"});
  EXPECT_EQ(r.Out,
            "Cod;CodAlfa;Nume;NumeAditional;CodDep;CodUM;Pret1;Pret2;LinkPLU;Nou;Sters;Cantar\n"
            "7;00000000000007;Pâine;;3;1;3,5;0;0;True;; \n"
            "42;00000000000042;PLU 2;;1;1;0;0;0;True;;x\n");

  const struct {
    QStringList Args;
    int Status;
  } refused[] = {
      {{"plu", "erase"}, 2},                     // empties the register: needs --yes
      {{"plu", "set", "9", "Nume=x"}, 1},        // no such code
      {{"plu", "set", "7", "Cantar=y"}, 1},      // "x" or blank
      {{"plu", "add", "Nou=False"}, 1},          // not a field one sets
      {{"plu", "set", "7", "CodAlfa=12a"}, 1},   // digits only
      {{"plu", "set", "7", "Pret1=1,234"}, 1},   // sent with two decimals
      {{"plu", "add", "Pret2=0,005"}, 1},
  };
  for (const auto &c : refused) {
    r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Args.join(' ').toStdString() << ": " << r.Err;
    EXPECT_FALSE(r.Err.empty());
  }
  EXPECT_EQ(Sim.Stats().FramesIn, 0u);
  EXPECT_EQ(FileCodes(), (std::vector<int64_t>{7, 42}));

  // Export and import: the import is saved, unlike the window's.
  EXPECT_EQ(Run({"plu", "export", QString::fromStdString(Dir.Path() + "/plu.txt")}).Status, 0);
  std::ofstream(Dir.Path() + "/more.txt") << "5941234567890;CIOCOLATA;;2;1;7.25;0;0\r\n";
  EXPECT_EQ(Run({"plu", "import", QString::fromStdString(Dir.Path() + "/more.txt")}).Status, 0);
  EXPECT_EQ(FileCodes(), (std::vector<int64_t>{7, 42, 5941234567890}));
  EXPECT_EQ(ReadFileBytes(Dir.Path() + "/plu.txt"), "00000000000007;P\xE2ine;;3;1;3,5;0;0\r\n00000000000042;PLU 2;;1;1;0;0;0\r\n");
}

TEST_F(PluCliTest, ProgramChangedAndVerifyTellByTheirStatus) {
  SetRegisterCodes({1, 2});
  SavePlu({{1}, {2}});
  struct {
    QStringList Args;
    int Status;
    const char *Out, *Err;  // what stdout is, a piece of stderr
  } cases[] = {
      {{"plu", "program", "--changed"}, 1, "", "tarvoctl --project P plu program"},
      {{"plu", "verify"}, 1, "Cod 00000000000001: Nume: project \"ART1\", register \"REG1\"\n"
                             "Cod 00000000000001: Pret1: project \"0,01\", register \"0,00\"\n"
                             "Cod 00000000000002: Nume: project \"ART2\", register \"REG2\"\n"
                             "Cod 00000000000002: Pret1: project \"0,02\", register \"0,00\"\n",
       "4 differences in 2 codes"},
      {{"plu", "program", "--changed"}, 0, "", "2 changed rows of 2 programmed"},
      {{"plu", "verify"}, 0, "", "holds the project's table (2 rows)"},
      {{"plu", "verify", "--changed"}, 2, "", "usage:"},
  };
  for (const auto &c : cases) {
    const TRun r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Args.join(' ').toStdString() << "\n" << r.Err;
    EXPECT_EQ(r.Out, c.Out) << c.Args.join(' ').toStdString();
    EXPECT_NE(r.Err.find(c.Err), std::string::npos) << c.Args.join(' ').toStdString() << "\n" << r.Err;
  }
}
