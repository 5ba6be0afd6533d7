// The program's own resources (the font images carried as type "BIN").
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class Resources {
 public:
  virtual ~Resources() = default;
  // FindResourceA + LoadResource + SizeofResource + LockResource, copied out; false when
  // the resource does not exist.
  virtual bool LoadBinary(int id, const std::string& type, std::vector<std::uint8_t>& bytes) = 0;
};

}  // namespace platform
