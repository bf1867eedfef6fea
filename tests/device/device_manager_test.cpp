// The device list: its order, ownership of the device objects, look-ups and the listeners.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "FakeDeviceLibrary.h"
#include "device/DeviceMgr.h"
#include "device/iTunesDevice.h"

namespace {

class DeviceList : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Install();
    live_before = iTunesDevice::LiveCount();
  }
  iTunesDevice* NewDevice(uintptr_t n) { return new iTunesDevice(fake::Handle(n)); }
  std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    for (const auto& [key, device] : mgr.GetDevices()) keys.push_back(key);
    return keys;
  }
  long live_before = 0;
  iTunesDeviceMgr mgr;
};

TEST_F(DeviceList, IsOrderedByTheUtf8BytesOfTheIdentifiers) {
  // U+FF21 comes after the surrogates of U+1F600 in UTF-16 but before its lead byte in UTF-8.
  const std::wstring ids[] = {L"b", L"\U0001F600", L"\uFF21", L"a", L"\u00E9", L"B"};
  uintptr_t n = 0;
  for (const auto& id : ids) mgr.AddDevice(id, NewDevice(++n));
  EXPECT_EQ(Keys(), (std::vector<std::string>{"B", "a", "b", "\xC3\xA9", "\xEF\xBC\xA1", "\xF0\x9F\x98\x80"}));
  std::wstring found;
  EXPECT_NE(mgr.FindDeviceByHandle(fake::Handle(2), found), nullptr);
  EXPECT_EQ(found, L"\U0001F600");
  EXPECT_EQ(mgr.GetDevice(std::wstring(L"\uFF21")), mgr.GetDevice(std::string("\xEF\xBC\xA1")));
  EXPECT_NE(mgr.GetDevice(std::wstring(L"\uFF21")), nullptr);
}

TEST_F(DeviceList, ReplacingAnIdentifierDestroysTheEarlierObject) {
  iTunesDevice* first = NewDevice(1);
  iTunesDevice* second = NewDevice(2);
  mgr.AddDevice(L"id", first);
  mgr.AddDevice(L"id", first);  // the same object again changes nothing
  EXPECT_EQ(iTunesDevice::LiveCount(), live_before + 2);
  mgr.AddDevice(L"id", second);
  EXPECT_EQ(iTunesDevice::LiveCount(), live_before + 1);
  EXPECT_EQ(mgr.GetDevice(std::wstring(L"id")), second);
  EXPECT_EQ(mgr.GetDevices().size(), 1u);
}

TEST_F(DeviceList, RemovalDestroysListedObjectsOnly) {
  iTunesDevice* listed = NewDevice(1);
  mgr.AddDevice(L"one", listed);
  mgr.AddDevice(L"two", NewDevice(2));
  ASSERT_EQ(iTunesDevice::LiveCount(), live_before + 2);

  iTunesDevice outsider(fake::Handle(3));
  EXPECT_TRUE(mgr.RemoveDevice(&outsider));  // not listed: nothing destroyed
  EXPECT_EQ(mgr.GetDevices().size(), 2u);

  EXPECT_TRUE(mgr.RemoveDevice(listed));
  EXPECT_EQ(Keys(), std::vector<std::string>{"two"});
  mgr.RemoveDeviceById(L"unknown");
  EXPECT_EQ(mgr.GetDevices().size(), 1u);
  mgr.RemoveDeviceById(L"two");
  EXPECT_TRUE(mgr.GetDevices().empty());
  EXPECT_EQ(iTunesDevice::LiveCount(), live_before + 1);  // the outsider
}

TEST_F(DeviceList, LookupsNeverAddEntries) {
  mgr.AddDevice(L"one", NewDevice(1));
  EXPECT_EQ(mgr.GetDevice(std::wstring(L"nobody")), nullptr);
  EXPECT_EQ(mgr.GetDevice(std::string("")), nullptr);
  EXPECT_EQ(mgr.GetDevices().size(), 1u);

  std::wstring identifier = L"untouched";
  EXPECT_EQ(mgr.FindDeviceByHandle(fake::Handle(9), identifier), nullptr);
  EXPECT_EQ(identifier, L"untouched");
}

TEST_F(DeviceList, SharedHandleFindsTheSmallerKey) {
  iTunesDevice* later = NewDevice(5);
  iTunesDevice* earlier = NewDevice(5);
  mgr.AddDevice(L"zz", later);
  mgr.AddDevice(L"aa", earlier);
  std::wstring identifier;
  EXPECT_EQ(mgr.FindDeviceByHandle(fake::Handle(5), identifier), earlier);
  EXPECT_EQ(identifier, L"aa");
}

TEST_F(DeviceList, ContainsAsksTheDeviceForItsIdentifier) {
  fake::Current().values["UniqueDeviceID"] = L"abc";
  iTunesDevice* device = NewDevice(1);
  iTunesDevice stranger(fake::Handle(2));
  mgr.AddDevice(L"abc", device);
  EXPECT_TRUE(mgr.ContainsDevice(device));
  fake::Current().values["UniqueDeviceID"] = L"other";
  EXPECT_FALSE(mgr.ContainsDevice(&stranger));
  EXPECT_FALSE(mgr.ContainsDevice(nullptr));
}

TEST_F(DeviceList, DestroyingTheManagerDestroysItsDevices) {
  {
    iTunesDeviceMgr local;
    iTunesDevice* shared = NewDevice(1);
    local.AddDevice(L"a", shared);
    local.AddDevice(L"b", shared);  // listed twice, destroyed once
    local.AddDevice(L"c", NewDevice(2));
  }
  EXPECT_EQ(iTunesDevice::LiveCount(), live_before);
}

// Listeners see (device, added) in key order; one that throws does not stop the others.
std::vector<std::pair<uint32_t, bool>> g_heard;
void Hear(iTunesDevice*, uint8_t added, uint32_t user) { g_heard.emplace_back(user, added != 0); }
void Throw(iTunesDevice*, uint8_t, uint32_t) { throw std::runtime_error("listener failed"); }

TEST_F(DeviceList, ListenersAreToldInKeyOrderDespiteFailures) {
  g_heard.clear();
  mgr.AddListener(20, {&Hear, 2});
  mgr.AddListener(10, {&Throw, 0});
  mgr.AddListener(5, {&Hear, 1});
  iTunesDevice* first = NewDevice(1);
  mgr.AddDevice(L"x", first);
  mgr.AddDevice(L"x", NewDevice(2));  // the replaced object is reported removed, then the new one added
  iTunesDevice outsider(fake::Handle(3));
  mgr.RemoveDevice(&outsider);
  const std::vector<std::pair<uint32_t, bool>> expected = {
      {1, true}, {2, true}, {1, false}, {2, false}, {1, true}, {2, true}, {1, false}, {2, false}};
  EXPECT_EQ(g_heard, expected);
  mgr.RemoveListener(5);
  mgr.RemoveListener(20);
}

TEST(DeviceManagerInstance, IsCreatedOnce) {
  DeviceMgr* mgr = GetDeviceMgr();
  ASSERT_NE(mgr, nullptr);
  EXPECT_EQ(GetDeviceMgr(), mgr);
}

}  // namespace
