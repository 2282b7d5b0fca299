#include "shots/shots_file.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <variant>

#include "platform/text_codec.h"
#include "settings/number_text.h"
#include "shots/shot_fields.h"

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

std::wstring singleLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\n') c = L' ';
  }
  return text;
}

std::wstring valueText(const ShotDefinition& shot, const ShotField& key) {
  return std::visit(Overloaded{
                        [&](IntField f) { return decimalText(shot.*f); },
                        [&](FlagField f) { return std::wstring(shot.*f ? L"1" : L"0"); },
                        [&](TextField f) { return singleLine(shot.*f); },
                    },
                    key.field);
}

void assignValue(ShotDefinition& shot, const ShotField& key, std::wstring_view value) {
  std::visit(Overloaded{
                 [&](IntField f) { shot.*f = parseDecimal(value); },
                 [&](FlagField f) { shot.*f = parseDecimal(value) == 1; },
                 [&](TextField f) { shot.*f = std::wstring(value); },
             },
             key.field);
}

void appendSection(std::wstring& text, const ShotDefinition& shot) {
  text.append(kShotSectionHeader).append(kLineEnd);
  for (const ShotField& key : shotFields()) {
    text.append(key.text).append(valueText(shot, key)).append(kLineEnd);
  }
  text.append(kLineEnd);
}

// Gives the lines of a text one by one: LF ends a line, and a CR just before it is not part
// of the line.
class LineReader {
 public:
  explicit LineReader(std::wstring_view text) : rest_(text) {}

  bool next(std::wstring_view& line) {
    if (done_) return false;
    const size_t end = rest_.find(L'\n');
    if (end == std::wstring_view::npos) {
      line = rest_;
      done_ = true;
      return true;
    }
    line = rest_.substr(0, end);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    rest_.remove_prefix(end + 1);
    return true;
  }

 private:
  std::wstring_view rest_;
  bool done_ = false;
};

// Fills in one section's record from the lines after its header.
class SectionReader {
 public:
  explicit SectionReader(ShotDefinition& shot) : shot_(shot) {}

  void readLine(std::wstring_view line) {
    for (size_t i = 0; i < shotFields().size(); ++i) {
      const ShotField& key = shotFields()[i];
      if (!line.starts_with(key.text)) continue;
      // No key text is the start of another, so at most one key matches.
      if (!seen_[i]) assignValue(shot_, key, line.substr(key.text.size()));
      seen_.set(i);
      return;
    }
  }

 private:
  ShotDefinition& shot_;
  std::bitset<kShotFieldCount> seen_;
};

}  // namespace

std::wstring formatShots(const std::vector<ShotDefinition>& shots) {
  std::wstring text;
  for (const ShotDefinition& shot : shots) appendSection(text, shot);
  return text;
}

std::vector<ShotDefinition> parseShots(std::wstring_view text) {
  std::vector<ShotDefinition> shots;
  std::optional<SectionReader> section;
  LineReader lines(text);
  std::wstring_view line;
  while (lines.next(line)) {
    if (line.starts_with(kShotSectionHeader)) {
      shots.emplace_back();
      section.emplace(shots.back());
    } else if (section) {
      section->readLine(line);
    }
  }
  return shots;
}

std::string formatShotsFile(const std::vector<ShotDefinition>& shots) {
  return encodeUtf8(formatShots(shots), true);
}

std::vector<ShotDefinition> parseShotsFile(std::string_view bytes) {
  return parseShots(decodeTextFile(bytes));
}
