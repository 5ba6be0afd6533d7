// Program start-up: one copy at a time, the socket layer warning, the printer name.
#include <gtest/gtest.h>

#include "settings_utility/main_window/startup.h"
#include "tests/fakes/fake_misc.h"
#include "tests/fakes/fake_sockets.h"

namespace {

struct RecordingHost : kora::MainDialogHost {
  void RunMainWindow(const std::string& printerName) override { names.push_back(printerName); }
  std::vector<std::string> names;
};

struct Rig {
  fakes::FakeProcessServices process;
  fakes::FakeSocketLayer sockets;
  fakes::FakeMessageBoxes boxes;
  RecordingHost host;
  int Run(const std::string& arguments = "") { return kora::RunQuintKora(process, sockets, boxes, host, arguments); }
};

TEST(Startup, RunsTheWindowOnceWithTheInstanceMappingHeld) {
  Rig rig;
  EXPECT_EQ(rig.Run(), 0);
  EXPECT_EQ(rig.process.calls, std::vector<std::string>{"QuintKora.exe/4"});
  EXPECT_EQ(rig.host.names, std::vector<std::string>{""});
  EXPECT_EQ(rig.sockets.startups, 1);
  EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(Startup, SecondCopyEndsSilently) {
  Rig rig;
  rig.process.alreadyExists = true;
  EXPECT_EQ(rig.Run(), 0);
  EXPECT_TRUE(rig.host.names.empty());
  EXPECT_EQ(rig.sockets.startups, 0);
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_EQ(rig.process.openObjects, 0);
}

TEST(Startup, FailedMappingDoesNotStopTheProgram) {
  Rig rig;
  rig.process.fail = true;
  rig.process.lastError = 5;
  rig.Run();
  EXPECT_EQ(rig.host.names.size(), 1u);
}

TEST(Startup, SocketLayerFailureWarnsOnceAndGoesOn) {
  Rig rig;
  rig.sockets.startup = {false, 10091, 87};
  rig.Run();
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].text, "Soket Create Error! : 10091, 87");
  EXPECT_EQ(rig.boxes.shown[0].title, "Warning");
  EXPECT_EQ(rig.boxes.shown[0].icon, platform::MessageIcon::Exclamation);
  EXPECT_EQ(rig.host.names.size(), 1u);
}

TEST(Startup, PrinterNameFromTheArgumentText) {
  struct Row {
    const char* arguments;
    const char* name;
  } rows[] = {
      {"", ""},
      {"Front Desk", "Front Desk"},
      {"\"Front Desk\"", "Front Desk"},
      {"  \"KELVO HRX-410\"  ", "KELVO HRX-410"},
      {"\"", "\""},
      {"   ", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(kora::PrinterNameFromCommandLine(row.arguments), row.name) << row.arguments;
  Rig rig;
  rig.Run("\"Front Desk\"");
  EXPECT_EQ(rig.host.names, std::vector<std::string>{"Front Desk"});
}

}  // namespace
