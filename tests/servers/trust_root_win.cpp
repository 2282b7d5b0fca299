// Makes the Wine prefix of the tests trust the test root certificate, as an administrator puts
// a company's root into the Windows store: trust_root.exe ROOT.der
// clang-format off
#include <windows.h>
#include <wincrypt.h>  // after windows.h, which it needs
// clang-format on

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fwprintf(stderr, L"usage: trust_root ROOT.der\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  const std::vector<unsigned char> der{std::istreambuf_iterator<char>(file), {}};
  if (der.empty()) {
    std::fwprintf(stderr, L"trust_root: cannot read %ls\n", argv[1]);
    return 1;
  }
  // Adding a certificate the store holds already replaces it: running twice does no harm.
  if (!CertAddEncodedCertificateToSystemStoreW(L"Root", der.data(),
                                               static_cast<DWORD>(der.size()))) {
    std::fwprintf(stderr, L"trust_root: the store refused it (error %lu)\n", GetLastError());
    return 1;
  }
  return 0;
}
