# The base floor: one owner per resource, the guards every callback runs through, the process
# control and the log. Pure sources build natively too; the others are Windows only.
set(ORVANE_base_PURE
  file_places.cpp
  log_line.cpp)
set(ORVANE_base_WINDOWS
  base_window.cpp
  callback_guard.cpp
  com_scope.cpp
  error_log.cpp
  message_filter.cpp
  module_path.cpp
  process_control.cpp
  user_folders.cpp)
set(ORVANE_base_SYSTEM_LIBS ole32 oleaut32 uuid user32 shell32)
