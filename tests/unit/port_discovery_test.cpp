// Importing an installed Windows printer's port: what is written for each kind of port,
// where the values come from, and that failures and long names write nothing wrong.
#include <gtest/gtest.h>

#include <map>

#include "platform/os_codes.h"
#include "settings_utility/transports/connection_settings.h"
#include "settings_utility/transports/device_transport_factory.h"
#include "settings_utility/transports/port_discovery.h"
#include "settings_utility/transports/printer_connection.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_device_files.h"
#include "tests/fakes/fake_device_notifications.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_main_window_view.h"
#include "tests/fakes/fake_misc.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_setup_api.h"
#include "tests/fakes/fake_sockets.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_system.h"

namespace {

using platform::RegistryRoot;

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;
const std::string kBase = "SOFTWARE\\KELVO\\HRX-410";
const std::string kPrinter = "Front Desk";
const std::string kKey = kBase + "\\" + kPrinter;
const std::string kPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const std::string kUsbPrintKey = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const std::string kUsbDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_3C17&Pid_0006";
const std::string kTcpPortsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

// The path the system gives a device instance's USB interface, and the one the import writes.
std::string SystemPath(const std::string& instance) {
  return "\\\\?\\usb#vid_3c17&pid_0006#" + instance + "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}
std::string ImportedPath(const std::string& instance) { return kora::UpperCaseAscii(SystemPath(instance)); }

struct Rig {
  fakes::FakeSpooler spooler;
  fakes::FakeRegistry registry;
  fakes::FakeSetupApi setup;
  fakes::FakeDeviceFiles devices;
  fakes::FakeSystemInfo system;
  kora::UsbDeviceList usb{setup, devices, registry, system};
  kora::InstalledPrinterPortImporter importer{spooler, registry, usb};

  explicit Rig(const std::string& port, const std::string& printer = kPrinter) {
    spooler.AddPrinter(printer, port, "KELVO HRX-410");
    registry.AddKey(kUser, kBase);
  }
  // A USB device instance of the printer with its parent prefix; plugged in or not.
  void UsbDevice(const std::string& instance, const std::string& parentPrefix, bool present) {
    registry.SetString(kMachine, kUsbDeviceKey + "\\" + instance, "ParentIdPrefix", parentPrefix);
    if (!present) return;
    setup.interfaces.push_back({SystemPath(instance)});
    devices.AddDevice(SystemPath(instance));
  }
  void UsbPrinting(const std::string& name) { registry.AddKey(kMachine, kUsbPrintKey + "\\" + name); }

  std::string Text(const std::string& name, const std::string& key = kKey) const {
    const platform::RegistryValue* value = registry.Value(kUser, key, name);
    if (!value) return "<missing>";
    if (value->type != platform::kRegSz || value->data.empty() || value->data.back() != 0) return "<not REG_SZ>";
    return registry.StringValue(kUser, key, name);
  }
  std::uint32_t Number(const std::string& name) const {
    const platform::RegistryValue* value = registry.Value(kUser, kKey, name);
    return value && value->type == platform::kRegDword ? registry.DwordValue(kUser, kKey, name) : 0xDEADBEEF;
  }
  std::size_t ValueCount() const { return registry.ValueNames(kUser, kKey).size(); }
};

TEST(ImportInstalledPrinterPort, SerialSettingsComeFromThePortsEntry) {
  struct Row {
    const char* entry;  // null: the port has no entry
    std::uint32_t baud, data, parity, stop, flow;
  } rows[] = {
      {"9600,n,8,1,x", 9600, 8, 0, 0, 1},
      {"115200,e,7,2", 115200, 7, 2, 2, 0},
      {"1200,n,8,1", 2400, 8, 0, 0, 0},
      {"921600,o,8,1.5,p", 115200, 8, 1, 1, 0},
      {"57600,m,5,2,x", 57600, 7, 0, 2, 1},
      {"4800,s,6,1, ", 4800, 7, 0, 0, 0},
      {",,19200,,o,,8,,", 19200, 8, 1, 0, 0},  // runs of commas are one separator
      {"14400,q,9,3,y", 115200, 0, 0, 0, 0},   // nothing known: the defaults stay
      {nullptr, 115200, 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    const char* what = row.entry ? row.entry : "no entry";
    Rig rig("COM2:");
    if (row.entry) rig.registry.SetString(kMachine, kPortsKey, "COM2:", row.entry);
    rig.importer.Import(kPrinter);
    EXPECT_EQ(rig.Text("Port"), "COM2") << what;
    EXPECT_EQ(rig.Number("BaudRate"), row.baud) << what;
    EXPECT_EQ(rig.Number("DataBits"), row.data) << what;
    EXPECT_EQ(rig.Number("Parity"), row.parity) << what;
    EXPECT_EQ(rig.Number("StopBits"), row.stop) << what;
    EXPECT_EQ(rig.Number("FlowControl"), row.flow) << what;
    EXPECT_EQ(rig.ValueCount(), 6u) << what;
  }
}

TEST(ImportInstalledPrinterPort, ParallelAndFileWriteThePortOnly) {
  struct Row {
    const char* port;
    const char* written;
  } rows[] = {{"LPT1:", "LPT1"}, {"LPT3", "LPT3"}, {"FILE:", "FILE:"}};
  for (const Row& row : rows) {
    Rig rig(row.port);
    rig.registry.AddKey(kMachine, kTcpPortsKey + "\\FILE:");  // even a key of that name changes nothing
    rig.registry.SetDword(kMachine, kTcpPortsKey + "\\FILE:", "PortNumber", 9100);
    rig.importer.Import(kPrinter);
    EXPECT_EQ(rig.Text("Port"), row.written) << row.port;
    EXPECT_EQ(rig.ValueCount(), 1u) << row.port;
  }
}

TEST(ImportInstalledPrinterPort, TcpIpPortTakesNumberAndHost) {
  struct Row {
    const char* what;
    std::map<std::string, std::string> texts;
    bool hasNumber;
    const char* host;
    std::uint32_t tcpPort;
  } rows[] = {
      {"address", {{"IPAddress", "192.168.0.20"}, {"HostName", "till.shop.lan"}}, true, "192.168.0.20", 9101},
      {"empty address", {{"IPAddress", ""}, {"HostName", "till.shop.lan"}}, true, "till.shop.lan", 9101},
      {"host name only", {{"HostName", "till"}}, true, "till", 9101},
      {"no number", {{"IPAddress", "192.168.0.20"}}, false, "", 0},
  };
  for (const Row& row : rows) {
    Rig rig("IP_192.168.0.20");
    const std::string key = kTcpPortsKey + "\\IP_192.168.0.20";
    rig.registry.AddKey(kMachine, key);
    for (const auto& [name, text] : row.texts) rig.registry.SetString(kMachine, key, name, text);
    if (row.hasNumber) rig.registry.SetDword(kMachine, key, "PortNumber", 9101);
    rig.importer.Import(kPrinter);
    EXPECT_EQ(rig.Text("Port"), "IP_192.168.0.20") << row.what;
    EXPECT_EQ(rig.Text("TcpIp"), row.host) << row.what;
    EXPECT_EQ(rig.Number("TcpPort"), row.tcpPort) << row.what;
  }
  Rig unknownMonitor("NetPort7");  // a port of another monitor: no host, no port number
  unknownMonitor.importer.Import(kPrinter);
  EXPECT_EQ(unknownMonitor.Text("TcpIp"), "");
  EXPECT_EQ(unknownMonitor.Number("TcpPort"), 0u);
}

TEST(ImportInstalledPrinterPort, UsbPathFoundThroughThePrintingInstanceAndItsParent) {
  Rig rig("USB001");
  rig.UsbPrinting("7&1B2C3D&0&USB002");  // another port
  rig.UsbPrinting("7&2A3B4C&0&USB001");
  rig.UsbDevice("5&1111&0&1", "7&1B2C3D&0", true);
  rig.UsbDevice("5&2222&0&1", "7&2a3b4c&0", true);   // prefixes compare case-sensitively
  rig.UsbDevice("5&2999&0&1", "7&2A3B4C&0", false);  // the right parent, but unplugged
  rig.UsbDevice("5&3333&0&2", "7&2A3B4C&0", true);
  rig.UsbDevice("5&4444&0&1", "7&2A3B4C&0", false);
  rig.UsbDevice("5&5555&0&3", "7&2A3B4C&0", true);   // present too: the first present one wins
  rig.importer.Import(kPrinter);
  EXPECT_EQ(rig.Text("Port"), "USB001");
  EXPECT_EQ(rig.Text("UsbdeviceName"), ImportedPath("5&3333&0&2"));
  EXPECT_EQ(rig.ValueCount(), 2u);
}

TEST(ImportInstalledPrinterPort, UsbPathStaysEmptyWithoutAPresentDevice) {
  struct Row {
    const char* what;
    std::uint32_t attributes;
    bool printingKey;
  } rows[] = {
      {"printer works off line", platform::kPrinterAttributeWorkOffline, true},
      {"no printing instances", 0, false},
  };
  for (const Row& row : rows) {
    Rig rig("USB001");
    rig.spooler.Find(kPrinter)->attributes = row.attributes;
    if (row.printingKey) rig.UsbPrinting("7&2A3B4C&0&USB001");
    rig.UsbDevice("5&4444&0&2", "7&2A3B4C&0", true);
    rig.importer.Import(kPrinter);
    EXPECT_EQ(rig.Text("Port"), "USB001") << row.what;
    EXPECT_EQ(rig.Text("UsbdeviceName"), "") << row.what;
    EXPECT_TRUE(rig.setup.classDevsCalls.empty()) << row.what << ": no device was looked at";
  }
}

TEST(ImportInstalledPrinterPort, OffLineUsbPrinterEndsInTheConfigurationMessage) {
  Rig rig("USB001");
  rig.spooler.Find(kPrinter)->attributes = platform::kPrinterAttributeWorkOffline;
  rig.importer.Import(kPrinter);

  fakes::FakeSocketLayer sockets;
  fakes::FakeClock clock;
  fakes::FakeResources resources;
  fakes::FakeFiles files;
  fakes::FakeMainWindowView view;
  fakes::FakeDeviceNotifications notifications;
  fakes::FakePortIo ports;
  kora::UtilityServices services{rig.registry, rig.spooler, rig.devices, sockets, clock, resources, files};
  kora::DeviceTransportFactory factory{rig.devices, clock, notifications, rig.system, ports};
  kora::PrinterConnection connection{services, factory, view};
  ASSERT_TRUE(kora::ReadConnectionSettings(rig.registry, kora::kPrinterSettingsKeyPrefix + kPrinter,
                                           connection.settings()));
  EXPECT_EQ(connection.settings().portText, "USB001") << "the empty device path adds nothing";
  EXPECT_FALSE(connection.Open());
  EXPECT_EQ(view.LastMessage(), "Port Configuration Set Error!");
}

TEST(ImportInstalledPrinterPort, FailuresWriteNothing) {
  struct Row {
    const char* what;
    void (*breakIt)(Rig&);
  } rows[] = {
      {"no base key", [](Rig& r) { r.registry = fakes::FakeRegistry(); }},
      {"printer cannot be opened", [](Rig& r) { r.spooler.failOpen.insert(kPrinter); }},
      {"printer cannot be read", [](Rig& r) { r.spooler.failGet.insert(kPrinter); }},
      {"no such printer", [](Rig& r) { r.spooler.printers.clear(); }},
  };
  for (const Row& row : rows) {
    Rig rig("LPT1:");
    row.breakIt(rig);
    rig.importer.Import(kPrinter);
    EXPECT_FALSE(rig.registry.HasKey(kUser, kKey)) << row.what;
    EXPECT_EQ(rig.registry.setCount, 0) << row.what;
  }
}

TEST(ImportInstalledPrinterPort, AnExistingKeyIsOpenedAndOverwritten) {
  Rig rig("LPT2:");
  rig.registry.SetString(kUser, kKey, "Port", "COM1");
  rig.registry.SetDword(kUser, kKey, "BaudRate", 9600);
  rig.registry.log.clear();
  rig.importer.Import(kPrinter);
  EXPECT_EQ(rig.Text("Port"), "LPT2");
  EXPECT_EQ(rig.Number("BaudRate"), 9600u) << "values of another kind stay";
  for (const std::string& line : rig.registry.log) EXPECT_EQ(line.find("create"), std::string::npos) << line;
}

TEST(ImportInstalledPrinterPort, LongNamesAreNeverCut) {
  // Printer names beyond 104 characters still get their whole name as key.
  const std::string longName(200, 'P');
  Rig longPrinter("LPT1:", longName);
  longPrinter.importer.Import(longName);
  EXPECT_EQ(longPrinter.Text("Port", kBase + "\\" + longName), "LPT1");
  EXPECT_FALSE(longPrinter.registry.HasKey(kUser, kBase + "\\" + longName.substr(0, 104)));

  // A name the registry cannot hold as a key is refused by it, and nothing else is written.
  const std::string tooLong(300, 'P');
  Rig refused("LPT1:", tooLong);
  refused.importer.Import(tooLong);
  EXPECT_EQ(refused.registry.setCount, 0);
  EXPECT_EQ(refused.registry.SubkeyNames(kUser, kBase).size(), 0u);

  // A printing instance name over 255 characters is passed over, the next one still read; a
  // device instance name beyond 75 characters still makes a path.
  Rig usb("USB001");
  usb.UsbPrinting("0" + std::string(300, 'A') + "&USB001");
  usb.UsbPrinting("7&2A3B4C&0&USB001");
  const std::string longInstance = "5&" + std::string(98, '9');
  usb.UsbDevice(longInstance, "7&2A3B4C&0", true);
  usb.importer.Import(kPrinter);
  EXPECT_EQ(usb.Text("UsbdeviceName"), ImportedPath(longInstance));

  // A TCP/IP port name beyond 52 characters.
  const std::string longPort = "IP_" + std::string(80, 'x');
  Rig tcp(longPort);
  tcp.registry.SetDword(kMachine, kTcpPortsKey + "\\" + longPort, "PortNumber", 9100);
  tcp.registry.SetString(kMachine, kTcpPortsKey + "\\" + longPort, "IPAddress", "10.1.2.3");
  tcp.importer.Import(kPrinter);
  EXPECT_EQ(tcp.Text("TcpIp"), "10.1.2.3");
  EXPECT_EQ(tcp.Number("TcpPort"), 9100u);
}

}  // namespace
