# The inbound road: reading the main application's records and writing them into Outlook.
set(ORVANE_inbound_PURE
  appointment_record.cpp
  command_records.cpp
  note_record.cpp
  record_fields.cpp
  record_layout.cpp
  task_record.cpp)
set(ORVANE_inbound_WINDOWS
  appointment_writers.cpp
  item_commands.cpp
  item_lookup.cpp
  note_writers.cpp
  pattern_writer.cpp
  replace_char.cpp
  task_writers.cpp
  writer_common.cpp)
set(ORVANE_inbound_SYSTEM_LIBS)
