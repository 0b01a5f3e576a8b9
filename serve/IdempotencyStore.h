// The answers of requests that carried an Idempotency-Key, kept on disk in
// the project (".serve-keys/", one file per key, written atomically) so that
// a client that repeats a request after a time-out gets the first answer
// instead of a second action, across a restart too. A key is scoped to its
// project and kept at least a day.
//
// Before the action starts its key is written down as running: should the
// service die in the middle, a repeat of the request is told that the
// outcome is unknown rather than acting again (a Z report repeated would
// reset sales nobody has read).
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "Answer.h"

class TIdempotencyStore {
 public:
  static constexpr long long KeepSeconds = 24 * 3600;

  explicit TIdempotencyStore(const std::string &projectDir);

  enum class TState {
    New,          // not seen: now marked running, the caller acts
    Replay,       // answered before: Stored is the answer
    Running,      // the first request with the key still runs
    Mismatch,     // the key came with another method, path or body
    Interrupted,  // the first request was cut off by a stop: outcome unknown
    StoreFailed,  // the key could not be written down: do nothing
  };
  struct TLookup {
    TState State = TState::New;
    TAnswer Stored;
    std::string Reason;  // StoreFailed: why
  };

  // request: what makes two requests the same (method, path, body digest).
  TLookup Begin(const std::string &key, const std::string &request);
  // The action ended: its answer replaces the running mark. "" or why not.
  std::string Finish(const std::string &key, const TAnswer &answer);
  // The action never started (it waited too long, the service stops).
  void Abandon(const std::string &key);

  // What identifies a request: method, path and a digest of what its body
  // says (for a PLU list, with the Content-Type that tells its charset).
  static std::string RequestOf(const std::string &method, const std::string &path, const std::string &contentType,
                               const std::string &body);

 private:
  std::string PathOf(const std::string &key) const;
  void PurgeOld();

  std::string FDir;  // ends in '/'
  std::mutex FMutex;
  std::map<std::string, std::string> FRunning;  // key -> request
  long long FLastPurge = 0;
};
