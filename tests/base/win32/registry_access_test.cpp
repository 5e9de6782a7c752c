// RegistryAccess against the real (Wine) registry: the user-hive mapping, the
// move of machine-wide values into the user's hive, value types, writes,
// deletes and the texts of the last error.
#include "base/win32/registry_access.h"

#include "tests/support/win32/registry_value_scope.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hf {

namespace {

// A test-only key below "Software\Quillet", so that the mapping applies, and
// one outside it.
constexpr char kMappedKey[] = "Software\\Quillet\\HfRegistryAccessTest";
constexpr char kMappedUserKey[] = "Software\\Vorlan\\Quillet\\HfRegistryAccessTest";
constexpr char kPlainKey[] = "Software\\HfRegistryAccessTest";

std::vector<unsigned char> DwordBytes(DWORD value) {
  return std::vector<unsigned char>(reinterpret_cast<const unsigned char*>(&value),
                                    reinterpret_cast<const unsigned char*>(&value) + sizeof value);
}

bool Put(HKEY root, const char* key, const char* name, DWORD type, const std::vector<unsigned char>& bytes) {
  HKEY created = nullptr;
  if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr) != ERROR_SUCCESS) return false;
  LONG result = ::RegSetValueExA(created, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  ::RegCloseKey(created);
  return result == ERROR_SUCCESS;
}

bool PutDword(HKEY root, const char* key, const char* name, DWORD value) {
  return Put(root, key, name, REG_DWORD, DwordBytes(value));
}

bool PutString(HKEY root, const char* key, const char* name, const std::string& value) {
  std::vector<unsigned char> bytes(value.begin(), value.end());
  bytes.push_back(0);
  return Put(root, key, name, REG_SZ, bytes);
}

bool Has(HKEY root, const char* key, const char* name, DWORD* type = nullptr,
         std::vector<unsigned char>* bytes = nullptr) {
  DWORD foundType = 0;
  std::vector<unsigned char> foundBytes;
  if (!ReadRegistryValue(root, key, name, foundType, foundBytes)) return false;
  if (type != nullptr) *type = foundType;
  if (bytes != nullptr) *bytes = foundBytes;
  return true;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    Clean();
    // Parents that only these tests made.
    DeleteEmptyRegistryKey(HKEY_CURRENT_USER, "Software\\Vorlan\\Quillet");
    DeleteEmptyRegistryKey(HKEY_CURRENT_USER, "Software\\Vorlan");
    DeleteEmptyRegistryKey(HKEY_CURRENT_USER, "Software\\Quillet");
    DeleteEmptyRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Quillet");
  }
  static void Clean() {
    ASSERT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, kMappedUserKey));
    ASSERT_TRUE(DeleteRegistryTree(HKEY_LOCAL_MACHINE, kMappedKey));
    ASSERT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, kMappedKey));
    ASSERT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, kPlainKey));
    ASSERT_TRUE(DeleteRegistryTree(HKEY_LOCAL_MACHINE, kPlainKey));
  }
  RegistryAccess registry;
};

TEST(UserHiveKeyPath, InsertsVorlanAfterTheFirstElementOnlyForSoftwareQuillet) {
  EXPECT_EQ(UserHiveKeyPath("Software\\Quillet\\Debug"), "Software\\Vorlan\\Quillet\\Debug");
  EXPECT_EQ(UserHiveKeyPath("Software\\Quillet"), "Software\\Vorlan\\Quillet");
  EXPECT_EQ(UserHiveKeyPath("Top\\Software\\Quillet\\X"), "Top\\Vorlan\\Software\\Quillet\\X");
  EXPECT_EQ(UserHiveKeyPath("SOFTWARE\\Quillet\\Debug"), "SOFTWARE\\Quillet\\Debug");  // case matters
  EXPECT_EQ(UserHiveKeyPath("SOFTWARE\\Vorlan"), "SOFTWARE\\Vorlan");
  EXPECT_EQ(UserHiveKeyPath("Software\\Vorlan\\Brenmar"), "Software\\Vorlan\\Brenmar");
  EXPECT_EQ(UserHiveKeyPath(""), "");
}

// A machine-wide value below "Software\Quillet" moves into the user's mapped
// key unless the user has a value of their own or it is the default.
TEST_F(RegistryAccessTest, DwordReadsPreferTheUserAndMoveTheMachineValue) {
  const std::vector<unsigned char> none;
  const struct {
    const char* name;
    std::vector<unsigned char> user;  // a DWORD, or none
    DWORD machineType;
    std::vector<unsigned char> machine;
    DWORD dflt, expected;
    bool machineStays;
    std::vector<unsigned char> userAfter;  // a DWORD, or none
  } rows[] = {
      {"a machine-only value moves", none, REG_DWORD, DwordBytes(7), 0, 7, false, DwordBytes(7)},
      {"a user value equal to the default lets the machine value count", DwordBytes(0), REG_DWORD, DwordBytes(5), 0,
       5, false, DwordBytes(5)},
      {"a user value other than the default wins and the machine value stays", DwordBytes(3), REG_DWORD,
       DwordBytes(5), 0, 3, true, DwordBytes(3)},
      {"a machine value equal to the default is not moved", none, REG_DWORD, DwordBytes(9), 9, 9, true, none},
      {"a string gives the default and stays", none, REG_SZ, {'1', '2', 0}, 42, 42, true, none},
      {"a binary value gives the default and stays", none, REG_BINARY, {1, 0, 0, 0}, 42, 42, true, none},
      {"a short DWORD gives the default and stays", none, REG_DWORD, {1, 0}, 42, 42, true, none},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Clean();
    if (!row.user.empty()) {
      ASSERT_TRUE(Put(HKEY_CURRENT_USER, kMappedUserKey, "Level", REG_DWORD, row.user));
    }
    ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kMappedKey, "Level", row.machineType, row.machine));
    EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Level", kMappedKey, row.dflt), row.expected);
    EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Level", kMappedKey, row.dflt), row.expected);  // again

    DWORD type = 0;
    std::vector<unsigned char> bytes;
    EXPECT_EQ(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Level", nullptr, &bytes), row.machineStays);
    if (row.machineStays) {
      EXPECT_EQ(bytes, row.machine);
    }
    EXPECT_EQ(Has(HKEY_CURRENT_USER, kMappedUserKey, "Level", &type, &bytes), !row.userAfter.empty());
    if (!row.userAfter.empty()) {
      EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
      EXPECT_EQ(bytes, row.userAfter);
    }
    EXPECT_FALSE(Has(HKEY_CURRENT_USER, kMappedKey, "Level"));  // not the unmapped path
  }
}

TEST_F(RegistryAccessTest, QwordGivesItsLowHalf) {
  const unsigned long long wide = 0x1122334455667788ULL;
  std::vector<unsigned char> bytes(reinterpret_cast<const unsigned char*>(&wide),
                                   reinterpret_cast<const unsigned char*>(&wide) + sizeof wide);
  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Wide", REG_QWORD, bytes));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Wide", kPlainKey, DWORD{0}, PreferUser::kNo), 0x55667788u);
  EXPECT_TRUE(Has(HKEY_LOCAL_MACHINE, kPlainKey, "Wide"));  // no move without PreferUser

  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Wide", kPlainKey, DWORD{0}), 0x55667788u);
  std::vector<unsigned char> moved;
  DWORD type = 0;
  ASSERT_TRUE(Has(HKEY_CURRENT_USER, kPlainKey, "Wide", &type, &moved));  // unmapped path: no "Software\Quillet"
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(moved, DwordBytes(0x55667788u));
}

TEST_F(RegistryAccessTest, StringsPreferTheUsersNonEmptyValueAndMoveTheMachinesOne) {
  ASSERT_TRUE(PutString(HKEY_LOCAL_MACHINE, kMappedKey, "Name", "machine"));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Name", kMappedKey, std::string("dflt")), "machine");
  EXPECT_FALSE(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Name"));
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(Has(HKEY_CURRENT_USER, kMappedUserKey, "Name", nullptr, &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("machine\0", 8));

  ASSERT_TRUE(PutString(HKEY_LOCAL_MACHINE, kMappedKey, "Name", "other"));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Name", kMappedKey, std::string("dflt")), "machine");

  ASSERT_TRUE(PutString(HKEY_CURRENT_USER, kMappedUserKey, "Name", ""));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Name", kMappedKey, std::string("dflt")), "other");
}

TEST_F(RegistryAccessTest, StringReadsOfOddValues) {
  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "NoNul", REG_SZ, {'a', 'b', 'c'}));
  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Expand", REG_EXPAND_SZ, {'%', 'x', '%', 0}));
  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kPlainKey, "Number", 5));
  ASSERT_TRUE(PutString(HKEY_LOCAL_MACHINE, kPlainKey, "Empty", ""));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "NoNul", kPlainKey, std::string("d"), PreferUser::kNo), "abc");
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Expand", kPlainKey, std::string("d"), PreferUser::kNo), "d");
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Number", kPlainKey, std::string("d"), PreferUser::kNo), "d");
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Missing", kPlainKey, std::string("d"), PreferUser::kNo), "d");
  // An empty REG_SZ is a value: it is returned, not the default.
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Empty", kPlainKey, std::string("d")), "");
  EXPECT_TRUE(Has(HKEY_LOCAL_MACHINE, kPlainKey, "Empty"));
}

TEST_F(RegistryAccessTest, SetWritesToTheMappedUserKeyOrToTheGivenRoot) {
  EXPECT_TRUE(registry.SetRegEntry(HKEY_LOCAL_MACHINE, "Text", kMappedKey, std::string("v")));
  EXPECT_TRUE(registry.SetRegEntry(HKEY_LOCAL_MACHINE, "Number", kMappedKey, DWORD{12}));
  EXPECT_TRUE(Has(HKEY_CURRENT_USER, kMappedUserKey, "Text"));
  EXPECT_TRUE(Has(HKEY_CURRENT_USER, kMappedUserKey, "Number"));
  EXPECT_FALSE(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Text"));

  EXPECT_TRUE(registry.SetRegEntry(HKEY_LOCAL_MACHINE, "Number", kMappedKey, DWORD{13}, PreferUser::kNo));
  std::vector<unsigned char> bytes;
  DWORD type = 0;
  ASSERT_TRUE(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Number", &type, &bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(bytes, DwordBytes(13));

  EXPECT_TRUE(registry.DeleteRegEntry(HKEY_LOCAL_MACHINE, "Number", kMappedKey));
  EXPECT_FALSE(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Number"));
  EXPECT_TRUE(Has(HKEY_CURRENT_USER, kMappedUserKey, "Number"));  // delete does not map
  EXPECT_EQ(registry.LastError(), "");
}

TEST_F(RegistryAccessTest, FailuresLeaveTextsWithTheirContexts) {
  const std::string missingKey = std::string(kPlainKey) + "\\Absent";
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "V", missingKey.c_str(), DWORD{4}, PreferUser::kNo), 4u);
  EXPECT_TRUE(StartsWith(registry.LastError(), "GetRegEntry(): RegOpenKeyEx() - ")) << registry.LastError();

  ASSERT_TRUE(PutDword(HKEY_LOCAL_MACHINE, kPlainKey, "Present", 1));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Gone", kPlainKey, DWORD{4}, PreferUser::kNo), 4u);
  EXPECT_TRUE(StartsWith(registry.LastError(), "GetRegEntry(): RegGetValue('Gone') - ")) << registry.LastError();
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Gone", kPlainKey, std::string("s"), PreferUser::kNo), "s");
  EXPECT_TRUE(StartsWith(registry.LastError(), "GetRegEntry(): RegGetValue('Gone') - ")) << registry.LastError();

  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Big", REG_BINARY, std::vector<unsigned char>(16, 1)));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Big", kPlainKey, DWORD{4}, PreferUser::kNo), 4u);
  EXPECT_TRUE(StartsWith(registry.LastError(), "GetRegEntry(): RegGetValue('Big') - ")) << registry.LastError();

  EXPECT_FALSE(registry.DeleteRegEntry(HKEY_LOCAL_MACHINE, "Gone", kPlainKey));
  EXPECT_TRUE(StartsWith(registry.LastError(), "DeleteRegEntry(): RegDeleteValue(Gone) failed - error - 0x2. - "))
      << registry.LastError();

  HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
  EXPECT_FALSE(registry.SetRegEntry(bogus, "V", "Key", std::string("x"), PreferUser::kNo));
  EXPECT_TRUE(StartsWith(registry.LastError(), "SetRegEntry(): RegCreateKeyEx() failed - ")) << registry.LastError();
  EXPECT_FALSE(registry.SetRegEntry(bogus, "V", "Key", DWORD{1}, PreferUser::kNo));
  EXPECT_TRUE(StartsWith(registry.LastError(), "SetRegEntry(): RegCreateKeyEx() - ")) << registry.LastError();

  const std::string& text = registry.LastError();
  EXPECT_EQ(text.back(), '.');
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
}

TEST(RegistryErrorText, SystemMessageOrTheCodeInHex) {
  const std::string known = RegistryErrorText("ctx", ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(StartsWith(known, "ctx - ")) << known;
  EXPECT_GT(known.size(), std::string("ctx - .").size());
  EXPECT_EQ(known.back(), '.');
  EXPECT_NE(known.substr(known.size() - 2), "..") << known;
  EXPECT_EQ(known.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(RegistryErrorText("ctx", 0x2000abcdu), "ctx - Error code = 0x2000abcd.");
}

}  // namespace

}  // namespace hf
