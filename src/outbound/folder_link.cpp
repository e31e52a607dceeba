#include "outbound/folder_link.h"

#include "base/error_log.h"
#include "outlook/outlook_folders.h"

#include <cstdio>
#include <new>

namespace orvane::outbound {

void FolderLink::Connect(int32_t folder, const std::function<ComPtr<FolderEventSink>()>& makeSink, LaterBoxes& boxes) {
  // A sink still held is unadvised, never overwritten while Outlook holds it.
  Disconnect();
  outlook::DispatchDriver items = outlook::GetDefaultFolder(folder).GetObject(outlook::kItems);
  try {
    sink_ = makeSink();
  } catch (const std::bad_alloc&) {
    char line[100];
    std::snprintf(line, sizeof line, "OrvaneOutlook=>ConnectSinks::Out of memory, folder %ld is not watched",
                  static_cast<long>(folder));
    WriteLog(line);
    return;
  }
  items_ = std::move(items);
  if (!sink_) return;
  const HRESULT advised = advise_.Connect(items_.Get(), kItemsEventsIid, static_cast<IDispatch*>(sink_.Get()));
  if (outlook::IsServerGone(advised)) {
    Abandon();
    throw outlook::AutomationError::FromResult(advised);
  }
  // A collection without events says nothing; only Outlook refusing the sink is shown.
  if (advise_.Reached() == AdviseConnection::Stage::AdviseRefused) {
    boxes.Show(kAdviseRefusedText, kAdviseRefusedCaption, MB_OK | MB_ICONEXCLAMATION);
  }
}

void FolderLink::Abandon() noexcept {
  advise_.Abandon();
  if (sink_) sink_->LetGo();
  sink_.Reset();
  items_.ReleaseDispatch();
}

void FolderLink::Disconnect() noexcept {
  advise_.Disconnect();
  Abandon();
}

std::optional<int32_t> FolderLink::ItemCount() const {
  if (items_.IsEmpty()) return std::nullopt;
  return items_.GetInt32(outlook::kCount);
}

}  // namespace orvane::outbound
