#include "structcodec.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "BASE64_API.h"
#include "codec_request.h"

namespace codec {

namespace {

// ---- Packed fields -----------------------------------------------------------

const unsigned char* At(const void* base, unsigned offset) {
  return static_cast<const unsigned char*>(base) + offset;
}

unsigned char* At(void* base, unsigned offset) {
  return static_cast<unsigned char*>(base) + offset;
}

// An integer field of 1, 2 or 4 bytes, zero-extended.
uint32_t ReadInteger(const unsigned char* field, unsigned size) {
  switch (size) {
    case 1:
      return *field;
    case 2: {
      uint16_t value;
      std::memcpy(&value, field, sizeof value);
      return value;
    }
    default: {
      uint32_t value;
      std::memcpy(&value, field, sizeof value);
      return value;
    }
  }
}

template <typename T = void>
T* ReadPointer(const unsigned char* field) {
  T* pointer;
  std::memcpy(&pointer, field, sizeof pointer);
  return pointer;
}

void WritePointer(unsigned char* field, const void* pointer) {
  std::memcpy(field, &pointer, sizeof pointer);
}

// The length or count that another member of the structure holds.
uint32_t Related(const void* base, const Field& field) {
  return ReadInteger(At(base, field.offset), field.size);
}

// ---- Request side ------------------------------------------------------------

Json::Value SignedInteger(uint32_t value) { return Json::Value(static_cast<Json::Int>(value)); }

// The strings of an XFS extra list, up to the empty one that ends it.
Json::Value StringList(const char* list) {
  if (list == nullptr) return Json::Value();
  Json::Value array(Json::arrayValue);
  for (const char* text = list; *text != '\0'; text += std::strlen(text) + 1) array.append(text);
  return array;
}

// count integers of entrySize bytes each.
Json::Value Integers(const unsigned char* entries, size_t count, unsigned entrySize) {
  Json::Value array(Json::arrayValue);
  for (size_t i = 0; i < count; ++i)
    array.append(SignedInteger(ReadInteger(entries + i * entrySize, entrySize)));
  return array;
}

Json::Value WordList(const WORD* list) {
  if (list == nullptr) return Json::Value();
  Json::Value array(Json::arrayValue);
  for (size_t i = 0;; ++i) {
    WORD entry;
    std::memcpy(&entry, list + i, sizeof entry);
    if (entry == 0) break;
    array.append(entry);
  }
  return array;
}

Json::Value Base64(const void* data, size_t length) {
  return Json::Value(
      base64_encode(static_cast<const unsigned char*>(data), static_cast<unsigned int>(length)));
}

// count structure pointers, each of which must be there.
Json::Value CountedStructures(const Member& member, const void* list, uint32_t count) {
  if (count == 0) return Json::Value();
  if (list == nullptr) CannotFormat(member.name);
  Json::Value array(Json::arrayValue);
  for (uint32_t i = 0; i < count; ++i) {
    const void* entry = ReadPointer(At(list, i * sizeof(void*)));
    if (entry == nullptr) CannotFormat(member.name);
    array.append(Format(*member.spec.nested, entry));
  }
  return array;
}

void FormatMember(const Member& member, const void* base, Json::Value& object) {
  const unsigned char* field = At(base, member.offset);
  const RuleSpec& spec = member.spec;
  switch (spec.rule) {
    case Rule::kInt:
    case Rule::kBool:
    case Rule::kBoolAsInt:
      object[member.name] = SignedInteger(ReadInteger(field, member.size));
      break;
    case Rule::kUnsigned:
      object[member.name] = Json::Value(static_cast<Json::UInt>(ReadInteger(field, member.size)));
      break;
    case Rule::kString:
    case Rule::kStringAlways:
      object[member.name] = OptionalString(ReadPointer<const char>(field));
      break;
    case Rule::kRequiredString:
      object[member.name] = RequiredString(member.name, ReadPointer<const char>(field));
      break;
    case Rule::kExtra:
      object[member.name] = StringList(ReadPointer<const char>(field));
      break;
    case Rule::kFixed:
      object[member.name] = Integers(field, member.size / member.entrySize, member.entrySize);
      break;
    case Rule::kFixedText:
      object[member.name] = std::string(reinterpret_cast<const char*>(field),
                                        strnlen(reinterpret_cast<const char*>(field), member.size));
      break;
    case Rule::kWordList:
      object[member.name] = WordList(ReadPointer<const WORD>(field));
      break;
    case Rule::kCountedList: {
      const unsigned char* list = ReadPointer<const unsigned char>(field);
      object[member.name] = list == nullptr
                                ? Json::Value()
                                : Integers(list, Related(base, spec.related), member.entrySize);
      break;
    }
    case Rule::kBinary: {
      BinaryMember presence =
          spec.presence == Presence::kAlways ? BinaryMember::kAlways : BinaryMember::kWhenNotEmpty;
      if (!SetBinary(object, member.name, ReadPointer<const BYTE>(field),
                     Related(base, spec.related), presence)) {
        CannotFormat(member.name);
      }
      break;
    }
    case Rule::kByte:
    case Rule::kBytes:
      object[member.name] = Base64(field, member.size);
      break;
    case Rule::kNested: {
      const void* nested = ReadPointer(field);
      object[member.name] = nested == nullptr ? Json::Value() : Format(*spec.nested, nested);
      break;
    }
    case Rule::kArray:
      object[member.name] = FormatArray(*spec.nested, ReadPointer(field));
      break;
    case Rule::kCountedArray:
      object[member.name] =
          CountedStructures(member, ReadPointer(field), Related(base, spec.related));
      break;
    case Rule::kNotSent:
      object[member.name] = 0;
      break;
  }
}

// ---- Reply side --------------------------------------------------------------

// The points a member takes in the decoder's order.
unsigned PointsOf(const Member& member) {
  switch (member.spec.rule) {
    case Rule::kString:
    case Rule::kRequiredString:
    case Rule::kStringAlways:
    case Rule::kExtra:
    case Rule::kWordList:
    case Rule::kCountedList:
    case Rule::kBinary:
      return 1;
    case Rule::kNested:
      return 1 + AllocationPoints(*member.spec.nested);
    case Rule::kArray:
    case Rule::kCountedArray:
      return 2 + AllocationPoints(*member.spec.nested);
    default:
      return 0;
  }
}

// One run of a decoder over a description tree.
class Walk {
 public:
  Walk(Decoder& decoder, const UnformatOptions& options) : m_decoder(decoder), m_options(options) {}

  // The line of the point numbered `number`, or a member's own.
  AllocPoint Point(AllocPoint own, unsigned number) const {
    if (m_options.uniform) return m_options.top;
    return own.IsAuto() ? AllocPoint(static_cast<int>(number)) : own;
  }

  // Fills block from in; the structure's points are numbered from first.
  void Members(const Object& in, const Description& structure, void* block, unsigned first) {
    for (const Member& member : structure) {
      if (!m_decoder.ok()) return;
      DecodeMember(in, member, block, first);
      first += PointsOf(member);
    }
  }

  // A pointer block and one block per element; the elements' points are
  // numbered from first.
  void* Elements(const Array& items, const Description& element, AllocPoint block, AllocPoint entry,
                 unsigned first) {
    return m_decoder.Blocks(
        items, element.size, block, entry,
        [&](const Object& item, void* entryBlock) { Members(item, element, entryBlock, first); });
  }

 private:
  void DecodeMember(const Object& in, const Member& member, void* base, unsigned number) {
    unsigned char* field = At(base, member.offset);
    const RuleSpec& spec = member.spec;
    AllocPoint point = Point(spec.point, number);
    switch (spec.rule) {
      case Rule::kInt:
      case Rule::kUnsigned:
      case Rule::kBoolAsInt:
        StoreInteger(field, member.size, in.Int(member.name));
        break;
      case Rule::kBool:
        StoreInteger(field, member.size,
                     m_options.boolsAsInt ? in.Int(member.name) : in.Bool(member.name));
        break;
      case Rule::kString:
      case Rule::kRequiredString:
        WritePointer(field, in.String(member.name, point));
        break;
      case Rule::kStringAlways:
        WritePointer(field, in.Has(member.name) ? in.String(member.name, point)
                                                : m_decoder.CopyText("", 0, point));
        break;
      case Rule::kExtra:
        WritePointer(field, in.Extra(member.name, point));
        break;
      case Rule::kFixed:
        in.FixedInto(member.name, field, member.size / member.entrySize, member.entrySize);
        break;
      case Rule::kFixedText:
        in.TextInto(member.name, reinterpret_cast<CHAR*>(field), member.size);
        break;
      case Rule::kWordList:
        WritePointer(field, in.WordList(member.name, point));
        break;
      case Rule::kCountedList:
        WritePointer(field, CountedList(in, member, Related(base, spec.related), point));
        break;
      case Rule::kBinary:
        WritePointer(field, Binary(in, member, Related(base, spec.related), point));
        break;
      case Rule::kByte:
        StoreInteger(field, member.size, in.Byte(member.name));
        break;
      case Rule::kBytes:
        in.BytesInto(member.name, field, member.size);
        break;
      case Rule::kNested:
        WritePointer(field, Nested(in, member, number));
        break;
      case Rule::kArray: {
        Array items = in.Items(member.name);
        WritePointer(field, Elements(items, *spec.nested, point,
                                     Point(spec.elementPoint, number + 1), number + 2));
        break;
      }
      case Rule::kCountedArray: {
        uint32_t count = Related(base, spec.related);
        Array items = in.Items(member.name);
        // The count decides: a list of another length is no list.
        if (count == 0 || items.size() != count) break;
        WritePointer(field, Elements(items, *spec.nested, point,
                                     Point(spec.elementPoint, number + 1), number + 2));
        break;
      }
      case Rule::kNotSent:
        break;
    }
  }

  // A block of count integers, filled from the array in order, and one
  // more that stays 0, so that a reader walking to the first 0 stops inside
  // the block; none for a missing or empty array, or a count no reply can
  // fill.
  void* CountedList(const Object& in, const Member& member, uint32_t count, AllocPoint point) {
    Array items = in.Items(member.name);
    size_t bytes = (static_cast<size_t>(count) + 1) * member.entrySize;
    if (items.size() == 0 || count == 0 || bytes > kLargestBinary) return nullptr;
    unsigned char* block = static_cast<unsigned char*>(m_decoder.Allocate(bytes, point));
    for (size_t i = 0; block != nullptr && i < count && i < items.size() && m_decoder.ok(); ++i) {
      StoreInteger(block + i * member.entrySize, member.entrySize, items.Int(i));
    }
    return block;
  }

  void* Binary(const Object& in, const Member& member, uint32_t length, AllocPoint point) {
    switch (member.spec.alloc) {
      case Alloc::kMatchFirst:
        return in.BinaryMatchFirst(member.name, length, point);
      case Alloc::kExact: {
        if (!in.Has(member.name)) return nullptr;
        bool matched = false;
        LPBYTE block = in.BinaryBlockFirst(member.name, length, point, &matched);
        // Data of another length than the one declared is refused.
        if (m_decoder.ok() && !matched) {
          m_decoder.Fail(
              (std::string(" vect.size() !=lpBuffer->") + member.spec.related.name + "!").c_str());
        }
        return block;
      }
      case Alloc::kBlockFirst:
        break;
    }
    return in.BinaryBlockFirst(member.name, length, point);
  }

  void* Nested(const Object& in, const Member& member, unsigned number) {
    Object child = in.Child(member.name);
    if (!m_decoder.ok() || (!child && member.spec.presence != Presence::kAlways)) return nullptr;
    void* block = m_decoder.Allocate(member.spec.nested->size, Point(member.spec.point, number));
    if (block != nullptr) Members(child, *member.spec.nested, block, number + 1);
    return block;
  }

  Decoder& m_decoder;
  const UnformatOptions& m_options;
};

}  // namespace

// ---- Public --------------------------------------------------------------------

Json::Value Format(const Description& structure, const void* data) {
  Json::Value object(Json::objectValue);
  for (const Member& member : structure) FormatMember(member, data, object);
  return object;
}

Json::Value FormatArray(const Description& element, const void* list) {
  Json::Value array(Json::arrayValue);
  for (size_t i = 0; list != nullptr; ++i) {
    const void* entry = ReadPointer(At(list, static_cast<unsigned>(i * sizeof(void*))));
    if (entry == nullptr) break;
    array.append(Format(element, entry));
  }
  return array;
}

int NoOutput(LPWFSRESULT result) {
  if (result != nullptr) result->lpBuffer = nullptr;
  return 1;
}

unsigned AllocationPoints(const Description& structure) {
  unsigned points = 0;
  for (const Member& member : structure) points += PointsOf(member);
  return points;
}

int Unformat(const char* decoderName, const Description& structure, LPWFSRESULT result,
             const Json::Value* value, const UnformatOptions& options) {
  Decoder decoder(decoderName, result);
  Object in = decoder.InputObject(value);
  if (!in) return 0;
  void* block = decoder.Allocate(structure.size, options.top);
  if (block == nullptr) return 0;
  result->lpBuffer = block;
  Walk(decoder, options).Members(in, structure, block, 1);
  return decoder.Result();
}

int UnformatArray(const char* decoderName, const Description& element, LPWFSRESULT result,
                  const Json::Value* value, const UnformatOptions& options) {
  Decoder decoder(decoderName, result);
  Array items = decoder.InputArray(value);
  if (!items) return 0;
  Walk walk(decoder, options);
  void* list = walk.Elements(items, element, options.top, walk.Point(options.element, 1), 2);
  if (list != nullptr) result->lpBuffer = list;
  return decoder.Result();
}

int UnformatWordValue(const char* decoderName, LPWFSRESULT result, const Json::Value* value) {
  Decoder decoder(decoderName, result);
  if (!decoder.HasInput(value)) return 0;
  WORD word = static_cast<WORD>(decoder.Int(*value, "lpBuffer"));
  if (!decoder.ok()) return 0;
  WORD* block = decoder.Output<WORD>();
  if (block != nullptr) *block = word;
  return decoder.Result();
}

int UnformatBoolValue(const char* decoderName, LPWFSRESULT result, const Json::Value* value) {
  Decoder decoder(decoderName, result);
  if (!decoder.HasInput(value)) return 0;
  BOOL flag = decoder.Bool(*value, "lpBuffer");
  if (!decoder.ok()) return 0;
  BOOL* block = decoder.Output<BOOL>();
  if (block != nullptr) std::memcpy(block, &flag, sizeof flag);
  return decoder.Result();
}

int UnformatTextValue(const char* decoderName, AllocPoint point, LPWFSRESULT result,
                      const Json::Value* value) {
  Decoder decoder(decoderName, result);
  if (!decoder.HasInput(value)) return 0;
  LPSTR text = decoder.String(*value, "lpBuffer", point);
  if (text != nullptr) result->lpBuffer = text;
  return decoder.Result();
}

}  // namespace codec
