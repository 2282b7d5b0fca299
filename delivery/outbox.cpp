#include "delivery/outbox.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <utility>

#include "delivery/server_address.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

constexpr wchar_t kSuffix[] = L".upload";

enum Key {
  kShot,
  kLocalFile,
  kProtocol,
  kServer,
  kPort,
  kUser,
  kPassword,
  kFolder,
  kRemoteName,
  kQueuedAt
};
constexpr std::array<std::wstring_view, 10> kKeys{
    L"SHOT=", L"LOCAL_FILE=", L"PROTOCOL=", L"SERVER=",      L"PORT=",
    L"USER=", L"PASSWORD=",   L"FOLDER=",   L"REMOTE_NAME=", L"QUEUED_AT="};

// Only the first line of a value is kept: a value cannot start a line of its own.
std::wstring_view firstLine(std::wstring_view value) {
  return value.substr(0, value.find_first_of(L"\r\n"));
}

std::optional<int64_t> decimal(std::wstring_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

// "ftpes://host:port", or the bare host for plain FTP on its usual port, as a shot holds it.
std::wstring serverText(const ServerAddress& address) {
  if (address.protocol == TransferProtocol::kFtp && address.port == 21) return address.host;
  return std::wstring(protocolName(address.protocol)) + L"://" + address.host + L":" +
         std::to_wstring(address.port);
}

// Which uploads share a wait: the same account on the same server reached the same way.
std::wstring serverKey(const FtpAccount& account) {
  const auto address = parseServerAddress(account.server);
  if (!address) return account.user + L"@" + account.server;
  std::wstring host = address->host;
  for (wchar_t& c : host)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + (L'a' - L'A'));
  return account.user + L"@" + serverText({address->protocol, host, address->port});
}

}  // namespace

std::string formatOutboxEntry(const OutboxEntry& entry) {
  const ServerAddress address =
      parseServerAddress(entry.account.server).value_or(ServerAddress{{}, entry.account.server});
  const std::array<std::wstring, 10> values{entry.shotName,
                                            entry.localPath,
                                            std::wstring(protocolName(address.protocol)),
                                            address.host,
                                            std::to_wstring(address.port),
                                            entry.account.user,
                                            entry.account.passwordCipherText,
                                            entry.account.folder,
                                            entry.remoteName,
                                            std::to_wstring(entry.queuedAt)};
  std::wstring text;
  for (size_t key = 0; key < kKeys.size(); ++key) {
    text += kKeys[key];
    text += firstLine(values[key]);
    text += L"\r\n";
  }
  return encodeUtf8(text, true);
}

std::optional<OutboxEntry> parseOutboxEntry(std::string_view bytes) {
  const std::wstring text = decodeTextFile(bytes);
  std::array<std::optional<std::wstring>, 10> values;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring_view line(text.data() + start, end - start);
    if (line.ends_with(L'\r')) line.remove_suffix(1);
    for (size_t key = 0; key < kKeys.size(); ++key) {
      if (!values[key] && line.starts_with(kKeys[key]))
        values[key] = std::wstring(line.substr(kKeys[key].size()));
    }
    start = end + 1;
  }
  const auto protocol = protocolNamed(values[kProtocol].value_or(L"ftp"));
  const auto port = decimal(values[kPort].value_or(L""));
  if (!values[kLocalFile] || values[kLocalFile]->empty() || !values[kServer] ||
      values[kServer]->empty() || !values[kRemoteName] || values[kRemoteName]->empty() || !protocol)
    return std::nullopt;
  ServerAddress address{*protocol, *values[kServer], defaultPort(*protocol)};
  if (port && *port > 0 && *port <= 65535) address.port = static_cast<uint16_t>(*port);
  OutboxEntry entry;
  entry.shotName = values[kShot].value_or(L"");
  entry.localPath = *values[kLocalFile];
  entry.account.server = serverText(address);
  entry.account.user = values[kUser].value_or(L"");
  entry.account.passwordCipherText = values[kPassword].value_or(L"");
  entry.account.folder = values[kFolder].value_or(L"");
  entry.remoteName = *values[kRemoteName];
  entry.queuedAt = decimal(values[kQueuedAt].value_or(L"")).value_or(0);
  return entry;
}

RetryPace retryPaceOf(std::wstring_view failure) {
  const bool reply =
      failure.size() >= 3 && std::all_of(failure.begin(), failure.begin() + 3,
                                         [](wchar_t c) { return c >= L'0' && c <= L'9'; });
  return reply && failure[0] == L'5' ? RetryPace::kSlow : RetryPace::kSoon;
}

RetryPace retryPaceOf(const UploadOutcome& failure) {
  return failure.refused ? RetryPace::kSlow : retryPaceOf(failure.detail);
}

Outbox::Outbox(std::wstring folder) : folder_(std::move(folder)) {}

void Outbox::load(int64_t now) {
  std::lock_guard guard(lock_);
  for (const std::wstring& name : platform::filesEndingWith(folder_, kSuffix)) {
    std::string bytes;
    if (platform::readWholeFile(folder_ + platform::kPathSeparator + name, bytes) !=
        platform::ReadResult::kRead)
      continue;
    if (auto entry = parseOutboxEntry(bytes)) waiting_.emplace(name, std::move(*entry));
  }
  servers_.clear();  // everything is due at a start
  giveUpBeyondLimits(now);
}

bool Outbox::add(const OutboxEntry& entry, RetryPace pace, int64_t now) {
  std::lock_guard guard(lock_);
  platform::createFolder(folder_);
  const std::wstring name = newFileName(now);
  if (!platform::writeFileAtomically(folder_ + platform::kPathSeparator + name,
                                     formatOutboxEntry(entry)))
    return false;
  waiting_.emplace(name, entry);
  // Each new failure does not lengthen the wait: only retries that fail again do.
  const std::wstring server = serverKey(entry.account);
  if (pace == RetryPace::kSlow || servers_[server].wait == 0) slowDown(server, pace, now);
  giveUpBeyondLimits(now);
  return true;
}

std::optional<Outbox::Waiting> Outbox::nextDue(int64_t now) {
  std::lock_guard guard(lock_);
  giveUpBeyondLimits(now);
  for (const auto& [name, entry] : waiting_) {
    Pace& server = servers_[serverKey(entry.account)];
    if (server.busy || server.next > now) continue;
    server.busy = true;
    return Waiting{name, entry};
  }
  return std::nullopt;
}

void Outbox::delivered(const Waiting& upload, int64_t now) {
  std::lock_guard guard(lock_);
  remove(upload.fileName);
  servers_[serverKey(upload.entry.account)] = Pace{0, now, false};
}

void Outbox::failedAgain(const Waiting& upload, RetryPace pace, int64_t now) {
  std::lock_guard guard(lock_);
  const std::wstring server = serverKey(upload.entry.account);
  servers_[server].busy = false;
  slowDown(server, pace, now);
}

void Outbox::drop(const Waiting& upload) {
  std::lock_guard guard(lock_);
  remove(upload.fileName);
  servers_[serverKey(upload.entry.account)].busy = false;
}

void Outbox::reached(const FtpAccount& account, int64_t now) {
  std::lock_guard guard(lock_);
  const auto server = servers_.find(serverKey(account));
  if (server == servers_.end()) return;
  server->second.wait = 0;
  server->second.next = now;
}

std::vector<OutboxEntry> Outbox::takeGivenUp(int64_t now) {
  std::lock_guard guard(lock_);
  giveUpBeyondLimits(now);
  return std::exchange(givenUp_, {});
}

size_t Outbox::size() const {
  std::lock_guard guard(lock_);
  return waiting_.size();
}

bool Outbox::holds(const std::wstring& localPath) const {
  std::lock_guard guard(lock_);
  return std::any_of(waiting_.begin(), waiting_.end(),
                     [&](const auto& waiting) { return waiting.second.localPath == localPath; });
}

std::wstring Outbox::newFileName(int64_t now) {
  for (;;) {
    wchar_t name[48] = {};
    std::swprintf(name, 48, L"%012lld-%06u%ls", static_cast<long long>(now), sequence_++ % 1000000,
                  kSuffix);
    if (!waiting_.contains(name) &&
        !platform::fileExists(folder_ + platform::kPathSeparator + name))
      return name;
  }
}

void Outbox::slowDown(const std::wstring& server, RetryPace pace, int64_t now) {
  Pace& state = servers_[server];
  if (pace == RetryPace::kSlow)
    state.wait = kLongestWait;
  else
    state.wait = state.wait == 0 ? kFirstWait : std::min(state.wait * 2, kLongestWait);
  state.next = now + state.wait;
}

void Outbox::giveUpBeyondLimits(int64_t now) {
  // The file names sort by the time each upload first failed: the oldest go first.
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    const bool tooOld = now - it->second.queuedAt > kLongestStay;
    const bool tooMany = waiting_.size() > kMostWaiting;
    if (!tooOld && !tooMany) break;
    if (servers_[serverKey(it->second.account)].busy) {
      ++it;
      continue;
    }
    givenUp_.push_back(it->second);
    platform::removeFile(folder_ + platform::kPathSeparator + it->first);
    it = waiting_.erase(it);
  }
}

void Outbox::remove(const std::wstring& fileName) {
  platform::removeFile(folder_ + platform::kPathSeparator + fileName);
  waiting_.erase(fileName);
}
