# The shell: the process, the frame, the intake, the timers, the watchdog, the settings.
# main.cpp and the resources make the program itself (src/CMakeLists.txt).
set(ORVANE_app_PURE
  held_record.cpp
  intake.cpp
  watchdog_rules.cpp)
set(ORVANE_app_WINDOWS
  about_box.cpp
  document_server.cpp
  instance.cpp
  main_frame.cpp
  plugin_control.cpp
  program_info.cpp
  registered_actions.cpp
  registry_key.cpp
  server_registration.cpp
  session_creation.cpp
  session_end.cpp
  settings.cpp
  start_line.cpp
  stub_app.cpp
  stub_view.cpp)
set(ORVANE_app_SYSTEM_LIBS shell32 advapi32 comctl32 version)
