#include "shots/shot_settings.h"

#include <gtest/gtest.h>

#include "settings/app_settings.h"

namespace {

class ShotSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings& settings = AppSettings::instance();
    settings.setInt(SettingId::SHOT_INTERVAL, 60);
    settings.setString(SettingId::SHOT_TIMESTAMP, L"default");
    settings.setInt(SettingId::SHOT_FORMAT, 4);
    settings.setString(SettingId::LOCAL_PATH, L"/global/pictures");
    settings.setString(SettingId::FTP_FOLDER, L"global-folder");
    settings.setString(SettingId::FTP_SERVER, L"global.example.com");
    settings.setString(SettingId::FTP_USER, L"global-user");
    settings.setString(SettingId::FTP_PASSWORD, L"global-cipher");

    shot_.NAME = L"desk";
    shot_.RECT_X = -20;
    shot_.RECT_Y = 30;
    shot_.RECT_WIDTH = 400;
    shot_.RECT_HEIGHT = 200;
    shot_.AUTO_ENABLED = true;
    shot_.AUTO_INTERVAL = 15;
    shot_.TIMESTAMP = L"%H%M";
    shot_.FORMAT = 1;
    shot_.LOCAL_PATH = L"/own/pictures";
    shot_.FTP_FOLDER = L"own-folder";
    shot_.FTP_SERVER = L"own.example.com";
    shot_.FTP_USER = L"own-user";
    shot_.FTP_PASS = L"own-cipher";
  }
  void TearDown() override { AppSettings::release(); }

  // The values that come from the shot whatever the flag says.
  void expectOwnIdentity(const EffectiveShot& effective) {
    EXPECT_EQ(effective.name, L"desk");
    EXPECT_EQ(effective.rectX, -20);
    EXPECT_EQ(effective.rectY, 30);
    EXPECT_EQ(effective.rectWidth, 400);
    EXPECT_EQ(effective.rectHeight, 200);
    EXPECT_TRUE(effective.autoEnabled);
  }

  ShotDefinition shot_;
};

TEST_F(ShotSettingsTest, OwnValuesWithoutTheFlag) {
  const EffectiveShot effective = effectiveSettings(shot_, AppSettings::instance());
  expectOwnIdentity(effective);
  EXPECT_EQ(effective.interval, 15);
  EXPECT_EQ(effective.timestampPattern, L"%H%M");
  EXPECT_EQ(effective.format, 1);
  EXPECT_EQ(effective.localFolder, L"/own/pictures");
  EXPECT_EQ(effective.ftp.folder, L"own-folder");
  EXPECT_EQ(effective.ftp.server, L"own.example.com");
  EXPECT_EQ(effective.ftp.user, L"own-user");
  EXPECT_EQ(effective.ftp.passwordCipherText, L"own-cipher");
}

TEST_F(ShotSettingsTest, GlobalValuesWithTheFlag) {
  shot_.USE_GLOBAL_SETTINGS = true;
  const EffectiveShot effective = effectiveSettings(shot_, AppSettings::instance());
  expectOwnIdentity(effective);
  EXPECT_EQ(effective.interval, 60);
  EXPECT_EQ(effective.timestampPattern, L"default");
  EXPECT_EQ(effective.format, 4);
  EXPECT_EQ(effective.localFolder, L"/global/pictures");
  EXPECT_EQ(effective.ftp.folder, L"global-folder");
  EXPECT_EQ(effective.ftp.server, L"global.example.com");
  EXPECT_EQ(effective.ftp.user, L"global-user");
  EXPECT_EQ(effective.ftp.passwordCipherText, L"global-cipher");
  // The shot's own values wait unchanged for the flag to be cleared.
  EXPECT_EQ(shot_.AUTO_INTERVAL, 15);
}

}  // namespace
