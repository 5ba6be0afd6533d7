// Status files: the 256-byte layout, the dialogs, the name check, and that a failed save or
// load never costs the user the old file or the current settings.
#include <gtest/gtest.h>

#include "settings_utility/printer_protocol/status_file.h"
#include "tests/unit/window_rig.h"

using testing_rig::WindowRig;
using kora::PortKind;

namespace {

std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  std::uint32_t v = 0;
  for (int b = 0; b < 4; ++b) v |= static_cast<std::uint32_t>(bytes[index * 4 + b]) << (8 * b);
  return static_cast<std::int32_t>(v);
}

TEST(StatusFileRecord, LayoutIsSixtyFourLittleEndianIntegers) {
  kora::PrinterSettings settings;
  settings.switchMatrix[2][5] = 0x01020304;  // switch 8, bit 5: integer 9 * 2 + 5 = 23
  settings.switchMatrix[6][0] = -1;          // switch 12, column 0: integer 54
  settings.buyerSetValue = 5;
  const kora::StatusFileRecord record = kora::EncodeStatusFile(settings);
  ASSERT_EQ(record.size(), 256u);
  EXPECT_EQ(record[92], 0x04);
  EXPECT_EQ(record[93], 0x03);
  EXPECT_EQ(record[94], 0x02);
  EXPECT_EQ(record[95], 0x01);
  for (int b = 216; b < 220; ++b) EXPECT_EQ(record[b], 0xFF) << b;
  EXPECT_EQ(record[252], 5);
  kora::PrinterSettings back;
  kora::DecodeStatusFile(std::vector<std::uint8_t>(record.begin(), record.end()), back);
  EXPECT_EQ(back.switchMatrix, settings.switchMatrix);
  EXPECT_EQ(back.buyerSetValue, 5);
}

TEST(SaveStatus, AfterInitialiseWritesTheInitialValues) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.Click(IDC_INIT_STATUS);
  rig.view.fileAnswers = {"C:\\status\\shop.sts"};
  ASSERT_TRUE(rig.Click(IDC_SAVE_STATUS));
  ASSERT_EQ(rig.view.fileDialogs.size(), 1u);
  const kora::FileDialogSpec& dialog = rig.view.fileDialogs[0];
  EXPECT_TRUE(dialog.save);
  EXPECT_EQ(dialog.title, "Save current status");
  EXPECT_EQ(dialog.initialName, "Noname.sts");
  EXPECT_EQ(dialog.filter, "Status Files (*.sts)|*.sts|");
  EXPECT_TRUE(dialog.overwritePrompt);
  EXPECT_TRUE(dialog.createPrompt);
  EXPECT_FALSE(dialog.fileMustExist);

  const std::vector<std::uint8_t>& file = rig.files.contents["C:\\status\\shop.sts"];
  ASSERT_EQ(file.size(), 256u);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(IntAt(file, i), i == 4 ? 2 : 0) << i;  // switch 1 as the model had it
  EXPECT_EQ(IntAt(file, 9), 0);
  for (int i = 10; i <= 62; ++i) {
    const bool columnZero = i == 18 || i == 27 || i == 36 || i == 45 || i == 54;
    EXPECT_EQ(IntAt(file, i), columnZero ? 0 : 2) << i;
  }
  EXPECT_EQ(IntAt(file, 63), 1);
  EXPECT_EQ(rig.files.contents.count("C:\\status\\shop.sts.~tmp"), 0u);
  EXPECT_EQ(rig.view.messages.size(), 1u) << "only the connect spoke; a good save is silent";
}

TEST(SaveStatus, AFailedSaveKeepsThePreviousFile) {
  struct Row {
    const char* what;
    void (*breakIt)(fakes::FakeFiles&);
  } rows[] = {
      {"write stops half-way", [](fakes::FakeFiles& f) { f.failWriteAfter = 100; }},
      {"temporary file cannot be created", [](fakes::FakeFiles& f) { f.failCreate.insert("D:\\a.sts.~tmp"); }},
      {"replace fails", [](fakes::FakeFiles& f) { f.failReplace = true; }},
  };
  for (const Row& row : rows) {
    WindowRig rig;
    ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
    const std::vector<std::uint8_t> previous(256, 0x77);
    rig.files.contents["D:\\a.sts"] = previous;
    row.breakIt(rig.files);
    rig.view.fileAnswers = {"D:\\a.sts"};
    rig.Click(IDC_SAVE_STATUS);
    EXPECT_EQ(rig.files.contents["D:\\a.sts"], previous) << row.what;
    EXPECT_EQ(rig.files.contents.count("D:\\a.sts.~tmp"), 0u) << row.what;
    EXPECT_EQ(rig.LastMessage(), "Fail to save status file!\nD:\\a.sts") << row.what;
    EXPECT_EQ(rig.view.messages.back().title, "Error");
    EXPECT_EQ(rig.view.messages.back().icon, platform::MessageIcon::Stop);
  }
}

TEST(LoadStatus, ShortFileLoadsZerosForTheRest) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  std::vector<std::uint8_t> file(100, 0);
  file[4 * 4] = 2;   // switch 1 bit 4: Disable
  file[10 * 4] = 1;  // switch 2 bit 1: B font
  rig.files.contents["E:\\short.sts"] = file;
  rig.view.fileAnswers = {"E:\\short.sts"};
  ASSERT_TRUE(rig.Click(IDC_LOAD_STATUS));
  const kora::FileDialogSpec& dialog = rig.view.fileDialogs[0];
  EXPECT_FALSE(dialog.save);
  EXPECT_EQ(dialog.title, "Load saved status");
  EXPECT_EQ(dialog.initialName, "*.sts");
  EXPECT_TRUE(dialog.fileMustExist);
  EXPECT_EQ(rig.view.SelectedText(IDC_INTERNAL_BUZZER), "Disable");
  EXPECT_EQ(rig.view.SelectedText(IDC_FONT_TYPE), "B Font (9x24)");
  EXPECT_EQ(rig.view.SelectedText(IDC_COLOR_MODE), "Not Change");  // beyond the 25 integers
  EXPECT_EQ(rig.window->state().settings.buyerSetValue, 0);
  EXPECT_EQ(rig.view.SelectedText(IDC_BUYERSET), "Not Change");
  EXPECT_TRUE(rig.window->state().settingsLoaded);
}

TEST(LoadStatus, RefusesNamesNotEndingInStsAndUnreadableFiles) {
  struct Row {
    const char* path;
    const char* message;
  } rows[] = {
      {"E:\\shop.STS", "Wrong format files loaded."},
      {"E:\\shop", "Wrong format files loaded."},
      {"ts", "Wrong format files loaded."},
      {"E:\\gone.sts", "Fail to load status file!\nE:\\gone.sts"},
  };
  for (const Row& row : rows) {
    WindowRig rig;
    ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
    rig.files.contents["E:\\shop.STS"] = std::vector<std::uint8_t>(256, 1);
    rig.files.contents["E:\\shop"] = std::vector<std::uint8_t>(256, 1);
    const kora::PrinterSettings before = rig.window->state().settings;
    rig.view.fileAnswers = {row.path};
    rig.Click(IDC_LOAD_STATUS);
    EXPECT_EQ(rig.LastMessage(), row.message) << row.path;
    EXPECT_EQ(rig.window->state().settings.switchMatrix, before.switchMatrix) << row.path;
    EXPECT_FALSE(rig.window->state().settingsLoaded) << row.path;
  }
}

TEST(LoadStatus, CancelledDialogsChangeNothing) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  const std::size_t messages = rig.view.messages.size();
  rig.Click(IDC_SAVE_STATUS);
  rig.Click(IDC_LOAD_STATUS);
  EXPECT_EQ(rig.view.fileDialogs.size(), 2u);
  EXPECT_EQ(rig.view.messages.size(), messages);
  EXPECT_TRUE(rig.files.log.empty());
}

TEST(LoadStatus, SavedThenLoadedThenSetReachesThePrinter) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.Select(IDC_PAPER_WIDTH, 1);   // 2 inch: switch 10 bit 5 = 1
  rig.Select(IDC_BUYERSET, 1);      // STD
  rig.view.fileAnswers = {"F:\\two-inch.sts"};
  rig.Click(IDC_SAVE_STATUS);
  rig.Click(IDC_CONNECT);  // disconnect, lose the picture
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.view.fileAnswers = {"F:\\two-inch.sts"};
  rig.Click(IDC_LOAD_STATUS);
  EXPECT_EQ(rig.view.SelectedText(IDC_PAPER_WIDTH), "2 inch");
  EXPECT_EQ(rig.view.SelectedText(IDC_BUYERSET), "STD");
  rig.printer.SetSwitch(10, 0x00);
  rig.Click(IDC_SET_STATUS);
  EXPECT_EQ(rig.printer.SwitchBits(10), "00010000");
}

TEST(LoadStatus, BuyerSetFromTheFileDecidesTheDownload) {
  struct Row {
    std::int32_t buyerSet;
    std::vector<int> loads;
  } rows[] = {{2, {IDR_FONT_KOR}}, {5, {IDR_FONT_JAP}}, {1, {}}, {7, {}}, {-3, {}}};
  for (const Row& row : rows) {
    WindowRig rig;
    ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
    kora::PrinterSettings settings;
    settings.SetAllUnchanged();
    settings.buyerSetValue = row.buyerSet;
    const kora::StatusFileRecord record = kora::EncodeStatusFile(settings);
    rig.files.contents["G:\\b.sts"] = std::vector<std::uint8_t>(record.begin(), record.end());
    rig.view.fileAnswers = {"G:\\b.sts"};
    rig.Click(IDC_LOAD_STATUS);
    rig.Click(IDC_SET_STATUS);
    EXPECT_EQ(rig.resources.loads, row.loads) << row.buyerSet;
  }
}

}  // namespace
