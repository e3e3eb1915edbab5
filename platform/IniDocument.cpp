#include "platform/IniDocument.h"

#include <algorithm>

#include "platform/CaseFold.h"

namespace tov::platform {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

std::u16string_view trim(std::u16string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string unquote(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::u16string(value);
}

bool hasAnyOf(std::u16string_view s, std::u16string_view chars) {
  return s.find_first_of(chars) != std::u16string_view::npos;
}

constexpr std::u16string_view kLineBreakOrNul{u"\r\n\0", 3};

void append(ByteVector& out, std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

}  // namespace

IniDocument::Line IniDocument::makeLine(std::u16string text, std::u16string ending, ByteVector raw) {
  Line line;
  line.text = std::move(text);
  line.ending = std::move(ending);
  line.raw = std::move(raw);
  classify(line);
  return line;
}

void IniDocument::classify(Line& line) {
  const std::u16string_view text = line.text;
  const std::u16string_view trimmed = trim(text);
  line.name.clear();
  if (trimmed.empty()) {
    line.kind = LineKind::Blank;
  } else if (trimmed.front() == u';') {
    line.kind = LineKind::Comment;
  } else if (trimmed.front() == u'[') {
    const std::size_t close = trimmed.find(u']');
    line.kind = close == std::u16string_view::npos ? LineKind::Other : LineKind::Section;
    if (line.kind == LineKind::Section) line.name = trim(trimmed.substr(1, close - 1));
  } else if (const std::size_t eq = text.find(u'='); eq != std::u16string_view::npos) {
    line.kind = LineKind::Key;
    line.name = trim(text.substr(0, eq));
    std::size_t start = eq + 1;
    while (start < text.size() && isBlank(text[start])) ++start;
    // An empty value is replaced right after "=", not after trailing blanks.
    line.valueStart = trim(text.substr(eq + 1)).empty() ? eq + 1 : start;
  } else {
    line.kind = LineKind::Other;
  }
}

IniDocument IniDocument::fromBytes(std::span<const std::uint8_t> bytes, ProfileEncoding plainEncoding,
                                   std::u16string_view newLineEnd) {
  IniDocument doc;
  const DetectedEncoding detected = detectProfileEncoding(bytes, plainEncoding);
  doc.encoding_ = detected.encoding;
  doc.bom_.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(detected.bomSize));
  ByteVector body(bytes.begin() + static_cast<std::ptrdiff_t>(detected.bomSize), bytes.end());
  const std::size_t unit = profileUnitSize(doc.encoding_);
  // A stray last byte of UTF-16 text is kept as the low half of a unit.
  if (body.size() % unit != 0) body.push_back(0);

  std::size_t start = 0;
  std::size_t pos = 0;
  auto takeLine = [&](std::size_t textEnd, std::size_t lineEnd) {
    const std::span<const std::uint8_t> all(body.data() + start, lineEnd - start);
    const std::span<const std::uint8_t> textBytes(body.data() + start, textEnd - start);
    std::u16string ending = decodeProfileText(all.subspan(textBytes.size()), doc.encoding_);
    doc.lines_.push_back(makeLine(decodeProfileText(textBytes, doc.encoding_), std::move(ending),
                                  ByteVector(all.begin(), all.end())));
    if (doc.lineEnd_.empty()) doc.lineEnd_ = doc.lines_.back().ending;
    start = pos = lineEnd;
  };
  while (pos < body.size()) {
    const char16_t c = profileUnitAt(body, pos, doc.encoding_);
    const bool crlf = c == u'\r' && pos + 2 * unit <= body.size() &&
                      profileUnitAt(body, pos + unit, doc.encoding_) == u'\n';
    if (c == u'\r' || c == u'\n') takeLine(pos, pos + (crlf ? 2 : 1) * unit);
    else pos += unit;
  }
  if (start < body.size()) takeLine(body.size(), body.size());
  if (doc.lineEnd_.empty()) doc.lineEnd_ = newLineEnd;
  return doc;
}

ByteVector IniDocument::toBytes() const {
  ByteVector out(bom_.begin(), bom_.end());
  for (const Line& line : lines_) {
    if (!line.raw.empty()) {
      append(out, line.raw);
    } else {
      append(out, encodeProfileText(line.text, encoding_));
      append(out, encodeProfileText(line.ending, encoding_));
    }
  }
  return out;
}

std::size_t IniDocument::nextHeader(std::size_t from) const {
  while (from < lines_.size() && lines_[from].kind != LineKind::Section) ++from;
  return from;
}

std::optional<IniDocument::SectionRange> IniDocument::findSection(std::u16string_view section) const {
  section = trim(section);
  if (section.empty()) return SectionRange{0, nextHeader(0)};
  for (std::size_t i = nextHeader(0); i < lines_.size(); i = nextHeader(i + 1)) {
    if (equalsIgnoreCase(lines_[i].name, section)) return SectionRange{i + 1, nextHeader(i + 1)};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const SectionRange& range, std::u16string_view key) const {
  key = trim(key);
  for (std::size_t i = range.first; i < range.end; ++i) {
    if (lines_[i].kind == LineKind::Key && equalsIgnoreCase(lines_[i].name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::u16string> IniDocument::value(std::u16string_view section, std::u16string_view key) const {
  const auto range = findSection(section);
  const auto at = range ? findKey(*range, key) : std::nullopt;
  if (!at) return std::nullopt;
  return unquote(trim(std::u16string_view(lines_[*at].text).substr(lines_[*at].valueStart)));
}

bool IniDocument::isStorableSection(std::u16string_view section) {
  return !hasAnyOf(section, kLineBreakOrNul) && section.find(u']') == std::u16string_view::npos;
}

bool IniDocument::isStorableKey(std::u16string_view key) {
  const std::u16string_view name = trim(key);
  if (!name.empty() && (name.front() == u';' || name.front() == u'[')) return false;
  return !hasAnyOf(key, kLineBreakOrNul) && key.find(u'=') == std::u16string_view::npos;
}

bool IniDocument::isStorableValue(std::u16string_view value) { return !hasAnyOf(value, kLineBreakOrNul); }

std::u16string IniDocument::exactValueText(std::u16string_view value) {
  const bool blankAtEdge = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
  const bool looksQuoted = unquote(value).size() != value.size();
  if (!blankAtEdge && !looksQuoted) return std::u16string(value);
  return u"\"" + std::u16string(value) + u"\"";
}

std::size_t IniDocument::insertionPoint(const SectionRange& range) const {
  for (std::size_t i = range.end; i > range.first; --i) {
    if (lines_[i - 1].kind == LineKind::Key) return i;
  }
  // No key yet: after the section's other content, before its trailing
  // blank lines (for a named section that is at least its header).
  std::size_t at = range.end;
  while (at > range.first && lines_[at - 1].kind == LineKind::Blank) --at;
  return at;
}

void IniDocument::insertLine(std::size_t at, std::u16string text) {
  if (at > 0 && lines_[at - 1].ending.empty()) {
    Line& before = lines_[at - 1];
    before.ending = lineEnd_;
    if (!before.raw.empty()) append(before.raw, encodeProfileText(lineEnd_, encoding_));
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), makeLine(std::move(text), lineEnd_, {}));
}

bool IniDocument::replaceValue(std::size_t at, std::u16string_view value) {
  Line& line = lines_[at];
  std::u16string text = line.text.substr(0, line.valueStart);
  text += value;
  if (text == line.text) return false;
  line.text = std::move(text);
  line.raw.clear();
  classify(line);
  return true;
}

bool IniDocument::setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  std::u16string keyLine(trim(key));
  keyLine += u'=';
  keyLine += value;
  const auto range = findSection(section);
  if (!range) {
    insertLine(lines_.size(), u"[" + std::u16string(trim(section)) + u"]");
    insertLine(lines_.size(), std::move(keyLine));
    return true;
  }
  if (const auto at = findKey(*range, key)) return replaceValue(*at, value);
  insertLine(insertionPoint(*range), std::move(keyLine));
  return true;
}

bool IniDocument::removeKey(std::u16string_view section, std::u16string_view key) {
  const auto range = findSection(section);
  if (!range) return false;
  bool changed = false;
  for (std::size_t i = range->end; i > range->first; --i) {
    const Line& line = lines_[i - 1];
    if (line.kind == LineKind::Key && equalsIgnoreCase(line.name, trim(key))) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i - 1));
      changed = true;
    }
  }
  return changed;
}

bool IniDocument::removeSection(std::u16string_view section) {
  if (trim(section).empty()) {
    const std::size_t end = nextHeader(0);
    const auto firstKept = std::remove_if(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(end),
                                          [](const Line& line) { return line.kind == LineKind::Key; });
    const bool changed = firstKept != lines_.begin() + static_cast<std::ptrdiff_t>(end);
    lines_.erase(firstKept, lines_.begin() + static_cast<std::ptrdiff_t>(end));
    return changed;
  }
  bool changed = false;
  while (const auto range = findSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->first - 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    changed = true;
  }
  return changed;
}

}  // namespace tov::platform
