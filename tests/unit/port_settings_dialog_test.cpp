// The port settings dialog: what it shows for the stored settings, what each interface
// offers, and what OK writes back.
#include <gtest/gtest.h>

#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/port_settings_dialog.h"
#include "tests/fakes/fake_port_settings_view.h"
#include "tests/fakes/fake_registry.h"

using platform::RegistryRoot;

namespace {

const std::string kKey = "Software\\KELVO\\HRX-410\\KORA";
constexpr auto kUser = RegistryRoot::CurrentUser;
const int kLineCombos[] = {IDC_PS_BAUD, IDC_PS_DATABITS, IDC_PS_PARITY, IDC_PS_STOPBITS, IDC_PS_FLOW};

struct Rig {
  fakes::FakeRegistry registry;
  fakes::FakePortSettingsView view;
  fakes::FakeUsbListing usb;
  std::unique_ptr<kora::PortSettingsDialog> dialog;

  void Open(const std::string& printerName = "") {
    dialog = std::make_unique<kora::PortSettingsDialog>(view, registry, usb, printerName);
    dialog->OnInitDialog();
  }
  void Click(int id) { dialog->OnCommand(id, platform::kBnClicked); }
  void AddPrinterUsb(const std::string& name, const std::string& product = "0006") {
    usb.entries.push_back({name, "\\\\?\\USB#VID_3C17&PID_" + product + "#" + name + "#{A5DCBF10-6530-11D2-901F-00C04FB951ED}", product});
  }
};

TEST(PortSettingsDialog, KeyWithoutValuesShowsTheDefaults) {
  Rig rig;
  rig.registry.AddKey(kUser, kKey);
  rig.Open();
  EXPECT_EQ(rig.view.radio, 0);
  EXPECT_EQ(rig.view.combos[IDC_PS_PORT].items.size(), 15u);
  EXPECT_EQ(rig.view.Selected(IDC_PS_PORT), "COM1");
  EXPECT_EQ(rig.view.combos[IDC_PS_PORT].items[9], "\\\\.\\COM10");
  EXPECT_EQ(rig.view.Selected(IDC_PS_BAUD), "19200");
  EXPECT_EQ(rig.view.Selected(IDC_PS_DATABITS), "8");
  EXPECT_EQ(rig.view.Selected(IDC_PS_PARITY), "NONE");
  EXPECT_EQ(rig.view.Selected(IDC_PS_STOPBITS), "1");
  EXPECT_EQ(rig.view.Selected(IDC_PS_FLOW), "Hardware");
  for (int id : kLineCombos) EXPECT_TRUE(rig.view.IsEnabled(id)) << id;
  EXPECT_EQ(rig.view.prepareCount, 1);
}

TEST(PortSettingsDialog, ShowsTheStoredSerialAndParallelPorts) {
  struct Row {
    const char* port;
    int radio;
    bool lineSettingsEnabled;
  } rows[] = {{"\\\\.\\COM12", 0, true}, {"COM3", 0, true}, {"LPT2", 1, false}};
  for (const Row& row : rows) {
    Rig rig;
    rig.registry.SetString(kUser, kKey, "Port", row.port);
    rig.registry.SetDword(kUser, kKey, "BaudRate", 57600);
    rig.registry.SetDword(kUser, kKey, "DataBits", 7);
    rig.registry.SetDword(kUser, kKey, "Parity", 2);
    rig.registry.SetDword(kUser, kKey, "StopBits", 1);
    rig.registry.SetDword(kUser, kKey, "FlowControl", 1);
    rig.Open();
    EXPECT_EQ(rig.view.radio, row.radio) << row.port;
    EXPECT_EQ(rig.view.Selected(IDC_PS_PORT), row.port);
    for (int id : kLineCombos) EXPECT_EQ(rig.view.IsEnabled(id), row.lineSettingsEnabled) << row.port << " " << id;
    EXPECT_EQ(rig.view.Selected(IDC_PS_BAUD), "57600");
    EXPECT_EQ(rig.view.Selected(IDC_PS_DATABITS), "7");
    EXPECT_EQ(rig.view.Selected(IDC_PS_PARITY), "EVEN");
    EXPECT_EQ(rig.view.Selected(IDC_PS_STOPBITS), "1.5");
    EXPECT_EQ(rig.view.Selected(IDC_PS_FLOW), "Xon/Xoff");
  }
}

TEST(PortSettingsDialog, EthernetShowsAndWritesBackTheAddress) {
  Rig rig;
  rig.registry.SetString(kUser, kKey, "Port", "NET");
  rig.registry.SetString(kUser, kKey, "TcpIp", "192.168.0.10");
  rig.registry.SetDword(kUser, kKey, "TcpPort", 9100);
  rig.Open();
  EXPECT_EQ(rig.view.radio, 3);
  EXPECT_EQ(std::vector<int>(rig.view.ip, rig.view.ip + 4), (std::vector<int>{192, 168, 0, 10}));
  EXPECT_EQ(rig.view.tcpPortText, "9100");
  EXPECT_FALSE(rig.view.IsVisible(IDC_PS_PORT));
  EXPECT_FALSE(rig.view.IsVisible(IDC_PS_BAUD));
  EXPECT_TRUE(rig.view.IsVisible(IDC_PS_IP));
  EXPECT_TRUE(rig.view.IsVisible(IDC_PS_TCP_PORT));
  EXPECT_EQ(rig.view.texts[IDC_PS_PORT_LABEL], "IP :");
  EXPECT_EQ(rig.view.texts[IDC_PS_BAUD_LABEL], "Port :");
  rig.Click(platform::kIdOk);
  EXPECT_EQ(rig.view.endResult, platform::kIdOk);
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "Port"), "");
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "TcpIp"), "192.168.0.10");
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "TcpPort"), 9100u);
  const kora::PortChoice choice = rig.dialog->Choice();
  EXPECT_EQ(choice.kind, kora::PortKind::Ethernet);
  EXPECT_EQ(choice.ipText, "192.168.0.10");
  EXPECT_EQ(choice.tcpPort, 9100u);
}

TEST(PortSettingsDialog, ChoosingEthernetAndTypingTheAddress) {
  Rig rig;
  rig.Open();
  rig.Click(IDC_PS_ETHERNET);
  std::uint8_t fields[4] = {127, 0, 0, 1};
  rig.view.SetIpAddress(fields);
  rig.view.tcpPortText = "9101";
  rig.Click(platform::kIdOk);
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "Port"), "");
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "TcpIp"), "127.0.0.1");
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "TcpPort"), 9101u);
  EXPECT_EQ(rig.registry.ValueNames(kUser, kKey).size(), 3u);
}

TEST(PortSettingsDialog, UsbListsOnlyThePrintersProduct) {
  Rig rig;
  rig.AddPrinterUsb("USB001");
  rig.AddPrinterUsb("USB002", "1234");  // another device: not offered
  rig.AddPrinterUsb("USB003");
  rig.Open();
  rig.Click(IDC_PS_USB);
  EXPECT_EQ(rig.view.combos[IDC_PS_PORT].items, (std::vector<std::string>{"USB001", "USB003"}));
  rig.view.SetComboSelection(IDC_PS_PORT, 1);
  rig.Click(platform::kIdOk);
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "Port"), "USB003");
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "UsbdeviceName"), rig.usb.entries[2].devicePath);
  EXPECT_EQ(rig.dialog->Choice().usbDevicePath, rig.usb.entries[2].devicePath);
}

TEST(PortSettingsDialog, NoUsbPrinterFallsBackToSerial) {
  Rig rig;
  rig.registry.SetString(kUser, kKey, "Port", "USB001");
  rig.registry.SetString(kUser, kKey, "UsbdeviceName", "\\\\?\\USB#VID_3C17&PID_0006#X#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");
  rig.Open();
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_EQ(rig.view.messages[0].text, "Not Connect USB Device and Power off!");
  EXPECT_EQ(rig.view.messages[0].title, "Error");
  EXPECT_EQ(rig.view.messages[0].icon, platform::MessageIcon::Stop);
  EXPECT_EQ(rig.view.radio, 0);
  EXPECT_EQ(rig.view.Selected(IDC_PS_PORT), "COM1");
}

TEST(PortSettingsDialog, SerialOkWritesEveryLineValue) {
  Rig rig;
  rig.Open();
  rig.view.SetComboSelection(IDC_PS_PORT, 11);  // \\.\COM12
  rig.view.SetComboSelection(IDC_PS_BAUD, 4);
  rig.view.SetComboSelection(IDC_PS_DATABITS, 1);
  rig.view.SetComboSelection(IDC_PS_PARITY, 1);
  rig.view.SetComboSelection(IDC_PS_STOPBITS, 2);
  rig.view.SetComboSelection(IDC_PS_FLOW, 1);
  rig.Click(platform::kIdOk);
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "Port"), "\\\\.\\COM12");
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "BaudRate"), 115200u);
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "DataBits"), 7u);
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "Parity"), 1u);
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "StopBits"), 2u);
  EXPECT_EQ(rig.registry.DwordValue(kUser, kKey, "FlowControl"), 1u);
}

TEST(PortSettingsDialog, CancelWritesNothing) {
  Rig rig;
  rig.registry.SetString(kUser, kKey, "Port", "COM2");
  rig.Open();
  rig.Click(IDC_PS_PARALLEL);
  rig.Click(platform::kIdCancel);
  EXPECT_EQ(rig.view.endResult, platform::kIdCancel);
  EXPECT_EQ(rig.registry.setCount, 0);
}

TEST(PortSettingsDialog, PrinterNameReadsItsOwnKeyButOkWritesTheUtilityKey) {
  Rig rig;
  rig.registry.SetString(kUser, "Software\\KELVO\\HRX-410\\Front Desk", "Port", "LPT3");
  rig.Open("Front Desk");
  EXPECT_EQ(rig.view.Selected(IDC_PS_PORT), "LPT3");
  rig.Click(platform::kIdOk);
  EXPECT_EQ(rig.registry.StringValue(kUser, kKey, "Port"), "LPT3");
}

TEST(SplitIpAddress, Fields) {
  struct Row {
    const char* text;
    std::vector<int> fields;
  } rows[] = {{"192.168.0.10", {192, 168, 0, 10}}, {"10.1", {10, 1, 0, 0}}, {"", {0, 0, 0, 0}},
              {"printer.local", {0, 0, 0, 0}}, {"1.2.3.4.5", {1, 2, 3, 4}}};
  for (const Row& row : rows) {
    std::uint8_t fields[4];
    kora::SplitIpAddress(row.text, fields);
    EXPECT_EQ(std::vector<int>(fields, fields + 4), row.fields) << row.text;
  }
}

}  // namespace
