#include "IdempotencyStore.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>

#include "AtomicFile.h"
#include "ProgramDir.h"

namespace {

std::string Sha256Hex(std::string_view bytes) {
  return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())), QCryptographicHash::Sha256)
      .toHex()
      .toStdString();
}

QString Text(const std::string &s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

bool ReadFile(const std::string &path, std::string &out) {
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  out.clear();
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return true;
}

}  // namespace

TIdempotencyStore::TIdempotencyStore(const std::string &projectDir) : FDir(projectDir) {
  if (!FDir.empty() && FDir.back() != '/') FDir += '/';
  FDir += ".serve-keys/";
}

std::string TIdempotencyStore::RequestOf(const std::string &method, const std::string &path,
                                         const std::string &contentType, const std::string &body) {
  return method + " " + path + " " + Sha256Hex(contentType + "\n" + body);
}

std::string TIdempotencyStore::PathOf(const std::string &key) const { return FDir + Sha256Hex(key) + ".json"; }

void TIdempotencyStore::PurgeOld() {
  const long long now = std::time(nullptr);
  if (now - FLastPurge < 3600) return;
  FLastPurge = now;
  DIR *d = ::opendir(FDir.c_str());
  if (!d) return;
  while (const dirent *e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() != 64 + 5 || name.compare(64, 5, ".json") != 0) continue;
    struct stat st {};
    if (::stat((FDir + name).c_str(), &st) == 0 && now - st.st_mtime > KeepSeconds) ::unlink((FDir + name).c_str());
  }
  ::closedir(d);
}

TIdempotencyStore::TLookup TIdempotencyStore::Begin(const std::string &key, const std::string &request) {
  std::lock_guard<std::mutex> lock(FMutex);
  PurgeOld();
  TLookup out;
  if (const auto it = FRunning.find(key); it != FRunning.end()) {
    out.State = it->second == request ? TState::Running : TState::Mismatch;
    return out;
  }
  const std::string path = PathOf(key);
  std::string bytes;
  if (ReadFile(path, bytes)) {
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(bytes)).object();
    const long long saved = o.value("saved").toInteger();
    if (o.value("key").toString() == Text(key) && std::time(nullptr) - saved <= KeepSeconds) {
      if (o.value("request").toString() != Text(request)) {
        out.State = TState::Mismatch;
        return out;
      }
      if (o.value("state").toString() != "done") {
        out.State = TState::Interrupted;
        return out;
      }
      out.State = TState::Replay;
      out.Stored.Status = o.value("status").toInt();
      out.Stored.Body = o.value("body").toString().toStdString();
      out.Stored.RetryAfter = o.value("retryAfter").toInt();
      out.Stored.Replayed = true;
      return out;
    }
  }
  // A new key: written down before anything happens.
  const QJsonObject mark{{"key", Text(key)}, {"request", Text(request)}, {"state", "running"},
                         {"saved", qint64(std::time(nullptr))}};
  try {
    if (const std::string why = MakeDirectories(FDir, 0750); !why.empty()) throw EFileWrite(FDir, why);
    WriteFileAtomic(path, QJsonDocument(mark).toJson(QJsonDocument::Compact).toStdString());
  } catch (const EFileWrite &e) {
    out.State = TState::StoreFailed;
    out.Reason = e.what();
    return out;
  }
  FRunning[key] = request;
  return out;
}

std::string TIdempotencyStore::Finish(const std::string &key, const TAnswer &answer) {
  std::lock_guard<std::mutex> lock(FMutex);
  const auto it = FRunning.find(key);
  if (it == FRunning.end()) return "the key was not running";
  const QJsonObject done{{"key", Text(key)},
                         {"request", Text(it->second)},
                         {"state", "done"},
                         {"saved", qint64(std::time(nullptr))},
                         {"status", answer.Status},
                         {"body", Text(answer.Body)},
                         {"retryAfter", answer.RetryAfter}};
  FRunning.erase(it);
  try {
    WriteFileAtomic(PathOf(key), QJsonDocument(done).toJson(QJsonDocument::Compact).toStdString());
  } catch (const EFileWrite &e) {
    return e.what();
  }
  return {};
}

void TIdempotencyStore::Abandon(const std::string &key) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FRunning.erase(key)) ::unlink(PathOf(key).c_str());
}
