# Sources without any Windows header. They are built into orvane_pure for the
# Windows programs and, natively, for the sanitizer tests and the fuzzers.
set(ORVANE_PURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/app/intake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app/watchdog_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/log_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainapp/record_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/outlook/ole_date.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/record_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/record_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/task_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/appointment_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/note_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/command_records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/inbound/lookup_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/outbound/item_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/outbound/kept_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/outbound/known_states.cpp
  ${CMAKE_CURRENT_LIST_DIR}/outbound/record_forms.cpp
)
