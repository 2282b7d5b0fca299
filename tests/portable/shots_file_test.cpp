#include "shots/shots_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// The section a shot with every field zero, false or empty gets in slot 0.
const std::string kEmptySection =
    "[SHOT_SETTINGS]\r\n"
    "SHOT_ID=0\r\nAUTO_ENABLED=0\r\nFULL_SCREEN=0\r\nNAME=\r\n"
    "RECT_X=0\r\nRECT_Y=0\r\nRECT_WIDTH=0\r\nRECT_HEIGHT=0\r\n"
    "PREV_RECT_X=0\r\nPREV_RECT_Y=0\r\nPREV_RECT_WIDTH=0\r\nPREV_RECT_HEIGHT=0\r\n"
    "DRAW_RECT_X=0\r\nDRAW_RECT_Y=0\r\nDRAW_RECT_WIDTH=0\r\nDRAW_RECT_HEIGHT=0\r\n"
    "TIMESTAMP=\r\nLOCAL_PATH=\r\nFTP_FOLDER=\r\nFTP_SERVER=\r\nFTP_USER=\r\nFTP_PASS=\r\n"
    "USE_GLOBAL_SETTINGS=0\r\nUSE_OWN_LOCAL_SETTINGS=0\r\nUSE_OWN_FTP_SETTINGS=0\r\n"
    "AUTO_INTERVAL=0\r\nFORMAT=0\r\nDEFAULT_FTP_SERVER=0\r\n"
    "KEEP_DAYS=0\r\nKEEP_COUNT=0\r\nSKIP_UNCHANGED=0\r\nACTIVE_HOURS=\r\nACTIVE_DAYS=\r\n"
    "SHOT_GUID=\r\n"
    "\r\n";

ShotDefinition fullShot() {
  ShotDefinition shot;
  shot.SHOT_ID = 1;
  shot.AUTO_ENABLED = true;
  shot.FULL_SCREEN = false;
  shot.NAME = L"Caf\u00e9 board";
  shot.RECT_X = -20;
  shot.RECT_Y = 40;
  shot.RECT_WIDTH = 640;
  shot.RECT_HEIGHT = 480;
  shot.PREV_RECT_X = -20;
  shot.PREV_RECT_Y = 40;
  shot.PREV_RECT_WIDTH = 620;
  shot.PREV_RECT_HEIGHT = 520;
  shot.DRAW_RECT_X = -28;
  shot.DRAW_RECT_Y = 10;
  shot.DRAW_RECT_WIDTH = 628;
  shot.DRAW_RECT_HEIGHT = 528;
  shot.TIMESTAMP = L"default";
  shot.LOCAL_PATH = L"C:\\Shots\\";
  shot.FTP_FOLDER = L"up";
  shot.FTP_SERVER = L"ftp.example.com";
  shot.FTP_USER = L"me";
  shot.FTP_PASS = L"\u00ae\u00dd\"\u009b\u00ec\u00a9\u00a2\u00a7";
  shot.USE_GLOBAL_SETTINGS = false;
  shot.USE_OWN_LOCAL_SETTINGS = true;
  shot.USE_OWN_FTP_SETTINGS = true;
  shot.AUTO_INTERVAL = 90;
  shot.FORMAT = 4;
  shot.DEFAULT_FTP_SERVER = false;
  shot.KEEP_DAYS = 30;
  shot.KEEP_COUNT = 500;
  shot.SKIP_UNCHANGED = true;
  shot.ACTIVE_HOURS = L"22:00-06:30";
  shot.ACTIVE_DAYS = L"1111100";
  shot.SHOT_GUID = L"{0F1E2D3C-4B5A-4978-8A96-B5C4D3E2F100}";
  return shot;
}

const std::string kFullSection =
    "[SHOT_SETTINGS]\r\n"
    "SHOT_ID=1\r\nAUTO_ENABLED=1\r\nFULL_SCREEN=0\r\nNAME=Caf\xC3\xA9 board\r\n"
    "RECT_X=-20\r\nRECT_Y=40\r\nRECT_WIDTH=640\r\nRECT_HEIGHT=480\r\n"
    "PREV_RECT_X=-20\r\nPREV_RECT_Y=40\r\nPREV_RECT_WIDTH=620\r\nPREV_RECT_HEIGHT=520\r\n"
    "DRAW_RECT_X=-28\r\nDRAW_RECT_Y=10\r\nDRAW_RECT_WIDTH=628\r\nDRAW_RECT_HEIGHT=528\r\n"
    "TIMESTAMP=default\r\nLOCAL_PATH=C:\\Shots\\\r\nFTP_FOLDER=up\r\n"
    "FTP_SERVER=ftp.example.com\r\nFTP_USER=me\r\n"
    "FTP_PASS=\xC2\xAE\xC3\x9D\"\xC2\x9B\xC3\xAC\xC2\xA9\xC2\xA2\xC2\xA7\r\n"
    "USE_GLOBAL_SETTINGS=0\r\nUSE_OWN_LOCAL_SETTINGS=1\r\nUSE_OWN_FTP_SETTINGS=1\r\n"
    "AUTO_INTERVAL=90\r\nFORMAT=4\r\nDEFAULT_FTP_SERVER=0\r\n"
    "KEEP_DAYS=30\r\nKEEP_COUNT=500\r\nSKIP_UNCHANGED=1\r\nACTIVE_HOURS=22:00-06:30\r\n"
    "ACTIVE_DAYS=1111100\r\nSHOT_GUID={0F1E2D3C-4B5A-4978-8A96-B5C4D3E2F100}\r\n"
    "\r\n";

// A section as a hand-edited file may hold it, LF line ends.
std::wstring section(const std::wstring& lines) {
  return L"[SHOT_SETTINGS]\n" + lines + L"\n";
}

TEST(ShotsFileTest, WritesTheLayoutByteForByte) {
  EXPECT_EQ(formatShotsFile({}), kBom);
  EXPECT_EQ(formatShotsFile({ShotDefinition{}}), kBom + kEmptySection);
  EXPECT_EQ(formatShotsFile({ShotDefinition{}, fullShot()}), kBom + kEmptySection + kFullSection);
}

// A file written before the last five keys existed reads them as their defaults.
TEST(ShotsFileTest, AFileWithoutTheLaterKeysReadsTheirDefaults) {
  const std::string withLater = kFullSection;
  const std::string older = withLater.substr(0, withLater.find("KEEP_DAYS=")) + "\r\n";
  ShotDefinition expected = fullShot();
  expected.KEEP_DAYS = expected.KEEP_COUNT = 0;
  expected.SKIP_UNCHANGED = false;
  expected.ACTIVE_HOURS = expected.ACTIVE_DAYS = expected.SHOT_GUID = L"";
  const auto shots = parseShotsFile(kBom + older);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0], expected);
}

TEST(ShotsFileTest, ReadsWhatItWrites) {
  const std::vector<ShotDefinition> shots = {fullShot(), ShotDefinition{}, fullShot()};
  EXPECT_EQ(parseShotsFile(formatShotsFile(shots)), shots);
  EXPECT_EQ(parseShotsFile(kBom + kFullSection), std::vector{fullShot()});
}

TEST(ShotsFileTest, EmptyFilesHoldNoShots) {
  EXPECT_TRUE(parseShotsFile("").empty());
  EXPECT_TRUE(parseShotsFile(kBom).empty());
  EXPECT_TRUE(parseShotsFile(kBom + "\r\n\r\nNAME=orphan\r\n").empty());
}

TEST(ShotsFileTest, AcceptsLineFeedsAndNoByteOrderMark) {
  std::string lf = kFullSection;
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  EXPECT_EQ(parseShotsFile(lf), std::vector{fullShot()});
}

TEST(ShotsFileTest, KeepsTheIdsTheFileGives) {
  const auto shots = parseShots(section(L"SHOT_ID=7\nNAME=a") + section(L"SHOT_ID=3\nNAME=b"));
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(shots[0].SHOT_ID, 7);
  EXPECT_EQ(shots[1].SHOT_ID, 3);
}

TEST(ShotsFileTest, ConvertsValuesByType) {
  const auto shots = parseShots(
      section(L"AUTO_ENABLED= 1\nFULL_SCREEN=01\nUSE_GLOBAL_SETTINGS=2\nRECT_X=-20\nRECT_Y=+7\n"
              L"RECT_WIDTH=12px\nRECT_HEIGHT=wide\nNAME=  spaced out  ") +
      section(L"AUTO_ENABLED=yes\nFULL_SCREEN=1\r\nFORMAT=99999999999"));
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_TRUE(shots[0].AUTO_ENABLED);
  EXPECT_TRUE(shots[0].FULL_SCREEN);
  EXPECT_FALSE(shots[0].USE_GLOBAL_SETTINGS);
  EXPECT_EQ(shots[0].RECT_X, -20);
  EXPECT_EQ(shots[0].RECT_Y, 7);
  EXPECT_EQ(shots[0].RECT_WIDTH, 12);
  EXPECT_EQ(shots[0].RECT_HEIGHT, 0);
  EXPECT_EQ(shots[0].NAME, L"  spaced out  ");
  EXPECT_FALSE(shots[1].AUTO_ENABLED);
  EXPECT_TRUE(shots[1].FULL_SCREEN);
  EXPECT_EQ(shots[1].FORMAT, 2147483647);
}

TEST(ShotsFileTest, OptionalKeysMayBeMissing) {
  const auto shots = parseShots(
      section(L"SHOT_ID=0\nAUTO_ENABLED=1\nFULL_SCREEN=0\nNAME=old\nRECT_X=1\nRECT_Y=2\n"
              L"RECT_WIDTH=3\nRECT_HEIGHT=4\nPREV_RECT_X=5\nPREV_RECT_Y=6\nPREV_RECT_WIDTH=7\n"
              L"PREV_RECT_HEIGHT=8\nDRAW_RECT_X=9\nDRAW_RECT_Y=10\nDRAW_RECT_WIDTH=11\n"
              L"DRAW_RECT_HEIGHT=12\nTIMESTAMP=%H\nLOCAL_PATH=/pics\nUSE_GLOBAL_SETTINGS=1\n"
              L"USE_OWN_LOCAL_SETTINGS=1\nAUTO_INTERVAL=30\nFORMAT=1"));
  ASSERT_EQ(shots.size(), 1u);
  const ShotDefinition& shot = shots[0];
  EXPECT_EQ(shot.NAME, L"old");
  EXPECT_EQ(shot.DRAW_RECT_HEIGHT, 12);
  EXPECT_EQ(shot.LOCAL_PATH, L"/pics");
  EXPECT_TRUE(shot.USE_GLOBAL_SETTINGS && shot.USE_OWN_LOCAL_SETTINGS);
  EXPECT_EQ(shot.AUTO_INTERVAL, 30);
  EXPECT_EQ(shot.FORMAT, 1);
  EXPECT_TRUE(shot.FTP_FOLDER.empty() && shot.FTP_SERVER.empty() && shot.FTP_USER.empty() &&
              shot.FTP_PASS.empty());
  EXPECT_FALSE(shot.USE_OWN_FTP_SETTINGS || shot.DEFAULT_FTP_SERVER);
}

TEST(ShotsFileTest, SectionLackingAKeyBorrowsNothingAndLosesNothing) {
  const auto shots =
      parseShots(section(L"NAME=first\nRECT_X=1\nFORMAT=1") + section(L"NAME=second\nFORMAT=2") +
                 section(L"NAME=third\nRECT_X=3\nFORMAT=3"));
  ASSERT_EQ(shots.size(), 3u);
  EXPECT_EQ(shots[0].NAME, L"first");
  EXPECT_EQ(shots[1].NAME, L"second");
  EXPECT_EQ(shots[1].RECT_X, 0);
  EXPECT_EQ(shots[1].FORMAT, 2);
  EXPECT_EQ(shots[2].NAME, L"third");
  EXPECT_EQ(shots[2].RECT_X, 3);
}

TEST(ShotsFileTest, KeyTextsInsideValuesStayValues) {
  const auto shots = parseShots(
      section(L"NAME=RECT_X=5 [SHOT_SETTINGS] FORMAT=2\nRECT_X=9\nDEFAULT_FTP_SERVER=1") +
      section(L"NAME=[SHOT_SETTINGS]\nTIMESTAMP=NAME=x"));
  ASSERT_EQ(shots.size(), 2u);
  EXPECT_EQ(shots[0].NAME, L"RECT_X=5 [SHOT_SETTINGS] FORMAT=2");
  EXPECT_EQ(shots[0].RECT_X, 9);
  EXPECT_EQ(shots[0].FORMAT, 0);
  EXPECT_EQ(shots[0].FTP_SERVER, L"");  // not read out of DEFAULT_FTP_SERVER=
  EXPECT_TRUE(shots[0].DEFAULT_FTP_SERVER);
  EXPECT_EQ(shots[1].NAME, L"[SHOT_SETTINGS]");
  EXPECT_EQ(shots[1].TIMESTAMP, L"NAME=x");
}

TEST(ShotsFileTest, KeysInAnyOrderAndTheFirstOfARepeatWins) {
  const auto shots = parseShots(L"junk before\nFORMAT=4\n" +
                                section(L"FORMAT=3\nNAME=a\nOTHER=1\nFORMAT=1\n\nRECT_Y=2"));
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].FORMAT, 3);
  EXPECT_EQ(shots[0].NAME, L"a");
  EXPECT_EQ(shots[0].RECT_Y, 2);
}

TEST(ShotsFileTest, OnlyTheCarriageReturnBeforeALineFeedEndsAValue) {
  const auto shots = parseShots(L"[SHOT_SETTINGS]\r\nNAME=a\rb\r\r\nTIMESTAMP=t\r");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].NAME, L"a\rb\r");
  EXPECT_EQ(shots[0].TIMESTAMP, L"t\r");
  EXPECT_EQ(parseShots(formatShots(shots)), shots);
}

TEST(ShotsFileTest, LineBreakInAValueCannotStartAnotherLine) {
  ShotDefinition shot;
  shot.NAME = L"two\nRECT_X=5";
  const auto shots = parseShots(formatShots({shot}));
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].NAME, L"two RECT_X=5");
  EXPECT_EQ(shots[0].RECT_X, 0);
}

}  // namespace
