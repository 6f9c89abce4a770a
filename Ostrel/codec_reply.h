// Reply side of the codec rules: how every reply and event decoder (the
// system events here, the IDC, PIN, PTR and CRD class decoders beside them)
// builds its XFS output structure below a WFSRESULT from the JSON of a reply.
// A decoder states its structure's members and nothing else; each rule below
// lives here once.
//
// A decoder runs one codec::Decoder, named by the decoder's qualified name:
//
//   int JsonUnformat_XXX::UnformatThing(LPWFSRESULT result, Json::Value* input) {
//     codec::Decoder decoder("JsonUnformat_XXX::UnformatThing", result);
//     codec::Object in = decoder.InputObject(input);   // "... input Data is NULL"
//     if (!in) return 0;
//     WFSXXXTHING* thing = decoder.Output<WFSXXXTHING>();  // "... allocate buffer failed!"
//     if (thing == nullptr) return 0;
//     thing->fwState = in.Int("fwState");
//     thing->lpszName = in.String("lpszName", 1);      // "... allocate buffer failed 1!"
//     thing->lpszExtra = in.Extra("lpszExtra", 2);
//     in.Fixed("dwGuidLights", &thing->dwGuidLights);
//     return decoder.Result();                          // 1, or 0 after any failure
//   }
//
// Failure is sticky. The first failure (no input, an allocation refused, a
// member of the wrong JSON type, or a line of the decoder's own through
// Fail) logs its one level-4 line and marks the run failed; from then on
// every operation does nothing and returns zero, NULL or an empty view, so a
// decoder is written straight through and what it filled before the failure
// stays in place (released with the result). Pointers returned by
// allocating operations are NULL after a failure: test them before use.
//
// The rules:
// - Input: NULL (the envelope passes NULL for a null or absent "lpBuffer")
//   or the JSON integer 0 means no input: "<name> input Data is NULL".
// - Allocation: every block comes from WFMAllocateMore below the result, so
//   it is zero-filled and released with the result. Each allocating call
//   names its AllocPoint, which selects its failure line (see AllocPoint).
// - Scalars (Int, Bool): a missing or null member reads as 0 (FALSE). Int
//   takes any JSON number in the range of a signed or unsigned 32-bit value
//   (reals are cut toward zero, true and false are 1 and 0); assign it to a
//   narrower field to keep its low bits. Bool is true for true and for any
//   non-zero number.
// - Strings (String): a copy in a block of its length + 1; a null or missing
//   member leaves the pointer NULL.
// - Extra lists (Extra, StringList): the array's strings one after another,
//   each with its NUL, the block ending in a second NUL; an empty or missing
//   array gives NULL.
// - Binary members (BinaryBlockFirst, BinaryMatchFirst): base64 text whose
//   decoded size must equal the declared length. BlockFirst allocates the
//   block of the declared length before decoding, so a mismatch leaves it
//   zero-filled (the caller may treat the mismatch as its own failure);
//   MatchFirst allocates only after a matching decode, so a mismatch leaves
//   the pointer NULL. A declared length of 0 gives no block, and neither
//   does one above kLargestBinary, which no reply's data can match: the
//   declared length alone never makes a decoder take a block larger than a
//   reply.
// - Single bytes (Byte): base64 text whose first decoded byte is the value.
// - Pointer arrays (PointerArray): a block of (count + 1) pointers, then one
//   block per element in order, each filled by the caller; the last entry
//   stays NULL.
// - WORD lists (WordList): (count + 1) WORDs, the last 0; a null, missing or
//   empty array gives NULL.
// - Fixed arrays (Fixed, FixedText): entry i from the JSON array's entry i
//   when present and not null; a text is cut to the field less its NUL.
// - Wrong JSON types: a member whose JSON type does not fit its rule (a
//   string for a number, a number for an object or array, an object for a
//   string) is never converted: "<name> member "<member>" has a wrong JSON
//   type" and the run fails.
//
// All functions are safe on any JSON value: none throws, none reads outside
// the value it is given.
#ifndef OSTREL_CODEC_REPLY_H
#define OSTREL_CODEC_REPLY_H

#include <json/value.h>

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

#include "xfsapi.h"

namespace codec {

// The most bytes of data a reply can carry: no more than its text, which
// arrives in a 40960-byte block.
constexpr size_t kLargestBinary = 40960;

// Which "allocate buffer failed" line an allocation point logs:
//   AllocPoint::First()   "<name> allocate buffer failed!"  (the structure)
//   a number n            "<name> allocate buffer failed n!"
//   AllocPoint::Text(s)   "<name>" followed by s, for a line of its own form
//                         (for example " allocate buffer failed 1 !").
//   AllocPoint::Auto()    in a structure description: the next number in the
//                         decoder's order (see structdesc.h).
class AllocPoint {
 public:
  // Implicit, so that a decoder names a numbered point by its number.
  constexpr AllocPoint(int number) : m_number(number), m_suffix(nullptr) {}
  static constexpr AllocPoint First() { return AllocPoint(kFirst, nullptr); }
  static constexpr AllocPoint Text(const char* suffix) { return AllocPoint(kText, suffix); }
  static constexpr AllocPoint Auto() { return AllocPoint(kAuto, nullptr); }

  constexpr bool IsAuto() const { return m_number == kAuto; }

  // Logs the point's line for the decoder named `decoder`.
  void Log(const char* decoder) const;

 private:
  static constexpr int kFirst = -1;
  static constexpr int kText = -2;
  static constexpr int kAuto = -3;
  constexpr AllocPoint(int number, const char* suffix) : m_number(number), m_suffix(suffix) {}
  int m_number;
  const char* m_suffix;
};

class Object;
class Array;

// The no-input rule: NULL (a null or absent "lpBuffer") or the JSON integer
// 0. For the few decoders to which no input is no failure; the others use
// Decoder::HasInput, which logs it.
bool NoInput(const Json::Value* input);

// One run of one decoder: its name for the log lines, the result the blocks
// hang below, and whether the run has failed. Lives on the decoder's stack.
class Decoder {
 public:
  Decoder(const char* name, LPWFSRESULT result) : m_name(name), m_result(result) {}
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  const char* name() const { return m_name; }
  LPWFSRESULT result() const { return m_result; }
  bool ok() const { return !m_failed; }
  // The decoder's return value: 1 while nothing failed, else 0.
  int Result() const { return m_failed ? 0 : 1; }

  // Logs "<name>" followed by suffix at level 4 and fails the run; for the
  // failures a decoder defines itself (" size <= 0").
  void Fail(const char* suffix);
  // Logs "<name> member "<member>" has a wrong JSON type" and fails the run.
  void WrongType(const char* member);

  // The input check: false (after "<name> input Data is NULL") for NULL or
  // the integer 0.
  bool HasInput(const Json::Value* input);
  // The input check, then the input as an object or an array; any other
  // type is a wrong type (member "lpBuffer").
  Object InputObject(const Json::Value* input);
  Array InputArray(const Json::Value* input);

  // A zero-filled block of size bytes below the result; NULL after logging
  // the point's line when it cannot be had.
  void* Allocate(size_t size, AllocPoint point);
  template <typename T>
  T* Allocate(AllocPoint point, size_t count = 1) {
    return static_cast<T*>(Allocate(sizeof(T) * count, point));
  }
  // The output structure: allocated and stored in the result's lpBuffer.
  template <typename T>
  T* Output(AllocPoint point = AllocPoint::First()) {
    T* block = Allocate<T>(point);
    if (block != nullptr) m_result->lpBuffer = block;
    return block;
  }

  // The rules applied to a value itself (a reply whose value is the datum,
  // an array entry); `what` names it in a wrong-type line.
  long long Int(const Json::Value& value, const char* what);
  BOOL Bool(const Json::Value& value, const char* what);
  LPSTR String(const Json::Value& value, const char* what, AllocPoint point);
  // length bytes of text in a block of length + 1.
  LPSTR CopyText(const char* text, size_t length, AllocPoint point);
  LPSTR StringList(const Array& items, AllocPoint point);
  LPWORD WordList(const Array& items, AllocPoint point);
  // fill(Object element, T* block) fills each element block after it is
  // allocated. An element that is not an object (null excepted, which
  // gives a block of zeros) is a wrong type.
  template <typename T, typename Fill>
  T** PointerArray(const Array& items, AllocPoint block, AllocPoint element, Fill fill);
  // The same with elements of elementSize bytes, filled by
  // fill(const Object& element, void* block); the pointer block's address.
  template <typename Fill>
  void* Blocks(const Array& items, size_t elementSize, AllocPoint block, AllocPoint element,
               Fill fill);

 private:
  const char* m_name;
  LPWFSRESULT m_result;
  bool m_failed = false;
};

// A JSON array read through a decoder; empty when the member was missing or
// null, or the run has failed.
class Array {
 public:
  Array() = default;
  Array(Decoder* decoder, const Json::Value* value, const char* name)
      : m_decoder(decoder), m_value(value), m_name(name) {}

  explicit operator bool() const { return m_value != nullptr && m_decoder->ok(); }
  size_t size() const { return *this ? m_value->size() : 0; }
  const char* name() const { return m_name; }
  Decoder* decoder() const { return m_decoder; }
  // Entry i (null when out of range or the array is empty).
  const Json::Value& operator[](size_t i) const;
  long long Int(size_t i) const;
  // Entry i as an object; a wrong type for anything but an object or null.
  Object At(size_t i) const;

 private:
  Decoder* m_decoder = nullptr;
  const Json::Value* m_value = nullptr;
  const char* m_name = "";
};

// A JSON object read through a decoder; empty (every member missing) when
// the member was missing or null, or the run has failed.
class Object {
 public:
  Object() = default;
  Object(Decoder* decoder, const Json::Value* value) : m_decoder(decoder), m_value(value) {}

  explicit operator bool() const { return m_value != nullptr && m_decoder->ok(); }
  Decoder* decoder() const { return m_decoder; }
  // The member, or a null value when it is missing.
  const Json::Value& Get(const char* member) const;
  // The member is present and not null.
  bool Has(const char* member) const { return !Get(member).isNull(); }

  long long Int(const char* member) const;
  BOOL Bool(const char* member) const;
  LPSTR String(const char* member, AllocPoint point) const;
  LPSTR Extra(const char* member, AllocPoint point) const;
  LPWORD WordList(const char* member, AllocPoint point) const;
  BYTE Byte(const char* member) const;
  // matched (when given) tells whether the block received the bytes.
  LPBYTE BinaryBlockFirst(const char* member, size_t length, AllocPoint point,
                          bool* matched = nullptr) const;
  LPBYTE BinaryMatchFirst(const char* member, size_t length, AllocPoint point) const;
  template <typename T, size_t N>
  void Fixed(const char* member, T (*field)[N]) const {
    static_assert(std::is_integral<T>::value, "a fixed array of integers");
    FixedInto(member, field, N, sizeof(T));
  }
  template <size_t N>
  void FixedText(const char* member, CHAR (*field)[N]) const {
    static_assert(N > 0, "a text field holds at least its NUL");
    TextInto(member, *field, N);
  }
  // The same over `count` packed integers of entrySize bytes at field, and
  // a text field of `size` characters (its NUL included).
  void FixedInto(const char* member, void* field, size_t count, size_t entrySize) const;
  void TextInto(const char* member, CHAR* field, size_t size) const;
  // size bytes of base64 data, copied into field only when exactly size
  // bytes decode; the field stays as it was otherwise.
  void BytesInto(const char* member, void* field, size_t size) const;
  Object Child(const char* member) const;
  Array Items(const char* member) const;
  template <typename T, typename Fill>
  T** PointerArray(const char* member, AllocPoint block, AllocPoint element, Fill fill) const {
    if (!*this) return nullptr;
    return m_decoder->PointerArray<T>(Items(member), block, element, fill);
  }

 private:
  // The member's decoded base64 bytes; false when missing, null or failed.
  bool Bytes(const char* member, std::vector<unsigned char>* bytes) const;

  Decoder* m_decoder = nullptr;
  const Json::Value* m_value = nullptr;
};

// Stores the low size bytes of value (1, 2 or 4) at a packed field.
void StoreInteger(void* field, size_t size, long long value);

template <typename Fill>
void* Decoder::Blocks(const Array& items, size_t elementSize, AllocPoint block,
                      AllocPoint element, Fill fill) {
  if (!items) return nullptr;
  size_t count = items.size();
  void* list = Allocate(sizeof(void*) * (count + 1), block);
  for (size_t i = 0; list != nullptr && i < count; ++i) {
    Object item = items.At(i);
    if (!ok()) break;
    void* entry = Allocate(elementSize, element);
    if (entry == nullptr) break;
    std::memcpy(static_cast<unsigned char*>(list) + i * sizeof(void*), &entry, sizeof entry);
    fill(item, entry);
    if (!ok()) break;
  }
  return list;
}

template <typename T, typename Fill>
T** Decoder::PointerArray(const Array& items, AllocPoint block, AllocPoint element, Fill fill) {
  return static_cast<T**>(Blocks(items, sizeof(T), block, element,
                                 [&](const Object& item, void* entry) {
                                   fill(item, static_cast<T*>(entry));
                                 }));
}

}  // namespace codec

#endif
