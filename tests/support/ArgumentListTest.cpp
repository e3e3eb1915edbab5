#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Utf.h"
#include "support/ArgumentList.h"
#include "support/ErrorRecord.h"

extern char** environ;

using namespace tov;

namespace {

using Arguments = std::vector<std::u16string>;

std::vector<std::u16string> items(const ArgumentList& list) {
  std::vector<std::u16string> out;
  for (std::int32_t i = 0; i < list.Count(); ++i) out.push_back(list.Item(i));
  return out;
}

// The child process of the round-trip test: a variable lists the arguments
// the parent started it with; the process checks what it sees of them and
// exits before any test runs, with a code no test run gives.
constexpr int kChildMatched = 42;
constexpr int kChildDiffered = 43;
constexpr const char* kChildVariable = "TOVTEST_ARGUMENT_LIST_CHILD";
constexpr char16_t kSeparator = u'\x1F';

Arguments splitOnSeparator(const std::u16string& text) {
  Arguments out(1);
  for (char16_t c : text) {
    if (c == kSeparator)
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

[[maybe_unused]] const bool kChildChecked = [] {
  const char* expected = std::getenv(kChildVariable);
  if (!expected) return false;
  const Arguments want = splitOnSeparator(platform::fromUtf8Escaped(expected));
  ArgumentList reparsed;
  reparsed.ParseText(ArgumentList::CommandLineText(), true);
  std::_Exit(items(ArgumentList()) == want && items(reparsed) == want ? kChildMatched : kChildDiffered);
}();

struct SplitCase {
  const char16_t* text;
  Arguments expected;
};

TEST(ArgumentList, SplitsByTheWindowsRules) {
  const SplitCase cases[] = {
      // The published examples of the runtime's rules.
      {uR"("a b c" d e)", {u"a b c", u"d", u"e"}},
      {uR"("ab\"c" "\\" d)", {uR"(ab"c)", uR"(\)", u"d"}},
      {uR"(a\\\b d"e f"g h)", {uR"(a\\\b)", u"de fg", u"h"}},
      {uR"(a\\\"b c d)", {uR"(a\"b)", u"c", u"d"}},
      {uR"(a\\\\"b c" d e)", {uR"(a\\b c)", u"d", u"e"}},
      {uR"(a"b"" c d)", {uR"(ab" c d)"}},
      // Blanks, tabs and empty arguments.
      {u"", {}},
      {u" \t ", {}},
      {u"  one\ttwo  ", {u"one", u"two"}},
      {uR"("")", {u""}},
      {uR"("" "")", {u"", u""}},
      {uR"(a "" b)", {u"a", u"", u"b"}},
      {u"\"a b", {u"a b"}},  // an open quote runs to the end
      // Quotes inside and around quoted parts.
      {uR"("a""b")", {uR"(a"b)"}},
      {uR"("""")", {uR"(")"}},
      {uR"(x"y z"w)", {u"xy zw"}},
      // Backslashes are literal unless a quote follows.
      {uR"(C:\dir\ \\server\share\)", {uR"(C:\dir\)", uR"(\\server\share\)"}},
      {uR"("C:\Program Files\\" next)", {uR"(C:\Program Files\)", u"next"}},
      {uR"(\")", {uR"(")"}},
      {u"Алиса \"Боб Иванов\"", {u"Алиса", u"Боб Иванов"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(platform::toUtf8(c.text));
    ArgumentList list;
    list.ParseText(c.text, true);
    EXPECT_EQ(items(list), c.expected);
  }
}

TEST(ArgumentList, ItemOutsideTheListRaisesSubscriptOutOfRange) {
  ArgumentList list;
  list.ParseText(u"first second", true);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(1), u"second");
  for (std::int32_t bad : {-1, 2}) {
    try {
      list.Item(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.record().number, errors::kSubscriptOutOfRange);
    }
  }
  list.ParseText(u"", false);
  EXPECT_EQ(list.Count(), 0);
}

const Arguments kTrickyArguments = {
    u"plain",
    u"",
    u"a b",
    u"\t",
    uR"(say "hi")",
    uR"(")",
    uR"("")",
    uR"(\)",
    uR"(a\\)",
    uR"(a\"b)",
    uR"(a\\"b c)",
    uR"(C:\Program Files\)",
    uR"(\\server\share\)",
    u"Алиса Петрова",
    u"tab\tin",
    u"end\\ ",
    u"\xDCFF\xDCC3-not-utf8.xml",  // the bytes FF C3 of a name in another encoding
};

TEST(ArgumentList, JoinedTextSplitsBackIntoTheSameArguments) {
  for (const auto& argument : kTrickyArguments) {
    SCOPED_TRACE(platform::toUtf8(argument));
    EXPECT_EQ(ArgumentList::split(ArgumentList::join({argument})), Arguments{argument});
  }
  EXPECT_EQ(ArgumentList::split(ArgumentList::join(kTrickyArguments)), kTrickyArguments);
  EXPECT_EQ(ArgumentList::join({u"a b", uR"(x\)", uR"(q"\)"}), uR"("a b" x\ "q\"\\")");
}

TEST(ArgumentList, ProcessArgumentsAndTheirCommandLineTextRoundTrip) {
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  std::vector<std::string> argv{exe};
  std::u16string expected;
  for (const auto& argument : kTrickyArguments) {
    argv.push_back(platform::toUtf8Escaped(argument));
    if (&argument != &kTrickyArguments.front()) expected += kSeparator;
    expected += argument;
  }
  std::vector<char*> argPointers;
  for (auto& a : argv) argPointers.push_back(a.data());
  argPointers.push_back(nullptr);
  std::string variable = std::string(kChildVariable) + "=" + platform::toUtf8Escaped(expected);
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(variable.data());
  env.push_back(nullptr);

  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argPointers.data(), env.data()), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kChildMatched) << "the child saw other arguments than it was given";
}

}  // namespace
