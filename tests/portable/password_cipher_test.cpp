#include "settings/password_cipher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "settings/app_settings.h"
#include "settings/settings_file.h"
#include "platform/folders.h"
#include "shots/shot_store.h"
#include "shots/shots_file.h"
#include "support/data_folder_test.h"
#include "support/temp_folder.h"

namespace {

// Each character of the stored form as two hex digits, for comparing with known answers.
std::string hexOf(const std::wstring& text) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (wchar_t c : text) {
    EXPECT_LE(static_cast<unsigned long>(c), 0xFFu);
    hex.push_back(digits[(c >> 4) & 0xF]);
    hex.push_back(digits[c & 0xF]);
  }
  return hex;
}

std::wstring encrypted(std::wstring text) {
  EXPECT_TRUE(PasswordCipher::instance().encrypt(text, text.size()));
  return text;
}

std::wstring decrypted(std::wstring text) {
  EXPECT_TRUE(PasswordCipher::instance().decrypt(text, text.size()));
  return text;
}

// Expected values computed with `openssl enc -bf-ecb -nopad` (legacy provider) under the key
// "k3v9p2qx7m5tz8wn", on the password filled up with zero bytes to a multiple of 8.
TEST(PasswordCipherTest, KnownAnswers) {
  EXPECT_EQ(hexOf(encrypted(L"a")), "aedd229beca9a2a7");
  EXPECT_EQ(hexOf(encrypted(L"password")), "3ce56b124375ee95");
  EXPECT_EQ(hexOf(encrypted(L"password1")), "3ce56b124375ee954b35751cd5fdf126");
}

TEST(PasswordCipherTest, LengthsAreWholeBlocks) {
  EXPECT_EQ(encrypted(L"x").size(), 8u);
  EXPECT_EQ(encrypted(L"12345678").size(), 8u);
  EXPECT_EQ(encrypted(L"123456789").size(), 16u);
  EXPECT_EQ(decrypted(encrypted(L"123456789")), L"123456789");
}

TEST(PasswordCipherTest, EmptyPasswordStaysEmpty) {
  EXPECT_EQ(encrypted(L""), L"");
  EXPECT_EQ(decrypted(L""), L"");
}

TEST(PasswordCipherTest, ShortLastPieceIsFilledWithZeroBytes) {
  const std::wstring stored = encrypted(L"password1");
  // The first block alone, and the first block plus three characters of the second.
  EXPECT_EQ(decrypted(stored.substr(0, 8)), L"password");
  std::wstring tail = stored.substr(8, 3);
  tail.resize(8, L'\0');
  EXPECT_EQ(decrypted(stored.substr(0, 11)), L"password" + decrypted(tail));
}

TEST(PasswordCipherTest, LengthLimitsTheCharactersUsed) {
  std::wstring text = L"password-and-more";
  ASSERT_TRUE(PasswordCipher::instance().encrypt(text, 8));
  EXPECT_EQ(text, encrypted(L"password"));
  ASSERT_TRUE(PasswordCipher::instance().decrypt(text, 100));
  EXPECT_EQ(text, L"password");
}

// "pw15" encrypts to 59 a6 0a 85 46 f3 02 82: a line feed in the middle.
TEST(PasswordCipherTest, UnstorableCipherBytesAreEscaped) {
  const std::wstring stored = encrypted(L"pw15");
  EXPECT_EQ(stored, L"#59A60A8546F30282");
  EXPECT_EQ(decrypted(stored), L"pw15");
  EXPECT_EQ(decrypted(L"#59a60a8546f30282"), L"pw15");
  // "pässwort": a zero byte in its cipher text.
  const std::wstring latin = L"p\u00e4sswort";
  EXPECT_EQ(encrypted(latin), L"#28D76100B012A4FD");
  EXPECT_EQ(decrypted(encrypted(latin)), latin);
}

TEST(PasswordCipherTest, TextThatOnlyLooksEscapedIsPlainCipherText) {
  // Wrong length for the escaped form, or a character that is not a hex digit.
  for (std::wstring text : {std::wstring(L"#59A60A8546F302"), std::wstring(L"#59A60A8546F3028G")}) {
    std::wstring plain = text;
    ASSERT_TRUE(PasswordCipher::instance().decrypt(plain, plain.size()));
    std::wstring padded = text;
    padded.resize((text.size() + 7) / 8 * 8, L'\0');
    EXPECT_EQ(plain, decrypted(padded)) << "for " << hexOf(text);
  }
}

TEST(PasswordCipherTest, RefusesWhatCannotComeBack) {
  for (std::wstring password :
       {std::wstring(L"euro\u20ac"), std::wstring(L"nul\0here", 8), std::wstring(L"\U0001F600")}) {
    std::wstring text = password;
    EXPECT_FALSE(PasswordCipher::instance().encrypt(text, text.size()));
    EXPECT_EQ(text, password);
  }
  std::wstring notCipher = L"abc\u0100defg";
  EXPECT_FALSE(PasswordCipher::instance().decrypt(notCipher, notCipher.size()));
  EXPECT_EQ(notCipher, L"abc\u0100defg");
}

TEST(PasswordCipherTest, EveryLatin1PasswordComesBack) {
  for (wchar_t c = 1; c <= 0xFF; ++c) {
    for (size_t length : {1u, 7u, 8u, 9u, 16u}) {
      std::wstring password(length, c);
      password[length / 2] = static_cast<wchar_t>(0x100 - c);
      if (password[length / 2] == 0x100) password[length / 2] = L'z';
      const std::wstring stored = encrypted(password);
      EXPECT_EQ(stored.find_first_of(std::wstring(L"\0\n\r", 3)), std::wstring::npos);
      EXPECT_EQ(decrypted(stored), password);
    }
  }
}

// Stored passwords must come back from both data files exactly as they were typed.
class PasswordStorageTest : public DataFolderTest {
 protected:
  // Mostly printable ASCII, the rest anywhere in U+0001..U+00FF.
  static std::vector<std::wstring> randomPasswords(size_t count) {
    std::mt19937 random(20260607);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    std::uniform_int_distribution<int> latin1(0x01, 0xFF);
    std::bernoulli_distribution ascii(0.7);
    std::vector<std::wstring> passwords(count);
    for (std::wstring& password : passwords) {
      password.resize(static_cast<size_t>(length(random)));
      for (wchar_t& c : password)
        c = static_cast<wchar_t>(ascii(random) ? printable(random) : latin1(random));
    }
    return passwords;
  }
};

TEST_F(PasswordStorageTest, RandomPasswordsSurviveBothDataFiles) {
  const std::vector<std::wstring> passwords = randomPasswords(4000);
  std::vector<std::wstring> stored;
  size_t escapedCount = 0;
  for (const std::wstring& password : passwords) {
    stored.push_back(encrypted(password));
    if (stored.back().size() % 8 != 0) ++escapedCount;
  }
  // About one in eight needs the escaped form: both forms are exercised.
  EXPECT_GT(escapedCount, passwords.size() / 20);

  // The shots file, through the store's own reading and rewriting.
  std::vector<ShotDefinition> shots(passwords.size());
  for (size_t i = 0; i < shots.size(); ++i) shots[i].FTP_PASS = stored[i];
  const std::wstring shotsPath = AppSettings::instance().sharedDataFolder() + kShotsFileName;
  writeBytes(shotsPath, formatShotsFile(shots));
  ShotStore& store = ShotStore::instance();
  store.load();
  ASSERT_EQ(store.count(), passwords.size());
  for (uint32_t slot = 0; slot < store.count(); ++slot) {
    ASSERT_EQ(decrypted(store.copy(store.at(slot)).FTP_PASS), passwords[slot]) << "slot " << slot;
  }
  const auto rewritten = parseShotsFile(readBytes(shotsPath));
  ASSERT_EQ(rewritten.size(), passwords.size());
  for (size_t i = 0; i < rewritten.size(); ++i) ASSERT_EQ(rewritten[i].FTP_PASS, stored[i]);

  // The settings file: every password through its text, a share of them through the disk.
  for (size_t i = 0; i < passwords.size(); ++i) {
    SettingValues values;
    values[static_cast<size_t>(SettingId::FTP_PASSWORD)] = stored[i];
    const auto found = parseSettingsFile(formatSettingsFile(values));
    ASSERT_EQ(decrypted(found[static_cast<size_t>(SettingId::FTP_PASSWORD)].value_or(L"")),
              passwords[i]);
  }
  const std::wstring docs = AppSettings::instance().getString(SettingId::DOCS_PATH);
  for (size_t i = 0; i < passwords.size(); i += 25) {
    AppSettings::instance().setString(SettingId::FTP_PASSWORD, stored[i]);
    ASSERT_TRUE(AppSettings::instance().save());
    AppSettings::release();
    AppSettings::instance().setString(SettingId::DOCS_PATH, docs);
    AppSettings::instance().load();
    ASSERT_EQ(decrypted(AppSettings::instance().getString(SettingId::FTP_PASSWORD)), passwords[i]);
  }
}

// Dialogs and uploads use the cipher from different threads, the first of them creating it.
TEST(PasswordCipherConcurrencyTest, ThreadsShareOneCipherFromFirstUse) {
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&wrong, t] {
      for (int i = 0; i < 300; ++i) {
        const std::wstring password = L"pw" + std::to_wstring(t * 1000 + i);
        std::wstring text = password;
        PasswordCipher& cipher = PasswordCipher::instance();
        if (!cipher.encrypt(text, text.size()) || !cipher.decrypt(text, text.size()) ||
            text != password) {
          ++wrong;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

}  // namespace
