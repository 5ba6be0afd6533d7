// Connection settings in the registry: what each stored port text reads as, what is saved
// back for each kind, and that bad values never change the members.
#include <gtest/gtest.h>

#include "settings_utility/transports/connection_settings.h"
#include "settings_utility/transports/registry_values.h"
#include "tests/fakes/fake_registry.h"

using kora::ConnectionSettings;
using kora::PortKind;
using platform::RegistryRoot;

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
const std::string kKey = "Software\\KELVO\\HRX-410\\KORA";
const std::string kPrinterKey = "Software\\KELVO\\HRX-410\\Front Desk";

TEST(PortKindFromText, PrefixesAreCaseSensitive) {
  struct Row {
    const char* text;
    PortKind kind;
  } rows[] = {
      {"COM1", PortKind::Serial},   {"\\\\.\\COM12", PortKind::Serial}, {"LPT2", PortKind::Parallel},
      {"USB001", PortKind::Usb},    {"com1", PortKind::Ethernet},       {"NET", PortKind::Ethernet},
      {"", PortKind::Ethernet},     {"FILE:", PortKind::Ethernet},      {"CO", PortKind::Ethernet},
      {"IP_192.168.0.5", PortKind::Ethernet},
  };
  for (const Row& row : rows) EXPECT_EQ(kora::PortKindFromText(row.text), row.kind) << row.text;
}

TEST(ReadConnectionSettings, EmptyOrMissingKeyChangesNothing) {
  fakes::FakeRegistry registry;
  ConnectionSettings settings;
  settings.portText = "COM3";
  settings.speedOrPort = 9600;
  EXPECT_FALSE(kora::ReadConnectionSettings(registry, kKey, settings));
  registry.AddKey(kUser, kKey);
  EXPECT_FALSE(kora::ReadConnectionSettings(registry, kKey, settings));
  EXPECT_EQ(settings.portText, "COM3");
  EXPECT_EQ(settings.speedOrPort, 9600);
}

TEST(ReadConnectionSettings, SerialTakesEveryValue) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "\\\\.\\COM12");
  registry.SetDword(kUser, kKey, "BaudRate", 115200);
  registry.SetDword(kUser, kKey, "DataBits", 7);
  registry.SetDword(kUser, kKey, "Parity", 2);
  registry.SetDword(kUser, kKey, "StopBits", 2);
  registry.SetDword(kUser, kKey, "FlowControl", 1);
  ConnectionSettings s;
  ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.kind, PortKind::Serial);
  EXPECT_EQ(s.portText, "\\\\.\\COM12");
  EXPECT_EQ(s.speedOrPort, 115200);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.stopBits, 2);
  EXPECT_EQ(s.flowControl, 1);
}

TEST(ReadConnectionSettings, ParallelNeedsOnlyThePort) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "LPT2");
  ConnectionSettings s;
  ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.kind, PortKind::Parallel);
  EXPECT_EQ(s.portText, "LPT2");
  EXPECT_EQ(s.speedOrPort, 19200);  // untouched default
}

TEST(ReadConnectionSettings, UsbJoinsListingNameAndDevicePath) {
  fakes::FakeRegistry registry;
  const std::string path = "\\\\?\\USB#VID_3C17&PID_0006#5&1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
  registry.SetString(kUser, kKey, "Port", "USB001");
  registry.SetString(kUser, kKey, "UsbdeviceName", path);
  ConnectionSettings s;
  ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.kind, PortKind::Usb);
  EXPECT_EQ(s.portText, "USB001" + path);
}

TEST(ReadConnectionSettings, UsbWithoutDevicePathFails) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "USB001");
  ConnectionSettings s;
  EXPECT_FALSE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.portText, "USB001");
  EXPECT_EQ(s.kind, PortKind::Usb);
}

TEST(ReadConnectionSettings, EthernetTakesHostAndTcpPort) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "NET");
  registry.SetString(kUser, kKey, "TcpIp", "192.168.0.10");
  registry.SetDword(kUser, kKey, "TcpPort", 9100);
  ConnectionSettings s;
  ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.kind, PortKind::Ethernet);
  EXPECT_EQ(s.portText, "192.168.0.10");
  EXPECT_EQ(s.speedOrPort, 9100);
}

TEST(ReadConnectionSettings, LowerCaseComIsEthernetAndNeedsHost) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "com1");
  ConnectionSettings s;
  EXPECT_FALSE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.kind, PortKind::Ethernet);
  EXPECT_EQ(s.portText, "");  // the missing "TcpIp" gives an empty host
}

TEST(ReadConnectionSettings, FileIsEthernetWithoutReadingTheHost) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "FILE:");
  registry.SetString(kUser, kKey, "TcpIp", "10.0.0.1");
  ConnectionSettings s;
  EXPECT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.kind, PortKind::Ethernet);
  EXPECT_EQ(s.portText, "FILE:");
  for (const auto& line : registry.log) EXPECT_NE(line, "query TcpIp");
}

TEST(ReadConnectionSettings, WrongTypesAndOversizedValuesAreIgnored) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kKey, "Port", "COM2");
  registry.SetString(kUser, kKey, "BaudRate", "9600");  // text where a number belongs
  platform::RegistryValue shortDword{platform::kRegDword, {0x01, 0x02}};
  registry.SetRaw(kUser, kKey, "DataBits", shortDword);
  platform::RegistryValue binary{platform::kRegBinary, {7, 0, 0, 0}};
  registry.SetRaw(kUser, kKey, "Parity", binary);
  ConnectionSettings s;
  ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.speedOrPort, 19200);
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.parity, 0);

  registry.SetString(kUser, kKey, "Port", std::string(300, 'C'));  // longer than the buffer
  ConnectionSettings t;
  EXPECT_FALSE(kora::ReadConnectionSettings(registry, kKey, t));
  EXPECT_EQ(t.portText, "COM1");
}

TEST(ReadConnectionSettings, BigEndianDwordIsTakenAsStoredAndExpandStringsAccepted) {
  fakes::FakeRegistry registry;
  registry.SetRaw(kUser, kKey, "Port", {platform::kRegExpandSz, {'C', 'O', 'M', '4', 0}});
  registry.SetRaw(kUser, kKey, "BaudRate", {platform::kRegDwordBigEndian, {0x80, 0x25, 0, 0}});
  ConnectionSettings s;
  ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, s));
  EXPECT_EQ(s.portText, "COM4");
  EXPECT_EQ(s.speedOrPort, 9600);
}

TEST(SaveConnectionSettings, WritesTheValuesOfEachKindWithTheirTypes) {
  struct Row {
    ConnectionSettings settings;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::uint32_t> dwords;
  };
  ConnectionSettings serial;
  serial.portText = "COM2";
  serial.speedOrPort = 9600;
  serial.flowControl = 1;
  ConnectionSettings parallel;
  parallel.portText = "LPT1";
  parallel.kind = PortKind::Parallel;
  ConnectionSettings usb;
  usb.portText = "USB002\\\\?\\USB#VID_3C17&PID_0006#X#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
  usb.kind = PortKind::Usb;
  ConnectionSettings ethernet;
  ethernet.portText = "192.168.0.10";
  ethernet.speedOrPort = 9100;
  ethernet.kind = PortKind::Ethernet;
  const Row rows[] = {
      {serial, {{"Port", "COM2"}}, {{"BaudRate", 9600}, {"DataBits", 8}, {"FlowControl", 1}, {"Parity", 0}, {"StopBits", 0}}},
      {parallel, {{"Port", "LPT1"}}, {}},
      {usb, {{"Port", "USB002"}, {"UsbdeviceName", "\\\\?\\USB#VID_3C17&PID_0006#X#{A5DCBF10-6530-11D2-901F-00C04FB951ED}"}}, {}},
      {ethernet, {{"Port", "NET"}, {"TcpIp", "192.168.0.10"}}, {{"TcpPort", 9100}}},
  };
  for (const Row& row : rows) {
    fakes::FakeRegistry registry;
    kora::SaveConnectionSettings(registry, row.settings);
    EXPECT_EQ(registry.ValueNames(kUser, kKey).size(), row.strings.size() + row.dwords.size()) << row.settings.portText;
    for (const auto& [name, text] : row.strings) {
      const platform::RegistryValue* value = registry.Value(kUser, kKey, name);
      ASSERT_NE(value, nullptr) << name;
      EXPECT_EQ(value->type, platform::kRegSz) << name;
      EXPECT_EQ(value->data.back(), 0) << name << " keeps its terminating zero";
      EXPECT_EQ(registry.StringValue(kUser, kKey, name), text) << name;
    }
    for (const auto& [name, number] : row.dwords) {
      const platform::RegistryValue* value = registry.Value(kUser, kKey, name);
      ASSERT_NE(value, nullptr) << name;
      EXPECT_EQ(value->type, platform::kRegDword) << name;
      EXPECT_EQ(registry.DwordValue(kUser, kKey, name), number) << name;
    }
  }
}

TEST(SaveConnectionSettings, RoundTripsThroughRead) {
  ConnectionSettings usb;
  usb.kind = PortKind::Usb;
  usb.portText = "USB001\\\\?\\USB#VID_3C17&PID_0006#7&2#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
  ConnectionSettings ethernet;
  ethernet.kind = PortKind::Ethernet;
  ethernet.portText = "printer.local";
  ethernet.speedOrPort = 9100;
  ConnectionSettings serial;
  serial.portText = "\\\\.\\COM10";
  serial.speedOrPort = 57600;
  serial.dataBits = 7;
  serial.parity = 1;
  serial.stopBits = 1;
  for (const ConnectionSettings& original : {usb, ethernet, serial}) {
    fakes::FakeRegistry registry;
    kora::SaveConnectionSettings(registry, original);
    ConnectionSettings read;
    ASSERT_TRUE(kora::ReadConnectionSettings(registry, kKey, read)) << original.portText;
    EXPECT_EQ(read.kind, original.kind);
    EXPECT_EQ(read.portText, original.portText);
    EXPECT_EQ(read.speedOrPort, original.speedOrPort);
    EXPECT_EQ(read.dataBits, original.dataBits);
    EXPECT_EQ(read.parity, original.parity);
    EXPECT_EQ(read.stopBits, original.stopBits);
  }
}

TEST(ReadConnectionSettings, ReadsFromAPrinterKey) {
  fakes::FakeRegistry registry;
  registry.SetString(kUser, kPrinterKey, "Port", "COM2");
  ConnectionSettings s;
  EXPECT_TRUE(kora::ReadConnectionSettings(registry, kPrinterKey, s));
  EXPECT_FALSE(kora::ReadConnectionSettings(registry, kKey, s));
}

}  // namespace
