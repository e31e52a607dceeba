# Talking to Outlook: the automation client, the COM value owners, the session and its folders.
set(ORVANE_outlook_PURE
  ole_date.cpp)
set(ORVANE_outlook_WINDOWS
  automation_error.cpp
  busy_retry.cpp
  com_types.cpp
  dispatch_driver.cpp
  late_binding.cpp
  outlook_folders.cpp
  outlook_session.cpp
  table_array.cpp
  table_reading.cpp)
set(ORVANE_outlook_SYSTEM_LIBS ole32 oleaut32)
