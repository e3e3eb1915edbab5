#include "automation/VariantCoercion.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "platform/CaseFold.h"
#include "platform/DateTime.h"

namespace tov::automation {
namespace {

std::u16string_view trimBlanks(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
  return s;
}

std::optional<std::string> asciiOf(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) {
    if (c >= 0x80) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

// "&H1F" and "&O17": the runtime's hexadecimal and octal literals.
std::optional<double> parseRadix(const std::string& s) {
  if (s.size() < 3 || s[0] != '&') return std::nullopt;
  const char kind = static_cast<char>(s[1] | 0x20);
  const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
  if (base == 0) return std::nullopt;
  std::uint32_t v = 0;
  auto [ptr, ec] = std::from_chars(s.data() + 2, s.data() + s.size(), v, base);
  if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
  return static_cast<double>(static_cast<std::int32_t>(v));
}

std::optional<double> parseNumber(std::u16string_view text) {
  const auto ascii = asciiOf(trimBlanks(text));
  if (!ascii || ascii->empty()) return std::nullopt;
  if (auto r = parseRadix(*ascii)) return r;
  std::string s = *ascii;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.erase(0, 1);
  }
  if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '.')) return std::nullopt;
  double v = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
  return negative ? -v : v;
}

// The automation day 0 is 1899-12-30.
constexpr std::int64_t kDateEpoch = platform::kAutomationDateEpochDays;

// "YYYY-MM-DD", optionally with " HH:MM" or " HH:MM:SS" (or "T" between);
// a day the calendar does not have is no date.
std::optional<double> parseIsoDate(std::u16string_view text) {
  const auto ascii = asciiOf(trimBlanks(text));
  if (!ascii) return std::nullopt;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char tail = 0;
  const int n = std::sscanf(ascii->c_str(), "%d-%d-%d%*[ T]%d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail);
  if (n != 3 && n != 5 && n != 6) return std::nullopt;
  const auto field = [](int v) { return v >= 0 && v <= 0xFFFF ? static_cast<std::uint16_t>(v) : std::uint16_t{0xFFFF}; };
  platform::SystemTime t;
  t.year = field(y);
  t.month = field(mo);
  t.day = field(d);
  t.hour = field(h);
  t.minute = field(mi);
  t.second = field(s);
  double date = 0;
  if (!platform::SystemTimeToVariantTime(t, date)) return std::nullopt;
  return date;
}

HResult toLong(double v, double lo, double hi, double& out) {
  if (std::isnan(v)) return kDispEOverflow;
  // Halves go to the even neighbour, as the runtime rounds.
  const double r = std::nearbyint(v);
  if (r < lo || r > hi) return kDispEOverflow;
  out = r;
  return kSOk;
}

// The value as a double when it is numeric (Booleans and dates included).
std::optional<double> numericValue(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return 0.0;
    case VarType::Integer: return v.integerValue();
    case VarType::Long: return v.longValue();
    case VarType::Double: return v.doubleValue();
    case VarType::Date: return v.dateValue().value;
    case VarType::Boolean: return isTrue(v.boolValue()) ? -1.0 : 0.0;
    default: return std::nullopt;
  }
}

HResult toNumber(const Variant& in, double& out) {
  if (auto n = numericValue(in)) {
    out = *n;
    return kSOk;
  }
  if (in.type() == VarType::String) {
    if (auto n = parseNumber(in.stringValue())) {
      out = *n;
      return kSOk;
    }
  }
  return kDispETypeMismatch;
}

HResult toBoolean(const Variant& in, Variant& out) {
  if (in.type() == VarType::String) {
    const std::u16string_view s = trimBlanks(in.stringValue());
    if (platform::equalsIgnoreCase(s, u"True")) return out = Variant::fromBool(true), kSOk;
    if (platform::equalsIgnoreCase(s, u"False")) return out = Variant::fromBool(false), kSOk;
  }
  double v = 0;
  if (HResult hr = toNumber(in, v); failed(hr)) return hr;
  out = Variant::fromBool(v != 0);
  return kSOk;
}

std::u16string bytesAsText(const tov::ByteArray& bytes) {
  // A byte array read as text holds two bytes per unit, low byte first.
  std::u16string out((bytes.size() + 1) / 2, u'\0');
  const std::uint8_t* p = bytes.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out[i / 2] = static_cast<char16_t>(out[i / 2] | (p[i] << (i % 2 ? 8 : 0)));
  }
  return out;
}

tov::ByteArray textAsBytes(std::u16string_view text) {
  tov::ByteVector bytes(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return tov::ByteArray(std::move(bytes));
}

std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

HResult toString(const Variant& in, Variant& out) {
  switch (in.type()) {
    case VarType::Empty: out = Variant::fromString(u""); return kSOk;
    case VarType::String: out = in.deref(); return kSOk;
    case VarType::Integer: out = Variant::fromString(widen(std::to_string(in.integerValue()))); return kSOk;
    case VarType::Long: out = Variant::fromString(widen(std::to_string(in.longValue()))); return kSOk;
    case VarType::Double: out = Variant::fromString(formatDouble(in.doubleValue())); return kSOk;
    case VarType::Date: out = Variant::fromString(formatDate(in.dateValue())); return kSOk;
    case VarType::Boolean: out = Variant::fromString(isTrue(in.boolValue()) ? u"True" : u"False"); return kSOk;
    case VarType::ByteArray: out = Variant::fromString(bytesAsText(in.bytesValue())); return kSOk;
    default: return kDispETypeMismatch;
  }
}

HResult toDate(const Variant& in, Variant& out) {
  if (in.type() == VarType::String) {
    if (auto d = parseIsoDate(in.stringValue())) return out = Variant::fromDate(Date{*d}), kSOk;
  }
  double v = 0;
  if (HResult hr = toNumber(in, v); failed(hr)) return hr;
  out = Variant::fromDate(Date{v});
  return kSOk;
}

HResult toObject(const Variant& in, VarType to, Variant& out) {
  const VarType from = in.type();
  if (from == VarType::Empty) {
    out = to == VarType::Dispatch ? Variant::fromDispatch(nullptr) : Variant::fromUnknown(nullptr);
    return kSOk;
  }
  Unknown* p = from == VarType::Dispatch ? in.dispatchValue() : from == VarType::Unknown ? in.unknownValue() : nullptr;
  if (from != VarType::Dispatch && from != VarType::Unknown) return kDispETypeMismatch;
  if (to == VarType::Unknown) {
    out = Variant::fromUnknown(ComPtr<Unknown>(p));
    return kSOk;
  }
  if (!p) return out = Variant::fromDispatch(nullptr), kSOk;
  ComPtr<Dispatch> d;
  if (failed(queryInterface(p, kIidDispatch, d.putVoid()))) return kDispETypeMismatch;
  out = Variant::fromDispatch(std::move(d));
  return kSOk;
}

HResult toNumeric(const Variant& in, VarType to, Variant& out) {
  double v = 0;
  if (HResult hr = toNumber(in, v); failed(hr)) return hr;
  if (to == VarType::Double) return out = Variant::fromDouble(v), kSOk;
  double r = 0;
  if (to == VarType::Integer) {
    if (HResult hr = toLong(v, -32768.0, 32767.0, r); failed(hr)) return hr;
    out = Variant::fromInteger(static_cast<std::int16_t>(r));
    return kSOk;
  }
  if (HResult hr = toLong(v, -2147483648.0, 2147483647.0, r); failed(hr)) return hr;
  out = Variant::fromLong(static_cast<std::int32_t>(r));
  return kSOk;
}

}  // namespace

HResult changeType(const Variant& inRef, VarType to, Variant& out) {
  const Variant& in = inRef.deref();
  if (to == VarType::Variant) return out = in, kSOk;
  const VarType from = in.type();
  if (from == VarType::Null || from == VarType::Error) return kDispETypeMismatch;
  if (from == to) return out = in, kSOk;
  switch (to) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double: return toNumeric(in, to, out);
    case VarType::Boolean: return toBoolean(in, out);
    case VarType::String: return toString(in, out);
    case VarType::Date: return toDate(in, out);
    case VarType::ByteArray:
      if (from != VarType::String) return kDispETypeMismatch;
      out = Variant::fromBytes(textAsBytes(in.stringValue()));
      return kSOk;
    case VarType::Dispatch:
    case VarType::Unknown: return toObject(in, to, out);
    default: return kDispETypeMismatch;
  }
}

std::u16string formatDouble(double v) {
  if (v == 0) return u"0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  return widen(buf);
}

std::u16string formatDate(Date d) {
  const double whole = std::trunc(d.value);
  const double fraction = std::fabs(d.value - whole);
  long seconds = std::lround(fraction * 86400.0);
  std::int64_t days = static_cast<std::int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += whole < 0 ? -1 : 1;
  }
  std::int64_t y = 0;
  unsigned m = 0, dd = 0;
  platform::civilFromDays(days + kDateEpoch, y, m, dd);
  char buf[64];
  if (seconds == 0) {
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", static_cast<long long>(y), m, dd);
  } else if (days == 0) {
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  } else {
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02ld:%02ld:%02ld", static_cast<long long>(y), m, dd,
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
  }
  return widen(buf);
}

}  // namespace tov::automation
