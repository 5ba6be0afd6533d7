// An in-memory print spooler holding local printers, with a log of calls.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "platform/spooler.h"

namespace fakes {

class FakeSpooler : public platform::Spooler {
 public:
  long EnumLocalPrinters2(std::vector<platform::PrinterInfo2>& printers) override;
  long OpenPrinter(const std::string& name, std::uint32_t access,
                   std::unique_ptr<platform::PrinterHandle>& printer) override;

  void AddPrinter(const std::string& name, const std::string& port, const std::string& driver = "Generic");
  platform::PrinterInfo2* Find(const std::string& name);
  std::string PortOf(const std::string& name);

  std::vector<platform::PrinterInfo2> printers;
  std::set<std::string> failOpen;    // printers that cannot be opened
  std::set<std::string> failGet;     // printers whose level-2 read fails
  long enumError = 0;
  std::vector<std::string> log;      // "open NAME", "get NAME", "set NAME PORT", "close NAME"
};

}  // namespace fakes
