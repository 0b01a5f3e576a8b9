#include "PluTestProject.h"

#include <chrono>
#include <thread>

#include <sys/stat.h>

#include "PluRows.h"
#include "ProjectTables.h"

void PluProject::SetUp() {
  EditorEnv::SetUp();
  SetRegisterCodes({});
}

void PluProject::SavePlu(const std::vector<TPluRow> &rows) {
  TRecordSet t = NewTable(tiPLU);
  for (const TPluRow &r : rows) {
    t.Append();
    t.SetFloat("Cod", double(r.Cod));
    t.SetString("CodAlfa", PluCodeText(r.Cod));
    t.SetString("Nume", "ART" + std::to_string(r.Cod));
    t.SetInteger("CodDep", 1);
    t.SetInteger("CodUM", 1);
    t.SetFloat("Pret1", double(r.Cod % 10000) / 100);
    t.SetBoolean("Nou", r.Nou);
    t.SetBoolean("Sters", r.Sters);
    t.SetString("Cantar", r.Cantar);
    t.Post();
  }
  SaveProjectTable(Project, tiPLU, t);
}

std::vector<int64_t> PluProject::Codes(const TRecordSet &t) {
  std::vector<int64_t> codes;
  for (int r = 1; r <= t.RecordCount(); ++r) codes.push_back(int64_t(std::get<double>(t.ValueAt(r, t.FieldNo("Cod")))));
  return codes;
}

std::vector<int64_t> PluProject::FileCodes() {
  struct stat st;
  if (::stat(ProjectTablePath(Project, tiPLU).c_str(), &st) != 0) return {};
  return Codes(OpenProjectTable(Project, tiPLU));
}

std::vector<int64_t> PluProject::RegisterCodes() {
  return Sim.WithEngine([](Sim::TEngine &e) {
    std::vector<int64_t> codes;
    for (const auto &[cod, plu] : e.Tables.Plus) codes.push_back(cod);
    return codes;
  });
}

void PluProject::SetRegisterCodes(const std::vector<int64_t> &codes) {
  Sim.WithEngine([&](Sim::TEngine &e) {
    e.Tables.Plus.clear();
    for (int64_t c : codes) {
      Sim::TPlu p;
      p.Cod = c;
      p.Nume = "REG" + std::to_string(c);
      p.CodDep = 1;
      p.CodUM = 1;
      e.Tables.Plus[c] = p;
    }
  });
}

std::vector<std::string> PluProject::BareCommands(size_t expected) {
  // A bare command is not answered: the run may end before the simulator
  // has read it off the line.
  std::vector<std::string> seen;
  for (int waited = 0;; waited += 5) {
    seen = Sim.WithEngine([](Sim::TEngine &e) { return e.BareCommands; });
    if (seen.size() >= expected || waited >= 2000) return seen;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
