// Figures for the biggest table a project holds: a PLU table of 100,000
// rows. Prints the time to save and load it (file layer and the PLU opening
// rule), the file size and the memory taken; asserts nothing.
//
//   bench_tables [rows] [directory]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProjectTables.h"
#include "TableFile.h"

namespace {

long StatusKb(const char *key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::char_traits<char>::length(key));
  return -1;
}

double Mb(long kb) { return kb / 1024.0; }

template <class F>
double BestSeconds(int runs, F &&f) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
    best = std::min(best, d.count());
  }
  return best;
}

// Rows as the editor would hold them after a read from the register: long
// barcodes and short codes mixed, names near their full length.
TRecordSet MakePlu(int rows) {
  TRecordSet rs = NewTable(tiPLU);
  rs.DisableControls();
  for (int i = 1; i <= rows; ++i) {
    const double cod = (i % 4 == 0) ? 5940000000000.0 + i : double(i);
    char alfa[32];
    std::snprintf(alfa, sizeof alfa, "%014.0f", cod);
    rs.Append();
    rs.SetFloat("Cod", cod);
    rs.SetString("CodAlfa", alfa);
    rs.SetString("Nume", "ARTICOL DE TEST NUMARUL " + std::to_string(i) + " CU DENUMIRE LUNGA");
    rs.SetString("NumeAditional", "ADITIONAL " + std::to_string(i));
    rs.SetInteger("CodDep", 1 + i % 20);
    rs.SetInteger("CodUM", 1);
    rs.SetFloat("Pret1", 1.25 + i % 1000);
    rs.SetFloat("Pret2", 0);
    rs.SetFloat("LinkPLU", 0);
    rs.SetBoolean("Nou", false);
    rs.SetBoolean("Sters", false);
    rs.SetString("Cantar", i % 10 == 0 ? "x" : " ");
    rs.Post();
  }
  rs.EnableControls();
  return rs;
}


// Each load runs in a fresh process (this program started again with
// "--child"), so its peak memory is that of the load alone.
int Child(const std::string &what, const std::string &dir) {
  const long rss0 = StatusKb("VmRSS:");
  const auto t0 = std::chrono::steady_clock::now();
  TRecordSet rs = what == "load" ? LoadTableFile(ProjectTablePath(dir, tiPLU)) : OpenProjectTable(dir, tiPLU);
  const std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
  std::printf("%.3f %.1f %.1f %d\n", d.count(), Mb(StatusKb("VmRSS:") - rss0), Mb(StatusKb("VmHWM:")),
              rs.RecordCount());
  return 0;
}

void RunChild(const char *label, const char *what, const std::string &dir) {
  double best = 1e9, table = 0, peak = 0;
  int rows = 0;
  for (int run = 0; run < 3; ++run) {
    const std::string cmd = "/proc/" + std::to_string(getpid()) + "/exe --child " + what + " '" + dir + "'";
    FILE *p = popen(cmd.c_str(), "r");
    double s = 0, t = 0, h = 0;
    if (!p || std::fscanf(p, "%lf %lf %lf %d", &s, &t, &h, &rows) != 4) {
      std::printf("  %s: child failed\n", label);
      if (p) pclose(p);
      return;
    }
    pclose(p);
    best = std::min(best, s);
    table = t;
    peak = std::max(peak, h);
  }
  std::printf("  %-26s %7.3f s   table %5.1f MB, process peak %5.1f MB (%d rows)\n", label, best, table, peak, rows);
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3]);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string dir;
  if (argc > 2) {
    dir = argv[2];
    std::filesystem::create_directories(dir);
  } else {
    std::string templ = (std::filesystem::temp_directory_path() / "bench-tables-XXXXXX").string();
    if (!mkdtemp(templ.data())) return 1;
    dir = templ;
  }
  const std::string path = ProjectTablePath(dir, tiPLU);
  std::printf("PLU table, %d rows; goals: load < 0.3 s, save < 0.5 s, memory < 100 MB\n", rows);

  {
    const long rss0 = StatusKb("VmRSS:");
    TRecordSet plu;
    const double build = BestSeconds(1, [&] { plu = MakePlu(rows); });
    const long rss1 = StatusKb("VmRSS:");
    const double save = BestSeconds(3, [&] { SaveProjectTable(dir, tiPLU, plu); });
    std::printf("  %-26s %7.3f s   (Append/Set/Post per row, mixed code order)\n", "build in memory", build);
    std::printf("  %-26s %7.3f s   table %5.1f MB, process peak %5.1f MB\n", "save (best of 3)", save,
                Mb(rss1 - rss0), Mb(StatusKb("VmHWM:")));
    std::printf("  %-26s %7.1f MB\n", "file size", std::filesystem::file_size(path) / 1048576.0);
  }
  RunChild("load (LoadTableFile)", "load", dir);
  RunChild("open (PLU opening rule)", "open", dir);

  // An older PLU file without Cantar: the copy-by-name path of the rule.
  {
    TRecordSet old = LoadTableFile(path);
    std::vector<TFieldDef> fields = old.FieldDefs();
    fields.pop_back();
    TRecordSet cut(fields);
    for (int r = 1; r <= old.RecordCount(); ++r) {
      cut.Append();
      for (int f = 0; f < cut.FieldCount(); ++f) cut.SetValue(f, old.ValueAt(r, f));
      cut.Post();
    }
    SaveProjectTable(dir, tiPLU, cut);
  }
  RunChild("open (file without Cantar)", "open", dir);
  if (argc <= 2) std::filesystem::remove_all(dir);
  return 0;
}
