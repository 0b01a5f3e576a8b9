#include "Route.h"

#include <charconv>
#include <vector>

#include "PluRows.h"

namespace {

struct TTableName {
  const char *Word;
  TTableId Id;
};

constexpr TTableName TableNames[] = {
    {"dept", tiDepartamente}, {"vat", tiTVA},     {"cashier", tiCasieri}, {"rate", tiCurs},
    {"payment", tiFormePlata}, {"param", tiSP},   {"option", tiSO},       {"plu", tiPLU},
};

std::vector<std::string_view> Segments(std::string_view path) {
  std::vector<std::string_view> out;
  size_t at = 0;
  while (at <= path.size()) {
    const size_t slash = path.find('/', at);
    const size_t end = slash == std::string_view::npos ? path.size() : slash;
    out.push_back(path.substr(at, end - at));
    if (slash == std::string_view::npos) break;
    at = slash + 1;
  }
  return out;
}

bool TableOf(std::string_view word, TTableId &id) {
  for (const TTableName &t : TableNames)
    if (word == t.Word) {
      id = t.Id;
      return true;
    }
  return false;
}

bool ActionOf(std::string_view word, TTableAction &action) {
  if (word == "read") action = TTableAction::Read;
  else if (word == "program") action = TTableAction::Program;
  else if (word == "program-changed") action = TTableAction::ProgramChanged;
  else if (word == "verify") action = TTableAction::Verify;
  else return false;
  return true;
}

TRouteMatch NotFound(std::string error, std::string reason) {
  TRouteMatch m;
  m.Status = 404;
  m.Error = std::move(error);
  m.Reason = std::move(reason);
  return m;
}

}  // namespace

const char *TableWord(TTableId id) {
  for (const TTableName &t : TableNames)
    if (t.Id == id) return t.Word;
  return "";
}

TRouteMatch MatchRoute(std::string_view method, std::string_view path) {
  // "/v1/projects/..." splits into "", "v1", "projects", ...
  const std::vector<std::string_view> s = Segments(path);
  const size_t n = s.size();
  if (n < 3 || !s[0].empty() || s[1] != "v1" || s[2] != "projects")
    return NotFound("Adresa necunoscuta", "no such path: " + std::string(path));
  TRouteMatch m;
  std::string want;
  if (n == 3) {
    m.Route.Kind = TRouteKind::Projects;
    want = "GET";
  } else {
    m.Route.Project = std::string(s[3]);
    if (n == 5 && s[4] == "plu") {
      m.Route.Kind = TRouteKind::PluList;
      want = "POST";
    } else if (n == 6 && s[4] == "reports") {
      m.Route.Report = ReportDefByName(std::string(s[5]));
      if (!m.Route.Report)
        return NotFound("Raport necunoscut", "reports are plu-sales, payments and drawer, not " + std::string(s[5]));
      m.Route.Kind = TRouteKind::Report;
      want = "POST";
    } else if (n >= 6 && n <= 8 && s[4] == "tables") {
      if (!TableOf(s[5], m.Route.Table))
        return NotFound("Tabel necunoscut",
                        "tables are dept, vat, cashier, rate, payment, param, option and plu, not " + std::string(s[5]));
      if (n == 6) {
        m.Route.Kind = TRouteKind::TableShow;
        want = "GET";
      } else if (n == 7) {
        if (!ActionOf(s[6], m.Route.Action))
          return NotFound("Actiune necunoscuta",
                          "actions are read, program, program-changed and verify, not " + std::string(s[6]));
        m.Route.Kind = TRouteKind::TableAction;
        want = "POST";
      } else {
        if (s[6] != "rows") return NotFound("Adresa necunoscuta", "no such path: " + std::string(path));
        const std::string_view cod = s[7];
        const int64_t max = m.Route.Table == tiPLU ? MaxPluCode : INT32_MAX;
        const int64_t min = m.Route.Table == tiPLU ? 0 : INT32_MIN;
        const auto r = std::from_chars(cod.data(), cod.data() + cod.size(), m.Route.Cod);
        if (cod.empty() || r.ec != std::errc() || r.ptr != cod.data() + cod.size() || m.Route.Cod < min ||
            m.Route.Cod > max)
          return NotFound("Rand necunoscut", "a row is named by its code, a whole number: " + std::string(cod));
        m.Route.Kind = TRouteKind::RowChange;
        want = "PATCH";
      }
    } else {
      return NotFound("Adresa necunoscuta", "no such path: " + std::string(path));
    }
  }
  // HEAD asks what GET would answer.
  if (method == want || (method == "HEAD" && want == "GET")) return m;
  m.Status = 405;
  m.Allow = want;
  m.Error = "Metoda nepermisa";
  m.Reason = std::string(path) + " takes " + want + ", not " + std::string(method);
  return m;
}
