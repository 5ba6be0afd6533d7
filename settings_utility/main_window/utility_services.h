// The platform services the settings utility's logic works through, bundled for injection.
#pragma once
#include "platform/clock.h"
#include "platform/device_file.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/sockets.h"
#include "platform/spooler.h"

namespace kora {

struct UtilityServices {
  platform::Registry& registry;
  platform::Spooler& spooler;
  platform::DeviceFiles& devices;
  platform::SocketLayer& sockets;
  platform::Clock& clock;
  platform::Resources& resources;
  platform::Files& files;
};

}  // namespace kora
