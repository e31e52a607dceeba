# The outbound road: Outlook's folder events, the records built from items, the comparisons, what is news, the outbox.
set(ORVANE_outbound_PURE
  delivery_rule.cpp
  disappearance_rule.cpp
  item_picture.cpp
  kept_picture.cpp
  record_forms.cpp)
set(ORVANE_outbound_WINDOWS
  disappearances.cpp
  folder_comparer.cpp
  folder_event_sink.cpp
  folder_link.cpp
  folder_reading.cpp
  item_news.cpp
  item_records.cpp
  kept_state.cpp
  later_box.cpp
  look_at_queue.cpp
  outbox.cpp
  outlook_link.cpp
  picture_file.cpp
  send_record.cpp
  store_slots.cpp)
set(ORVANE_outbound_SYSTEM_LIBS user32)
