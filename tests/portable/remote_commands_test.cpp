#include "delivery/remote_commands.h"

#include <gtest/gtest.h>

namespace {

using namespace remote_commands;

// A path with quotes or backslashes stays one argument; a failed delete does not stop the rename.
TEST(RemoteCommandsTest, RenamesAndRemovalsAsEachProtocolTakesThem) {
  EXPECT_EQ(renameCommands(true, "/a/x.part", "/a/b \"c\".png", true),
            (std::vector<std::string>{"*rm \"/a/b \\\"c\\\".png\"",
                                      "rename \"/a/x.part\" \"/a/b \\\"c\\\".png\""}));
  EXPECT_EQ(renameCommands(false, "x.part", "x.png", false),
            (std::vector<std::string>{"RNFR x.part", "RNTO x.png"}));
  EXPECT_EQ(removeCommands(true, "a\\b"), std::vector<std::string>{"*rm \"a\\\\b\""});
}

}  // namespace
