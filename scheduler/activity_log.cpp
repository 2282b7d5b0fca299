#include "scheduler/activity_log.h"

#include <chrono>
#include <cstdio>
#include <cwctype>
#include <iterator>
#include <mutex>
#include <utility>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

// A firing that finds the log busy this long drops its line.
constexpr std::chrono::milliseconds kPatience{1000};

// Shared by every ActivityLog of the process: roll-over and append must not interleave.
std::timed_mutex& turns() {
  static std::timed_mutex* const mutex = new std::timed_mutex;  // outlives workers at exit
  return *mutex;
}

// A shot name, a path or a server's reply on one line: line breaks and other control
// characters become spaces.
std::wstring oneLine(std::wstring_view text) {
  std::wstring line(text);
  for (wchar_t& c : line) {
    if (std::iswcntrl(c)) c = L' ';
  }
  return line;
}

std::wstring twoDigits(int value) {
  wchar_t text[8];
  std::swprintf(text, std::size(text), L"%02d", value);
  return text;
}

std::wstring clockTime(const platform::LocalTime& time) {
  return twoDigits(time.hour) + L":" + twoDigits(time.minute) + L":" + twoDigits(time.second);
}

std::wstring uploadText(const UploadOutcome& upload) {
  switch (upload.result) {
    case UploadOutcome::Result::kUploaded:
      return L"uploaded to " + upload.detail;
    case UploadOutcome::Result::kNoServer:
      return L"not uploaded (no FTP server)";
    case UploadOutcome::Result::kFailed:
      break;
  }
  return L"upload failed: " + upload.detail;
}

bool uploadFailed(const FiringReport& report) {
  return report.upload.result == UploadOutcome::Result::kFailed;
}

std::wstring outcomeForTip(const FiringReport& report) {
  if (!report.captured) return report.whyNoFile;
  const bool saved = !report.localFile.empty();
  const bool uploaded = static_cast<bool>(report.upload);
  if (uploadFailed(report)) {
    return (saved ? L"" : L"not saved, ") + uploadText(report.upload);
  }
  if (report.retried) return L"sent again";
  if (saved) return uploaded ? L"saved and uploaded" : L"saved";
  return uploaded ? L"uploaded, " + report.whyNoFile : report.whyNoFile;
}

}  // namespace

std::wstring logLine(const FiringReport& report) {
  const platform::LocalTime& t = report.time;
  std::wstring line = report.localFile.empty() ? report.whyNoFile
                      : report.retried         ? L"sent again " + report.localFile
                                               : L"saved " + report.localFile;
  line += L" | ";
  line += report.captured ? uploadText(report.upload) : L"nothing to upload";
  if (report.keptToRetry) line += L", waiting to upload again";
  if (report.captured && !report.upload.notice.empty()) line += L" | " + report.upload.notice;
  return noteLine(t, report.shotName, line);
}

std::wstring noteLine(const platform::LocalTime& t, std::wstring_view shotName,
                      std::wstring_view note) {
  return oneLine(std::to_wstring(t.year) + L"-" + twoDigits(t.month) + L"-" + twoDigits(t.day) +
                 L" " + clockTime(t) + L" | " + std::wstring(shotName) + L" | " +
                 std::wstring(note));
}

std::wstring cleanUpLine(std::wstring_view shotName, size_t deleted,
                         const platform::LocalTime& time) {
  return noteLine(
      time, shotName,
      L"deleted " + std::to_wstring(deleted) + (deleted == 1 ? L" old picture" : L" old pictures"));
}

std::wstring tipText(const FiringReport& report) {
  std::wstring tip =
      oneLine(report.shotName + L" " + clockTime(report.time) + L" " + outcomeForTip(report));
  if (report.waitingUploads > 0)
    tip += L", " + std::to_wstring(report.waitingUploads) + L" waiting to upload";
  if (tip.size() <= kMaxTipLength) return tip;
  size_t cut = kMaxTipLength - 3;
  if (tip[cut - 1] >= 0xD800 && tip[cut - 1] <= 0xDBFF) --cut;  // keep a surrogate pair whole
  return tip.substr(0, cut) + L"...";
  return tip;
}

ActivityLog::ActivityLog(std::wstring folder, uint64_t limit) : limit_(limit) {
  if (folder.empty()) return;
  path_ = folder + kActivityLogName;
  olderPath_ = std::move(folder) + kOlderActivityLogName;
}

bool ActivityLog::write(std::wstring_view line) const {
  if (path_.empty()) return false;
  const std::string bytes = encodeUtf8(std::wstring(line) + L"\r\n", false);
  std::unique_lock turn(turns(), kPatience);
  if (!turn) return false;
  const uint64_t size = platform::fileSize(path_).value_or(0);
  // A log held open by a program that refuses the rename goes on growing: better a long log
  // than a lost line.
  if (size > 0 && size + bytes.size() > limit_) platform::replaceFile(path_, olderPath_);
  return platform::appendToFile(path_, bytes);
}

bool ActivityLog::create() const {
  if (path_.empty()) return false;
  std::unique_lock turn(turns(), kPatience);
  return turn && platform::appendToFile(path_, {});
}
