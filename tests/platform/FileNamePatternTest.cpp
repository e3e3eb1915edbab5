// Search masks select the names Windows selects with them.
#include <gtest/gtest.h>

#include <string>

#include "platform/FileNamePattern.h"

namespace tovtest {
namespace {

using tov::platform::FileNamePattern;

struct Case {
  const char16_t* pattern;
  const char16_t* name;
  bool matches;
};

TEST(FileNamePattern, MatchesAsWindowsSearchMasksDo) {
  const Case cases[] = {
      {u"*", u"a", true},
      {u"*", u".", true},
      {u"*", u"", false},
      {u"*.*", u"abc", true},  // a name without a dot still matches
      {u"*.*", u"a.b.c", true},
      {u"*.", u"abc", true},  // only names without a dot
      {u"*.", u"a.b", false},
      {u"*.txt", u"a.txt", true},
      {u"*.txt", u"A.TXT", true},
      {u"*.txt", u"a.b.txt", true},
      {u"*.txt", u"a.txt.bak", false},
      {u"*.txt", u".txt", true},
      {u"*.txt", u"txt", false},
      {u"file?.txt", u"file.txt", true},  // "?" may match nothing before a dot
      {u"file?.txt", u"file1.txt", true},
      {u"file?.txt", u"file12.txt", false},
      {u"a??", u"a", true},  // and at the end
      {u"a??", u"abc", true},
      {u"a??", u"abcd", false},
      {u"a?b", u"axb", true},
      {u"a?b", u"a.b", false},  // never a dot
      {u"a?c", u"ac", false},
      {u"*a*b", u"xaxbxb", true},
      {u"readme", u"README", true},
      {u"readme", u"readme.txt", false},
      {u"отчёт*", u"ОТЧЁТ за май.doc", true},
      {u"*.log", u"old.LOG", true},
      {u"", u"a", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNamePattern(c.pattern).matches(c.name), c.matches) << "case #" << (&c - cases);
  }
}

// A backtracking matcher would take longer than the test may run.
TEST(FileNamePattern, AnswersPatternsThatWouldBacktrackWithoutEnd) {
  const std::u16string name(250, u'a');
  EXPECT_FALSE(FileNamePattern(u"*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b").matches(name));
  EXPECT_TRUE(FileNamePattern(u"*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a").matches(name));
}

TEST(FileNamePattern, TellsWildcardsAndTheMatchAll) {
  EXPECT_TRUE(FileNamePattern(u"*.*").matchesEverything());
  EXPECT_FALSE(FileNamePattern(u"*.txt").matchesEverything());
  EXPECT_TRUE(FileNamePattern::holdsWildcards(u"a?"));
  EXPECT_FALSE(FileNamePattern::holdsWildcards(u"a.txt"));
}

}  // namespace
}  // namespace tovtest
