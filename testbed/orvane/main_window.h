// The stand-in main application's window: class "Orvane Main", hidden, recording what the
// plug-in sends it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/base_window.h"
#include "testbed/orvane/message_log.h"

namespace orvane {

namespace standin {

class MainWindow final : public BaseWindow {
public:
  // `endSenderOnKind`: the kind of record whose sender's process is ended once the first such
  // record is logged.
  // `firstAnswerDelayMs`: how long the first WM_COPYDATA is held after it is logged.
  explicit MainWindow(const MessageLog& log, std::optional<std::uint32_t> endSenderOnKind = std::nullopt,
                      DWORD firstAnswerDelayMs = 0);

  // Creates the hidden top-level window; false when it cannot be made.
  bool Create();

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const char* ReportName() const noexcept override { return "OrvaneMainWindow"; }
  void OnCopyData(HWND sender, const COPYDATASTRUCT* data);

  const MessageLog& log_;
  UINT shieldMessage_ = 0;
  std::optional<std::uint32_t> endSenderOnKind_;
  DWORD firstAnswerDelayMs_;
  bool answeredOnce_ = false;
};

}  // namespace standin

}  // namespace orvane
