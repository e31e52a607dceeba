// FolderLink: one watched folder's Items collection, the sink that hears its events and the
// sink's advise on it, owned together and let go of together.
#pragma once

#include "base/com_ptr.h"
#include "base/com_scope.h"
#include "outbound/folder_event_sink.h"
#include "outbound/later_box.h"
#include "outlook/dispatch_driver.h"
#include "outlook/outlook_session.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace orvane::outbound {

// The box shown when Outlook refuses a sink, and its caption: the application's title.
constexpr char kAdviseRefusedText[] = "Error can't Get Connection Point.";
constexpr char kAdviseRefusedCaption[] = "stub";

class FolderLink {
public:
  FolderLink() = default;
  FolderLink(const FolderLink&) = delete;
  FolderLink& operator=(const FolderLink&) = delete;
  ~FolderLink() { Disconnect(); }

  // Takes the default folder's Items and advises a sink made by `makeSink` on them. A sink that
  // cannot be made for want of memory leaves the folder unwatched with one log line; Outlook
  // refusing the sink is shown to the user through `boxes` once Outlook's call is over, and the
  // link then stays as if connected. A failing
  // Outlook call, an advise failing because Outlook's server is gone among them, throws
  // AutomationError and leaves the link empty.
  void Connect(outlook::OutlookSession& session, int32_t folder,
               const std::function<ComPtr<FolderEventSink>()>& makeSink, LaterBoxes& boxes);
  // Unadvises the sink, then lets go of it and of the Items; nothing when nothing is held.
  void Disconnect() noexcept;
  // Lets go of the sink and the Items without unadvising: Outlook's server is gone.
  void Abandon() noexcept;
  // How many items the folder holds now (one call); no value while no Items are held. Throws
  // AutomationError.
  std::optional<int32_t> ItemCount() const;

private:
  outlook::DispatchDriver items_;
  ComPtr<FolderEventSink> sink_;
  AdviseConnection advise_;
};

}  // namespace orvane::outbound
