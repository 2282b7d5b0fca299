#include "delivery/account_check_win.h"

#include <mutex>
#include <optional>
#include <utility>

#include "capture/output_name.h"
#include "delivery/server_address.h"
#include "delivery/transports_win.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/temporary_file.h"
#include "shots/folder_variables.h"
#include "shots/shot_guid.h"

namespace {

// "{8F1C2E4A-...}" as a file name part: unique, so that no real file is ever overwritten.
std::wstring uniquePart() {
  std::wstring id;
  for (wchar_t c : newShotGuid())
    if (c != L'{' && c != L'}') id += c;
  return id;
}

// Where the test file went, as the user would name that place.
std::wstring placeInWords(const FtpAccount& account, const std::optional<ServerAddress>& address) {
  const std::wstring folder = account.folder.empty() ? L"" : account.folder + L"/";
  if (address && isS3(address->protocol)) {
    const std::wstring bucket = L"the bucket " + address->path;
    return folder.empty() ? bucket : L"the prefix " + folder + L" in " + bucket;
  }
  if (address && isWebDav(address->protocol)) {
    std::wstring share = address->path;
    if (!share.ends_with(L'/')) share += L'/';
    return L"the folder " + share + folder;
  }
  return folder.empty() ? L"the starting folder" : L"the folder " + folder;
}

AccountCheckResult check(FtpAccount account, const std::wstring& knownHostsPath) {
  if (account.server.empty()) return {false, L"No server to test."};
  account.folder = expandFolderVariables(account.folder);
  const std::wstring name = L"vemlix-test-" + uniquePart() + L".txt";
  const platform::TemporaryFile file(platform::tempFolder() + name);
  if (!platform::writeFileAtomically(file.path(), "Vemlix wrote this file to test the folder.\r\n"))
    return {false, L"The test file could not be made in " + platform::tempFolder()};

  ServerDestination destination = makeServerDestination(knownHostsPath);
  const std::wstring remoteName = remotePathIn(account, name);
  const UploadOutcome sent = destination.send(account, remoteName, file.path());
  if (!sent) return {false, L"The test failed: " + sent.detail};

  const auto address = parseServerAddress(account.server);
  const std::wstring host = address ? address->host : account.server;
  const std::wstring user = account.user.empty() ? L"anonymous" : account.user;
  std::wstring text = L"Connected to " + host + L" as " + user + L"; " +
                      placeInWords(account, address) + L" can be written.";
  const UploadOutcome removed = destination.remove(account, remoteName);
  if (!removed) text += L" The test file " + name + L" is left there: " + removed.detail;
  return {true, std::move(text)};
}

}  // namespace

struct AccountCheck::Run {
  std::mutex lock;
  Done done;

  // The first word is the last: a cancelled check's own end is not heard.
  void tell(const AccountCheckResult& result) {
    Done once;
    {
      std::lock_guard guard(lock);
      once = std::exchange(done, nullptr);
    }
    if (once) once(result);
  }
};

AccountCheck::AccountCheck(std::wstring knownHostsPath)
    : knownHostsPath_(std::move(knownHostsPath)) {}

AccountCheck::~AccountCheck() {
  cancel();
}

void AccountCheck::start(FtpAccount account, Done done) {
  cancel();
  run_ = std::make_shared<Run>();
  run_->done = std::move(done);
  // A check keeps its own copies: a cancelled one runs out its limits after this is gone.
  thread_ = std::thread([run = run_, account = std::move(account), path = knownHostsPath_] {
    run->tell(check(account, path));
  });
}

void AccountCheck::cancel() {
  if (run_) run_->tell({false, L"Test cancelled."});
  run_.reset();
  // Its connection ends by the transfer limits (or at once when the program ends); nobody
  // needs to wait for that.
  if (thread_.joinable()) thread_.detach();
}
