#include "shots/shots_file.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <variant>

#include "settings/number_text.h"
#include "platform/text_codec.h"

namespace {

using IntField = int32_t ShotDefinition::*;
using FlagField = bool ShotDefinition::*;
using TextField = std::wstring ShotDefinition::*;

struct ShotKey {
  std::wstring_view text;
  std::variant<IntField, FlagField, TextField> field;
};

// In the order the writer puts them.
constexpr std::array<ShotKey, 28> kShotKeys = {{
    {L"SHOT_ID=", &ShotDefinition::SHOT_ID},
    {L"AUTO_ENABLED=", &ShotDefinition::AUTO_ENABLED},
    {L"FULL_SCREEN=", &ShotDefinition::FULL_SCREEN},
    {L"NAME=", &ShotDefinition::NAME},
    {L"RECT_X=", &ShotDefinition::RECT_X},
    {L"RECT_Y=", &ShotDefinition::RECT_Y},
    {L"RECT_WIDTH=", &ShotDefinition::RECT_WIDTH},
    {L"RECT_HEIGHT=", &ShotDefinition::RECT_HEIGHT},
    {L"PREV_RECT_X=", &ShotDefinition::PREV_RECT_X},
    {L"PREV_RECT_Y=", &ShotDefinition::PREV_RECT_Y},
    {L"PREV_RECT_WIDTH=", &ShotDefinition::PREV_RECT_WIDTH},
    {L"PREV_RECT_HEIGHT=", &ShotDefinition::PREV_RECT_HEIGHT},
    {L"DRAW_RECT_X=", &ShotDefinition::DRAW_RECT_X},
    {L"DRAW_RECT_Y=", &ShotDefinition::DRAW_RECT_Y},
    {L"DRAW_RECT_WIDTH=", &ShotDefinition::DRAW_RECT_WIDTH},
    {L"DRAW_RECT_HEIGHT=", &ShotDefinition::DRAW_RECT_HEIGHT},
    {L"TIMESTAMP=", &ShotDefinition::TIMESTAMP},
    {L"LOCAL_PATH=", &ShotDefinition::LOCAL_PATH},
    {L"FTP_FOLDER=", &ShotDefinition::FTP_FOLDER},
    {L"FTP_SERVER=", &ShotDefinition::FTP_SERVER},
    {L"FTP_USER=", &ShotDefinition::FTP_USER},
    {L"FTP_PASS=", &ShotDefinition::FTP_PASS},
    {L"USE_GLOBAL_SETTINGS=", &ShotDefinition::USE_GLOBAL_SETTINGS},
    {L"USE_OWN_LOCAL_SETTINGS=", &ShotDefinition::USE_OWN_LOCAL_SETTINGS},
    {L"USE_OWN_FTP_SETTINGS=", &ShotDefinition::USE_OWN_FTP_SETTINGS},
    {L"AUTO_INTERVAL=", &ShotDefinition::AUTO_INTERVAL},
    {L"FORMAT=", &ShotDefinition::FORMAT},
    {L"DEFAULT_FTP_SERVER=", &ShotDefinition::DEFAULT_FTP_SERVER},
}};

constexpr std::wstring_view kLineEnd = L"\r\n";

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::wstring singleLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\n') c = L' ';
  }
  return text;
}

std::wstring valueText(const ShotDefinition& shot, const ShotKey& key) {
  return std::visit(Overloaded{
                        [&](IntField f) { return decimalText(shot.*f); },
                        [&](FlagField f) { return std::wstring(shot.*f ? L"1" : L"0"); },
                        [&](TextField f) { return singleLine(shot.*f); },
                    },
                    key.field);
}

void assignValue(ShotDefinition& shot, const ShotKey& key, std::wstring_view value) {
  std::visit(Overloaded{
                 [&](IntField f) { shot.*f = parseDecimal(value); },
                 [&](FlagField f) { shot.*f = parseDecimal(value) == 1; },
                 [&](TextField f) { shot.*f = std::wstring(value); },
             },
             key.field);
}

void appendSection(std::wstring& text, const ShotDefinition& shot) {
  text.append(kShotSectionHeader).append(kLineEnd);
  for (const ShotKey& key : kShotKeys) {
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
    for (size_t i = 0; i < kShotKeys.size(); ++i) {
      const ShotKey& key = kShotKeys[i];
      if (!line.starts_with(key.text)) continue;
      // No key text is the start of another, so at most one key matches.
      if (!seen_[i]) assignValue(shot_, key, line.substr(key.text.size()));
      seen_.set(i);
      return;
    }
  }

 private:
  ShotDefinition& shot_;
  std::bitset<kShotKeys.size()> seen_;
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
  return parseShots(decodeUtf8(bytes));
}
