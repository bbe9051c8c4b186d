// Discovery against the registry's device interface classes, populated by the tests with
// interfaces of several identities, linked and not, under the systems' kinds.
#include "win32/interface_walk.h"

#include <gmock/gmock.h>

#include "link/discovery.h"
#include "win32/registry_key.h"
#include "win32/registry_test_key.h"
#include "win32/win32_backend.h"

namespace tarvo::win32 {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Iface {
  std::string name;      // the interface's subkey
  std::string instance;  // "DeviceInstance", or empty for none
  std::string link;      // "SymbolicLink", or empty for none
  int linked = 1;        // "Linked", or -1 for none
};

class InterfaceWalkTest : public ::testing::Test {
 protected:
  InterfaceWalkTest() : key_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    classes_.root = HKEY_LOCAL_MACHINE;
    classes_.folder = key_.path() + "\\DeviceClasses";
  }

  void Add(const char* class_key, const Iface& iface) {
    const std::string base = classes_.folder + "\\" + class_key + "\\" + iface.name;
    auto k = RegistryKey::Create(HKEY_LOCAL_MACHINE, base);
    ASSERT_TRUE(k);
    if (!iface.instance.empty()) SetText(k->get(), "DeviceInstance", iface.instance);
    auto hash = RegistryKey::Create(HKEY_LOCAL_MACHINE, base + "\\#");
    ASSERT_TRUE(hash);
    if (!iface.link.empty()) SetText(hash->get(), "SymbolicLink", iface.link);
    auto control = RegistryKey::Create(HKEY_LOCAL_MACHINE, base + "\\#\\Control");
    ASSERT_TRUE(control);
    if (iface.linked >= 0) {
      DWORD value = static_cast<DWORD>(iface.linked);
      RegSetValueExA(control->get(), "Linked", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                     sizeof value);
    }
  }

  static void SetText(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  }

  // The link discovery would open on a system of `kind`, or "" for none.
  std::string Found(OsKind kind) {
    Win32Backend::Options options;
    options.classes = classes_;
    options.os_kind = [kind] { return kind; };
    Win32Backend backend(options);
    auto found = FindPrinterInterface(backend);
    return found ? found->location : "";
  }

  testing::TestKey key_;
  InterfaceClasses classes_;
};

const char* const kLink1 = "\\\\?\\USB#Vid_0a3c&Pid_7251#A1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const char* const kLink5 = "\\\\?\\USB#Vid_0b7d&Pid_0005#B5#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const char* const kLinkOther =
    "\\\\?\\USB#Vid_04b8&Pid_0005#C#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

TEST(OsKindTest, KindsOfTheSystemVersions) {
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_WINDOWS, 4, 0), 1);   // 95
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_WINDOWS, 4, 10), 3);  // 98
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_WINDOWS, 4, 90), 4);  // Me
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_NT, 4, 0), 2);
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_NT, 5, 1), 5);   // XP
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_NT, 6, 1), 0);   // 7
  EXPECT_EQ(OsKindOf(VER_PLATFORM_WIN32_NT, 10, 0), 0);  // 10, 11
  // Current systems keep their code and are discovered as 2000/XP are.
  EXPECT_EQ(DiscoveryKind(0), 5);
  for (OsKind kind : {1, 2, 3, 4, 5}) EXPECT_EQ(DiscoveryKind(kind), kind);
}

TEST(OsKindTest, SymbolicLinkReadsAsAnInstanceOfTheSameIdentity) {
  EXPECT_EQ(InstanceOfSymbolicLink("\\\\?\\USB#Vid_0a3c&Pid_8802&MI_00#7&1#{guid}"),
            "USB\\Vid_0a3c&Pid_8802&MI_00\\7&1\\{guid}");
  EXPECT_EQ(MatchSupportedDevice(InstanceOfSymbolicLink(kLink1))->number, 1);
  EXPECT_EQ(MatchSupportedDevice(InstanceOfSymbolicLink("\\\\?\\USB#Vid_0a3c&Pid_8802#7")),
            nullptr);
}

TEST_F(InterfaceWalkTest, XpOpensTheLastLinkedSupportedInterfaceOfTheUsbPrintingClass) {
  Add(kUsbPrintClass, {"##?#USB#1", "", kLink1, 1});
  Add(kUsbPrintClass, {"##?#USB#5", "", kLink5, 1});
  Add(kUsbPrintClass, {"##?#USB#6", "", kLinkOther, 1});  // not a supported one
  Add(kUsbPrintClass, {"##?#USB#7", "", "\\\\?\\USB#Vid_0a3c&Pid_7253#N", 0});   // not linked
  Add(kUsbPrintClass, {"##?#USB#8", "", "\\\\?\\USB#Vid_0a3c&Pid_7253#M", -1});  // no Linked
  EXPECT_EQ(Found(5), kLink5);
}

TEST_F(InterfaceWalkTest, CurrentWindowsFindsThePrinterAsXpDoes) {
  // What a current Windows holds for an attached printer: the USB printing class only.
  Add(kUsbPrintClass, {"##?#USB#1", "USB\\VID_0A3C&PID_7251\\A1", kLink1, 1});
  EXPECT_EQ(Found(0), kLink1);
  // The 9x path, had kind 0 taken it, looks in the second class and finds nothing.
  EXPECT_THAT(ListPrinterInterfaces(classes_, 2), IsEmpty());
}

TEST_F(InterfaceWalkTest, NineXAndNt4MatchTheDeviceInstanceIgnoringCase) {
  Add(kSecondClass, {"a", "usb\\vid_0a3c&pid_7251\\x", "\\\\.\\printer-a", 1});
  Add(kSecondClass, {"b", "USB\\VID_0A3C&PID_8802\\y", "\\\\.\\printer-b", 1});  // no &MI_00
  Add(kSecondClass, {"c", "", "\\\\.\\printer-c", 1});  // no DeviceInstance
  EXPECT_EQ(Found(2), "\\\\.\\printer-a");
  EXPECT_EQ(Found(4), "\\\\.\\printer-a");
  auto list = ListPrinterInterfaces(classes_, 2);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].instance, "USB\\VID_0A3C&PID_8802\\y");
  EXPECT_EQ(MatchSupportedDevice(list[1].instance), nullptr);
}

TEST_F(InterfaceWalkTest, AnInterfaceNotLinkedIsNeverOpened) {
  Add(kSecondClass, {"a", "USB\\VID_0A3C&PID_7251\\x", "\\\\.\\printer-a", 0});
  Add(kUsbPrintClass, {"b", "", kLink1, 0});
  EXPECT_EQ(Found(2), "");
  EXPECT_EQ(Found(5), "");
  auto list = ListPrinterInterfaces(classes_, 5);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_FALSE(list[0].linked);
  EXPECT_EQ(list[0].reason, "not linked");
}

TEST_F(InterfaceWalkTest, Windows98FallsBackToTheUsbPrintingClassAndNamesThePipe) {
  Add(kSecondClass, {"a", "USB\\VID_04B8&PID_0001\\x", "\\\\.\\other", 1});
  Add(kUsbPrintClass, {"b", "USB\\VID_0B7D&PID_080C\\z", "\\\\.\\usbprint-b", 1});
  EXPECT_EQ(Found(3), "\\\\.\\usbprint-b");
  EXPECT_EQ(Found(4), "");  // Me has no fallback
  EXPECT_EQ(Win32Backend::PipePath("\\\\.\\usbprint-b", PipeName::kWrite, 3),
            "\\\\.\\usbprint-b\\PIPE00");
  EXPECT_EQ(Win32Backend::PipePath("\\\\.\\usbprint-b", PipeName::kRead, 3),
            "\\\\.\\usbprint-b\\PIPE01");
  EXPECT_EQ(Win32Backend::PipePath(kLink1, PipeName::kRead, 5), kLink1);
}

TEST_F(InterfaceWalkTest, NoClassKeyNoInterfaces) {
  EXPECT_THAT(ListPrinterInterfaces(classes_, 5), IsEmpty());
  EXPECT_THAT(ListPrinterInterfaces(classes_, 3), IsEmpty());
  EXPECT_EQ(Found(0), "");
}

}  // namespace
}  // namespace tarvo::win32
