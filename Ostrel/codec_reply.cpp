#include "codec_reply.h"

#include <cstdint>
#include <limits>

#include "BASE64_API.h"
#include "corvid.h"
#include "kestrel.h"

namespace codec {

namespace {

const Json::Value& NullValue() {
  static const Json::Value null;
  return null;
}

constexpr long long kLowest = std::numeric_limits<int32_t>::min();
constexpr long long kHighest = std::numeric_limits<uint32_t>::max();

// A JSON number within the range of a signed or unsigned 32-bit value, cut
// toward zero; true and false count as 1 and 0, null as 0.
bool ToInteger(const Json::Value& value, long long* out) {
  switch (value.type()) {
    case Json::nullValue:
      *out = 0;
      return true;
    case Json::booleanValue:
      *out = value.asBool() ? 1 : 0;
      return true;
    case Json::intValue: {
      Json::Int64 number = value.asInt64();
      if (number < kLowest || number > kHighest) return false;
      *out = number;
      return true;
    }
    case Json::uintValue: {
      Json::UInt64 number = value.asUInt64();
      if (number > static_cast<Json::UInt64>(kHighest)) return false;
      *out = static_cast<long long>(number);
      return true;
    }
    case Json::realValue: {
      double number = value.asDouble();
      if (!(number > static_cast<double>(kLowest) - 1.0 &&
            number < static_cast<double>(kHighest) + 1.0)) {
        return false;
      }
      *out = static_cast<long long>(number);
      return true;
    }
    default:
      return false;
  }
}

bool ToBool(const Json::Value& value, BOOL* out) {
  switch (value.type()) {
    case Json::nullValue:
      *out = FALSE;
      return true;
    case Json::booleanValue:
      *out = value.asBool() ? TRUE : FALSE;
      return true;
    case Json::intValue:
      *out = value.asInt64() != 0 ? TRUE : FALSE;
      return true;
    case Json::uintValue:
      *out = value.asUInt64() != 0 ? TRUE : FALSE;
      return true;
    case Json::realValue:
      *out = value.asDouble() != 0.0 ? TRUE : FALSE;
      return true;
    default:
      return false;
  }
}

bool IsIntegerZero(const Json::Value& value) {
  return (value.type() == Json::intValue && value.asInt64() == 0) ||
         (value.type() == Json::uintValue && value.asUInt64() == 0);
}

}  // namespace

bool NoInput(const Json::Value* input) { return input == nullptr || IsIntegerZero(*input); }

void StoreInteger(void* field, size_t size, long long value) {
  switch (size) {
    case 1: {
      uint8_t entry = static_cast<uint8_t>(value);
      std::memcpy(field, &entry, sizeof entry);
      break;
    }
    case 2: {
      uint16_t entry = static_cast<uint16_t>(value);
      std::memcpy(field, &entry, sizeof entry);
      break;
    }
    default: {
      uint32_t entry = static_cast<uint32_t>(value);
      std::memcpy(field, &entry, sizeof entry);
      break;
    }
  }
}

// ---- AllocPoint -------------------------------------------------------------

void AllocPoint::Log(const char* decoder) const {
  if (m_number == kFirst) {
    tracelog(4, "Ostrel", "%s allocate buffer failed!", decoder);
  } else if (m_number == kText) {
    tracelog(4, "Ostrel", "%s%s", decoder, m_suffix != nullptr ? m_suffix : "");
  } else {
    tracelog(4, "Ostrel", "%s allocate buffer failed %d!", decoder, m_number);
  }
}

// ---- Decoder ----------------------------------------------------------------

void Decoder::Fail(const char* suffix) {
  if (m_failed) return;
  tracelog(4, "Ostrel", "%s%s", m_name, suffix != nullptr ? suffix : "");
  m_failed = true;
}

void Decoder::WrongType(const char* member) {
  if (m_failed) return;
  tracelog(4, "Ostrel", "%s member \"%s\" has a wrong JSON type", m_name,
           member != nullptr ? member : "");
  m_failed = true;
}

bool Decoder::HasInput(const Json::Value* input) {
  if (m_failed) return false;
  if (NoInput(input)) {
    Fail(" input Data is NULL");
    return false;
  }
  return true;
}

Object Decoder::InputObject(const Json::Value* input) {
  if (!HasInput(input)) return Object();
  if (!input->isObject()) {
    WrongType("lpBuffer");
    return Object();
  }
  return Object(this, input);
}

Array Decoder::InputArray(const Json::Value* input) {
  if (!HasInput(input)) return Array();
  if (!input->isArray()) {
    WrongType("lpBuffer");
    return Array();
  }
  return Array(this, input, "lpBuffer");
}

void* Decoder::Allocate(size_t size, AllocPoint point) {
  if (m_failed) return nullptr;
  LPVOID block = nullptr;
  if (m_result == nullptr || size > std::numeric_limits<ULONG>::max() ||
      WFMAllocateMore(static_cast<ULONG>(size), m_result, &block) != WFS_SUCCESS ||
      block == nullptr) {
    point.Log(m_name);
    m_failed = true;
    return nullptr;
  }
  return block;
}

long long Decoder::Int(const Json::Value& value, const char* what) {
  long long number = 0;
  if (m_failed) return 0;
  if (!ToInteger(value, &number)) {
    WrongType(what);
    return 0;
  }
  return number;
}

BOOL Decoder::Bool(const Json::Value& value, const char* what) {
  BOOL flag = FALSE;
  if (m_failed) return FALSE;
  if (!ToBool(value, &flag)) {
    WrongType(what);
    return FALSE;
  }
  return flag;
}

LPSTR Decoder::String(const Json::Value& value, const char* what, AllocPoint point) {
  if (m_failed || value.isNull()) return nullptr;
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!value.getString(&begin, &end)) {
    WrongType(what);
    return nullptr;
  }
  return CopyText(begin, static_cast<size_t>(end - begin), point);
}

LPSTR Decoder::CopyText(const char* text, size_t length, AllocPoint point) {
  char* block = Allocate<char>(point, length + 1);
  if (block != nullptr && length > 0) std::memcpy(block, text, length);
  return block;
}

LPSTR Decoder::StringList(const Array& items, AllocPoint point) {
  size_t count = items.size();
  if (count == 0) return nullptr;
  size_t total = 1;
  for (size_t i = 0; i < count; ++i) {
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!items[i].getString(&begin, &end)) {
      WrongType(items.name());
      return nullptr;
    }
    total += static_cast<size_t>(end - begin) + 1;
  }
  char* block = Allocate<char>(point, total);
  if (block == nullptr) return nullptr;
  char* next = block;
  for (size_t i = 0; i < count; ++i) {
    const char* begin = nullptr;
    const char* end = nullptr;
    items[i].getString(&begin, &end);
    size_t length = static_cast<size_t>(end - begin);
    std::memcpy(next, begin, length);
    next += length + 1;  // the NUL comes from the zero fill
  }
  return block;
}

LPWORD Decoder::WordList(const Array& items, AllocPoint point) {
  size_t count = items.size();
  if (count == 0) return nullptr;
  // Every entry is checked before the block is taken, so that a wrong type
  // costs no allocation.
  for (size_t i = 0; i < count; ++i) {
    long long ignored = 0;
    if (!ToInteger(items[i], &ignored)) {
      WrongType(items.name());
      return nullptr;
    }
  }
  LPWORD list = Allocate<WORD>(point, count + 1);
  if (list == nullptr) return nullptr;
  for (size_t i = 0; i < count; ++i) list[i] = static_cast<WORD>(items.Int(i));
  return list;
}

// ---- Array --------------------------------------------------------------------

const Json::Value& Array::operator[](size_t i) const {
  if (!*this || i >= m_value->size()) return NullValue();
  return (*m_value)[static_cast<Json::ArrayIndex>(i)];
}

long long Array::Int(size_t i) const {
  if (!*this) return 0;
  return m_decoder->Int((*this)[i], m_name);
}

Object Array::At(size_t i) const {
  if (!*this) return Object();
  const Json::Value& entry = (*this)[i];
  if (entry.isNull()) return Object(m_decoder, nullptr);
  if (!entry.isObject()) {
    m_decoder->WrongType(m_name);
    return Object();
  }
  return Object(m_decoder, &entry);
}

// ---- Object -------------------------------------------------------------------

const Json::Value& Object::Get(const char* member) const {
  if (!*this || member == nullptr) return NullValue();
  const Json::Value* found = m_value->find(member, member + std::strlen(member));
  return found != nullptr ? *found : NullValue();
}

long long Object::Int(const char* member) const {
  if (!*this) return 0;
  return m_decoder->Int(Get(member), member);
}

BOOL Object::Bool(const char* member) const {
  if (!*this) return FALSE;
  return m_decoder->Bool(Get(member), member);
}

LPSTR Object::String(const char* member, AllocPoint point) const {
  if (!*this) return nullptr;
  return m_decoder->String(Get(member), member, point);
}

LPSTR Object::Extra(const char* member, AllocPoint point) const {
  if (!*this) return nullptr;
  return m_decoder->StringList(Items(member), point);
}

LPWORD Object::WordList(const char* member, AllocPoint point) const {
  if (!*this) return nullptr;
  return m_decoder->WordList(Items(member), point);
}

bool Object::Bytes(const char* member, std::vector<unsigned char>* bytes) const {
  const Json::Value& value = Get(member);
  if (value.isNull() || !m_decoder->ok()) return false;
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!value.getString(&begin, &end)) {
    m_decoder->WrongType(member);
    return false;
  }
  *bytes = base64_decode(begin, static_cast<size_t>(end - begin));
  return true;
}

BYTE Object::Byte(const char* member) const {
  std::vector<unsigned char> bytes;
  if (!Bytes(member, &bytes) || bytes.empty()) return 0;
  return bytes[0];
}

LPBYTE Object::BinaryBlockFirst(const char* member, size_t length, AllocPoint point,
                                bool* matched) const {
  if (matched != nullptr) *matched = false;
  const Json::Value& value = Get(member);
  if (value.isNull() || !m_decoder->ok()) return nullptr;
  if (!value.isString()) {
    m_decoder->WrongType(member);
    return nullptr;
  }
  if (length > kLargestBinary) return nullptr;
  LPBYTE block = nullptr;
  if (length > 0) {
    block = m_decoder->Allocate<BYTE>(point, length);
    if (block == nullptr) return nullptr;
  }
  std::vector<unsigned char> bytes;
  Bytes(member, &bytes);
  if (bytes.size() != length) return block;
  if (length > 0) std::memcpy(block, bytes.data(), length);
  if (matched != nullptr) *matched = true;
  return block;
}

LPBYTE Object::BinaryMatchFirst(const char* member, size_t length, AllocPoint point) const {
  std::vector<unsigned char> bytes;
  if (!Bytes(member, &bytes) || bytes.size() != length || length == 0) return nullptr;
  LPBYTE block = m_decoder->Allocate<BYTE>(point, length);
  if (block != nullptr) std::memcpy(block, bytes.data(), length);
  return block;
}

void Object::FixedInto(const char* member, void* field, size_t count, size_t entrySize) const {
  Array items = Items(member);
  size_t taken = items.size() < count ? items.size() : count;
  for (size_t i = 0; i < taken && m_decoder->ok(); ++i) {
    if (!items[i].isNull()) {
      StoreInteger(static_cast<unsigned char*>(field) + i * entrySize, entrySize, items.Int(i));
    }
  }
}

void Object::TextInto(const char* member, CHAR* field, size_t size) const {
  const Json::Value& value = Get(member);
  if (value.isNull() || !m_decoder->ok() || size == 0) return;
  const char* begin = nullptr;
  const char* end = nullptr;
  if (!value.getString(&begin, &end)) {
    m_decoder->WrongType(member);
    return;
  }
  size_t length = static_cast<size_t>(end - begin);
  if (length > size - 1) length = size - 1;
  std::memcpy(field, begin, length);
  field[length] = '\0';
}

void Object::BytesInto(const char* member, void* field, size_t size) const {
  std::vector<unsigned char> bytes;
  if (Bytes(member, &bytes) && bytes.size() == size) std::memcpy(field, bytes.data(), size);
}

Object Object::Child(const char* member) const {
  const Json::Value& value = Get(member);
  if (value.isNull() || !m_decoder->ok()) return Object();
  if (!value.isObject()) {
    m_decoder->WrongType(member);
    return Object();
  }
  return Object(m_decoder, &value);
}

Array Object::Items(const char* member) const {
  const Json::Value& value = Get(member);
  if (value.isNull() || !m_decoder->ok()) return Array();
  if (!value.isArray()) {
    m_decoder->WrongType(member);
    return Array();
  }
  return Array(m_decoder, &value, member);
}

}  // namespace codec
