// The simulator on a real pseudo-terminal, spoken to with plain POSIX calls.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

#include "Frame.h"
#include "PtyPair.h"
#include "ScratchDir.h"
#include "SimTestUtil.h"
#include "Simulator.h"

using namespace Sim;

TEST(SimulatorPty, AnswersOverTheLineAndLeavesNoLinkBehind) {
  TScratchDir dir("simtest");
  const std::string link = dir.Path() + "/COM1";
  std::string err;
  {
    TSimulator sim;
    ASSERT_TRUE(sim.Start(link, err)) << err;
    ASSERT_TRUE(sim.OpenTrace(dir.Path() + "/trace.txt", err)) << err;
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(sim.SlavePath(), target);

    const int fd = OpenRawTerminal(link);
    ASSERT_GE(fd, 0);
    std::vector<std::string> expected;
    sim.WithEngine([&](TEngine &e) { e.Tables.ReadTable("D1200", expected); });
    const std::string req = Frame::EncodeRequest("D1200");
    ASSERT_EQ(write(fd, req.data(), req.size()), ssize_t(req.size()));
    std::vector<std::string> lines;
    for (;;) {
      const std::string got = ReadAtLeast(fd, 7, 2000);
      auto frames = SimTest::SplitFrames(got);
      ASSERT_EQ(frames.size(), 1u) << SimTest::Split(got).size();
      if (frames[0].Raw == Frame::AckFrame()) break;
      lines.push_back(frames[0].Payload);
      ASSERT_EQ(write(fd, Frame::AckFrame().data(), 7), 7);
    }
    EXPECT_EQ(lines, expected);
    // Bytes the line discipline would touch (XON, XOFF, CR, DEL) pass as they are.
    const std::string odd = std::string("\x11\x13\r\n\x7F\x04", 6);
    sim.WithEngine([&](TEngine &e) { e.SetAnswer("D16", {odd}); });
    const std::string req16 = Frame::EncodeRequest("D16");
    ASSERT_EQ(write(fd, req16.data(), req16.size()), ssize_t(req16.size()));
    auto frames = SimTest::SplitFrames(ReadAtLeast(fd, Frame::EncodeAnswer(odd).size(), 2000));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Payload, odd);
    close(fd);
    sim.Stop();
    EXPECT_NE(access(link.c_str(), F_OK), 0);  // removed at the end
  }
  // The trace holds both directions, time-stamped.
  std::FILE *f = std::fopen((dir.Path() + "/trace.txt").c_str(), "r");
  ASSERT_TRUE(f);
  char line[512];
  bool sawPc = false, sawSim = false;
  while (std::fgets(line, sizeof line, f)) {
    const std::string s = line;
    if (s.find(" pc>  10 02 44 31 32 30 30 10 03") != std::string::npos) sawPc = true;
    if (s.find(" sim> 10 02 31 32 30 30 3B") != std::string::npos) sawSim = true;
  }
  std::fclose(f);
  EXPECT_TRUE(sawPc);
  EXPECT_TRUE(sawSim);
}

TEST(SimulatorPty, ReplacesAStaleLinkButNoOtherFile) {
  TScratchDir dir("simtest");
  const std::string link = dir.Path() + "/COM2";
  ASSERT_EQ(symlink("/dev/pts/does-not-exist", link.c_str()), 0);
  std::string err;
  {
    TSimulator sim;
    ASSERT_TRUE(sim.Start(link, err)) << err;
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(sim.SlavePath(), target);
  }
  const std::string file = dir.Path() + "/notes.txt";
  std::FILE *f = std::fopen(file.c_str(), "w");
  std::fputs("keep me", f);
  std::fclose(f);
  TSimulator sim;
  EXPECT_FALSE(sim.Start(file, err));
  EXPECT_NE(err.find("not a symbolic link"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(lstat(file.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}
