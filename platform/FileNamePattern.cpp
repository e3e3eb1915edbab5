#include "platform/FileNamePattern.h"

#include "platform/CaseFold.h"

namespace tov::platform {

FileNamePattern::FileNamePattern(std::u16string_view pattern) {
  everything_ = pattern == u"*" || pattern == u"*.*";
  wildcards_ = holdsWildcards(pattern);
  tokens_.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
    const bool atEnd = i + 1 == pattern.size();
    if (c == u'?') {
      tokens_.push_back({Kind::DosAny, 0});
    } else if (c == u'*') {
      tokens_.push_back({next == u'.' ? Kind::DosStar : Kind::Star, 0});
    } else if (c == u'.' && (atEnd || next == u'*' || next == u'?')) {
      tokens_.push_back({Kind::DosDot, 0});
    } else {
      tokens_.push_back({Kind::Literal, foldCase(c)});
    }
  }
}

bool FileNamePattern::holdsWildcards(std::u16string_view text) {
  return text.find_first_of(u"*?") != std::u16string_view::npos;
}

// A walk of all the pattern positions the name can have reached so far,
// one name character at a time, so no pattern backtracks exponentially.
bool FileNamePattern::matches(std::u16string_view name) const {
  if (everything_) return !name.empty();
  if (name.empty() || tokens_.empty()) return false;
  const std::size_t n = tokens_.size();
  const std::size_t lastDot = name.rfind(u'.');
  std::vector<char> states(n + 1, 0);
  std::vector<char> next(n + 1, 0);
  states[0] = 1;

  for (std::size_t pos = 0;; ++pos) {
    const bool end = pos == name.size();
    const char16_t ch = end ? u'\0' : name[pos];
    // Positions reached without taking a character, in this character's
    // context: stars may match nothing, a DOS dot nothing at the end, a run
    // of "?" nothing before a dot or at the end.
    for (std::size_t i = 0; i < n; ++i) {
      if (!states[i]) continue;
      switch (tokens_[i].kind) {
        case Kind::Star:
        case Kind::DosStar: states[i + 1] = 1; break;
        case Kind::DosDot:
          if (end) states[i + 1] = 1;
          break;
        case Kind::DosAny:
          if (end || ch == u'.') {
            std::size_t j = i;
            while (j < n && tokens_[j].kind == Kind::DosAny) ++j;
            states[j] = 1;
          }
          break;
        default: break;
      }
    }
    if (end) return states[n] != 0;

    const char16_t folded = foldCase(ch);
    bool any = false;
    std::fill(next.begin(), next.end(), 0);
    for (std::size_t i = 0; i < n; ++i) {
      if (!states[i]) continue;
      const Token& t = tokens_[i];
      bool stay = false;
      bool advance = false;
      switch (t.kind) {
        case Kind::Literal: advance = t.c == folded; break;
        case Kind::Star: stay = true; break;
        case Kind::DosStar: stay = pos != lastDot; break;
        case Kind::DosDot: advance = ch == u'.'; break;
        case Kind::DosAny: advance = ch != u'.'; break;
      }
      if (stay) next[i] = 1;
      if (advance) next[i + 1] = 1;
      any = any || stay || advance;
    }
    if (!any) return false;
    states.swap(next);
  }
}

}  // namespace tov::platform
