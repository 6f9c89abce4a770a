// XFS structures as data: each structure the trace shows is one table of
// rows, one row per member in the order the trace lists them, and one walker
// renders any table with the renderer's primitives.
//
// A row is written from the member itself, so its name and offset cannot
// drift from the structure, and the primitive is checked against the
// member's type at compile time:
//
//   SV_TABLE(kCardData, WFSIDCCARDDATA,
//            SV(WFSIDCCARDDATA, wDataSource).Word(),
//            SV(WFSIDCCARDDATA, ulDataLength).Ulong(),
//            SV(WFSIDCCARDDATA, lpbData).Bytes(SV_LENGTH(WFSIDCCARDDATA, ulDataLength)).Secret());
//
// Secrets: a row marked Secret() shows its hidden form while the walker's
// hide flag is set (text "***", bytes 2A2A2A, a number "***"); a nested
// structure or array marked Secret() passes the flag on to its own rows,
// one not so marked renders its rows with the flag 0. AlwaysHidden() shows
// the hidden form whatever the flag.
#ifndef TRACEFORMAT_STRUCTTABLE_H
#define TRACEFORMAT_STRUCTTABLE_H

#include <QString>

#include <cstddef>
#include <memory>
#include <type_traits>

#include "XFSSPParam.h"
#include "scrivel.h"

namespace scrivel {

struct StructTable;
struct Row;

// What a row renders with.
enum class Kind : unsigned char {
  Word,
  Ushort,
  Dword,
  Ulong,
  Long,
  Bool,
  Byte,
  Char,
  Chars,         // CHAR_N over an inline array
  Text,          // LPSTR
  TextList,      // LPSTR_00
  WideText,      // LPWSTR
  WideTextList,  // LPWSTR_00
  Words,         // WORD_N over an inline array
  Dwords,        // DWORD_N over an inline array
  UshortList,    // LPUSHORT ended by 0
  Bytes,         // LPBYTE through a pointer, its length in another member
  InlineBytes,   // LPBYTE over an inline array
  Record,        // pointer to a nested structure
  Array,         // pointer to an array of structure pointers
  Custom,        // rendered by a function of its own
};

enum class Secrecy : unsigned char { Clear, Secret, Always };

// The hidden form of byte data: the bytes of "***".
constexpr unsigned char kHiddenBytes[] = {'*', '*', '*'};

// The most entries a row shows of an inline array.
constexpr int kLargestInline = 64;

// A member that holds a length or a count.
struct LengthField {
  unsigned offset;
  unsigned size;
};

// A row rendered by its own function: the whole record, the row's name, the
// indent and the hide flag.
typedef QString (*CustomRender)(CXFSSPParam& renderer, const unsigned char* record,
                                const QString& name, int indent, int hide);

struct Row {
  const char* name;
  unsigned offset;
  Kind kind;
  Secrecy secrecy;
  int map;                    // an XmlConfig::Map, or -1
  int count;                  // fixed count of an inline array; -1 when none
  LengthField length;         // length or count member; size 0 when none
  const StructTable* nested;  // Record, Array
  bool braces;                // Array
  CustomRender custom;

  constexpr Row Secret() const {
    Row copy = *this;
    copy.secrecy = Secrecy::Secret;
    return copy;
  }
  constexpr Row AlwaysHidden() const {
    Row copy = *this;
    copy.secrecy = Secrecy::Always;
    return copy;
  }
  constexpr Row Map(XmlConfig::Map selector) const {
    Row copy = *this;
    copy.map = int(selector);
    return copy;
  }
  constexpr Row Named(const char* label) const {
    Row copy = *this;
    copy.name = label;
    return copy;
  }
  constexpr Row NoBraces() const {
    Row copy = *this;
    copy.braces = false;
    return copy;
  }
};

// A structure: its C name and size (for the tests) and its rows in order.
struct StructTable {
  const char* structName;
  size_t size;
  const Row* rows;
  size_t rowCount;
};

// The start of a row for member `name` of type T at `offset`; each kind
// checks that T fits it.
template <typename T>
struct Member {
  const char* name;
  unsigned offset;

  constexpr Row Word() const { return Scalar<WORD>(Kind::Word); }
  constexpr Row Ushort() const { return Scalar<USHORT>(Kind::Ushort); }
  constexpr Row Dword() const { return Scalar<DWORD>(Kind::Dword); }
  constexpr Row Ulong() const { return Scalar<ULONG>(Kind::Ulong); }
  constexpr Row Long() const { return Scalar<LONG>(Kind::Long); }
  constexpr Row Bool() const { return Scalar<BOOL>(Kind::Bool); }
  constexpr Row Byte() const { return Scalar<BYTE>(Kind::Byte); }
  constexpr Row Char() const { return Scalar<CHAR>(Kind::Char); }
  constexpr Row Text() const { return Scalar<LPSTR>(Kind::Text); }
  constexpr Row TextList() const { return Scalar<LPSTR>(Kind::TextList); }
  constexpr Row WideText() const { return Scalar<LPWSTR>(Kind::WideText); }
  constexpr Row WideTextList() const { return Scalar<LPWSTR>(Kind::WideTextList); }
  constexpr Row UshortList() const { return Scalar<USHORT*>(Kind::UshortList); }
  // The first N entries of an inline array of CHAR, WORD or DWORD.
  template <int N>
  constexpr Row Chars() const {
    return Inline<CHAR, N>(Kind::Chars);
  }
  template <int N>
  constexpr Row Words() const {
    return Inline<WORD, N>(Kind::Words);
  }
  template <int N>
  constexpr Row Dwords() const {
    return Inline<DWORD, N>(Kind::Dwords);
  }
  constexpr Row Bytes(LengthField length) const {
    static_assert(std::is_same<T, LPBYTE>::value || std::is_same<T, LPVOID>::value,
                  "not a byte pointer");
    return Make(Kind::Bytes, -1, length, nullptr);
  }
  constexpr Row InlineBytes() const {
    static_assert(std::is_same<std::remove_extent_t<T>, BYTE>::value, "not a BYTE array");
    return Make(Kind::InlineBytes, int(sizeof(T)), {0, 0}, nullptr);
  }
  // A pointer to one S (or an untyped pointer that holds one).
  template <typename S>
  constexpr Row Record(const StructTable& table) const {
    static_assert(std::is_same<T, S*>::value || std::is_same<T, LPVOID>::value,
                  "not a pointer to the structure");
    return Make(Kind::Record, -1, {0, 0}, &table);
  }
  // A NULL-terminated array of pointers to S.
  template <typename S>
  constexpr Row Array(const StructTable& table) const {
    static_assert(std::is_same<T, S**>::value, "not an array of structure pointers");
    return Make(Kind::Array, -1, {0, 0}, &table);
  }
  // An array of count pointers to S, the count in another member.
  template <typename S>
  constexpr Row Array(const StructTable& table, LengthField count) const {
    static_assert(std::is_same<T, S**>::value, "not an array of structure pointers");
    return Make(Kind::Array, -1, count, &table);
  }
  // length: the member that holds the size of what the row renders, if any.
  constexpr Row Custom(CustomRender render, LengthField length = {0, 0}) const {
    Row row = Make(Kind::Custom, -1, length, nullptr);
    row.custom = render;
    return row;
  }

 private:
  template <typename Expected>
  constexpr Row Scalar(Kind kind) const {
    static_assert(std::is_same<T, Expected>::value, "member type differs from its primitive");
    return Make(kind, -1, {0, 0}, nullptr);
  }
  template <typename E, int N>
  constexpr Row Inline(Kind kind) const {
    static_assert(std::is_same<std::remove_extent_t<T>, E>::value, "not an array of the element");
    static_assert(N > 0 && size_t(N) <= std::extent<T>::value, "more entries than the array holds");
    static_assert(std::is_same<E, CHAR>::value || N <= kLargestInline,
                  "more entries than a row shows");
    return Make(kind, N, {0, 0}, nullptr);
  }
  constexpr Row Make(Kind kind, int count, LengthField length, const StructTable* nested) const {
    return Row{name, offset, kind, Secrecy::Clear, -1, count, length, nested, true, nullptr};
  }
};

// The renderers of one structure and of arrays of it.
QString RenderRecord(CXFSSPParam& renderer, const StructTable& table, const void* record,
                     const QString& name, int indent, int hide);
// count -1: NULL-terminated; a counted array also ends at a NULL entry.
// elementName: the name the elements carry before
// their [i] (the array's own name when empty).
QString RenderArray(CXFSSPParam& renderer, const StructTable& table, const void* const* array,
                    int count, bool braces, const QString& name, int indent, int hide,
                    const QString& elementName = QString());

// The type names a renderer knows: each with its rendering function and,
// for the tests, its shape and table.
enum class Shape : unsigned char {
  Record,          // one structure
  NullTerminated,  // NULL-terminated array of structure pointers
  Counted,         // array of structure pointers, count given by the caller
  Value,           // a single value or a pointer to one
};

typedef QString (*TypeRender)(CXFSSPParam& renderer, const void* data, int count,
                              const QString& name, int indent);

struct TypeEntry {
  const char* type;
  TypeRender render;
  Shape shape;
  const StructTable* table;  // nullptr for Value
};

// A renderer's type names, looked up by exact (case-sensitive) name; the
// first entry of a name answers.
class TypeTable {
 public:
  template <size_t N>
  explicit TypeTable(const TypeEntry (&entries)[N]) : TypeTable(entries, N) {}
  TypeTable(const TypeEntry* entries, size_t count);
  ~TypeTable();
  TypeTable(const TypeTable&) = delete;
  TypeTable& operator=(const TypeTable&) = delete;

  const TypeEntry* Find(const QString& type) const;
  const TypeEntry* begin() const { return m_entries; }
  const TypeEntry* end() const { return m_entries + m_count; }

 private:
  struct Index;
  const TypeEntry* m_entries;
  size_t m_count;
  std::unique_ptr<Index> m_index;
};

// Type-table rendering functions that call a renderer's structure renderer
// for T: GetParamString(const T*, name, indent), or for arrays
// GetParamString(const T* const*, name, indent) and, counted,
// GetParamString(const T* const*, count, name, indent).
template <class R, class T>
QString RenderOne(CXFSSPParam& r, const void* data, int, const QString& name, int indent) {
  return static_cast<R&>(r).GetParamString(static_cast<const T*>(data), name, indent);
}
template <class R, class T>
QString RenderNullTerminated(CXFSSPParam& r, const void* data, int, const QString& name,
                             int indent) {
  return static_cast<R&>(r).GetParamString(static_cast<const T* const*>(data), name, indent);
}
template <class R, class T>
QString RenderCounted(CXFSSPParam& r, const void* data, int count, const QString& name,
                      int indent) {
  return static_cast<R&>(r).GetParamString(static_cast<const T* const*>(data), count, name,
                                           indent);
}

}  // namespace scrivel

// A row for member `field` of structure S.
#define SV(S, field) \
  (::scrivel::Member<decltype(S::field)>{#field, static_cast<unsigned>(offsetof(S, field))})
// The length or count member `field` of structure S.
#define SV_LENGTH(S, field) \
  (::scrivel::LengthField{static_cast<unsigned>(offsetof(S, field)), sizeof(S::field)})
// The table `var` of structure S with the given rows.
#define SV_TABLE(var, S, ...)                                   \
  constexpr ::scrivel::Row var##Rows[] = {__VA_ARGS__};         \
  constexpr ::scrivel::StructTable var = {#S, sizeof(S), var##Rows, \
                                          sizeof(var##Rows) / sizeof(var##Rows[0])}

// The structure renderer Class::GetParamString(const S*, name, indent):
// table `table` with the trace's hide flag.
#define SV_RECORD_RENDERER(Class, S, table)                                              \
  QString Class::GetParamString(const S* p, const QString& name, int indent) {           \
    return ::scrivel::RenderRecord(*this, table, p, name, indent, g_bHidenLog);          \
  }

#endif
