#include "described.h"

#include <cstdint>
#include <cstring>

namespace described {

namespace {

using codec::Member;
using codec::Rule;

// Arrays and nested structures end here, so that a structure that refers to
// itself cannot fill forever.
constexpr int kDeepest = 4;

uint32_t ReadInteger(const unsigned char* field, unsigned size) {
  uint32_t value = 0;
  if (size == 1) return *field;
  if (size == 2) {
    uint16_t narrow;
    std::memcpy(&narrow, field, sizeof narrow);
    return narrow;
  }
  std::memcpy(&value, field, sizeof value);
  return value;
}

void WriteInteger(unsigned char* field, unsigned size, uint32_t value) {
  if (size == 1) {
    *field = static_cast<unsigned char>(value);
  } else if (size == 2) {
    uint16_t narrow = static_cast<uint16_t>(value);
    std::memcpy(field, &narrow, sizeof narrow);
  } else {
    std::memcpy(field, &value, sizeof value);
  }
}

const unsigned char* Pointer(const void* base, unsigned offset) {
  const unsigned char* pointer;
  std::memcpy(&pointer, static_cast<const unsigned char*>(base) + offset, sizeof pointer);
  return pointer;
}

void SetPointer(unsigned char* base, unsigned offset, const void* pointer) {
  std::memcpy(base + offset, &pointer, sizeof pointer);
}

const unsigned char* Entry(const unsigned char* list, size_t i) {
  return Pointer(list, static_cast<unsigned>(i * sizeof(void*)));
}

// The extra list's strings as one text with visible separators.
std::string ListText(const char* list) {
  std::string text;
  for (const char* entry = list; entry != nullptr && *entry != '\0';
       entry += std::strlen(entry) + 1) {
    text += std::string(entry) + "|";
  }
  return text;
}

std::string WordsText(const unsigned char* list) {
  std::string text;
  for (size_t i = 0; list != nullptr; ++i) {
    uint32_t word = ReadInteger(list + 2 * i, 2);
    if (word == 0) break;
    text += std::to_string(word) + ",";
  }
  return text;
}

}  // namespace

Sample::Sample(const codec::Description& structure) : m_root(Block(structure.size)) {
  Fill(structure, static_cast<unsigned char*>(m_root));
}

void* Sample::Block(size_t size) {
  m_blocks.emplace_back(size + 1, 0);
  return m_blocks.back().data();
}

void Sample::Fill(const codec::Description& structure, unsigned char* block) {
  ++m_depth;
  for (const Member& member : structure) FillMember(member, block);
  --m_depth;
}

void Sample::FillMember(const Member& member, unsigned char* base) {
  unsigned char* field = base + member.offset;
  const codec::RuleSpec& spec = member.spec;
  unsigned value = m_next++;
  switch (spec.rule) {
    case Rule::kInt:
    case Rule::kBoolAsInt:
      // The top bit of a 32-bit field travels too.
      WriteInteger(field, member.size, member.size == 4 ? 0x80000000u | value : value);
      break;
    case Rule::kUnsigned:
      WriteInteger(field, member.size, 0xF0000000u | value);
      break;
    case Rule::kBool:
      WriteInteger(field, member.size, 1);
      break;
    case Rule::kByte:
      *field = static_cast<unsigned char>(0x20 + value);
      break;
    case Rule::kString:
    case Rule::kRequiredString:
    case Rule::kStringAlways: {
      std::string text = std::string(member.name) + "-" + std::to_string(value);
      char* copy = static_cast<char*>(Block(text.size()));
      std::memcpy(copy, text.data(), text.size());
      SetPointer(base, member.offset, copy);
      break;
    }
    case Rule::kExtra: {
      static const char kList[] = "key=1\0other=two\0";
      SetPointer(base, member.offset, std::memcpy(Block(sizeof kList), kList, sizeof kList));
      break;
    }
    case Rule::kFixed:
      for (unsigned i = 0; i < member.size / member.entrySize; ++i) {
        WriteInteger(field + i * member.entrySize, member.entrySize, value + i);
      }
      break;
    case Rule::kFixedText: {
      std::string text = "text " + std::to_string(value);
      std::memcpy(field, text.data(), text.size() < member.size ? text.size() : member.size - 1);
      break;
    }
    case Rule::kBytes:
      for (unsigned i = 0; i < member.size; ++i) field[i] = static_cast<unsigned char>(value + i);
      break;
    case Rule::kWordList: {
      unsigned char* words = static_cast<unsigned char*>(Block(3 * 2));
      WriteInteger(words, 2, value);
      WriteInteger(words + 2, 2, value + 1);
      SetPointer(base, member.offset, words);
      break;
    }
    case Rule::kCountedList: {
      unsigned char* list = static_cast<unsigned char*>(Block(2 * member.entrySize));
      WriteInteger(list, member.entrySize, value);
      WriteInteger(list + member.entrySize, member.entrySize, value + 1);
      WriteInteger(base + spec.related.offset, spec.related.size, 2);
      SetPointer(base, member.offset, list);
      break;
    }
    case Rule::kBinary: {
      unsigned length = 3 + value % 5;
      unsigned char* data = static_cast<unsigned char*>(Block(length));
      for (unsigned i = 0; i < length; ++i) data[i] = static_cast<unsigned char>(value * 31 + i);
      WriteInteger(base + spec.related.offset, spec.related.size, length);
      SetPointer(base, member.offset, data);
      break;
    }
    case Rule::kNested:
      if (m_depth < kDeepest) {
        unsigned char* nested = static_cast<unsigned char*>(Block(spec.nested->size));
        Fill(*spec.nested, nested);
        SetPointer(base, member.offset, nested);
      }
      break;
    case Rule::kArray:
    case Rule::kCountedArray: {
      if (m_depth >= kDeepest) break;
      unsigned char* list = static_cast<unsigned char*>(Block(3 * sizeof(void*)));
      for (size_t i = 0; i < 2; ++i) {
        unsigned char* element = static_cast<unsigned char*>(Block(spec.nested->size));
        Fill(*spec.nested, element);
        SetPointer(list, static_cast<unsigned>(i * sizeof(void*)), element);
      }
      if (spec.rule == Rule::kCountedArray) {
        WriteInteger(base + spec.related.offset, spec.related.size, 2);
      }
      SetPointer(base, member.offset, list);
      break;
    }
    case Rule::kNotSent:
      break;
  }
}

std::string Difference(const codec::Description& structure, const void* expected,
                       const void* actual) {
  const unsigned char* want = static_cast<const unsigned char*>(expected);
  const unsigned char* got = static_cast<const unsigned char*>(actual);
  for (const Member& member : structure) {
    const codec::RuleSpec& spec = member.spec;
    const std::string name = member.name;
    const unsigned char* wantField = want + member.offset;
    const unsigned char* gotField = got + member.offset;
    const unsigned char* wantPointer = nullptr;
    const unsigned char* gotPointer = nullptr;
    if (codec::Fits(spec.rule, codec::FieldKind::kPointer, member.size)) {
      wantPointer = Pointer(want, member.offset);
      gotPointer = Pointer(got, member.offset);
    }
    bool same = true;
    switch (spec.rule) {
      case Rule::kInt:
      case Rule::kUnsigned:
      case Rule::kBoolAsInt:
      case Rule::kByte:
      case Rule::kFixed:
      case Rule::kBytes:
        same = std::memcmp(wantField, gotField, member.size) == 0;
        break;
      case Rule::kBool:
        same = (ReadInteger(wantField, 4) != 0) == (ReadInteger(gotField, 4) == 1);
        break;
      case Rule::kFixedText:
        same = std::strncmp(reinterpret_cast<const char*>(wantField),
                            reinterpret_cast<const char*>(gotField), member.size) == 0;
        break;
      case Rule::kString:
      case Rule::kRequiredString:
      case Rule::kStringAlways:
        same =
            (wantPointer == nullptr) == (gotPointer == nullptr) &&
            (wantPointer == nullptr || std::strcmp(reinterpret_cast<const char*>(wantPointer),
                                                   reinterpret_cast<const char*>(gotPointer)) == 0);
        break;
      case Rule::kExtra:
        same = ListText(reinterpret_cast<const char*>(wantPointer)) ==
               ListText(reinterpret_cast<const char*>(gotPointer));
        break;
      case Rule::kWordList:
        same = WordsText(wantPointer) == WordsText(gotPointer);
        break;
      case Rule::kCountedList:
      case Rule::kBinary: {
        size_t count = ReadInteger(want + spec.related.offset, spec.related.size);
        size_t bytes = spec.rule == Rule::kBinary ? count : count * member.entrySize;
        same = (wantPointer == nullptr) == (gotPointer == nullptr) &&
               (wantPointer == nullptr || std::memcmp(wantPointer, gotPointer, bytes) == 0);
        break;
      }
      case Rule::kNested:
        if ((wantPointer == nullptr) != (gotPointer == nullptr)) return name;
        if (wantPointer != nullptr) {
          std::string inner = Difference(*spec.nested, wantPointer, gotPointer);
          if (!inner.empty()) return name + "." + inner;
        }
        break;
      case Rule::kArray:
      case Rule::kCountedArray:
        for (size_t i = 0;; ++i) {
          const unsigned char* wantEntry = wantPointer != nullptr ? Entry(wantPointer, i) : nullptr;
          const unsigned char* gotEntry = gotPointer != nullptr ? Entry(gotPointer, i) : nullptr;
          std::string path = name + "[" + std::to_string(i) + "]";
          if ((wantEntry == nullptr) != (gotEntry == nullptr)) return path;
          if (wantEntry == nullptr) break;
          std::string inner = Difference(*spec.nested, wantEntry, gotEntry);
          if (!inner.empty()) return path + "." + inner;
        }
        break;
      case Rule::kNotSent:
        same = gotPointer == nullptr;
        break;
    }
    if (!same) return name;
  }
  return std::string();
}

}  // namespace described
