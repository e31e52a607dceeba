// The main application's four action messages as this process registered them.
#pragma once

#include "app/intake.h"

namespace orvane::app {

ActionMessages RegisteredActions();

}  // namespace orvane::app
