// The mx7350-sim program as a user starts it: usage errors, the link it puts
// and removes, a clean end on SIGTERM and SIGINT.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScratchDir.h"

namespace {

// Starts the simulator with args; stdout and stderr go to /dev/null.
pid_t Spawn(std::vector<std::string> args) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    std::vector<char *> argv;
    static std::string exe = MX7350_SIM_PATH;
    argv.push_back(exe.data());
    for (auto &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

int ExitCode(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitForLink(const std::string &path) {
  for (int i = 0; i < 1000; ++i) {  // up to 10 s on a loaded machine
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && access(path.c_str(), F_OK) == 0)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

TEST(Executable, UsageErrorsExitWithTwo) {
  EXPECT_EQ(ExitCode(Spawn({"--help"})), 0);
  EXPECT_EQ(ExitCode(Spawn({})), 2);  // --link is required
  EXPECT_EQ(ExitCode(Spawn({"--link", "/tmp/x", "--bad-crc", "zero"})), 2);
  EXPECT_EQ(ExitCode(Spawn({"--link", "/tmp/x", "--refuse-write", "2:300"})), 2);
  EXPECT_EQ(ExitCode(Spawn({"--link", "/tmp/x", "--baud"})), 2);
  EXPECT_EQ(ExitCode(Spawn({"--link", "/tmp/x", "--frobnicate", "1"})), 2);
}

TEST(Executable, SignalsEndItCleanlyAndTakeTheLinkAway) {
  TScratchDir scratch("simexe");
  const std::string dir = scratch.Path(), link = dir + "/COM1";
  ASSERT_EQ(symlink("/dev/pts/stale", link.c_str()), 0);  // left by a killed run
  for (int sig : {SIGTERM, SIGINT}) {
    const pid_t pid = Spawn({"--link", link, "--sales", "3", "--trace", dir + "/t.txt"});
    ASSERT_TRUE(WaitForLink(link));
    kill(pid, sig);
    EXPECT_EQ(ExitCode(pid), 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0) << "signal " << sig;
  }
}
