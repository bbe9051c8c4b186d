#include "win32/registry_settings_store.h"

#include <gmock/gmock.h>

#include "win32/registry_test_key.h"

namespace tarvo::win32 {
namespace {

using ::testing::ElementsAre;

// The type and width a value was stored with.
std::pair<DWORD, DWORD> Stored(const std::string& path, const char* name) {
  HKEY key = nullptr;
  DWORD type = 0, size = 0;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return {0, 0};
  }
  RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  RegCloseKey(key);
  return {type, size};
}

TEST(RegistrySettingsStoreTest, ValuesAreBinaryOfTheirWidthUnderKeysCreatedWhenMissing) {
  testing::TestKey root("settings");
  RegistrySettingsStore store(HKEY_LOCAL_MACHINE, root.path() + "\\");
  EXPECT_FALSE(store.ReadInt32(kSelectPrinterKey, "MS1"));

  ASSERT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", -3));
  ASSERT_TRUE(store.WriteByte(kProgramKey, "Station", 2));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), -3);
  EXPECT_EQ(store.ReadByte(kProgramKey, "Station"), 2);
  EXPECT_THAT(*store.Read(kSelectPrinterKey, "MS1"), ElementsAre(0xFD, 0xFF, 0xFF, 0xFF));

  const std::string select = root.path() + "\\" + std::string(kSelectPrinterKey);
  EXPECT_EQ(Stored(select, "MS1"), std::make_pair(DWORD{REG_BINARY}, DWORD{4}));
  EXPECT_EQ(Stored(root.path() + "\\" + std::string(kProgramKey), "Station"),
            std::make_pair(DWORD{REG_BINARY}, DWORD{1}));

  // A value of another width is not the setting.
  EXPECT_FALSE(store.ReadByte(kSelectPrinterKey, "MS1"));
  EXPECT_TRUE(store.WriteInt32(kSelectPrinterKey, "MS1", 7));
  EXPECT_EQ(store.ReadInt32(kSelectPrinterKey, "MS1"), 7);
}

}  // namespace
}  // namespace tarvo::win32
