#include "support/ArgumentList.h"

#include "platform/Utf.h"
#include "support/ErrorRecord.h"
#include "support/ProcessArguments.h"

namespace tov {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Appends `count` backslashes.
void appendBackslashes(std::u16string& out, std::size_t count) { out.append(count, u'\\'); }

bool needsQuotes(std::u16string_view argument) {
  if (argument.empty()) return true;
  for (char16_t c : argument) {
    if (isBlank(c) || c == u'"') return true;
  }
  return false;
}

// Quotes one argument so that split() reads it back as it is: backslashes
// before a quote, or before the closing quote, are doubled; quotes are
// escaped with a backslash.
void appendQuoted(std::u16string& out, std::u16string_view argument) {
  if (!needsQuotes(argument)) {
    out += argument;
    return;
  }
  out += u'"';
  std::size_t backslashes = 0;
  for (char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    if (c == u'"') {
      appendBackslashes(out, 2 * backslashes + 1);
    } else {
      appendBackslashes(out, backslashes);
    }
    backslashes = 0;
    out += c;
  }
  appendBackslashes(out, 2 * backslashes);
  out += u'"';
}

}  // namespace

ArgumentList::ArgumentList() : items_(processArguments()) {}

void ArgumentList::ParseText(std::u16string_view text, bool /*flag*/) { items_ = split(text); }

const std::u16string& ArgumentList::Item(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) raiseError(errors::kSubscriptOutOfRange);
  return items_[static_cast<std::size_t>(index)];
}

std::u16string ArgumentList::CommandLineText() { return join(processArguments()); }

std::vector<std::u16string> ArgumentList::split(std::u16string_view text) {
  std::vector<std::u16string> arguments;
  std::size_t i = 0;
  const std::size_t n = text.size();
  for (;;) {
    while (i < n && isBlank(text[i])) ++i;
    if (i >= n) break;
    std::u16string argument;
    bool quoted = false;
    while (i < n && (quoted || !isBlank(text[i]))) {
      std::size_t backslashes = 0;
      while (i < n && text[i] == u'\\') {
        ++backslashes;
        ++i;
      }
      if (i >= n || text[i] != u'"') {
        appendBackslashes(argument, backslashes);  // literal: no quote follows
        if (backslashes == 0) argument += text[i++];
        continue;
      }
      appendBackslashes(argument, backslashes / 2);
      if (backslashes % 2 == 1) {
        argument += u'"';
      } else if (quoted && i + 1 < n && text[i + 1] == u'"') {
        argument += u'"';
        ++i;
      } else {
        quoted = !quoted;
      }
      ++i;
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::u16string ArgumentList::join(const std::vector<std::u16string>& arguments) {
  std::u16string text;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    if (k > 0) text += u' ';
    appendQuoted(text, arguments[k]);
  }
  return text;
}

}  // namespace tov
