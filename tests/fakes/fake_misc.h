// Small fakes: single-instance mapping, socket layer start-up, owner-less message boxes,
// resources, the port settings dialog and the installed-port import.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/resources.h"
#include "platform/sockets.h"
#include "settings_utility/main_window/main_window_seams.h"

namespace fakes {

class FakeProcessServices : public platform::ProcessServices {
 public:
  platform::NamedMappingResult CreateNamedSharedMemory(const std::string& name, std::uint32_t size) override {
    calls.push_back(name + "/" + std::to_string(size));
    platform::NamedMappingResult result;
    if (!fail) result.object = std::make_unique<Object>(*this);
    result.lastError = alreadyExists ? platform::kErrorAlreadyExists : lastError;
    return result;
  }
  struct Object : platform::KernelObject {
    explicit Object(FakeProcessServices& owner) : owner_(owner) { ++owner_.openObjects; }
    ~Object() override { --owner_.openObjects; }
    FakeProcessServices& owner_;
  };
  bool fail = false;
  bool alreadyExists = false;
  long lastError = 0;
  int openObjects = 0;
  std::vector<std::string> calls;
};

class FakeMessageBoxes : public platform::MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
    shown.push_back({text, title, icon});
    return platform::kIdOk;
  }
  struct Box {
    std::string text, title;
    platform::MessageIcon icon;
  };
  std::vector<Box> shown;
};

class FakeResources : public platform::Resources {
 public:
  bool LoadBinary(int id, const std::string& type, std::vector<std::uint8_t>& bytes) override {
    loads.push_back(id);
    auto it = images.find(id);
    if (type != "BIN" || it == images.end()) return false;
    bytes = it->second;
    return true;
  }
  std::map<int, std::vector<std::uint8_t>> images;
  std::vector<int> loads;
};

class FakePortSettingsPrompt : public kora::PortSettingsPrompt {
 public:
  bool Run(const std::string& printerName, kora::PortChoice& out) override {
    ++runs;
    askedFor = printerName;
    if (!accept) return false;
    out = choice;
    return true;
  }
  bool accept = true;
  kora::PortChoice choice;
  int runs = 0;
  std::string askedFor;
};

class FakeInstalledPortImporter : public kora::InstalledPortImporter {
 public:
  void Import(const std::string& printerName) override {
    imported.push_back(printerName);
    if (onImport) onImport(printerName);
  }
  std::vector<std::string> imported;
  std::function<void(const std::string&)> onImport;
};

}  // namespace fakes
