# The outbound road: Outlook's folder events, the records built from items, the deletion watch.
set(ORVANE_outbound_PURE
  delivery_rule.cpp
  item_picture.cpp
  kept_picture.cpp
  record_forms.cpp)
set(ORVANE_outbound_WINDOWS
  deleted_items.cpp
  folder_event_sink.cpp
  folder_link.cpp
  folder_reading.cpp
  item_news.cpp
  item_records.cpp
  later_box.cpp
  outbox.cpp
  outlook_link.cpp
  picture_file.cpp
  send_record.cpp)
set(ORVANE_outbound_SYSTEM_LIBS user32)
