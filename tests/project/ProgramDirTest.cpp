// Where the program keeps its files: beside a copy that may write there (a
// dealer's stick), else in the user's data directory.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "OrdinaryUser.h"
#include "ProgramDir.h"
#include "ScratchDir.h"

TEST(ProgramDirRule, TheUsersDataDirectoryWhenTheExecutablesCannotBeWritten) {
  const struct {
    const char *Exe, *XdgDataHome, *Home, *Expected;
  } cases[] = {
      // The system's tree, even for root who may write there.
      {"/usr/bin", "", "/home/ana", "/home/ana/.local/share/tarvoprog/"},
      {"/usr/local/bin/", "/srv/date", "/home/ana", "/srv/date/tarvoprog/"},
      {"/bin", "/srv/date/", "/home/ana", "/srv/date/tarvoprog/"},
      // A relative XDG_DATA_HOME is not a place, by the convention.
      {"/usr/bin", "date", "/home/ana", "/home/ana/.local/share/tarvoprog/"},
      // A directory that is not there cannot be written either.
      {"/nonexistent/tarvoprog", "", "/home/ion", "/home/ion/.local/share/tarvoprog/"},
  };
  for (const auto &c : cases) EXPECT_EQ(ProgramDirectoryFor(c.Exe, c.XdgDataHome, c.Home), c.Expected) << c.Exe;
}

TEST(ProgramDirRule, BesideAWritableExecutableAndNotBesideAReadOnlyOne) {
  TScratchDir dir;
  const std::string stick = dir.Path() + "/stick", installed = dir.Path() + "/installed";
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(stick.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(stick.c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(installed.c_str(), 0555), 0);
  const int rc = AsOrdinaryUser([&] {
    if (ProgramDirectoryFor(stick, "/srv/date", "/home/ana") != stick + "/") return 1;
    if (ProgramDirectoryFor(installed, "/srv/date", "/home/ana") != "/srv/date/tarvoprog/") return 2;
    return 0;
  });
  if (rc == -1) GTEST_SKIP() << "cannot give up root here";
  EXPECT_EQ(rc, 0) << (rc == 1 ? "a writable directory was not used" : "a read-only directory was used");
}

TEST(ProgramDirRule, TheDirectoryIsMadeWithItsParentsAndAFileInTheWayIsReported) {
  TScratchDir dir;
  const std::string data = dir.Path() + "/home/.local/share/tarvoprog/";
  EXPECT_EQ(MakeDirectories(data, 0700), "");
  struct stat st {};
  ASSERT_EQ(::stat(data.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(MakeDirectories(data), "");  // already there

  std::ofstream(dir.Path() + "/file") << "x";
  const std::string why = MakeDirectories(dir.Path() + "/file/tarvoprog");
  EXPECT_NE(why.find(dir.Path() + "/file"), std::string::npos) << why;
}
