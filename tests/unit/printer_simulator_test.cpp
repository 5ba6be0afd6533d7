// Tests of the virtual HRX-410: its replies byte for byte, command framing over split and
// merged writes, memory switches and setting mode, fault modes, font image reception, the font
// image format, the in-process endpoints, and the server program over real loopback
// connections and a pseudo-terminal.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/font_image/font_image_format.h"
#include "tools/printer_simulator/printer_simulator.h"
#include "tools/printer_simulator/simulated_endpoints.h"

namespace {

using printer_simulator::DeviceBehaviour;
using printer_simulator::Faults;
using printer_simulator::PrinterSimulator;
using printer_simulator::SimulatedDevice;
using printer_simulator::SimulatedDeviceFiles;
using printer_simulator::SimulatedSocketLayer;
using Bytes = std::vector<std::uint8_t>;

Bytes B(std::initializer_list<int> values) {
  Bytes bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

Bytes Str(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Hex(const Bytes& bytes) {
  std::ostringstream out;
  for (std::uint8_t b : bytes) {
    static const char digits[] = "0123456789ABCDEF";
    out << digits[b >> 4] << digits[b & 15] << ' ';
  }
  return out.str();
}

const Bytes kInitializePrinter = B({0x1B, 0x40});
const Bytes kSelectPrinterDevice = B({0x1B, 0x3D, 0x01});
const Bytes kDisableStatusBack = B({0x1D, 0x61, 0x00});
const Bytes kQueryFirmwareSupport = B({0x1D, 0x49, 0x03});
const Bytes kQueryModelName = B({0x1D, 0x49, 0x43});
const Bytes kQueryFirmwareVersion = B({0x1D, 0x49, 0x41});
const Bytes kQueryLanguage = B({0x1D, 0x49, 0x45});
const Bytes kEnterSettingMode = B({0x08, 0x5E, 0x45, 0x01, 0x00, 0x01});
const Bytes kLeaveSettingMode = B({0x08, 0x5E, 0x45, 0x01, 0x00, 0x02});
const Bytes kPrintSelfTest = B({0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x02});

Bytes ReadMemorySwitch(int n) { return B({0x08, 0x5E, 0x45, 0x02, 0x00, 0x04, n}); }

// The 56 switch characters in the write order 1, 2, 8, 9, 10, 11, 12; "22222222" for a switch
// not named.
std::string SwitchCharacters(const std::map<int, std::string>& groups) {
  std::string characters;
  for (int number : {1, 2, 8, 9, 10, 11, 12}) {
    const auto found = groups.find(number);
    characters += found != groups.end() ? found->second : "22222222";
  }
  return characters;
}

Bytes WriteMemorySwitches(const std::map<int, std::string>& groups) {
  return B({0x08, 0x5E, 0x45, 0x39, 0x00, 0x03}) + Str(SwitchCharacters(groups));
}

Bytes Feed(PrinterSimulator& printer, const Bytes& bytes) {
  printer.Receive(bytes);
  return printer.TakeAllReplies();
}

class VirtualClock : public platform::Clock {
 public:
  void Sleep(std::uint32_t milliseconds) override { now += milliseconds; }
  std::uint32_t TickCount() override { return now; }
  std::uint32_t now = 0;
};

// ---- Commands and replies -------------------------------------------------------------------

TEST(PrinterSimulatorReplies, EveryCommandAnswersWithItsExactBytes) {
  struct Case {
    const char* name;
    Bytes command;
    Bytes reply;
  };
  const Case cases[] = {
      {"firmware support", kQueryFirmwareSupport, B({0x63})},
      {"model name", kQueryModelName, B({0x5F, 0x48, 0x52, 0x58, 0x2D, 0x34, 0x31, 0x30, 0x00})},
      {"firmware version", kQueryFirmwareVersion,
       B({0x5F, 0x48, 0x52, 0x58, 0x34, 0x31, 0x30, 0x31, 0x30, 0x31, 0x41, 0x31, 0x00})},
      {"language", kQueryLanguage,
       B({0x5F, 0x53, 0x54, 0x41, 0x4E, 0x44, 0x41, 0x52, 0x44, 0x00})},
      {"switch 1", ReadMemorySwitch(0x01),
       B({0x37, 0x01, 0x30, 0x31, 0x30, 0x30, 0x31, 0x30, 0x30, 0x30, 0x00})},
      {"switch 10", ReadMemorySwitch(0x0A),
       B({0x37, 0x0A, 0x30, 0x30, 0x30, 0x31, 0x30, 0x30, 0x30, 0x30, 0x00})},
      {"switch 12", ReadMemorySwitch(0x0C),
       B({0x37, 0x0C, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x00})},
      {"enter setting mode", kEnterSettingMode, B({0x37, 0x01, 0x00})},
      {"switch 3 does not exist", ReadMemorySwitch(0x03), {}},
      {"initialise", kInitializePrinter, {}},
      {"select printer device", kSelectPrinterDevice, {}},
      {"disable status back", kDisableStatusBack, {}},
      {"self-test", kPrintSelfTest, {}},
      {"leave setting mode", kLeaveSettingMode, {}},
      {"parallel flush byte", B({0x00}), {}},
  };
  for (const Case& c : cases) {
    PrinterSimulator printer;
    EXPECT_EQ(Hex(Feed(printer, c.command)), Hex(c.reply)) << c.name;
  }
}

TEST(PrinterSimulatorReplies, LanguageFollowsTheBuyerCodeOfSwitch12) {
  const std::pair<std::uint8_t, const char*> cases[] = {
      {0, "_STANDARD"}, {1, "_KOREAN"}, {2, "_CHINESE"}, {3, "_JAPANESE"}, {9, "_UNKNOWN"}};
  for (const auto& [code, text] : cases) {
    PrinterSimulator printer;
    printer.SetSwitch(12, code);
    EXPECT_EQ(Hex(Feed(printer, kQueryLanguage)), Hex(Str(text) + B({0x00}))) << int(code);
  }
}

TEST(PrinterSimulatorReplies, CountsSelfTestsAndPlainCommands) {
  PrinterSimulator printer;
  Feed(printer, kPrintSelfTest + kInitializePrinter + kPrintSelfTest + kSelectPrinterDevice +
                    kDisableStatusBack + B({0x00}));
  EXPECT_EQ(printer.counters().selfTests, 2);
  EXPECT_EQ(printer.counters().initializations, 1);
  EXPECT_EQ(printer.counters().selectPrinterDevice, 1);
  EXPECT_EQ(printer.counters().disableStatusBack, 1);
  EXPECT_EQ(printer.counters().flushBytes, 1);
  EXPECT_EQ(printer.counters().unknownBytes, 0u);
  // Another test print function is taken as a command but is no self-test.
  Feed(printer, B({0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x03}));
  EXPECT_EQ(printer.counters().selfTests, 2);
}

// ---- Framing ----------------------------------------------------------------------------------

// The connect sequence of the utility, and what a printer answers to it.
const Bytes kConnectSequence = kInitializePrinter + kSelectPrinterDevice + kDisableStatusBack +
                               kQueryFirmwareSupport + kQueryModelName + kQueryFirmwareVersion +
                               kQueryLanguage + ReadMemorySwitch(0x02);
const Bytes kConnectReplies = B({0x63}) + Str("_HRX-410") + B({0x00}) + Str("_HRX410101A1") +
                              B({0x00}) + Str("_STANDARD") + B({0x00}) +
                              B({0x37, 0x02}) + Str("00000000") + B({0x00});

TEST(PrinterSimulatorFraming, RepliesDoNotDependOnHowWritesSplitTheCommands) {
  const std::vector<std::size_t> pieceSizes = {kConnectSequence.size(), 1, 2, 4, 5, 7};
  for (std::size_t pieceSize : pieceSizes) {
    PrinterSimulator printer;
    Bytes replies;
    for (std::size_t offset = 0; offset < kConnectSequence.size(); offset += pieceSize) {
      const std::size_t n = std::min(pieceSize, kConnectSequence.size() - offset);
      EXPECT_EQ(printer.Receive(kConnectSequence.data() + offset, n), n);
      replies = replies + printer.TakeAllReplies();
    }
    EXPECT_EQ(Hex(replies), Hex(kConnectReplies)) << "pieces of " << pieceSize;
    EXPECT_EQ(printer.counters().unknownBytes, 0u) << "pieces of " << pieceSize;
  }
}

TEST(PrinterSimulatorFraming, HalfACommandWaitsForItsRest) {
  PrinterSimulator printer;
  EXPECT_TRUE(Feed(printer, B({0x08, 0x5E, 0x45, 0x02, 0x00})).empty());
  EXPECT_TRUE(Feed(printer, B({0x04})).empty());
  EXPECT_EQ(Hex(Feed(printer, B({0x0C}))), Hex(B({0x37, 0x0C}) + Str("00000000") + B({0x00})));
}

TEST(PrinterSimulatorFraming, NoiseIsSkippedWithoutLosingTheNextCommand) {
  struct Case {
    const char* name;
    Bytes noise;
  };
  const Case cases[] = {
      {"printable text", Str("AB")},
      {"escape with an unknown second byte", B({0x1B, 0x41})},
      {"switch family with a wrong second byte", B({0x08, 0x5F})},
      // A count that does not belong to the function must not be trusted as a length, or the
      // following command would be swallowed as its data.
      {"switch family with a bogus count", B({0x08, 0x5E, 0x45, 0xFF, 0x00, 0x03})},
      {"switch family with an unknown function", B({0x08, 0x5E, 0x45, 0x01, 0x00, 0x07})},
      {"test print with a long count", B({0x1D, 0x28, 0x41, 0x40, 0x00})},
  };
  for (const Case& c : cases) {
    PrinterSimulator printer;
    EXPECT_EQ(Hex(Feed(printer, c.noise + kQueryFirmwareSupport)), Hex(B({0x63}))) << c.name;
    // Every noise byte is skipped, or taken as the one command that is a single byte (00).
    EXPECT_EQ(printer.counters().unknownBytes + printer.counters().flushBytes, c.noise.size())
        << c.name;
  }
}

TEST(PrinterSimulatorFraming, ConnectionEndDropsAHalfCommandAndUnreadReplies) {
  PrinterSimulator printer;
  printer.ConnectionOpened();
  printer.Receive(kQueryModelName + B({0x1D, 0x49}));
  printer.ConnectionClosed();
  printer.ConnectionOpened();
  // Without the drop, 0x03 would complete the old 1D 49 into a support query.
  EXPECT_EQ(Hex(Feed(printer, B({0x03}) + kQueryFirmwareSupport)), Hex(B({0x63})));
  EXPECT_EQ(printer.counters().connections, 2);
}

// ---- Memory switches and setting mode --------------------------------------------------------

TEST(PrinterSimulatorSwitches, WriteCharactersSetClearOrLeaveEachBit) {
  struct Case {
    const char* before;
    const char* written;
    const char* after;
  };
  const Case cases[] = {
      {"00000000", "22222222", "00000000"},
      {"11111111", "22222222", "11111111"},
      {"01001000", "12220221", "11000001"},
      {"10101010", "01010101", "01010101"},
      {"11110000", "2x2 2?2!", "11110000"},  // anything but '0' and '1' leaves the bit too
  };
  for (const Case& c : cases) {
    PrinterSimulator printer;
    printer.SetSwitch(2, *PrinterSimulator::ParseSwitchBits(c.before));
    Feed(printer, kEnterSettingMode + WriteMemorySwitches({{2, c.written}}) + kLeaveSettingMode);
    EXPECT_EQ(Hex(Feed(printer, ReadMemorySwitch(0x02))),
              Hex(B({0x37, 0x02}) + Str(c.after) + B({0x00})))
        << c.before << " written with " << c.written;
  }
}

TEST(PrinterSimulatorSwitches, GroupsLandInTheSwitchOrderOneTwoEightToTwelve) {
  const std::map<int, std::string> groups = {
      {1, "10000001"},  {2, "01000010"},  {8, "00100100"},  {9, "00011000"},
      {10, "11000000"}, {11, "00000011"}, {12, "00000010"},
  };
  PrinterSimulator printer;
  Feed(printer, kEnterSettingMode + WriteMemorySwitches(groups) + kLeaveSettingMode);
  for (const auto& [number, bits] : groups) {
    EXPECT_EQ(Hex(Feed(printer, ReadMemorySwitch(number))),
              Hex(B({0x37, number}) + Str(bits) + B({0x00})))
        << "switch " << number;
  }
}

TEST(PrinterSimulatorSwitches, WritesCountOnlyInsideTheSettingMode) {
  PrinterSimulator printer;
  const std::string before = printer.SwitchBits(10);
  Feed(printer, WriteMemorySwitches({{10, "11111111"}}));
  EXPECT_EQ(printer.SwitchBits(10), before) << "write before entering the setting mode";
  EXPECT_EQ(printer.counters().rejectedSwitchWrites, 1);

  Feed(printer, kEnterSettingMode);
  EXPECT_TRUE(printer.InSettingMode());
  Feed(printer, WriteMemorySwitches({{10, "11111111"}}));
  EXPECT_EQ(printer.SwitchBits(10), "11111111");
  Feed(printer, kLeaveSettingMode);
  EXPECT_FALSE(printer.InSettingMode());

  Feed(printer, WriteMemorySwitches({{10, "00000000"}}));
  EXPECT_EQ(printer.SwitchBits(10), "11111111") << "write after leaving the setting mode";
  EXPECT_EQ(printer.counters().rejectedSwitchWrites, 2);
  EXPECT_EQ(printer.counters().switchWrites, 1);
}

TEST(PrinterSimulatorSwitches, SwitchWriteSplitLikeTheUtilitySendsIt) {
  // Fourteen bytes, then six groups of eight characters, each in its own write.
  const Bytes command = WriteMemorySwitches({{1, "00000001"}, {12, "00000011"}});
  PrinterSimulator printer;
  Feed(printer, kEnterSettingMode);
  printer.Receive(command.data(), 14);
  for (std::size_t offset = 14; offset < command.size(); offset += 8) {
    printer.Receive(command.data() + offset, 8);
  }
  Feed(printer, kLeaveSettingMode);
  EXPECT_EQ(printer.SwitchBits(1), "00000001");
  EXPECT_EQ(printer.SwitchBits(12), "00000011");
  EXPECT_EQ(printer.counters().unknownBytes, 0u);
}

// ---- Fault modes ------------------------------------------------------------------------------

TEST(PrinterSimulatorFaults, EachFaultChangesOnlyItsOwnReply) {
  struct Case {
    const char* name;
    Faults faults;
    Bytes command;
    Bytes reply;
  };
  Faults otherModel;
  otherModel.modelName = "HRX-420";
  Faults unsupported;
  unsupported.firmwareUnsupported = true;
  Faults garbage;
  garbage.garbageSwitches = true;
  const Case cases[] = {
      {"other model", otherModel, kQueryModelName, Str("_HRX-420") + B({0x00})},
      {"other model keeps the support byte", otherModel, kQueryFirmwareSupport, B({0x63})},
      {"unsupported firmware", unsupported, kQueryFirmwareSupport, B({0x61})},
      {"unsupported firmware keeps the model", unsupported, kQueryModelName,
       Str("_HRX-410") + B({0x00})},
      // Switch 1 is 01001000: bits 8, 6, 4 and 2 turn into blanks.
      {"garbage switches", garbage, ReadMemorySwitch(0x01),
       B({0x37, 0x01, 0x20, 0x31, 0x20, 0x30, 0x20, 0x30, 0x20, 0x30, 0x00})},
  };
  for (const Case& c : cases) {
    PrinterSimulator printer;
    printer.SetFaults(c.faults);
    EXPECT_EQ(Hex(Feed(printer, c.command)), Hex(c.reply)) << c.name;
  }
}

TEST(PrinterSimulatorFaults, SilentPrinterTakesEverythingAndAnswersNothing) {
  PrinterSimulator printer;
  Faults silent;
  silent.silent = true;
  printer.SetFaults(silent);
  const std::string before = printer.SwitchBits(10);
  const Bytes bytes =
      kConnectSequence + kEnterSettingMode + WriteMemorySwitches({{10, "11111111"}});
  EXPECT_EQ(printer.Receive(bytes), bytes.size());
  EXPECT_EQ(printer.PendingReplyBytes(), 0u);
  EXPECT_EQ(printer.counters().bytesReceived, bytes.size());
  EXPECT_EQ(printer.SwitchBits(10), before);
}

TEST(PrinterSimulatorFaults, LinkDropsAfterTheGivenNumberOfBytesForGood) {
  PrinterSimulator printer;
  Faults drop;
  drop.dropAfterBytes = 5;
  printer.SetFaults(drop);
  EXPECT_EQ(printer.Receive(kQueryFirmwareSupport), 3u);
  EXPECT_FALSE(printer.LinkDropped());
  EXPECT_EQ(printer.PendingReplyBytes(), 1u);
  EXPECT_EQ(printer.Receive(kQueryModelName), 2u) << "only the bytes up to the drop are taken";
  EXPECT_TRUE(printer.LinkDropped());
  EXPECT_EQ(printer.PendingReplyBytes(), 0u) << "a dropped link delivers no reply";
  EXPECT_EQ(printer.Receive(kQueryModelName), 0u);
  printer.ConnectionClosed();
  printer.ConnectionOpened();
  EXPECT_TRUE(printer.LinkDropped());
  EXPECT_EQ(printer.counters().bytesReceived, 5u);
}

// ---- Font reception ---------------------------------------------------------------------------

constexpr std::uint32_t kKoreanImageSize = 615695;

// What SetStatus sends when the user picks a buyer set, up to the font image.
Bytes ChooseBuyerSet(const std::string& switch12) {
  return kEnterSettingMode + WriteMemorySwitches({{9, "22222221"}, {12, switch12}}) +
         kLeaveSettingMode + kSelectPrinterDevice;
}

Bytes KoreanImage() {
  return font_image::BuildImage(font_image::CharacterSet::Korean, kKoreanImageSize);
}

TEST(PrinterSimulatorFont, RecognisesAndVerifiesAnImageAfterADoubleByteBuyerSet) {
  PrinterSimulator printer;
  printer.ConnectionOpened();
  Feed(printer, ChooseBuyerSet("00000001"));
  EXPECT_TRUE(printer.font().awaited);

  const Bytes image = KoreanImage();
  EXPECT_EQ(printer.Receive(image), image.size());
  EXPECT_TRUE(printer.font().complete);
  EXPECT_TRUE(printer.font().checksumOk);
  EXPECT_EQ(printer.font().bytes, kKoreanImageSize);
  EXPECT_EQ(printer.font().characterSet, "KOR");
  EXPECT_FALSE(printer.font().receiving);
  // Back in command mode right at the image's end.
  EXPECT_EQ(Hex(Feed(printer, kQueryLanguage)), Hex(Str("_KOREAN") + B({0x00})));
  EXPECT_EQ(printer.counters().unknownBytes, 0u);
}

TEST(PrinterSimulatorFont, ACorruptedByteFailsTheChecksum) {
  const std::size_t positions[] = {16, kKoreanImageSize / 2, kKoreanImageSize - 5,
                                   kKoreanImageSize - 1};
  for (std::size_t position : positions) {
    PrinterSimulator printer;
    Feed(printer, ChooseBuyerSet("00000001"));
    Bytes image = KoreanImage();
    image[position] ^= 0x01;
    printer.Receive(image);
    EXPECT_TRUE(printer.font().complete) << "byte " << position;
    EXPECT_FALSE(printer.font().checksumOk) << "byte " << position;
  }
}

TEST(PrinterSimulatorFont, NoImageIsExpectedUnlessTheBuyerSetWasWrittenDoubleByte) {
  struct Case {
    const char* name;
    std::uint8_t codeBefore;
    std::string switch12;
    bool awaited;
  };
  const Case cases[] = {
      {"standard chosen", 1, "00000000", false},
      {"buyer set not changed", 1, "22222222", false},
      {"Korean chosen", 0, "00000001", true},
      {"Chinese chosen", 0, "00000010", true},
      {"Japanese chosen", 0, "00000011", true},
      // The utility downloads whenever a double-byte set is picked, the current one too.
      {"Korean chosen again", 1, "00000001", true},
      {"code 4 is no double-byte set", 0, "00000100", false},
  };
  for (const Case& c : cases) {
    PrinterSimulator printer;
    printer.SetSwitch(12, c.codeBefore);
    Feed(printer, ChooseBuyerSet(c.switch12));
    EXPECT_EQ(printer.font().awaited, c.awaited) << c.name;
    // The image's first bytes start reception only when one is expected.
    printer.Receive(KoreanImage().data(), 100);
    EXPECT_EQ(printer.font().receiving, c.awaited) << c.name;
    EXPECT_EQ(printer.font().bytes, c.awaited ? 100u : 0u) << c.name;
  }
}

TEST(PrinterSimulatorFont, UnrecognisedDataIsCountedUntilTheConnectionEnds) {
  PrinterSimulator printer;
  printer.ConnectionOpened();
  Feed(printer, ChooseBuyerSet("00000011"));
  Bytes data(5000, 0x5A);
  data[100] = 0x1D;  // command bytes inside the data are data too
  printer.Receive(data);
  EXPECT_TRUE(printer.font().receiving);
  EXPECT_FALSE(printer.font().recognised);
  EXPECT_EQ(printer.font().bytes, 5000u);
  EXPECT_EQ(printer.PendingReplyBytes(), 0u);

  printer.ConnectionClosed();
  EXPECT_FALSE(printer.font().receiving);
  EXPECT_FALSE(printer.font().complete);
  printer.ConnectionOpened();
  EXPECT_EQ(Hex(Feed(printer, kQueryFirmwareSupport)), Hex(B({0x63})));
}

TEST(PrinterSimulatorFont, AnImageCutShortByTheConnectionIsIncomplete) {
  PrinterSimulator printer;
  printer.ConnectionOpened();
  Feed(printer, ChooseBuyerSet("00000001"));
  const Bytes image = KoreanImage();
  printer.Receive(image.data(), image.size() - 1);
  EXPECT_TRUE(printer.font().receiving);
  printer.ConnectionClosed();
  EXPECT_FALSE(printer.font().complete);
  EXPECT_FALSE(printer.font().checksumOk);
  EXPECT_EQ(printer.font().bytes, kKoreanImageSize - 1);
}

// The download as the utility sends it over a device file: 64 bytes, then blocks of 4096, the
// last one shorter or full.
TEST(PrinterSimulatorFont, ImageInA64ByteBlockAndBlocksOf4096ArrivesWhole) {
  const std::pair<font_image::CharacterSet, std::uint32_t> cases[] = {
      {font_image::CharacterSet::Korean, kKoreanImageSize},  // ends with 1231 bytes
      {font_image::CharacterSet::Japanese, 64 + 3 * 4096},    // ends with a full block
  };
  for (const auto& [set, size] : cases) {
    PrinterSimulator printer;
    SimulatedDevice device(printer, DeviceBehaviour::Serial());
    SimulatedDeviceFiles files("COM1", device);
    auto port = files.Open("COM1", 0xC0000000u, 0, 3, 0x80);
    ASSERT_NE(port, nullptr);
    std::uint32_t done = 0;
    const Bytes setStatus = ChooseBuyerSet(set == font_image::CharacterSet::Korean ? "00000001"
                                                                                   : "00000011");
    ASSERT_TRUE(port->Write(setStatus.data(), static_cast<std::uint32_t>(setStatus.size()), done));
    std::uint8_t settingModeReply[16] = {};
    port->Read(settingModeReply, 16, done);

    const Bytes image = font_image::BuildImage(set, size);
    std::size_t offset = 0;
    int blocks = 0;
    while (offset < image.size()) {
      const std::size_t block =
          offset == 0 ? 64 : std::min<std::size_t>(4096, image.size() - offset);
      ASSERT_TRUE(port->Write(image.data() + offset, static_cast<std::uint32_t>(block), done));
      ASSERT_EQ(done, block) << "block " << blocks;
      offset += block;
      ++blocks;
    }
    EXPECT_TRUE(printer.font().complete) << size;
    EXPECT_TRUE(printer.font().checksumOk) << size;
    EXPECT_EQ(printer.font().characterSet, font_image::TagName(set)) << size;
    EXPECT_EQ(device.writes.size(), 1u + blocks) << size;
  }
}

// ---- Font image format ------------------------------------------------------------------------

TEST(FontImageFormat, ImagesHaveTheirExactSizeAndAreDeterministic) {
  const std::pair<font_image::CharacterSet, std::uint32_t> cases[] = {
      {font_image::CharacterSet::Korean, 615695},
      {font_image::CharacterSet::Gb2312, 615695},
      {font_image::CharacterSet::Big5, 1025807},
      {font_image::CharacterSet::Japanese, 843791},
      {font_image::CharacterSet::Korean, 20},
  };
  for (const auto& [set, size] : cases) {
    const Bytes image = font_image::BuildImage(set, size);
    EXPECT_EQ(image.size(), size) << font_image::TagName(set);
    EXPECT_EQ(image, font_image::BuildImage(set, size)) << font_image::TagName(set);
    EXPECT_TRUE(font_image::VerifyImage(image)) << font_image::TagName(set) << " " << size;
  }
  // Same size, other character set: other bytes, not only another tag.
  const Bytes korean = font_image::BuildImage(font_image::CharacterSet::Korean, 615695);
  const Bytes chinese = font_image::BuildImage(font_image::CharacterSet::Gb2312, 615695);
  EXPECT_FALSE(std::equal(korean.begin() + 16, korean.begin() + 1000, chinese.begin() + 16));
  EXPECT_TRUE(font_image::BuildImage(font_image::CharacterSet::Korean, 19).empty());
}

TEST(FontImageFormat, HeaderAndChecksumBytes) {
  const Bytes image = font_image::BuildImage(font_image::CharacterSet::Korean, 615695);
  // "HRXFONT1", "KOR\0", 615695 = 0x0009650F little-endian.
  EXPECT_EQ(Hex(Bytes(image.begin(), image.begin() + 16)),
            Hex(B({0x48, 0x52, 0x58, 0x46, 0x4F, 0x4E, 0x54, 0x31, 0x4B, 0x4F, 0x52, 0x00, 0x0F,
                   0x65, 0x09, 0x00})));
  const std::uint32_t crc = font_image::ComputeCrc32(image.data(), image.size() - 4);
  EXPECT_EQ(Hex(Bytes(image.end() - 4, image.end())),
            Hex(B({int(crc & 0xFF), int((crc >> 8) & 0xFF), int((crc >> 16) & 0xFF),
                   int(crc >> 24)})));
  const Bytes big5 = font_image::BuildImage(font_image::CharacterSet::Big5, 20);
  EXPECT_EQ(Hex(Bytes(big5.begin() + 8, big5.begin() + 12)), Hex(Str("BIG5")));
}

TEST(FontImageFormat, Crc32IsTheIeeeChecksumAndCanBeFedInPieces) {
  const Bytes check = Str("123456789");
  EXPECT_EQ(font_image::ComputeCrc32(check.data(), check.size()), 0xCBF43926u);
  EXPECT_EQ(font_image::ComputeCrc32(nullptr, 0), 0u);
  font_image::Crc32 pieces;
  pieces.Update(check.data(), 4);
  pieces.Update(check[4]);
  pieces.Update(check.data() + 5, 4);
  EXPECT_EQ(pieces.Value(), 0xCBF43926u);
}

TEST(FontImageFormat, VerifyRejectsAnyDamage) {
  const Bytes good = font_image::BuildImage(font_image::CharacterSet::Japanese, 4096);
  struct Case {
    const char* name;
    Bytes image;
  };
  auto flipped = [&good](std::size_t position) {
    Bytes image = good;
    image[position] ^= 0x80;
    return image;
  };
  const Case cases[] = {
      {"magic", flipped(0)},           {"tag", flipped(9)},
      {"size", flipped(13)},           {"filler", flipped(2000)},
      {"checksum", flipped(4095)},     {"one byte short", Bytes(good.begin(), good.end() - 1)},
      {"one byte more", good + B({0})}, {"empty", {}},
  };
  for (const Case& c : cases) EXPECT_FALSE(font_image::VerifyImage(c.image)) << c.name;
}

TEST(FontImageFormat, HeaderNeedsMagicAKnownTagAndAPlausibleSize) {
  const Bytes header = Str("HRXFONT1") + Str("JAP") + B({0x00, 0x14, 0x00, 0x00, 0x00});
  ASSERT_TRUE(font_image::ParseHeader(header.data(), header.size()).has_value());
  EXPECT_EQ(font_image::ParseHeader(header.data(), header.size())->totalSize, 20u);
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"short", Bytes(header.begin(), header.end() - 1)},
      {"magic", Str("HRXFONT2") + Bytes(header.begin() + 8, header.end())},
      {"tag padded with a blank", Str("HRXFONT1JAP ") + B({0x14, 0, 0, 0})},
      {"unknown tag", Str("HRXFONT1KORX") + B({0x14, 0, 0, 0})},
      {"size below header and checksum", Str("HRXFONT1GB23") + B({0x13, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(font_image::ParseHeader(c.bytes.data(), c.bytes.size()).has_value()) << c.name;
  }
  EXPECT_EQ(font_image::CharacterSetFromTag("GB23"), font_image::CharacterSet::Gb2312);
  EXPECT_EQ(font_image::CharacterSetFromTag(std::string("KOR\0", 4)),
            font_image::CharacterSet::Korean);
  EXPECT_FALSE(font_image::CharacterSetFromTag("kor").has_value());
}

// ---- Device file endpoint ---------------------------------------------------------------------

class SimulatedDeviceFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::DeviceFile> Open(DeviceBehaviour behaviour) {
    device = std::make_unique<SimulatedDevice>(printer, behaviour, &clock);
    files.Add("COM1", *device);
    return files.Open("COM1", 0xC0000000u, 0, 3, 0x80);
  }

  PrinterSimulator printer;
  VirtualClock clock;
  std::unique_ptr<SimulatedDevice> device;
  SimulatedDeviceFiles files;
};

TEST_F(SimulatedDeviceFileTest, SilentReadLeavesTheBufferAndWaitsTheReadTimeOut) {
  struct Case {
    const char* name;
    DeviceBehaviour behaviour;
    std::uint32_t count;
    std::uint32_t waitMs;
  };
  const Case cases[] = {
      {"serial, 16 bytes", DeviceBehaviour::Serial(), 16, 260},
      {"serial, 1 byte", DeviceBehaviour::Serial(), 1, 110},
      {"parallel, 1 byte", DeviceBehaviour::Parallel(), 1, 20},
      {"usb, 64 bytes", DeviceBehaviour::Usb(), 64, 1000},
  };
  for (const Case& c : cases) {
    auto port = Open(c.behaviour);
    ASSERT_NE(port, nullptr) << c.name;
    const std::uint32_t start = clock.now;
    std::vector<std::uint8_t> buffer(c.count, 0xEE);
    std::uint32_t done = 77;
    EXPECT_TRUE(port->Read(buffer.data(), c.count, done)) << c.name;
    EXPECT_EQ(done, 0u) << c.name;
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(c.count, 0xEE)) << c.name;
    EXPECT_EQ(clock.now - start, c.waitMs) << c.name;
  }
}

TEST_F(SimulatedDeviceFileTest, ByteWiseReadsTakeOneByteAndUsbReadsOneReply) {
  auto serial = Open(DeviceBehaviour::Serial());
  std::uint32_t done = 0;
  serial->Write(kQueryModelName.data(), 3, done);
  Bytes received;
  std::uint8_t byte = 0;
  while (serial->Read(&byte, 1, done) && done == 1) received.push_back(byte);
  EXPECT_EQ(Hex(received), Hex(Str("_HRX-410") + B({0x00})));
  EXPECT_EQ(clock.now, 110u) << "only the read after the reply waits";
  serial.reset();

  auto usb = Open(DeviceBehaviour::Usb());
  const Bytes twoQueries = kQueryFirmwareSupport + kQueryModelName;
  usb->Write(twoQueries.data(), static_cast<std::uint32_t>(twoQueries.size()), done);
  std::uint8_t block[64] = {};
  ASSERT_TRUE(usb->Read(block, 64, done));
  EXPECT_EQ(Hex(Bytes(block, block + done)), Hex(B({0x63})));
  ASSERT_TRUE(usb->Read(block, 64, done));
  EXPECT_EQ(Hex(Bytes(block, block + done)), Hex(Str("_HRX-410") + B({0x00})));
}

TEST_F(SimulatedDeviceFileTest, RecordsEveryWriteAndTheCommSettings) {
  auto port = Open(DeviceBehaviour::Serial());
  std::uint32_t done = 0;
  port->Write(kInitializePrinter.data(), 2, done);
  EXPECT_EQ(done, 2u);
  port->Write(kSelectPrinterDevice.data(), 3, done);
  ASSERT_EQ(device->writes.size(), 2u);
  EXPECT_EQ(Hex(device->writes[0]), Hex(B({0x1B, 0x40})));
  EXPECT_EQ(Hex(device->writes[1]), Hex(B({0x1B, 0x3D, 0x01})));

  platform::Dcb dcb;
  ASSERT_TRUE(port->GetCommState(dcb));
  dcb.baudRate = 19200;
  dcb.fOutxDsrFlow = true;
  ASSERT_TRUE(port->SetCommState(dcb));
  platform::Dcb readBack;
  port->GetCommState(readBack);
  EXPECT_TRUE(readBack == dcb);
  ASSERT_TRUE(device->lastSetDcb.has_value());
  EXPECT_EQ(device->lastSetDcb->baudRate, 19200u);

  const platform::CommTimeouts timeouts{10, 10, 100, 5, 3000};
  port->SetCommTimeouts(timeouts);
  ASSERT_TRUE(device->lastTimeouts.has_value());
  EXPECT_TRUE(*device->lastTimeouts == timeouts);

  std::uint32_t status = 0;
  ASSERT_TRUE(port->GetCommModemStatus(status));
  EXPECT_EQ(status, platform::kModemStatusDsrOn);
  device->dsrOn = false;
  ASSERT_TRUE(port->GetCommModemStatus(status));
  EXPECT_EQ(status, 0u);
}

TEST_F(SimulatedDeviceFileTest, PurgingTheReceiveSideDropsUnreadReplies) {
  auto port = Open(DeviceBehaviour::Serial());
  std::uint32_t done = 0;
  port->Write(kQueryModelName.data(), 3, done);
  ASSERT_TRUE(port->PurgeComm(platform::kPurgeAll));
  std::uint8_t byte = 0;
  port->Read(&byte, 1, done);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(device->purges, std::vector<std::uint32_t>{platform::kPurgeAll});
}

TEST_F(SimulatedDeviceFileTest, ParallelStatusQueryAnswersTheConfiguredByte) {
  auto port = Open(DeviceBehaviour::Parallel());
  std::vector<std::uint8_t> status(1);
  ASSERT_TRUE(port->DeviceIoControl(platform::kIoctlParQueryInformation, {}, status));
  EXPECT_EQ(status, std::vector<std::uint8_t>{0x80});
  device->parallelStatus = 0x84;
  ASSERT_TRUE(port->DeviceIoControl(platform::kIoctlParQueryInformation, {}, status));
  EXPECT_EQ(status, std::vector<std::uint8_t>{0x84});
  device->parallelStatus.reset();
  EXPECT_FALSE(port->DeviceIoControl(platform::kIoctlParQueryInformation, {}, status));
}

TEST_F(SimulatedDeviceFileTest, OpensOnlyTheConfiguredPathAndOneExclusiveHandle) {
  auto port = Open(DeviceBehaviour::Serial());
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(files.Open("COM2", 0xC0000000u, 0, 3, 0x80), nullptr);
  EXPECT_EQ(files.Open("COM1", 0xC0000000u, 0, 3, 0x80), nullptr) << "already held";
  port.reset();
  EXPECT_NE(files.Open("com1", 0xC0000000u, 0, 3, 0x80), nullptr) << "names ignore case";

  ASSERT_EQ(files.openCalls().size(), 4u);
  const auto& first = files.openCalls()[0];
  EXPECT_EQ(first.path, "COM1");
  EXPECT_EQ(first.access, 0xC0000000u);
  EXPECT_EQ(first.shareMode, 0u);
  EXPECT_EQ(first.creation, 3u);
  EXPECT_EQ(first.flags, 0x80u);
  EXPECT_TRUE(first.succeeded);
  EXPECT_FALSE(files.openCalls()[1].succeeded);
  EXPECT_FALSE(files.openCalls()[2].succeeded);
}

TEST_F(SimulatedDeviceFileTest, PrinterStateSurvivesFromOneOpenToTheNext) {
  auto port = Open(DeviceBehaviour::Serial());
  std::uint32_t done = 0;
  const Bytes set = kEnterSettingMode + WriteMemorySwitches({{10, "01100000"}}) + kLeaveSettingMode;
  port->Write(set.data(), static_cast<std::uint32_t>(set.size()), done);
  port.reset();
  port = files.Open("COM1", 0xC0000000u, 0, 3, 0x80);
  ASSERT_NE(port, nullptr);
  const Bytes read = ReadMemorySwitch(0x0A);
  port->Write(read.data(), 7, done);
  std::uint8_t reply[16] = {};
  port->Read(reply, 16, done);
  EXPECT_EQ(Hex(Bytes(reply, reply + done)), Hex(B({0x37, 0x0A}) + Str("01100000") + B({0x00})));
  EXPECT_EQ(printer.counters().connections, 2);
  EXPECT_EQ(device->opens, 2);
  EXPECT_EQ(device->closes, 1);
}

TEST_F(SimulatedDeviceFileTest, ADroppedLinkFailsWritesReadsAndLaterOpens) {
  auto port = Open(DeviceBehaviour::Serial());
  Faults drop;
  drop.dropAfterBytes = 64 + 100;
  printer.SetFaults(drop);
  const Bytes image = KoreanImage();
  std::uint32_t done = 0;
  EXPECT_TRUE(port->Write(image.data(), 64, done));
  EXPECT_EQ(done, 64u);
  EXPECT_TRUE(port->Write(image.data() + 64, 4096, done)) << "a short write is no failure";
  EXPECT_EQ(done, 100u);
  EXPECT_FALSE(port->Write(image.data() + 164, 4096, done));
  EXPECT_EQ(done, 0u);
  std::uint8_t byte = 0xEE;
  EXPECT_FALSE(port->Read(&byte, 1, done));
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(device->writes.size(), 3u) << "failed writes are logged too";
  port.reset();
  EXPECT_EQ(files.Open("COM1", 0xC0000000u, 0, 3, 0x80), nullptr);
}

// ---- Socket endpoint --------------------------------------------------------------------------

TEST(SimulatedSocketLayerTest, ConnectsOnlyToThePrinterAddress) {
  PrinterSimulator printer;
  SimulatedSocketLayer layer(printer, "192.168.0.50", 9100);
  EXPECT_EQ(layer.Create(), nullptr) << "no socket before the layer is started";
  ASSERT_TRUE(layer.Startup().ok);
  struct Case {
    std::string host;
    std::uint32_t port;
    bool connects;
  };
  const Case cases[] = {
      {"192.168.0.51", 9100, false}, {"192.168.0.50", 9101, false}, {"192.168.0.50", 9100, true}};
  for (const Case& c : cases) {
    auto socket = layer.Create();
    ASSERT_NE(socket, nullptr);
    EXPECT_EQ(socket->Connect(c.host, c.port), c.connects) << c.host << ":" << c.port;
    EXPECT_EQ(socket->Send(kQueryFirmwareSupport.data(), 3), c.connects ? 3 : -1) << c.host;
  }
  ASSERT_EQ(layer.connectCalls.size(), 3u);
  EXPECT_EQ(layer.connectCalls[0].host, "192.168.0.51");
  EXPECT_EQ(layer.connectCalls[1].port, 9101u);
  EXPECT_TRUE(layer.connectCalls[2].succeeded);
  EXPECT_EQ(printer.counters().connections, 1);
}

TEST(SimulatedSocketLayerTest, StartupCanFail) {
  PrinterSimulator printer;
  SimulatedSocketLayer layer(printer, "127.0.0.1", 9100);
  layer.startupFails = true;
  const platform::SocketStartup startup = layer.Startup();
  EXPECT_FALSE(startup.ok);
  EXPECT_EQ(startup.socketError, 10091);
  EXPECT_EQ(layer.Create(), nullptr);
}

TEST(SimulatedSocketLayerTest, ReceiveGivesRepliesThenTimesOutOnVirtualTime) {
  PrinterSimulator printer;
  VirtualClock clock;
  SimulatedSocketLayer layer(printer, "127.0.0.1", 9100, &clock);
  layer.Startup();
  auto socket = layer.Create();
  ASSERT_TRUE(socket->Connect("127.0.0.1", 9100));
  const Bytes queries = kQueryFirmwareSupport + kQueryModelName;
  EXPECT_EQ(socket->Send(queries.data(), static_cast<int>(queries.size())), 6);
  std::uint8_t buffer[64];
  EXPECT_EQ(socket->Receive(buffer, 4), 4);
  EXPECT_EQ(Hex(Bytes(buffer, buffer + 4)), Hex(B({0x63, 0x5F, 0x48, 0x52})));
  EXPECT_EQ(socket->Receive(buffer, 64), 6);
  EXPECT_EQ(Hex(Bytes(buffer, buffer + 6)), Hex(Str("X-410") + B({0x00})));

  EXPECT_LT(socket->Receive(buffer, 64), 0);
  EXPECT_EQ(clock.now, 1000u) << "the layer's default time-out";
  socket->SetReceiveTimeout(300);
  EXPECT_LT(socket->Receive(buffer, 64), 0);
  EXPECT_EQ(clock.now, 1300u);
  ASSERT_EQ(layer.sends.size(), 1u);
  EXPECT_EQ(Hex(layer.sends[0]), Hex(queries));
}

TEST(SimulatedSocketLayerTest, ADroppedLinkClosesTheConnectionForGood) {
  PrinterSimulator printer;
  SimulatedSocketLayer layer(printer, "127.0.0.1", 9100);
  layer.Startup();
  Faults drop;
  drop.dropAfterBytes = 4;
  printer.SetFaults(drop);
  auto socket = layer.Create();
  ASSERT_TRUE(socket->Connect("127.0.0.1", 9100));
  EXPECT_EQ(socket->Send(kQueryFirmwareSupport.data(), 3), 3);
  EXPECT_EQ(socket->Send(kQueryModelName.data(), 3), 1);
  EXPECT_EQ(socket->Send(kQueryModelName.data(), 3), -1);
  std::uint8_t buffer[16];
  EXPECT_EQ(socket->Receive(buffer, 16), 0) << "the peer is gone";
  socket.reset();
  EXPECT_FALSE(layer.Create()->Connect("127.0.0.1", 9100));
}

// ---- Server program ---------------------------------------------------------------------------

using SteadyClock = std::chrono::steady_clock;

// The server program as a child process; killed if a test ends while it still runs.
class ServerProcess {
 public:
  explicit ServerProcess(std::vector<std::string> args, bool quiet = false) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    if (quiet) {
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    args.insert(args.begin(), PRINTER_SIMULATOR_SERVER_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    stdout_ = pipeFds[0];
  }
  ~ServerProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0) ::close(stdout_);
  }

  bool started() const { return pid_ > 0; }

  // The first line the server prints, or empty when none came in time.
  std::string FirstLine(std::chrono::milliseconds limit) {
    const auto deadline = SteadyClock::now() + limit;
    std::string line;
    while (SteadyClock::now() < deadline) {
      pollfd watched{stdout_, POLLIN, 0};
      if (::poll(&watched, 1, 50) <= 0) continue;
      char c = 0;
      if (::read(stdout_, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return {};
  }

  // Stops it with SIGTERM; the exit status, or -1 when it did not end in time.
  int Terminate(std::chrono::milliseconds limit) {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
    return WaitForExit(limit);
  }

  // The exit status, or -1 when it did not end in time.
  int WaitForExit(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    const auto deadline = SteadyClock::now() + limit;
    while (SteadyClock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      ::poll(nullptr, 0, 10);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
};

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "printer_sim_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Reads exactly `count` bytes, or what came before the time limit.
Bytes ReadFor(int fd, std::size_t count, std::chrono::milliseconds limit) {
  const auto deadline = SteadyClock::now() + limit;
  Bytes received;
  while (received.size() < count && SteadyClock::now() < deadline) {
    pollfd watched{fd, POLLIN, 0};
    if (::poll(&watched, 1, 50) <= 0) continue;
    std::uint8_t buffer[256];
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - received.size()));
    if (n <= 0) break;
    received.insert(received.end(), buffer, buffer + n);
  }
  return received;
}

std::map<std::string, std::string> ReadStateFile(const std::string& path) {
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

// Waits until the state file shows `key` = `value`; the last value seen either way.
std::string AwaitState(const std::string& path, const std::string& key, const std::string& value,
                       std::chrono::milliseconds limit) {
  const auto deadline = SteadyClock::now() + limit;
  std::string seen;
  do {
    seen = ReadStateFile(path)[key];
    if (seen == value) break;
    ::poll(nullptr, 0, 20);
  } while (SteadyClock::now() < deadline);
  return seen;
}

int ConnectLoopback(unsigned port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, const Bytes& bytes) {
  return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

constexpr std::chrono::milliseconds kLimit{5000};

TEST(PrinterSimulatorServer, KeepsItsStateAcrossLoopbackConnections) {
  ScratchFolder scratch;
  const std::string stateFile = scratch / "state.txt";
  const std::string portFile = scratch / "port.txt";
  ServerProcess server({"--tcp", "0", "--port-file", portFile, "--state-file", stateFile,
                        "--switch", "12=00000000", "--max-seconds", "30"});
  ASSERT_TRUE(server.started());
  const std::string portText = server.FirstLine(kLimit);
  ASSERT_FALSE(portText.empty()) << "the server printed no port";
  const unsigned port = static_cast<unsigned>(std::stoul(portText));
  ASSERT_GT(port, 0u);
  std::ifstream portIn(portFile);
  std::string portFromFile;
  portIn >> portFromFile;
  EXPECT_EQ(portFromFile, portText);

  // First connection: identify the printer, then change switch 10.
  int fd = ConnectLoopback(port);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAll(fd, kQueryFirmwareSupport + kQueryModelName));
  EXPECT_EQ(Hex(ReadFor(fd, 10, kLimit)), Hex(B({0x63}) + Str("_HRX-410") + B({0x00})));
  ASSERT_TRUE(SendAll(fd, kEnterSettingMode));
  EXPECT_EQ(Hex(ReadFor(fd, 3, kLimit)), Hex(B({0x37, 0x01, 0x00})));
  ASSERT_TRUE(SendAll(fd, WriteMemorySwitches({{10, "00100001"}}) + kLeaveSettingMode));
  ::close(fd);
  EXPECT_EQ(AwaitState(stateFile, "switch10", "00100001", kLimit), "00100001");

  // Second connection: the printer still has the switch as written.
  fd = ConnectLoopback(port);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAll(fd, ReadMemorySwitch(0x0A) + kPrintSelfTest));
  EXPECT_EQ(Hex(ReadFor(fd, 11, kLimit)), Hex(B({0x37, 0x0A}) + Str("00100001") + B({0x00})));
  ::close(fd);

  EXPECT_EQ(AwaitState(stateFile, "connections", "2", kLimit), "2");
  EXPECT_EQ(AwaitState(stateFile, "selftests", "1", kLimit), "1");
  const auto state = ReadStateFile(stateFile);
  EXPECT_EQ(state.at("setting_mode"), "0");
  EXPECT_EQ(state.at("switch1"), "01001000");
  EXPECT_EQ(state.at("switch12"), "00000000");
  EXPECT_EQ(state.at("bytes_received"), std::to_string(6 + 6 + 62 + 6 + 7 + 7));
  EXPECT_EQ(server.Terminate(kLimit), 0);
}

TEST(PrinterSimulatorServer, DropAfterBytesEndsTheConnectionAndRefusesLaterOnes) {
  ScratchFolder scratch;
  const std::string stateFile = scratch / "state.txt";
  // The drop comes inside the first command, so no reply can have left whatever pieces the
  // bytes arrive in.
  ServerProcess server({"--tcp", "0", "--state-file", stateFile, "--drop-after", "2",
                        "--max-seconds", "30"});
  const std::string portText = server.FirstLine(kLimit);
  ASSERT_FALSE(portText.empty());
  const unsigned port = static_cast<unsigned>(std::stoul(portText));
  const int fd = ConnectLoopback(port);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAll(fd, kQueryModelName));
  EXPECT_TRUE(ReadFor(fd, 1, kLimit).empty()) << "no reply, the connection is closed";
  ::close(fd);
  EXPECT_EQ(AwaitState(stateFile, "link_dropped", "1", kLimit), "1");
  EXPECT_LT(ConnectLoopback(port), 0);
  EXPECT_EQ(server.Terminate(kLimit), 0);
}

TEST(PrinterSimulatorServer, ServesAPseudoTerminalThroughItsLink) {
  const int probe = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (probe < 0) GTEST_SKIP() << "this machine gives out no pseudo-terminals";
  ::close(probe);
  ScratchFolder scratch;
  const std::string link = scratch / "ttyPRINTER";
  const std::string stateFile = scratch / "state.txt";
  ServerProcess server({"--pty", link, "--state-file", stateFile, "--model", "HRX-420",
                        "--max-seconds", "30"});
  const std::string slave = server.FirstLine(kLimit);
  ASSERT_FALSE(slave.empty());
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), slave);

  for (int session = 1; session <= 2; ++session) {
    const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, kQueryModelName.data(), 3), 3);
    EXPECT_EQ(Hex(ReadFor(fd, 9, kLimit)), Hex(Str("_HRX-420") + B({0x00}))) << session;
    ::close(fd);
    // The session ends when the server sees the hang-up; only then may the next one start.
    EXPECT_EQ(AwaitState(stateFile, "connections", std::to_string(session), kLimit),
              std::to_string(session));
    EXPECT_EQ(AwaitState(stateFile, "open_connections", "0", kLimit), "0") << session;
  }
  EXPECT_EQ(server.Terminate(kLimit), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link)) << "the link goes with the server";
}

TEST(PrinterSimulatorServer, RefusesBadOptions) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--tcp", "0", "--pty", "/tmp/x"},
      {"--tcp", "70000"},
      {"--tcp", "0", "--switch", "3=00000000"},
      {"--tcp", "0", "--switch", "12=0000000"},
      {"--tcp", "0", "--frobnicate"},
  };
  for (const auto& args : cases) {
    ServerProcess server(args, /*quiet=*/true);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(server.WaitForExit(kLimit), 2) << joined;
  }
}

}  // namespace
