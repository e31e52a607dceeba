#include "testbed/outlook/store_file.h"

#include "base/unique_resource.h"

#include <windows.h>

#include <cstring>
#include <sstream>

namespace orvane {

namespace outlook_standin {
namespace {

constexpr char kHeader[] = "OutlookStandinStore 1";
// No store file of ours comes near this; a bigger one is not read.
constexpr LONGLONG kLargestFile = 64LL * 1024 * 1024;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  return bytes;
}

bool Wide(const std::string& bytes, std::wstring* text) {
  text->clear();
  if (bytes.empty()) return true;
  const int size =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (size <= 0) return false;
  text->resize(static_cast<size_t>(size));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text->data(),
                             size) == size;
}

// A text on one line: backslash, line feed and carriage return escaped.
std::string Escape(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bool Unescape(const std::string& escaped, std::string* text) {
  text->clear();
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\') {
      *text += escaped[i];
      continue;
    }
    if (++i == escaped.size()) return false;
    switch (escaped[i]) {
      case '\\': *text += '\\'; break;
      case 'n': *text += '\n'; break;
      case 'r': *text += '\r'; break;
      case 's': *text += ' '; break;
      default: return false;
    }
  }
  return true;
}

// A date keeps every bit of its double, whatever the locale.
std::string DateBits(double date) {
  uint64_t bits = 0;
  std::memcpy(&bits, &date, sizeof bits);
  std::string digits(16, '0');
  for (size_t i = digits.size(); i-- > 0; bits >>= 4) digits[i] = "0123456789abcdef"[bits & 0xF];
  return digits;
}

bool ParseHex(const std::string& digits, size_t most, uint64_t* value) {
  if (digits.empty() || digits.size() > most) return false;
  *value = 0;
  for (const char c : digits) {
    const char* const all = "0123456789abcdef";
    const char* found = c != '\0' ? std::strchr(all, c) : nullptr;
    if (!found) return false;
    *value = (*value << 4) | static_cast<uint64_t>(found - all);
  }
  return true;
}

bool ParseDate(const std::string& digits, double* date) {
  uint64_t bits = 0;
  if (!ParseHex(digits, 16, &bits)) return false;
  std::memcpy(date, &bits, sizeof bits);
  return true;
}

bool ParseNumber(const std::string& text, int64_t lowest, int64_t highest, int64_t* number) {
  if (text.empty() || text.size() > 12) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  if (value < lowest || value > highest) return false;
  *number = value;
  return true;
}

char TypeLetter(ValueType type) {
  switch (type) {
    case ValueType::Text: return 't';
    case ValueType::Date: return 'd';
    case ValueType::Bool: return 'b';
    case ValueType::Int32: break;
  }
  return 'i';
}

std::string ValueText(const Value& value) {
  switch (value.Type()) {
    case ValueType::Text: return Escape(Utf8(value.AsText()));
    case ValueType::Date: return DateBits(value.AsDate());
    case ValueType::Bool: return value.AsBool() ? "1" : "0";
    case ValueType::Int32: break;
  }
  return std::to_string(value.AsInt32());
}

bool ParseValue(char type, const std::string& text, Value* value) {
  int64_t number = 0;
  switch (type) {
    case 't': {
      std::string bytes;
      std::wstring wide;
      if (!Unescape(text, &bytes) || !Wide(bytes, &wide)) return false;
      *value = Value::Text(std::move(wide));
      return true;
    }
    case 'd': {
      double date = 0;
      if (!ParseDate(text, &date)) return false;
      *value = Value::Date(date);
      return true;
    }
    case 'b':
      if (text != "0" && text != "1") return false;
      *value = Value::Bool(text == "1");
      return true;
    case 'i':
      if (!ParseNumber(text, INT32_MIN, INT32_MAX, &number)) return false;
      *value = Value::Int32(static_cast<int32_t>(number));
      return true;
    default: return false;
  }
}

void WriteValues(std::ostringstream& out, char prefix, const ValueMap& values) {
  for (const auto& [id, value] : values) {
    out << prefix << ' ' << std::hex << id << std::dec << ' ' << TypeLetter(value.Type()) << ' ' << ValueText(value)
        << '\n';
  }
}

// "<word> <rest>": the first word and what follows its one space.
std::string Word(const std::string& line, std::string* rest) {
  const size_t space = line.find(' ');
  *rest = space == std::string::npos ? std::string() : line.substr(space + 1);
  return line.substr(0, space);
}

bool ReadValueLine(const std::string& rest, ValueMap* values) {
  std::string afterId;
  std::string typeAndValue;
  uint64_t id = 0;
  if (!ParseHex(Word(rest, &afterId), 8, &id)) return false;
  const std::string type = Word(afterId, &typeAndValue);
  Value value;
  if (type.size() != 1 || !ParseValue(type[0], typeAndValue, &value)) return false;
  (*values)[static_cast<DispId>(id)] = value;
  return true;
}

// "u <type> <name> <value type> <value>": one user property; its name has its spaces escaped.
void WriteUserFields(std::ostringstream& out, const UserFields& fields) {
  for (const UserField& field : fields) {
    std::string name;
    for (const char c : Escape(Utf8(field.name))) name += c == ' ' ? std::string("\\s") : std::string(1, c);
    out << "u " << field.type << ' ' << name << ' ' << TypeLetter(field.value.Type()) << ' ' << ValueText(field.value)
        << '\n';
  }
}

bool ReadUserFieldLine(const std::string& rest, UserFields* fields) {
  std::string afterType;
  std::string afterName;
  std::string valueText;
  int64_t type = 0;
  if (!ParseNumber(Word(rest, &afterType), 0, INT32_MAX, &type)) return false;
  std::string bytes;
  UserField field;
  field.type = static_cast<int32_t>(type);
  if (!Unescape(Word(afterType, &afterName), &bytes) || bytes.empty() || !Wide(bytes, &field.name)) return false;
  const std::string valueType = Word(afterName, &valueText);
  if (valueType.size() != 1 || !ParseValue(valueType[0], valueText, &field.value)) return false;
  fields->push_back(std::move(field));
  return true;
}

bool ReadItemLine(const std::string& rest, ItemImage* item) {
  std::istringstream fields(rest);
  int kind = -1;
  int hasPattern = -1;
  int recurring = -1;
  if (!(fields >> kind >> hasPattern >> recurring) || kind < 0 || kind > 2 || hasPattern < 0 || hasPattern > 1 ||
      recurring < 0 || recurring > 2) {
    return false;
  }
  item->kind = static_cast<ItemKind>(kind);
  item->hasPattern = hasPattern == 1;
  // 2: a recurring copy of a completed occurrence.
  item->recurring = recurring >= 1;
  item->deadOccurrence = recurring == 2;
  return true;
}

}  // namespace

std::string WriteStoreText(const StoreImage& store) {
  std::ostringstream out;
  out << kHeader << '\n';
  out << "store " << std::hex << store.storeTag << std::dec << '\n';
  out << "serial " << store.lastSerial << '\n';
  out << "modified " << DateBits(store.lastModification) << '\n';
  for (const ItemImage& item : store.items) {
    out << "item " << static_cast<int>(item.kind) << ' ' << (item.hasPattern ? 1 : 0) << ' '
        << (item.deadOccurrence ? 2
            : item.recurring    ? 1
                                : 0)
        << '\n';
    WriteValues(out, 'v', item.values);
    WriteValues(out, 'p', item.pattern);
    WriteUserFields(out, item.userFields);
  }
  out << "end\n";
  return out.str();
}

bool ReadStoreText(const std::string& text, StoreImage* store) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kHeader) return false;
  StoreImage read;
  bool ended = false;
  int64_t number = 0;
  uint64_t hex = 0;
  while (!ended && std::getline(lines, line)) {
    std::string rest;
    const std::string word = Word(line, &rest);
    if (word == "store" && ParseHex(rest, 8, &hex)) {
      read.storeTag = static_cast<uint32_t>(hex);
    } else if (word == "serial" && ParseNumber(rest, 0, UINT32_MAX, &number)) {
      read.lastSerial = static_cast<uint32_t>(number);
    } else if (word == "modified" && ParseDate(rest, &read.lastModification)) {
    } else if (word == "item") {
      read.items.emplace_back();
      if (!ReadItemLine(rest, &read.items.back())) return false;
    } else if ((word == "v" || word == "p") && !read.items.empty()) {
      ItemImage& item = read.items.back();
      if (!ReadValueLine(rest, word == "v" ? &item.values : &item.pattern)) return false;
    } else if (word == "u" && !read.items.empty()) {
      // Files written before items had user properties have no such line.
      if (!ReadUserFieldLine(rest, &read.items.back().userFields)) return false;
    } else if (word == "end" && rest.empty()) {
      ended = true;
    } else {
      return false;
    }
  }
  // A file cut short lacks its last line.
  if (!ended || read.storeTag == 0) return false;
  *store = std::move(read);
  return true;
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes, bool* missing) {
  *missing = false;
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestFile) return false;
  bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  return bytes->empty() || (ReadFile(file.Get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
                            read == bytes->size());
}

bool ReplaceFile(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + L".tmp";
  {
    const UniqueHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file.Get())) {
      return false;
    }
  }
  return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace outlook_standin

}  // namespace orvane
