#include "AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex HookMutex;
std::function<void(const std::string &)> Hook;

// The mode a new file gets: the old file's when there is one, else what the
// user's umask leaves of 0666.
mode_t NewFileMode(const std::string &target) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  // umask() cannot be read without setting it, which would race with other
  // threads creating files; Linux shows it in /proc.
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) {
      mask = mode_t(std::strtol(line.c_str() + 6, nullptr, 8));
      break;
    }
  return 0666 & ~mask;
}

}  // namespace

EFileWrite::EFileWrite(std::string path, std::string reason)
    : std::runtime_error("Nu pot salva fisierul " + path + ": " + reason),
      FPath(std::move(path)),
      FReason(std::move(reason)) {}

std::string ErrnoReason(int err) {
  switch (err) {
    case ENOENT: return "fisierul sau directorul nu exista";
    case EACCES:
    case EPERM: return "acces interzis";
    case ENOSPC:
    case EDQUOT: return "discul este plin";
    case EROFS: return "discul este protejat la scriere";
    case EISDIR: return "este un director";
    case ENOTDIR: return "o parte a caii nu este un director";
    case ENAMETOOLONG: return "numele este prea lung";
    case EFBIG: return "fisierul este prea mare";
    default: return std::strerror(err);
  }
}

TAtomicReplace::TAtomicReplace(std::string target) : FTarget(std::move(target)) {
  const size_t slash = FTarget.find_last_of('/');
  FDir = slash == std::string::npos ? "." : (slash == 0 ? "/" : FTarget.substr(0, slash));
  const std::string base = FTarget.substr(slash == std::string::npos ? 0 : slash + 1);
  if (base.empty()) Fail("numele fisierului lipseste");
  struct stat st {};
  if (::lstat(FTarget.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) Fail(ErrnoReason(EISDIR));
    // The rename would replace a write-protected file as easily as any
    // other; writing in place would be refused, and so is this. A link is
    // replaced, never written through, so its target does not matter.
    if (S_ISREG(st.st_mode) && ::access(FTarget.c_str(), W_OK) != 0)
      Fail(ErrnoReason(errno == EROFS ? EROFS : EACCES) + " (fisierul este protejat la scriere)");
  }
  // Same directory as the target, so the rename cannot cross file systems.
  // The leading dot and the suffix keep the name apart from every name the
  // program or its peers look for.
  std::string templ = FDir + "/." + base + ".tmp-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  FFd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (FFd < 0) Fail(ErrnoReason(errno));
  FTemp = buf.data();
  ::fchmod(FFd, NewFileMode(FTarget));
}

TAtomicReplace::~TAtomicReplace() {
  if (FFd >= 0) ::close(FFd);
  if (!FTemp.empty() && !FCommitted) ::unlink(FTemp.c_str());
}

void TAtomicReplace::Fail(const std::string &reason) const { throw EFileWrite(FTarget, reason); }

void TAtomicReplace::Write(std::string_view bytes) {
  if (FFd < 0) Fail("fisierul temporar este inchis");
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(ErrnoReason(n < 0 ? errno : ENOSPC));
    done += size_t(n);
  }
}

void TAtomicReplace::Finish() {
  if (FFinished) return;
  if (FFd >= 0) {
    if (::fsync(FFd) != 0) Fail(ErrnoReason(errno));
    const int rc = ::close(FFd);
    FFd = -1;
    if (rc != 0) Fail(ErrnoReason(errno));
  }
  std::function<void(const std::string &)> hook;
  {
    std::lock_guard<std::mutex> lock(HookMutex);
    hook = Hook;
  }
  if (hook) {
    try {
      hook(FTemp);
    } catch (const std::exception &e) {
      Fail(e.what());
    }
  }
  FFinished = true;
}

void TAtomicReplace::Commit() {
  if (FCommitted) return;
  Finish();
  if (::rename(FTemp.c_str(), FTarget.c_str()) != 0) Fail(ErrnoReason(errno));
  FCommitted = true;
  // The rename itself must reach the disk, or a crash could bring back the
  // old file after the caller was told the write succeeded.
  const int dfd = ::open(FDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

void WriteFileAtomic(const std::string &path, std::string_view bytes) {
  TAtomicReplace file(path);
  file.Write(bytes);
  file.Commit();
}

std::string JoinLinesCrLf(const std::vector<std::string> &lines) {
  size_t size = 0;
  for (const std::string &l : lines) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const std::string &l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

void WriteLinesAtomic(const std::string &path, const std::vector<std::string> &lines) {
  WriteFileAtomic(path, JoinLinesCrLf(lines));
}

void SetAtomicReplaceHook(std::function<void(const std::string &tempPath)> hook) {
  std::lock_guard<std::mutex> lock(HookMutex);
  Hook = std::move(hook);
}
