// Benchmark of the settings utility under Wine against the printer simulator over loopback TCP
// (run by scripts/bench.sh through the Wine test harness, which starts the simulator):
//  - connect and "Get Printer Status", each from the click to the appearance of its result
//    message box, against the sum of the waits the utility is meant to make in them;
//  - the font download of the JAP image, from the click that lets it start to the simulator
//    holding the whole image, against the pacing limit of one 4096-byte block per 10 ms timer
//    period plus the 10 ms pause; and the CPU time of QuintKora (and of the wineserver, which
//    also serves this program) meanwhile;
//  - Wine's own 10 ms window timer and Sleep(10), alone, which set that pacing.
// Prints one line per measurement ("measure key=value ..."); the script makes the table.
//
//   quintkora_bench [connect runs] [download runs]
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/wine/ui_driver.h"
#include "tests/wine/utility_session.h"

namespace {

using uidriver::Control;
namespace ids = utility::main_ids;

constexpr char kPrinter[] = "HRX410-BENCH";
constexpr int kBuyerSetJap = 5;
constexpr unsigned long long kJapImageBytes = 843791;
constexpr DWORD kBoxWaitMs = 30000;
constexpr DWORD kDownloadWaitMs = 60000;
// The state file is read this often while the download runs: fine enough against its ~4 s
// (the end is seen at most 10 ms late), light enough not to slow the program measured (every
// 5 ms made the download 40-50 ms longer, as the wineserver serves both).
constexpr DWORD kStatePollMs = 10;
constexpr double kLinuxTicksPerSecond = 100;
// Timer and sleep events measured alone: as many as one download has blocks.
constexpr int kPacingEvents = 206;

// Waits prescribed for the operations over Ethernet, in ms: connect = firmware support 200,
// model 200, version 200 + 500, language 200; get status with the identity known = seven
// switch replies of 200.
constexpr double kConnectWaitsMs = 200 + 200 + 200 + 500 + 200;
constexpr double kGetStatusWaitsMs = 7 * 200;
// One 4096-byte block per 10 ms timer period plus the 10 ms pause after it.
constexpr double kPacingBytesPerSecond = 4096.0 / 0.020;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

// The visible message box of the process, looked for every millisecond: the moment a result
// appears is what is measured.
HWND WaitForBoxClosely(DWORD processId, DWORD timeoutMs) {
  const double start = Now();
  while (Now() - start < timeoutMs) {
    for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", nullptr); box != nullptr;
         box = FindWindowExA(nullptr, box, "#32770", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner == processId && IsWindowVisible(box) && uidriver::IsMessageBox(box)) return box;
    }
    Sleep(1);
  }
  throw uidriver::TimeoutError("no message box within " + std::to_string(timeoutMs) + " ms");
}

std::string BoxText(HWND box) { return uidriver::Text(Control(box, 0xFFFF)); }

void Answer(HWND box) {
  uidriver::MessageBoxInfo info;
  info.handle = box;
  uidriver::AnswerMessageBox(info, IDOK, utility::kCloseWaitMs);
}

// Clicks `button` and returns the ms until the message box with `expected` showed; returns
// once the operation has ended behind the box.
double TimeToMessage(DWORD processId, HWND window, HWND button, const std::string& expected) {
  const double start = Now();
  uidriver::Click(button);
  HWND box = WaitForBoxClosely(processId, kBoxWaitMs);
  const double elapsed = Now() - start;
  const std::string text = BoxText(box);
  Answer(box);
  utility::WaitForHandlerToEnd(window);
  if (text != expected) throw std::runtime_error("expected \"" + expected + "\", got \"" + text + "\"");
  return elapsed;
}

// CPU time of the Linux processes that Wine runs. Wine 8's GetProcessTimes on another process
// answers with the caller's own times (measured: for QuintKora's handle it gave exactly what
// GetCurrentProcess() gave, 10 ms with this program polling every 50 ms, 70 ms polling every
// 5 ms, while /proc showed QuintKora at 90 ms both times), so the figures are read where Linux
// keeps them, through drive Z:.
std::string ReadProcText(const std::string& path) {
  try {
    const std::vector<BYTE> bytes = utility::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
  } catch (const std::exception&) {
    return std::string();  // the process is gone, or not ours to read
  }
}

// The process of this Wine prefix whose command line holds `program` (a wine64 process shows
// its Windows program there; the wineserver its own path).
std::string FindLinuxProcess(const std::string& program) {
  const char* prefix = std::getenv("WINEPREFIX");
  const std::string prefixEntry = std::string("WINEPREFIX=") + (prefix != nullptr ? prefix : "") + "\n";
  for (const std::string& name : utility::FolderEntries("Z:\\proc")) {
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string folder = "Z:\\proc\\" + name + "\\";
    if (ReadProcText(folder + "cmdline").find(program) == std::string::npos) continue;
    std::string environment = ReadProcText(folder + "environ");
    for (char& c : environment)
      if (c == '\0') c = '\n';
    if (environment.find(prefixEntry) != std::string::npos) return folder;
  }
  throw std::runtime_error("no Linux process of this prefix runs " + program);
}

// User plus system time from /proc/<pid>/stat, in ms (Linux counts in 10 ms ticks).
double LinuxCpuMs(const std::string& procFolder) {
  const std::string stat = ReadProcText(procFolder + "stat");
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) throw std::runtime_error("unreadable " + procFolder + "stat");
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  unsigned long long user = 0;
  unsigned long long system = 0;
  // After the name: state is field 3, utime field 14, stime field 15.
  for (int number = 3; number <= 15 && fields >> field; ++number) {
    if (number == 14) user = std::stoull(field);
    if (number == 15) system = std::stoull(field);
  }
  return static_cast<double>(user + system) * 1000.0 / kLinuxTicksPerSecond;
}

// Image bytes the simulator holds of the download now running; 0 while it still awaits the
// image (its count is then the previous download's).
unsigned long long FontBytes() {
  try {
    utility::SimulatorState state = utility::ReadSimulatorState();
    if (state["font_awaited"] != "0") return 0;
    return std::stoull(state.at("font_bytes"));
  } catch (const std::exception&) {
    return 0;  // between the simulator's write and its rename
  }
}

void MeasureConnectAndGetStatus(const utility::ConnectedUtility& app, int runs) {
  const DWORD pid = app.process.Id();
  HWND connect = Control(app.window, ids::kConnect);
  HWND getStatus = Control(app.window, ids::kGetStatus);
  for (int run = 1; run <= runs; ++run) {
    uidriver::Click(connect, utility::kCloseWaitMs);  // disconnect
    if (uidriver::Text(connect) != "Connect Printer") throw std::runtime_error("the disconnect did not happen");
    const double connectMs = TimeToMessage(pid, app.window, connect, "Printer is connected.");
    std::printf("connect run=%d wall_ms=%.1f prescribed_ms=%.0f\n", run, connectMs, kConnectWaitsMs);
    const double getMs = TimeToMessage(pid, app.window, getStatus, "Success to get status of printer.");
    std::printf("get_status run=%d wall_ms=%.1f prescribed_ms=%.0f\n", run, getMs, kGetStatusWaitsMs);
    std::fflush(stdout);
  }
}

void MeasureDownload(const utility::ConnectedUtility& app, int runs) {
  const DWORD pid = app.process.Id();
  const std::string quintKora = FindLinuxProcess("QuintKora.exe");
  const std::string wineServer = FindLinuxProcess("wineserver");
  for (int run = 1; run <= runs; ++run) {
    uidriver::SelectComboIndex(Control(app.window, ids::kBuyerSet), kBuyerSetJap, utility::kCloseWaitMs);
    uidriver::Click(Control(app.window, ids::kSetStatus));
    HWND startBox = WaitForBoxClosely(pid, kBoxWaitMs);
    if (BoxText(startBox) != "Success to Change the Firmware,\n And Now Start Font Download!")
      throw std::runtime_error("the set did not announce the download: " + BoxText(startBox));

    // The download starts when the user lets the box go. The first moment the simulator
    // shows image bytes is noted too: from there on only the paced blocks count.
    utility::WaitForSimulatorValue("font_awaited", "1", utility::kCloseWaitMs);
    const double cpuBefore = LinuxCpuMs(quintKora);
    const double serverBefore = LinuxCpuMs(wineServer);
    const double start = Now();
    Answer(startBox);
    double firstBytes = 0;
    unsigned long long bytes = 0;
    while ((bytes = FontBytes()) < kJapImageBytes) {
      if (bytes > 0 && firstBytes == 0) firstBytes = Now();
      if (Now() - start > kDownloadWaitMs) throw uidriver::TimeoutError("the download did not end");
      Sleep(kStatePollMs);
    }
    const double end = Now();
    const double cpuMs = LinuxCpuMs(quintKora) - cpuBefore;
    const double serverMs = LinuxCpuMs(wineServer) - serverBefore;

    HWND doneBox = WaitForBoxClosely(pid, kBoxWaitMs);
    const std::string done = BoxText(doneBox);
    Answer(doneBox);
    utility::WaitForHandlerToEnd(app.window);
    if (done != "Success to Download Font!, And Reboot Printer") throw std::runtime_error("download: " + done);
    const utility::SimulatorState state = utility::ReadSimulatorState();
    if (state.at("font_checksum_ok") != "1") throw std::runtime_error("the image arrived damaged");

    std::printf(
        "download run=%d bytes=%llu wall_ms=%.1f blocks_ms=%.1f cpu_ms=%.1f wineserver_cpu_ms=%.1f "
        "pacing_bytes_per_s=%.0f\n",
        run, bytes, end - start, end - firstBytes, cpuMs, serverMs, kPacingBytesPerSecond);
    std::fflush(stdout);
  }
}

// A socket and its owner.
class OwnedSocket {
 public:
  OwnedSocket() = default;
  explicit OwnedSocket(SOCKET socket) : socket_(socket) {}
  ~OwnedSocket() { Reset(); }
  OwnedSocket(const OwnedSocket&) = delete;
  OwnedSocket& operator=(const OwnedSocket&) = delete;
  OwnedSocket& operator=(OwnedSocket&& other) noexcept {
    if (this != &other) {
      Reset();
      socket_ = other.socket_;
      other.socket_ = INVALID_SOCKET;
    }
    return *this;
  }
  SOCKET get() const { return socket_; }
  void Reset() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

// Winsock for the owner's lifetime.
class SocketLayer {
 public:
  SocketLayer() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  }
  ~SocketLayer() { WSACleanup(); }
  SocketLayer(const SocketLayer&) = delete;
  SocketLayer& operator=(const SocketLayer&) = delete;
};

// Both ends of one loopback TCP connection; the server end does not block, so that it can be
// emptied of whatever has arrived.
struct LoopbackPair {
  LoopbackPair() {
    OwnedSocket listener(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.get(), 1) != 0 ||
        getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("loopback listener: " + std::to_string(WSAGetLastError()));
    }
    client = OwnedSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (connect(client.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      throw std::runtime_error("loopback connect: " + std::to_string(WSAGetLastError()));
    server = OwnedSocket(accept(listener.get(), nullptr, nullptr));
    u_long nonBlocking = 1;
    ioctlsocket(server.get(), FIONBIO, &nonBlocking);
  }

  SocketLayer layer;  // first in, last out
  OwnedSocket client;
  OwnedSocket server;
};

// What pacing Wine itself gives: the two waits of every block, measured alone in this process.
// A one-shot 10 ms window timer, armed again at each event (as the download does), and
// Sleep(10); then both in turn, which is one block's cycle without the send.
LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

void MeasureWinePacing(int events) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KitBenchTimerWindow";
  RegisterClassA(&windowClass);
  OwnedWindow owner(CreateWindowA(windowClass.lpszClassName, "", 0, 0, 0, 1, 1, nullptr, nullptr,
                                  windowClass.hInstance, nullptr));
  if (!owner) throw uidriver::Win32Error("CreateWindowA", GetLastError());
  HWND window = owner.get();

  // The third cycle also sends a 4096-byte block over a loopback connection of this process
  // (and empties the far end, outside the send's own time), as the download does.
  LoopbackPair link;
  enum Cycle { kTimerOnly, kTimerSleep, kTimerSendSleep };
  const char* const names[] = {"wine_timer_period", "wine_timer_sleep_cycle", "wine_timer_send_sleep_cycle"};
  std::vector<char> block(4096, 'x');
  std::vector<char> drain(65536);
  for (int cycle = kTimerOnly; cycle <= kTimerSendSleep; ++cycle) {
    SetTimer(window, 1, 10, nullptr);
    double last = Now();
    double total = 0;
    double sending = 0;
    int seen = 0;
    MSG message;
    while (seen < events && GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (message.message != WM_TIMER || message.hwnd != window) {
        DispatchMessageA(&message);
        continue;
      }
      KillTimer(window, 1);
      if (cycle == kTimerSendSleep) {
        const double before = Now();
        if (send(link.client.get(), block.data(), static_cast<int>(block.size()), 0) != 4096)
          throw std::runtime_error("send on the loopback pair failed: " + std::to_string(WSAGetLastError()));
        sending += Now() - before;
      }
      if (cycle != kTimerOnly) Sleep(10);
      if (cycle == kTimerSendSleep) {
        while (recv(link.server.get(), drain.data(), static_cast<int>(drain.size()), 0) > 0) {
        }
      }
      SetTimer(window, 1, 10, nullptr);
      const double now = Now();
      total += now - last;
      last = now;
      ++seen;
    }
    KillTimer(window, 1);
    std::printf("%s events=%d mean_ms=%.3f", names[cycle], seen, total / seen);
    if (cycle == kTimerSendSleep) std::printf(" send_mean_ms=%.3f", sending / seen);
    std::printf("\n");
  }
  owner.reset();

  double total = 0;
  for (int i = 0; i < events; ++i) {
    const double before = Now();
    Sleep(10);
    total += Now() - before;
  }
  std::printf("wine_sleep10 events=%d mean_ms=%.3f\n", events, total / events);
  std::fflush(stdout);
}

int Run(int connectRuns, int downloadRuns) {
  utility::DeleteUtilitySettings();
  utility::PrepareEthernetPrinter(kPrinter, utility::SimulatorPort());
  utility::ConnectedUtility app = utility::StartConnected(kPrinter);
  if (app.connectMessage.text != "Printer is connected.")
    throw std::runtime_error("the start-up connect said: " + app.connectMessage.text);
  MeasureConnectAndGetStatus(app, connectRuns);
  MeasureDownload(app, downloadRuns);
  MeasureWinePacing(kPacingEvents);
  uidriver::Click(Control(app.window, ids::kExit));
  app.process.WaitForExitCode(utility::kExitWaitMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int connectRuns = argc > 1 ? std::atoi(argv[1]) : 7;
  const int downloadRuns = argc > 2 ? std::atoi(argv[2]) : 3;
  try {
    return Run(connectRuns, downloadRuns);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quintkora_bench: %s\n", error.what());
    return 1;
  }
}
