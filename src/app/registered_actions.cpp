#include "app/registered_actions.h"

#include "mainapp/registered_messages.h"

namespace orvane::app {

ActionMessages RegisteredActions() {
  return {mainapp::saveNowMessage, mainapp::changeNowMessage, mainapp::deleteNowMessage, mainapp::doneNowMessage};
}

}  // namespace orvane::app
