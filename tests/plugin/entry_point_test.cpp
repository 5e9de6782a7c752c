// Refusals during shutdown, the INI descriptor and the synchronisation event used as a lock.
#include "plugin/entry_point.h"

#include "host/zu_ini_file.h"
#include "hotfolder/sluicegate_app.h"
#include "plugin/initialize_handler.h"
#include "tests/support/win32/file_test_support.h"
#include "tests/support/win32/log_settings_scope.h"
#include "tests/support/win32/mailslot_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace hf {

namespace {

// A record of `level` whose text, after its time, id and level prefixes, is `message`.
bool HasMessage(const std::vector<LogRecord>& records, int level, const std::string& message) {
  for (const LogRecord& record : records)
    if (record.level == level && record.text.size() > message.size() &&
        record.text.compare(record.text.size() - message.size() - 1, std::string::npos, " " + message) == 0)
      return true;
  return false;
}

class EntryPointTest : public ::testing::Test {
 protected:
  void TearDown() override {
    PluginParameters params = DefaultBlock();
    RunActionEntryPoint(kShutdownHandler, &params);
  }

  MailslotReader reader;
  LogSettingsScope logSettings{3};
  CSluicegateApp app;
};

TEST_F(EntryPointTest, EverySelectorIsRefusedWhileShutdownRuns) {
  ASSERT_TRUE(reader.ok()) << reader.error();
  PluginParameters init = DefaultBlock();
  ASSERT_EQ(RunActionEntryPoint(kInitializeHandler, &init), 0);

  app.endActionInProgress = true;
  for (uint32_t selector : {0u, 1u, 6u, 10u, 11u, 13u, 14u, 9u}) {
    PluginParameters params = DefaultBlock();
    PluginParameters before = params;
    EXPECT_EQ(RunActionEntryPoint(selector, &params), -1) << selector;
    EXPECT_EQ(std::memcmp(&before, &params, sizeof params), 0) << selector;
  }
  ASSERT_TRUE(reader.Sync());
  std::vector<LogRecord> records = reader.Drain();
  EXPECT_TRUE(HasMessage(records, 0, "- ! Selector 13 requested while EndAction is being executed!"));
  EXPECT_TRUE(HasMessage(records, 0, "- ! Selector 0 requested while EndAction is being executed!"));

  app.endActionInProgress = false;
  PluginParameters params = DefaultBlock();
  EXPECT_EQ(RunActionEntryPoint(kGetCaps, &params), 0);
}

// An all-ones descriptor pointer is not read.
TEST_F(EntryPointTest, InitializeHandlerTakesTheHostsIniDescriptor) {
  IniFileDescriptor descriptor{};
  std::strcpy(descriptor.path, "C:\\Host\\host.ini");
  PluginParameters params = DefaultBlock();
  params.iniFile = &descriptor;
  ASSERT_EQ(RunActionEntryPoint(kInitializeHandler, &params), 0);
  EXPECT_EQ(TheIniFile().path(), "C:\\Host\\host.ini");
  PluginParameters shutdown = DefaultBlock();
  ASSERT_EQ(RunActionEntryPoint(kShutdownHandler, &shutdown), 0);
  PluginParameters broken = DefaultBlock();
  broken.iniFile = reinterpret_cast<IniFileDescriptor*>(~uintptr_t{0});
  EXPECT_EQ(RunActionEntryPoint(kInitializeHandler, &broken), 0);
  EXPECT_EQ(TheIniFile().path(), "C:\\Host\\host.ini");
}

// The named, manual-reset event is a lock that is free while it is set.
TEST_F(EntryPointTest, LibraryLoadCreatesTheSetSynchronisationEvent) {
  EXPECT_EQ(CSluicegateApp::Current(), &app);
  ASSERT_NE(app.synchEvent(), nullptr);
  ScopedHandle byName(::OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, kSynchEventName));
  ASSERT_TRUE(byName.valid());
  EXPECT_EQ(::WaitForSingleObject(byName.get(), 0), WAIT_OBJECT_0);
  {
    SynchEventLock hold(app);
    EXPECT_EQ(::WaitForSingleObject(byName.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  }
  EXPECT_EQ(::WaitForSingleObject(byName.get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(::WaitForSingleObject(byName.get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(app.TakeNextTaskId(), 1u);  // task numbers of a new library start at one
  EXPECT_EQ(::WaitForSingleObject(byName.get(), 0), WAIT_OBJECT_0);
}

}  // namespace

}  // namespace hf
