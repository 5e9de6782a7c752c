// RegistryAccess against the real registry: the user-hive mapping and moves, value types, error texts.
#include "base/win32/registry_access.h"

#include "tests/support/win32/registry_value_scope.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace hf {

namespace {

using ::testing::StartsWith;

// A key the mapping applies to, and one outside it.
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
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      for (const char* key : {kMappedUserKey, kMappedKey, kPlainKey}) ASSERT_TRUE(DeleteRegistryTree(root, key));
  }
  RegistryAccess registry;
};

TEST(UserHiveKeyPath, InsertsVorlanAfterTheFirstElementOnlyForSoftwareQuillet) {
  EXPECT_EQ(UserHiveKeyPath("Software\\Quillet\\Debug"), "Software\\Vorlan\\Quillet\\Debug");
  EXPECT_EQ(UserHiveKeyPath("Top\\Software\\Quillet\\X"), "Top\\Vorlan\\Software\\Quillet\\X");
  for (const char* kept : {"SOFTWARE\\Quillet\\Debug", "Software\\Vorlan\\Brenmar", ""})  // case matters
    EXPECT_EQ(UserHiveKeyPath(kept), kept);
}

// A machine-wide value moves into the user's key unless the user has their own or it is the default.
TEST_F(RegistryAccessTest, DwordReadsPreferTheUserAndMoveTheMachineValue) {
  const std::vector<unsigned char> none, qword = {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
  using Bytes = std::vector<unsigned char>;
  // The user's DWORD (or none), the machine's type and bytes, default, value read, whether the machine's value
  // stays, and the user's DWORD afterwards (or none).
  const std::tuple<Bytes, DWORD, Bytes, DWORD, DWORD, bool, Bytes> rows[] = {
      {none, REG_DWORD, DwordBytes(7), 0, 7, false, DwordBytes(7)},
      {DwordBytes(0), REG_DWORD, DwordBytes(5), 0, 5, false, DwordBytes(5)},  // a user value equal to the default
      {DwordBytes(3), REG_DWORD, DwordBytes(5), 0, 3, true, DwordBytes(3)},
      {none, REG_DWORD, DwordBytes(9), 9, 9, true, none},  // a machine value equal to the default
      {none, REG_SZ, {'1', '2', 0}, 42, 42, true, none},
      {none, REG_BINARY, {1, 0, 0, 0}, 42, 42, true, none},
      {none, REG_DWORD, {1, 0}, 42, 42, true, none},
      {none, REG_QWORD, qword, 0, 0x55667788u, false, DwordBytes(0x55667788u)},  // its low half
  };
  for (const auto& [user, machineType, machine, dflt, expected, machineStays, userAfter] : rows) {
    SCOPED_TRACE(testing::PrintToString(user) + " " + testing::PrintToString(machine) + " " + std::to_string(dflt));
    Clean();
    ASSERT_TRUE(user.empty() || Put(HKEY_CURRENT_USER, kMappedUserKey, "Level", REG_DWORD, user));
    ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kMappedKey, "Level", machineType, machine));
    EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Level", kMappedKey, dflt), expected);
    EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Level", kMappedKey, dflt), expected);  // again

    DWORD type = 0;
    Bytes bytes;
    EXPECT_EQ(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Level", nullptr, &bytes), machineStays);
    EXPECT_TRUE(!machineStays || bytes == machine);
    bytes.clear();
    EXPECT_EQ(Has(HKEY_CURRENT_USER, kMappedUserKey, "Level", &type, &bytes), !userAfter.empty());
    EXPECT_TRUE(bytes == userAfter && (userAfter.empty() || type == REG_DWORD));
    EXPECT_FALSE(Has(HKEY_CURRENT_USER, kMappedKey, "Level"));  // not the unmapped path
  }
}

TEST_F(RegistryAccessTest, StringsPreferTheUsersNonEmptyValueOddValuesAndWritesWithoutTheUserHive) {
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

  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "NoNul", REG_SZ, {'a', 'b', 'c'}));
  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Expand", REG_EXPAND_SZ, {'%', 'x', '%', 0}));
  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Number", REG_DWORD, DwordBytes(5)));
  ASSERT_TRUE(PutString(HKEY_LOCAL_MACHINE, kPlainKey, "Empty", ""));
  for (const auto& [name, expected] :
       {std::pair<const char*, const char*>{"NoNul", "abc"}, {"Expand", "d"}, {"Number", "d"}, {"Missing", "d"}})
    EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, name, kPlainKey, std::string("d"), PreferUser::kNo), expected);
  // An empty REG_SZ is a value: it is returned, not the default, and not moved.
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Empty", kPlainKey, std::string("d")), "");
  EXPECT_TRUE(Has(HKEY_LOCAL_MACHINE, kPlainKey, "Empty"));

  RegistryAccess writer;
  EXPECT_TRUE(writer.SetRegEntry(HKEY_LOCAL_MACHINE, "Number", kMappedKey, DWORD{13}, PreferUser::kNo));
  EXPECT_TRUE(writer.SetRegEntry(HKEY_LOCAL_MACHINE, "Number", kMappedKey, DWORD{12}));
  EXPECT_TRUE(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Number", nullptr, &bytes) && bytes == DwordBytes(13));
  EXPECT_TRUE(writer.DeleteRegEntry(HKEY_LOCAL_MACHINE, "Number", kMappedKey));
  EXPECT_FALSE(Has(HKEY_LOCAL_MACHINE, kMappedKey, "Number"));
  // Delete does not map.
  EXPECT_TRUE(Has(HKEY_CURRENT_USER, kMappedUserKey, "Number", nullptr, &bytes) && bytes == DwordBytes(12));
  EXPECT_EQ(writer.LastError(), "");
}

TEST_F(RegistryAccessTest, FailuresLeaveTextsWithTheirContexts) {
  const std::string missingKey = std::string(kPlainKey) + "\\Absent";
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "V", missingKey.c_str(), DWORD{4}, PreferUser::kNo), 4u);
  EXPECT_THAT(registry.LastError(), StartsWith("GetRegEntry(): RegOpenKeyEx() - "));

  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Present", REG_DWORD, DwordBytes(1)));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Gone", kPlainKey, DWORD{4}, PreferUser::kNo), 4u);
  EXPECT_THAT(registry.LastError(), StartsWith("GetRegEntry(): RegGetValue('Gone') - "));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Gone", kPlainKey, std::string("s"), PreferUser::kNo), "s");
  EXPECT_THAT(registry.LastError(), StartsWith("GetRegEntry(): RegGetValue('Gone') - "));

  ASSERT_TRUE(Put(HKEY_LOCAL_MACHINE, kPlainKey, "Big", REG_BINARY, std::vector<unsigned char>(16, 1)));
  EXPECT_EQ(registry.GetRegEntry(HKEY_LOCAL_MACHINE, "Big", kPlainKey, DWORD{4}, PreferUser::kNo), 4u);
  EXPECT_THAT(registry.LastError(), StartsWith("GetRegEntry(): RegGetValue('Big') - "));

  EXPECT_FALSE(registry.DeleteRegEntry(HKEY_LOCAL_MACHINE, "Gone", kPlainKey));
  EXPECT_THAT(registry.LastError(), StartsWith("DeleteRegEntry(): RegDeleteValue(Gone) failed - error - 0x2. - "));

  HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
  EXPECT_FALSE(registry.SetRegEntry(bogus, "V", "Key", std::string("x"), PreferUser::kNo));
  EXPECT_THAT(registry.LastError(), StartsWith("SetRegEntry(): RegCreateKeyEx() failed - "));
  EXPECT_FALSE(registry.SetRegEntry(bogus, "V", "Key", DWORD{1}, PreferUser::kNo));
  EXPECT_THAT(registry.LastError(), StartsWith("SetRegEntry(): RegCreateKeyEx() - "));

  // The system's text without its line end and with one full stop, or the code in hex.
  const std::string known = RegistryErrorText("ctx", ERROR_FILE_NOT_FOUND);
  EXPECT_THAT(known, StartsWith("ctx - "));
  EXPECT_GT(known.size(), std::string("ctx - .").size());
  EXPECT_TRUE(known.back() == '.' && known[known.size() - 2] != '.') << known;
  EXPECT_EQ(known.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(RegistryErrorText("ctx", 0x2000abcdu), "ctx - Error code = 0x2000abcd.");
}

}  // namespace

}  // namespace hf
