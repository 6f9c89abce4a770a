// The XFS structures as data. Every structure that travels between the
// service provider and the device service has one description: the ordered
// table of its members, each with the rule by which it becomes JSON and
// back. The generic encoder and decoder (structcodec.h) walk a description
// and apply each rule; the class codecs' named functions are thin wrappers
// over their descriptions, and the tests walk every description.
//
// A member's JSON name is its field's name, taken from the field itself, so
// that the two cannot drift; its offset and size come from the structure:
//
//   using namespace codec::rule;
//   constexpr codec::Member kCardDataMembers[] = {
//       XFS_MEMBER(WFSIDCCARDDATA, wDataSource, Int()),
//       XFS_MEMBER(WFSIDCCARDDATA, ulDataLength, Int()),
//       XFS_MEMBER(WFSIDCCARDDATA, lpbData, Binary(XFS_FIELD(WFSIDCCARDDATA, ulDataLength))),
//   };
//   const codec::Description kCardData = XFS_DESCRIPTION(WFSIDCCARDDATA, kCardDataMembers);
//
// A rule that does not fit its field's type (a string rule on a WORD, an
// integer rule on a pointer) does not compile.
#ifndef OSTREL_STRUCTDESC_H
#define OSTREL_STRUCTDESC_H

#include <cstddef>
#include <type_traits>

#include "codec_reply.h"

namespace codec {

struct Description;

// How a member travels. Request side: structure to JSON; reply side: JSON
// to structure (a missing or null member reads as 0, FALSE or NULL).
enum class Rule : unsigned char {
  kInt,             // integer: a signed 32-bit JSON integer (narrower fields zero-extended)
  kUnsigned,        // DWORD mask or command word: an unsigned JSON integer
  kBool,            // BOOL: an integer; read as a boolean (any non-zero number is TRUE)
  kBoolAsInt,       // BOOL read as an integer (a reply's 5 stays 5)
  kString,          // optional LPSTR: a string, or null for NULL
  kRequiredString,  // LPSTR that a request must carry: NULL cannot be formatted
  kStringAlways,    // LPSTR that a reply always sets: an empty text when the member is missing
  kExtra,           // lpszExtra: an array of strings, the XFS list of NUL-ended strings
  kFixed,           // fixed array of integers: entry i from the JSON array's entry i
  kFixedText,       // CHAR[n]: a text cut to n - 1 characters
  kWordList,        // LPWORD ending in 0: an array of integers
  kCountedList,     // pointer to `count` integers (count in another member), and a 0: an array
  kBinary,          // LPBYTE with its length in another member: base64 text
  kByte,            // BYTE or CHAR: base64 text of the one byte
  kBytes,           // BYTE[n]: base64 text of exactly n bytes
  kNested,          // pointer to one structure: a nested object, null for NULL
  kArray,           // NULL-terminated array of structure pointers: an array of objects
  kCountedArray,    // `count` structure pointers (count in another member): an array
  kNotSent,         // data a request does not carry: the integer 0; a reply leaves it NULL
};

// How a reply's binary member is allocated.
enum class Alloc : unsigned char {
  kBlockFirst,  // a block of the declared length first: a mismatch leaves it zero-filled
  kMatchFirst,  // a block only after a matching decode: a mismatch leaves NULL
  kExact,       // as kBlockFirst, and a mismatch fails the decoder
};

// When an optional member is there.
enum class Presence : unsigned char {
  kWhenSet,  // binary: only for a length other than 0; nested: only when the member is there
  kAlways,   // binary: always (the empty text for 0); nested: a block even when it is missing
};

// Another member of the same structure: the length of a binary member, the
// count of a counted one.
struct Field {
  const char* name;
  unsigned offset;
  unsigned size;
};

// A member's rule and what the rule needs besides the field.
struct RuleSpec {
  Rule rule;
  Alloc alloc = Alloc::kBlockFirst;
  Presence presence = Presence::kWhenSet;
  Field related = {nullptr, 0, 0};
  const Description* nested = nullptr;
  AllocPoint point = AllocPoint::Auto();
  AllocPoint elementPoint = AllocPoint::Auto();  // an array's elements

  // The same rule with an allocation line of its own instead of its number
  // in the decoder's order (an array's pointer block).
  constexpr RuleSpec At(AllocPoint own) const {
    RuleSpec spec = *this;
    spec.point = own;
    return spec;
  }
  // The same for the blocks of an array's elements.
  constexpr RuleSpec ElementsAt(AllocPoint own) const {
    RuleSpec spec = *this;
    spec.elementPoint = own;
    return spec;
  }
};

// What kind of field a rule is applied to.
enum class FieldKind : unsigned char { kInteger, kPointer, kArray, kCharArray, kByteArray };

template <typename T>
constexpr FieldKind KindOf() {
  if constexpr (std::is_array_v<T>) {
    using Entry = std::remove_all_extents_t<T>;
    if constexpr (std::is_same_v<Entry, char>) return FieldKind::kCharArray;
    if constexpr (sizeof(Entry) == 1) return FieldKind::kByteArray;
    return FieldKind::kArray;
  } else if constexpr (std::is_pointer_v<T>) {
    return FieldKind::kPointer;
  } else {
    static_assert(std::is_integral_v<T>, "a member is an integer, a pointer or an array");
    return FieldKind::kInteger;
  }
}

// The size of an array's entry or of a pointer's target (1 for void*).
template <typename T>
constexpr unsigned EntrySizeOf() {
  if constexpr (std::is_array_v<T>) {
    return sizeof(std::remove_all_extents_t<T>);
  } else if constexpr (std::is_pointer_v<T>) {
    using Target = std::remove_pointer_t<T>;
    if constexpr (std::is_void_v<Target>) {
      return 1;
    } else {
      return sizeof(Target);
    }
  } else {
    return sizeof(T);
  }
}

// Whether a rule can be applied to a field of that kind and size.
constexpr bool Fits(Rule rule, FieldKind kind, unsigned size) {
  switch (rule) {
    case Rule::kInt:
    case Rule::kUnsigned:
    case Rule::kBoolAsInt:
      return kind == FieldKind::kInteger && (size == 1 || size == 2 || size == 4);
    case Rule::kBool:
      return kind == FieldKind::kInteger && size == 4;
    case Rule::kByte:
      return kind == FieldKind::kInteger && size == 1;
    case Rule::kFixed:
      return kind == FieldKind::kArray;
    case Rule::kFixedText:
      return kind == FieldKind::kCharArray;
    case Rule::kBytes:
      return kind == FieldKind::kByteArray;
    default:
      return kind == FieldKind::kPointer;
  }
}

// One member of a structure.
struct Member {
  const char* name;    // the XFS field name, which is also the JSON member name
  unsigned offset;     // within the structure
  unsigned size;       // of the field
  unsigned entrySize;  // of an array's entry or a pointer's target
  RuleSpec spec;

  constexpr Member(const char* memberName, size_t memberOffset, size_t memberSize,
                   unsigned memberEntrySize, FieldKind kind, RuleSpec memberSpec)
      : name(memberName),
        offset(static_cast<unsigned>(memberOffset)),
        size(static_cast<unsigned>(memberSize)),
        entrySize(memberEntrySize),
        spec(memberSpec) {
    // Evaluated when the table is: a rule that does not fit is no constant.
    if (!Fits(memberSpec.rule, kind, size)) throw "the rule does not fit the field's type";
  }
};

// One structure: its XFS name, its size and its members in field order.
struct Description {
  const char* name;
  unsigned size;
  const Member* members;
  unsigned count;

  const Member* begin() const { return members; }
  const Member* end() const { return members + count; }
};

// The descriptions of one class (or of the system events), in a table of
// their own beside them.
struct Descriptions {
  const Description* const* items;
  unsigned count;

  const Description* const* begin() const { return items; }
  const Description* const* end() const { return items + count; }
};

template <unsigned N>
constexpr Descriptions DescriptionsOf(const Description* const (&items)[N]) {
  return Descriptions{items, N};
}

// The rules, for the tables.
namespace rule {

constexpr RuleSpec Int() { return RuleSpec{Rule::kInt}; }
constexpr RuleSpec Unsigned() { return RuleSpec{Rule::kUnsigned}; }
constexpr RuleSpec Bool() { return RuleSpec{Rule::kBool}; }
constexpr RuleSpec BoolAsInt() { return RuleSpec{Rule::kBoolAsInt}; }
constexpr RuleSpec String() { return RuleSpec{Rule::kString}; }
constexpr RuleSpec RequiredString() { return RuleSpec{Rule::kRequiredString}; }
constexpr RuleSpec StringAlways() { return RuleSpec{Rule::kStringAlways}; }
constexpr RuleSpec Extra() { return RuleSpec{Rule::kExtra}; }
constexpr RuleSpec Fixed() { return RuleSpec{Rule::kFixed}; }
constexpr RuleSpec FixedText() { return RuleSpec{Rule::kFixedText}; }
constexpr RuleSpec WordList() { return RuleSpec{Rule::kWordList}; }
constexpr RuleSpec Byte() { return RuleSpec{Rule::kByte}; }
constexpr RuleSpec Bytes() { return RuleSpec{Rule::kBytes}; }
constexpr RuleSpec NotSent() { return RuleSpec{Rule::kNotSent}; }

constexpr RuleSpec CountedList(Field count) {
  RuleSpec spec{Rule::kCountedList};
  spec.related = count;
  return spec;
}

constexpr RuleSpec Binary(Field length, Alloc alloc = Alloc::kBlockFirst,
                          Presence presence = Presence::kWhenSet) {
  RuleSpec spec{Rule::kBinary};
  spec.related = length;
  spec.alloc = alloc;
  spec.presence = presence;
  return spec;
}

constexpr RuleSpec Nested(const Description& structure, Presence presence = Presence::kWhenSet) {
  RuleSpec spec{Rule::kNested};
  spec.nested = &structure;
  spec.presence = presence;
  return spec;
}

constexpr RuleSpec ArrayOf(const Description& element) {
  RuleSpec spec{Rule::kArray};
  spec.nested = &element;
  return spec;
}

constexpr RuleSpec CountedArrayOf(const Description& element, Field count) {
  RuleSpec spec{Rule::kCountedArray};
  spec.nested = &element;
  spec.related = count;
  return spec;
}

}  // namespace rule

}  // namespace codec

// A member of Type named by its field; XFS_MEMBER_AS for the few whose JSON
// name differs from the field's.
#define XFS_MEMBER_AS(Type, field, jsonName, spec)                                       \
  ::codec::Member(jsonName, offsetof(Type, field), sizeof(decltype(Type::field)),        \
                  ::codec::EntrySizeOf<decltype(Type::field)>(),                         \
                  ::codec::KindOf<decltype(Type::field)>(), spec)
#define XFS_MEMBER(Type, field, spec) XFS_MEMBER_AS(Type, field, #field, spec)

// Another member of Type, as the length or count of a member.
#define XFS_FIELD(Type, field) \
  ::codec::Field { #field, offsetof(Type, field), sizeof(decltype(Type::field)) }

// The description of Type from its table of members.
#define XFS_DESCRIPTION(Type, members) \
  ::codec::Description { #Type, sizeof(Type), members, sizeof(members) / sizeof(members[0]) }

#endif
