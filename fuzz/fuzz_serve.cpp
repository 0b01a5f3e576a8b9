// Feeds arbitrary bytes to what the HTTP service reads itself: the path and
// method of a request, a JSON body and the row changes in it, a PLU list in
// either charset, an Idempotency-Key. The first byte picks which. A crash,
// a sanitizer report or a broken promise is a finding.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <QString>

#include "CodePage.h"
#include "CommandFile.h"
#include "Projects.h"
#include "RequestBodies.h"
#include "Route.h"

namespace {

void Route(const std::string &bytes) {
  static const char *const methods[] = {"GET", "POST", "PATCH", "HEAD", "DELETE"};
  const std::string method = methods[bytes.size() % 5];
  const TRouteMatch m = MatchRoute(method, bytes);
  if (m.Status != 0 && m.Status != 404 && m.Status != 405) std::abort();
  if ((m.Status == 405) == m.Allow.empty()) std::abort();
  if (m.Status == 0 && m.Route.Kind != TRouteKind::Projects) {
    // A project name the router would accept stays inside the program
    // directory.
    const QString name = QString::fromUtf8(m.Route.Project.data(), qsizetype(m.Route.Project.size()));
    if (ProjectNameProblem(name).isEmpty() && (name.contains('/') || name == ".." || name == "." || name.isEmpty()))
      std::abort();
  }
}

void Cells(const std::string &bytes) {
  QJsonObject o;
  const TBodyError e = JsonObjectBody(bytes, true, o);
  if (e && e.Status != 400) std::abort();
  TCellValues cells;
  const TBodyError c = CellsOfBody(bytes, cells);
  if (!c && cells.empty()) std::abort();  // a change names a field
  if (c && c.Status != 400 && c.Status != 422) std::abort();
  (void)AsksForReset(o);
}

void PluList(const std::string &bytes, const char *contentType) {
  TLineList lines;
  const TBodyError e = PluListOfBody(bytes, contentType, lines);
  if (e) {
    if (e.Status != 400) std::abort();
    return;
  }
  for (const std::string &l : lines)
    if (l.find_first_of("\r\n") != std::string::npos) std::abort();
  if (FirstInvalidPluLine(lines) == 0)
    for (const std::string &l : lines)
      if (!l.empty()) (void)PluRecordOfLine(l);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
  switch (data[0] % 5) {
    case 0: Route(bytes); break;
    case 1: Cells(bytes); break;
    case 2: PluList(bytes, "text/plain; charset=utf-8"); break;
    case 3: PluList(bytes, "text/plain; charset=windows-1250"); break;
    case 4:
      if (!CheckIdempotencyKey(bytes) && (bytes.empty() || bytes.size() > 255)) std::abort();
      break;
  }
  return 0;
}
