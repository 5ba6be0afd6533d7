// printer_simulator_server: the virtual HRX-410 on a loopback TCP port or on a pseudo-terminal,
// for the end-to-end tests and for trying the utility by hand. One connection is served at a
// time, and the printer's state carries over from one connection to the next, as the utility
// connects anew for every operation. The state is mirrored into a key=value file after every
// change so that a test can check what the printer took in.
//
//   printer_simulator_server (--tcp PORT [--port-file F] | --pty LINK) [--state-file F]
//       [--silent] [--model TEXT] [--no-firmware-support] [--garbage-switches]
//       [--drop-after N] [--switch N=BITS]... [--max-seconds S]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tools/printer_simulator/printer_simulator.h"

namespace {

using printer_simulator::PrinterSimulator;
using SteadyClock = std::chrono::steady_clock;

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

// Owns one file descriptor.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.Release();
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

struct Options {
  std::optional<unsigned> tcpPort;
  std::string ptyLink;
  std::string portFile;
  std::string stateFile;
  printer_simulator::Faults faults;
  std::vector<std::pair<int, std::uint8_t>> presetSwitches;
  unsigned maxSeconds = 600;
};

void PrintUsage() {
  std::cerr
      << "usage: printer_simulator_server (--tcp PORT [--port-file F] | --pty LINK)\n"
         "         [--state-file F] [--silent] [--model TEXT] [--no-firmware-support]\n"
         "         [--garbage-switches] [--drop-after N] [--switch N=BITS]... [--max-seconds S]\n"
         "  --tcp PORT        listen on 127.0.0.1:PORT; 0 picks a free port. The port is the\n"
         "                    first line on stdout.\n"
         "  --pty LINK        serve a pseudo-terminal whose slave LINK points to; the slave\n"
         "                    path is the first line on stdout.\n"
         "  --state-file F    rewrite F (key=value lines) after every change of state\n"
         "  --switch N=BITS   preset memory switch N, bit 8 first (e.g. 12=00000001)\n"
         "  --max-seconds S   stop by itself after S seconds (default 600)\n";
}

bool ParseUnsigned(const std::string& text, std::uint64_t limit, std::uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (value > (limit - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        std::cerr << "printer_simulator_server: " << arg << " needs a value\n";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    std::uint64_t number = 0;
    if (arg == "--tcp") {
      if (!value(text) || !ParseUnsigned(text, 65535, number)) return false;
      options.tcpPort = static_cast<unsigned>(number);
    } else if (arg == "--pty") {
      if (!value(options.ptyLink) || options.ptyLink.empty()) return false;
    } else if (arg == "--port-file") {
      if (!value(options.portFile)) return false;
    } else if (arg == "--state-file") {
      if (!value(options.stateFile)) return false;
    } else if (arg == "--silent") {
      options.faults.silent = true;
    } else if (arg == "--model") {
      if (!value(options.faults.modelName)) return false;
    } else if (arg == "--no-firmware-support") {
      options.faults.firmwareUnsupported = true;
    } else if (arg == "--garbage-switches") {
      options.faults.garbageSwitches = true;
    } else if (arg == "--drop-after") {
      if (!value(text) || !ParseUnsigned(text, UINT64_MAX, number)) return false;
      options.faults.dropAfterBytes = number;
    } else if (arg == "--switch") {
      if (!value(text)) return false;
      const std::size_t equals = text.find('=');
      std::uint64_t switchNumber = 0;
      const auto bits = equals == std::string::npos
                            ? std::nullopt
                            : PrinterSimulator::ParseSwitchBits(text.substr(equals + 1));
      if (!bits || !ParseUnsigned(text.substr(0, equals), 99, switchNumber) ||
          !PrinterSimulator::IsKnownSwitch(static_cast<int>(switchNumber))) {
        std::cerr << "printer_simulator_server: --switch wants N=BITS with N one of 1, 2, 8, "
                     "9, 10, 11, 12 and eight 0/1 characters, bit 8 first; got \""
                  << text << "\"\n";
        return false;
      }
      options.presetSwitches.emplace_back(static_cast<int>(switchNumber), *bits);
    } else if (arg == "--max-seconds") {
      if (!value(text) || !ParseUnsigned(text, 86400, number) || number == 0) return false;
      options.maxSeconds = static_cast<unsigned>(number);
    } else {
      std::cerr << "printer_simulator_server: unknown option \"" << arg << "\"\n";
      return false;
    }
  }
  if (options.tcpPort.has_value() == !options.ptyLink.empty()) {
    std::cerr << "printer_simulator_server: give exactly one of --tcp and --pty\n";
    return false;
  }
  return true;
}

// Write to a temporary file beside the target, then rename over it, so that a reader never
// sees half a file.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp." + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

class StateFile {
 public:
  explicit StateFile(std::string path) : path_(std::move(path)) {}
  void Update(const PrinterSimulator& printer) {
    if (path_.empty()) return;
    const std::string text = printer.StateReport();
    if (text == written_) return;
    if (WriteFileAtomically(path_, text)) {
      written_ = text;
    } else {
      std::cerr << "printer_simulator_server: cannot write " << path_ << ": "
                << std::strerror(errno) << "\n";
    }
  }

 private:
  std::string path_;
  std::string written_;
};

// Hands every queued reply to the link; false when the link refused it.
bool SendReplies(PrinterSimulator& printer, int fd, bool isSocket) {
  const std::vector<std::uint8_t> replies = printer.TakeAllReplies();
  std::size_t sent = 0;
  while (sent < replies.size()) {
    const ssize_t n = isSocket ? ::send(fd, replies.data() + sent, replies.size() - sent,
                                        MSG_NOSIGNAL)
                               : ::write(fd, replies.data() + sent, replies.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// How long the next poll may wait: short enough to notice a stop request and the deadline.
int PollTimeout(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  if (left <= 0) return 0;
  return static_cast<int>(left < 200 ? left : 200);
}

bool KeepRunning(SteadyClock::time_point deadline) {
  return stopRequested == 0 && SteadyClock::now() < deadline;
}

int ServeTcp(const Options& options, PrinterSimulator& printer, StateFile& state,
             SteadyClock::time_point deadline) {
  FileDescriptor listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!listener.valid()) {
    std::perror("printer_simulator_server: socket");
    return 1;
  }
  const int reuse = 1;
  ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from outside the machine
  address.sin_port = htons(static_cast<std::uint16_t>(*options.tcpPort));
  if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener.get(), 4) != 0) {
    std::cerr << "printer_simulator_server: cannot listen on 127.0.0.1:" << *options.tcpPort
              << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length);
  const unsigned port = ntohs(address.sin_port);
  // The port file first: whoever read the port from stdout may look for the file at once.
  if (!options.portFile.empty() &&
      !WriteFileAtomically(options.portFile, std::to_string(port) + "\n")) {
    std::cerr << "printer_simulator_server: cannot write " << options.portFile << "\n";
    return 1;
  }
  std::cout << port << std::endl;

  FileDescriptor client;
  auto endConnection = [&] {
    client.Reset();
    printer.ConnectionClosed();
  };
  std::vector<std::uint8_t> buffer(65536);
  while (KeepRunning(deadline)) {
    // While a connection is served, later ones wait in the backlog: one at a time.
    pollfd watched{};
    nfds_t count = 0;
    if (client.valid()) {
      watched = {client.get(), POLLIN, 0};
      count = 1;
    } else if (listener.valid()) {
      watched = {listener.get(), POLLIN, 0};
      count = 1;
    }
    const int ready = ::poll(count != 0 ? &watched : nullptr, count, PollTimeout(deadline));
    if (ready <= 0) continue;  // time-out, or a signal that KeepRunning will see

    if (!client.valid()) {
      client = FileDescriptor(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (client.valid()) printer.ConnectionOpened();
    } else {
      const ssize_t n = ::recv(client.get(), buffer.data(), buffer.size(), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        endConnection();
      } else {
        printer.Receive(buffer.data(), static_cast<std::size_t>(n));
        if (!SendReplies(printer, client.get(), true)) endConnection();
      }
      if (printer.LinkDropped()) {
        // A printer that went off the network: this connection ends and no other is taken.
        if (client.valid()) endConnection();
        listener.Reset();
      }
    }
    state.Update(printer);
  }
  if (client.valid()) endConnection();
  state.Update(printer);
  return 0;
}

int ServePty(const Options& options, PrinterSimulator& printer, StateFile& state,
             SteadyClock::time_point deadline) {
  FileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master.valid() || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
    std::perror("printer_simulator_server: posix_openpt");
    return 1;
  }
  const char* slaveName = ::ptsname(master.get());
  if (slaveName == nullptr) {
    std::perror("printer_simulator_server: ptsname");
    return 1;
  }
  const std::string slavePath = slaveName;
  // Raw: no echo, no line editing, no character translation; the printer sees bytes.
  termios settings{};
  if (::tcgetattr(master.get(), &settings) == 0) {
    ::cfmakeraw(&settings);
    ::tcsetattr(master.get(), TCSANOW, &settings);
  }
  struct stat linkStatus {};
  if (::lstat(options.ptyLink.c_str(), &linkStatus) == 0) {
    if (!S_ISLNK(linkStatus.st_mode)) {
      std::cerr << "printer_simulator_server: " << options.ptyLink
                << " exists and is not a symbolic link; not replacing it\n";
      return 1;
    }
    ::unlink(options.ptyLink.c_str());
  }
  if (::symlink(slavePath.c_str(), options.ptyLink.c_str()) != 0) {
    std::cerr << "printer_simulator_server: cannot link " << options.ptyLink << " to "
              << slavePath << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::cout << slavePath << std::endl;

  // The slave side has no connect or accept: a session starts with the first byte after the
  // slave was (re)opened and ends when its last holder closes it, which the master sees as a
  // hang-up.
  bool inSession = false;
  // Only our own link goes: another server may have taken the name over meanwhile.
  auto removeLink = [&] {
    std::error_code error;
    if (std::filesystem::read_symlink(options.ptyLink, error) == slavePath && !error) {
      ::unlink(options.ptyLink.c_str());
    }
  };
  std::vector<std::uint8_t> buffer(65536);
  while (KeepRunning(deadline)) {
    if (!master.valid()) {
      ::poll(nullptr, 0, PollTimeout(deadline));
      continue;
    }
    pollfd watched{master.get(), POLLIN, 0};
    if (::poll(&watched, 1, PollTimeout(deadline)) <= 0) continue;
    bool hungUp = (watched.revents & (POLLHUP | POLLERR)) != 0;
    if ((watched.revents & POLLIN) != 0) {
      const ssize_t n = ::read(master.get(), buffer.data(), buffer.size());
      if (n > 0) {
        if (!inSession) {
          inSession = true;
          printer.ConnectionOpened();
        }
        printer.Receive(buffer.data(), static_cast<std::size_t>(n));
        SendReplies(printer, master.get(), false);
        hungUp = false;  // read everything the last holder left before ending the session
      } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
        hungUp = true;
      }
    }
    if (printer.LinkDropped()) {
      // The cable is pulled: the slave hangs up and cannot be opened again.
      master.Reset();
      removeLink();
      hungUp = true;
    }
    if (hungUp) {
      if (inSession) {
        inSession = false;
        printer.ConnectionClosed();
      }
      // A master stays in hang-up until the slave is opened again; don't spin on it.
      if (master.valid()) ::poll(nullptr, 0, 20);
    }
    state.Update(printer);
  }
  if (inSession) printer.ConnectionClosed();
  state.Update(printer);
  removeLink();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    PrintUsage();
    return 2;
  }

  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a stop request interrupts the poll at once
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  PrinterSimulator printer;
  for (const auto& [number, value] : options.presetSwitches) printer.SetSwitch(number, value);
  printer.SetFaults(options.faults);
  StateFile state(options.stateFile);
  state.Update(printer);

  // No test can leave a simulator running: it ends by itself at the deadline.
  const auto deadline = SteadyClock::now() + std::chrono::seconds(options.maxSeconds);
  return options.tcpPort ? ServeTcp(options, printer, state, deadline)
                         : ServePty(options, printer, state, deadline);
}
