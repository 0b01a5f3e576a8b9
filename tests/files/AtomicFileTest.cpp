// Replacing files: the old file stays whole until the new one is, and a link
// at the target is replaced, never written through.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"
#include "ScratchDir.h"

TEST(AtomicFile, LinesEndWithCrLfAndAFailedWriteLeavesTheOldFile) {
  TScratchDir dir;
  const std::string path = dir.Path() + "/R.OK";
  WriteLinesAtomic(path, {"a;1", "", "b"});
  EXPECT_EQ(ReadFileBytes(path), "a;1\r\n\r\nb\r\n");

  SetAtomicReplaceHook([](const std::string &) { throw std::runtime_error("discul este plin"); });
  EXPECT_THROW(WriteFileAtomic(path, "nou"), EFileWrite);
  SetAtomicReplaceHook({});
  EXPECT_EQ(ReadFileBytes(path), "a;1\r\n\r\nb\r\n");
  EXPECT_EQ(dir.Entries().size(), 1u);  // no temporary file left behind
}

TEST(AtomicFile, ALinkAtTheTargetIsReplacedNotWrittenThrough) {
  TScratchDir dir;
  const std::string victim = dir.Path() + "/victim";
  std::ofstream(victim) << "keep";
  ASSERT_EQ(symlink(victim.c_str(), (dir.Path() + "/R.ERR").c_str()), 0);
  WriteFileAtomic(dir.Path() + "/R.ERR", "Operatie nereusita!\r\n");
  EXPECT_EQ(ReadFileBytes(victim), "keep");
  struct stat st {};
  ASSERT_EQ(lstat((dir.Path() + "/R.ERR").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST(AtomicFile, ADirectoryOrAMissingFolderIsRefusedWithAReason) {
  TScratchDir dir;
  try {
    WriteFileAtomic(dir.Path(), "x");
    FAIL();
  } catch (const EFileWrite &e) {
    EXPECT_EQ(e.Reason(), "este un director");
  }
  EXPECT_THROW(WriteFileAtomic(dir.Path() + "/nu/exista.txt", "x"), EFileWrite);
}
