# The main application's vocabulary: record kinds, registered messages, its window, the text rule.
set(ORVANE_mainapp_PURE
  record_text.cpp)
set(ORVANE_mainapp_WINDOWS
  main_app_window.cpp
  registered_messages.cpp)
set(ORVANE_mainapp_SYSTEM_LIBS user32)
