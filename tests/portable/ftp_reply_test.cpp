#include "delivery/ftp_reply.h"

#include <gtest/gtest.h>

namespace {

using namespace ftp_reply;

TEST(FtpReplyTest, TheCodeIsThreeDigitsAtTheStart) {
  EXPECT_EQ(code("550 No such file"), 550);
  EXPECT_EQ(code("55x"), 0);
  EXPECT_EQ(code("ok"), 0);
  EXPECT_EQ(code(L"421-Busy"), 421);
  EXPECT_EQ(code(L" 530 Login incorrect."), 0);  // a failure text in plain words
  EXPECT_EQ(code(L"4"), 0);
}

// What the retries and the refusals go by: a 4xx passes with time, a 5xx does not, and only
// some 5xx need somebody to act before anything changes.
TEST(FtpReplyTest, ErrorsPermanentErrorsAndRefusals) {
  for (int error : {400, 421, 426, 451, 500, 530, 599}) EXPECT_TRUE(isError(error)) << error;
  for (int fine : {0, 150, 226, 350, 399, 600}) EXPECT_FALSE(isError(fine)) << fine;
  EXPECT_TRUE(isPermanent(553));
  EXPECT_FALSE(isPermanent(421));
  EXPECT_FALSE(isPermanent(600));
  for (int refusal : {530, 532, 550, 553}) EXPECT_TRUE(isRefusal(refusal)) << refusal;
  for (int other : {421, 500, 501, 552, 0}) EXPECT_FALSE(isRefusal(other)) << other;
}

// WinINet's last response may hold several lines, or a success that came before the failure.
TEST(FtpReplyTest, AnErrorReplyOnOneLineAndNothingElse) {
  EXPECT_EQ(errorLine(L"550-No such folder\r\n550 Try another\r\n"),
            L"550-No such folder  550 Try another");
  EXPECT_EQ(errorLine(L"\r\n 421 Too many connections \r\n"), L"421 Too many connections");
  EXPECT_EQ(errorLine(L"226 Transfer complete.\r\n"), L"");
  EXPECT_EQ(errorLine(L"\r\n \t"), L"");
  EXPECT_EQ(errorLine(L"5 words that are no reply"), L"");
}

}  // namespace
