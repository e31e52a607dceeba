#include "outbound/folder_reading.h"

namespace orvane {

std::vector<picture::ReadItem> ReadItemsOneByOne(const DispatchDriver& items, outlook::DispId subjectMember,
                                                 const picture::FolderPicture& known) {
  std::vector<picture::ReadItem> read;
  // The count is read once; a collection that shrinks meanwhile fails the read at its end.
  const int32_t count = items.GetInt32(outlook::kCount);
  for (int32_t index = 1; index <= count; ++index) {
    const DispatchDriver item = items.InvokeForObject(outlook::kItem, Variant::Int32(index));
    picture::ReadItem entry{item.GetText(outlook::kEntryId), std::nullopt};
    if (known.NeedsSubject(entry.id)) entry.subject = item.GetText(subjectMember);
    read.push_back(std::move(entry));
  }
  return read;
}

}  // namespace orvane
