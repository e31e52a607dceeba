// Class factories of the stand-in's two creatable classes.
#pragma once

#include "outlook/com_types.h"

#include <unknwn.h>

namespace orvane {

namespace outlook_standin {

// Makes Application objects, unless the test controls say creation is refused.
ComPtr<IClassFactory> NewApplicationFactory();
// Makes test-control objects; never refused.
ComPtr<IClassFactory> NewControlFactory();

}  // namespace outlook_standin

}  // namespace orvane
