#pragma once
// A test whose documents folder, and with it both data files, lies in a fresh temporary
// folder, with empty settings and an empty shot store on both ends.
#include <gtest/gtest.h>

#include "platform/folders.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"
#include "support/temp_folder.h"

class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::overrideFolderForTests(platform::UserFolder::kDocuments, temp_.path());
    AppSettings::instance().prepareFolders();
    ShotStore::instance().reopen();
  }
  void TearDown() override {
    ShotStore::release();
    AppSettings::release();
    platform::overrideFolderForTests(platform::UserFolder::kDocuments, L"");
  }

  TempFolder temp_;
};
