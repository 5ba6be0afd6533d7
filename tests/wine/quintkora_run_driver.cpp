// What `make run` does without a display, as a user would: QuintKora.exe was started with the
// name of a printer whose settings point at the printer simulator, so it connects at start-up;
// this program acknowledges "Printer is connected.", presses "Get Printer Status",
// acknowledges its result, saves a screenshot of the window and presses EXIT.
//
//   quintkora_run_driver <screenshot, a Unix path>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "tests/wine/ui_driver.h"
#include "tests/wine/utility_session.h"

namespace {

namespace ids = utility::main_ids;

void Expect(const utility::Message& message, const std::string& text) {
  std::printf("message \"%s\": %s\n", message.title.c_str(), message.text.c_str());
  if (message.text != text) throw std::runtime_error("expected the message \"" + text + "\"");
}

// QuintKora is not this program's child: it is found by its window.
DWORD FindQuintKora() {
  DWORD processId = 0;
  uidriver::WaitUntil(
      [&] {
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows()) {
          if (!window.visible || !uidriver::IsMessageBox(window.handle)) continue;
          processId = window.processId;
          return true;
        }
        HWND main = uidriver::FindTopLevelWindow(utility::kMainCaption);
        if (main != nullptr) GetWindowThreadProcessId(main, &processId);
        return main != nullptr;
      },
      utility::kStartWaitMs, "QuintKora.exe's first window");
  return processId;
}

void Drive(const std::string& screenshot) {
  const DWORD pid = FindQuintKora();
  Expect(utility::AcknowledgeMessage(pid, utility::kStartWaitMs), "Printer is connected.");
  HWND window = uidriver::WaitForTopLevelWindow(utility::kMainCaption, pid, utility::kStartWaitMs);
  uidriver::Click(uidriver::Control(window, ids::kGetStatus));
  Expect(utility::AcknowledgeMessage(pid), "Success to get status of printer.");
  utility::TakeScreenshot(window, "run", screenshot);
  std::printf("screenshot %s\n", screenshot.c_str());
  uidriver::Click(uidriver::Control(window, ids::kExit));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quintkora_run_driver <screenshot.png, a Unix path>\n");
    return 2;
  }
  try {
    Drive(argv[1]);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quintkora_run_driver: %s\n", error.what());
    return 1;
  }
}
