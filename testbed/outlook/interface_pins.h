// InterfacePins: a marshalled reference to each interface the stand-in's objects serve, held for
// the server's life, so that Wine's COM never unregisters one of them while the server runs.
#pragma once

#include "base/com_ptr.h"

#include <windows.h>
#include <objidl.h>

#include <vector>

namespace orvane {

namespace outlook_standin {

class InterfacePins {
public:
  InterfacePins();
  InterfacePins(const InterfacePins&) = delete;
  InterfacePins& operator=(const InterfacePins&) = delete;

  // The interfaces held; each one the objects serve when all went well.
  size_t Count() const { return pins_.size(); }

private:
  std::vector<ComPtr<IStream>> pins_;
};

}  // namespace outlook_standin

}  // namespace orvane
