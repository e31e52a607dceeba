// A minimal Outlook Application registered in the test process: it answers GetNamespace and
// Logon, and counts the objects it hands out, so the session can be checked without a server.
#pragma once

#include "outlook/com_types.h"

#include <string>
#include <vector>

namespace orvane {

namespace fake {

struct OutlookRecord {
  int applicationsCreated = 0;
  int liveObjects = 0;  // Application and NameSpace objects not yet released
  int logons = 0;
  std::vector<std::string> logonArguments;  // "VT_ERROR:80020004" for an omitted argument
  // The live-object count seen at the moment each new Application was made.
  std::vector<int> liveAtCreation;
  bool refuseCreation = false;
};

// Registers the fake under Outlook's class for the life of the object.
class RegisteredOutlook {
public:
  RegisteredOutlook();
  ~RegisteredOutlook();
  RegisteredOutlook(const RegisteredOutlook&) = delete;
  RegisteredOutlook& operator=(const RegisteredOutlook&) = delete;
  OutlookRecord& Record();
  bool Registered() const { return cookie_ != 0; }

private:
  DWORD cookie_ = 0;
};

}  // namespace fake

}  // namespace orvane
