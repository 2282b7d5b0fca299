#include "shots/folder_variables.h"

#include "platform/environment.h"

std::wstring expandFolderVariables(std::wstring_view folder, const VariableLookup& lookup) {
  std::wstring out;
  out.reserve(folder.size());
  size_t at = 0;
  while (at < folder.size()) {
    const size_t open = folder.find(L'%', at);
    const size_t close = open == std::wstring_view::npos ? open : folder.find(L'%', open + 1);
    if (close == std::wstring_view::npos) break;
    out.append(folder.substr(at, open - at));
    const std::wstring_view name = folder.substr(open + 1, close - open - 1);
    if (const auto value = name.empty() ? std::nullopt : lookup(name)) {
      out += *value;
      at = close + 1;
    } else {
      // The closing "%" may open the next variable: "100%%USERNAME%".
      out += L'%';
      out.append(name);
      at = close;
    }
  }
  out.append(folder.substr(std::min(at, folder.size())));
  return out;
}

std::wstring expandFolderVariables(std::wstring_view folder) {
  if (folder.find(L'%') == std::wstring_view::npos) return std::wstring(folder);
  return expandFolderVariables(folder, platform::environmentVariable);
}
