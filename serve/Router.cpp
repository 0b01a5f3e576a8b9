#include "Router.h"

#include <algorithm>
#include <exception>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "Actions.h"
#include "ComPortMap.h"
#include "IdempotencyStore.h"
#include "ProjectQueue.h"
#include "ProgramDir.h"
#include "ProjectTables.h"
#include "Projects.h"
#include "RequestBodies.h"
#include "Route.h"
#include "SerialSettings.h"
#include "ServeJson.h"

struct TServeRouter::TProject {
  TProject(const std::string &name, TProjectContext context)
      : Context(std::move(context)), Queue(name), Keys(Context.Dir) {}
  TProjectContext Context;
  TProjectQueue Queue;
  TIdempotencyStore Keys;
};

namespace {

TAnswer StoppingAnswer() {
  TAnswer a = ErrorAnswer(503, "Serviciul se opreste", "the service is stopping; the request was not carried out");
  a.RetryAfter = 5;
  return a;
}

TAnswer Refused(const TBodyError &e) { return ErrorAnswer(e.Status, e.Error, e.Reason); }

// Whatever escapes an action becomes its answer: the client is told, and
// the answer is kept under its key like any other.
TAnswer Guarded(const std::function<TAnswer()> &action) {
  try {
    return action();
  } catch (const std::exception &e) {
    return ErrorAnswer(500, "Eroare interna", e.what());
  } catch (...) {
    return ErrorAnswer(500, "Eroare interna", "unexpected error");
  }
}

}  // namespace

TServeRouter::TServeRouter(TRouterOptions options) : FOptions(std::move(options)) {}

TServeRouter::~TServeRouter() {
  Stop();
  std::lock_guard<std::mutex> lock(FMutex);
  FProjects.clear();
}

void TServeRouter::Stop() {
  std::lock_guard<std::mutex> lock(FMutex);
  FStopping = true;
  for (auto &[name, project] : FProjects) project->Queue.Close();
}

TServeRouter::TProject *TServeRouter::ProjectOf(const std::string &name, TAnswer &refusal) {
  const QString qname = QString::fromUtf8(name.data(), qsizetype(name.size()));
  // The same checks as a typed project name: nothing outside the program
  // directory can be named.
  if (const QString problem = ProjectNameProblem(qname); !problem.isEmpty()) {
    refusal = ErrorAnswer(404, "Proiect necunoscut", problem.trimmed().toStdString());
    return nullptr;
  }
  const QString dir = ProgramDir() + qname;
  if (!QFileInfo(dir).isDir()) {
    refusal = ErrorAnswer(404, "Proiect necunoscut", "there is no project " + name + " in the program directory");
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(FMutex);
  auto &slot = FProjects[name];
  if (!slot) {
    TProjectContext context;
    context.Dir = PathBytes(dir);
    context.Link = FOptions.Link;
    slot = std::make_unique<TProject>(name, std::move(context));
    if (FStopping) slot->Queue.Close();
  }
  return slot.get();
}

namespace {

// What a file looked like; a change of any of these means it changed.
struct TFileLook {
  long long Mtime = 0, Size = -1, Inode = 0;
  bool operator==(const TFileLook &) const = default;
};

TFileLook LookOf(const std::string &path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, st.st_size, (long long)st.st_ino};
}

}  // namespace

// A list asked for a thousand times a second reads a project's settings
// and the port map again only when their files changed.
TServeRouter::TListedSettings TServeRouter::SettingsOf(const std::string &projectDir) {
  const TFileLook settings = LookOf(ProjectTablePath(projectDir, tiSetari));
  const TFileLook ini = LookOf(TarvoIniPath());
  std::lock_guard<std::mutex> lock(FListMutex);
  TListedSettings &cached = FListed[projectDir];
  const std::string stamp = std::to_string(settings.Mtime) + "/" + std::to_string(settings.Size) + "/" +
                            std::to_string(settings.Inode) + "/" + std::to_string(ini.Mtime) + "/" +
                            std::to_string(ini.Size) + "/" + std::to_string(ini.Inode);
  if (cached.Stamp == stamp && !stamp.empty()) return cached;
  cached = {};
  cached.Stamp = stamp;
  try {
    if (const auto s = LoadSerialSettings(projectDir); s && s->Port > 0) {
      cached.Port = s->Port;
      cached.Baud = BaudBitsOfCode(s->Baud);
      cached.Device = PortDevice(s->Port);
    }
  } catch (const std::exception &) {
    // A settings file that cannot be read: the project is listed without.
  }
  return cached;
}

TAnswer TServeRouter::ListProjects() {
  QJsonArray list;
  const QString programDir = ProgramDir();
  QStringList names = QDir(programDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString &name : names) {
    // A link at a device (a simulator's, say) is no project.
    if (!ProjectNameProblem(name).isEmpty() || !QFileInfo(programDir + name).isDir()) continue;
    QJsonObject p{{"name", name}};
    const TListedSettings settings = SettingsOf(PathBytes(programDir + name));
    p["port"] = settings.Port > 0 ? QJsonValue(settings.Port) : QJsonValue();
    p["baud"] = settings.Baud > 0 ? QJsonValue(settings.Baud) : QJsonValue();
    p["device"] = settings.Device.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(settings.Device));
    bool busy = false;
    {
      std::lock_guard<std::mutex> lock(FMutex);
      if (const auto it = FProjects.find(name.toStdString()); it != FProjects.end()) busy = it->second->Queue.Busy();
    }
    p["busy"] = busy;
    list.append(p);
  }
  return JsonAnswer({{"projects", list}});
}

TAnswer TServeRouter::Handle(const THttpRequest &request) {
  const TRouteMatch match = MatchRoute(request.Method, request.Path);
  if (match.Status) {
    TAnswer a = ErrorAnswer(match.Status, match.Error, match.Reason);
    a.Allow = match.Allow;
    return a;
  }
  const TRoute &route = match.Route;
  if (route.Kind == TRouteKind::Projects) return ListProjects();
  TAnswer refusal;
  TProject *project = ProjectOf(route.Project, refusal);
  if (!project) return refusal;
  const TProjectContext &context = project->Context;
  if (route.Kind == TRouteKind::TableShow) return Guarded([&] { return ShowTableAnswer(context, route.Table); });

  if (request.HasKey)
    if (const TBodyError e = CheckIdempotencyKey(request.IdempotencyKey)) return Refused(e);
  std::function<TAnswer()> action;
  switch (route.Kind) {
    case TRouteKind::TableAction: {
      QJsonObject ignored;
      if (const TBodyError e = JsonObjectBody(request.Body, true, ignored)) return Refused(e);
      action = [&context, table = route.Table, what = route.Action] {
        return TableActionAnswer(context, table, what);
      };
      break;
    }
    case TRouteKind::RowChange: {
      TCellValues cells;
      if (const TBodyError e = CellsOfBody(request.Body, cells)) return Refused(e);
      action = [&context, table = route.Table, cod = route.Cod, cells = std::move(cells)] {
        return RowChangeAnswer(context, table, cod, cells);
      };
      break;
    }
    case TRouteKind::PluList: {
      TLineList lines;
      if (const TBodyError e = PluListOfBody(request.Body, request.ContentType, lines)) return Refused(e);
      action = [&context, lines = std::move(lines)] { return PluListAnswer(context, lines); };
      break;
    }
    case TRouteKind::Report: {
      QJsonObject body;
      if (const TBodyError e = JsonObjectBody(request.Body, true, body)) return Refused(e);
      if (ClearsWhatItReports(route.Report->Command)) {
        // The register clears what it reports: a repeat must find the first
        // answer, and only an outright request resets anything.
        if (!request.HasKey)
          return ErrorAnswer(428, "Raportul Z cere antetul Idempotency-Key",
                             "a Z report clears the register's sales; repeat it with the same key to get its answer "
                             "again. Nothing was sent");
        if (!AsksForReset(body))
          return ErrorAnswer(400, "Raportul Z sterge vanzarile din casa: trimiteti {\"reset\": true}",
                             "the body must be {\"reset\": true}. Nothing was sent");
      }
      action = [&context, kind = route.Report->Kind] { return ReportAnswer(context, kind); };
      break;
    }
    default: return ErrorAnswer(500, "Eroare interna", "unhandled route");
  }
  return Queue(*project, request, std::move(action));
}

TAnswer TServeRouter::Queue(TProject &project, const THttpRequest &request, std::function<TAnswer()> action) {
  const bool keyed = request.HasKey;
  const std::string &key = request.IdempotencyKey;
  if (keyed) {
    const bool plu = MatchRoute(request.Method, request.Path).Route.Kind == TRouteKind::PluList;
    const auto found = project.Keys.Begin(
        key, TIdempotencyStore::RequestOf(request.Method, request.Path, plu ? request.ContentType : "", request.Body));
    switch (found.State) {
      case TIdempotencyStore::TState::New: break;
      case TIdempotencyStore::TState::Replay: return found.Stored;
      case TIdempotencyStore::TState::Running:
        return ErrorAnswer(409, "O cerere cu aceeasi cheie este in curs", "the first request with this key still runs");
      case TIdempotencyStore::TState::Mismatch:
        return ErrorAnswer(422, "Cheia a fost folosita pentru alta cerere",
                           "this Idempotency-Key came with another method, path or body");
      case TIdempotencyStore::TState::Interrupted:
        return ErrorAnswer(409, "Cererea cu aceasta cheie a fost intrerupta: rezultatul ei nu se cunoaste",
                           "the service stopped while the first request with this key ran; check the register, "
                           "then use a new key");
      case TIdempotencyStore::TState::StoreFailed:
        return ErrorAnswer(500, "Nu pot salva cheia cererii", found.Reason + ". Nothing was sent");
    }
  }
  std::function<TAnswer()> job = [this, &project, keyed, key, action = std::move(action)] {
    TAnswer answer = Guarded(action);
    // Kept here, on the worker, so that a client gone meanwhile finds it.
    if (keyed)
      if (const std::string why = project.Keys.Finish(key, answer); !why.empty() && FOptions.Log)
        FOptions.Log("cannot keep the answer under its Idempotency-Key: " + why);
    return answer;
  };
  const TProjectQueue::TResult r = project.Queue.Run(std::move(job), FOptions.QueueTimeout);
  if (r.Outcome == TProjectQueue::TOutcome::Done) return r.Answer;
  if (keyed) project.Keys.Abandon(key);
  if (r.Outcome == TProjectQueue::TOutcome::Stopping) return StoppingAnswer();
  TAnswer busy = ErrorAnswer(503, "Casa de marcat este ocupata: incercati mai tarziu",
                             "the request waited longer than the queue time-out for the register");
  busy.RetryAfter = int(std::max<long long>(1, std::chrono::duration_cast<std::chrono::seconds>(FOptions.QueueTimeout).count()));
  return busy;
}
