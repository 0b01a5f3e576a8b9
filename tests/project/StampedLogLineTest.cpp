// The log lines of the online mode and of the service share one shape, so
// that a journal holding both reads as one.
#include <gtest/gtest.h>

#include <regex>

#include "StampedLogLine.h"

TEST(StampedLogLineTest, DateTimeThenWhoThenTheLineAsItIs) {
  const struct {
    const char *Who, *Line, *Tail;
  } cases[] = {
      {"online", "WRITEPLU.TXT -> WRITEPLU.OK: 3 PLU programmed", " online: WRITEPLU.TXT -> WRITEPLU.OK: 3 PLU programmed"},
      {"serve", "listening on 127.0.0.1:8080", " serve: listening on 127.0.0.1:8080"},
      {"online", "", " online: "},
  };
  for (const auto &c : cases) {
    const std::string line = StampedLogLine(c.Who, c.Line);
    const std::string tail = c.Tail;
    ASSERT_GT(line.size(), tail.size()) << line;
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    EXPECT_TRUE(std::regex_match(line.substr(0, line.size() - tail.size()),
                                 std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << line;
  }
}
