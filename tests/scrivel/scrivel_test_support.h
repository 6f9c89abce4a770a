// Helpers of the trace formatter tests: records built from the renderers'
// own structure tables, so that one test walks every structure.
#ifndef TESTS_SCRIVEL_SCRIVEL_TEST_SUPPORT_H
#define TESTS_SCRIVEL_SCRIVEL_TEST_SUPPORT_H

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "structtable.h"

namespace scriveltest {

// Builds records, and arrays of them, from their tables; owns every block.
// Scalars are 3 (a counted array's count and a buffer's length are set to
// what was built), texts, lists and buffers are filled, nested structures
// and arrays (two elements) are built in turn. With nullPointers every
// pointer member stays NULL instead.
class RecordBuilder {
 public:
  // secret(path): the member at path receives the marker (its text, its
  // bytes, or kMarkerNumber for a 32-bit number) instead of the ordinary
  // filling. A path is the outermost structure's name and the member names
  // down to the member: "WFSPINCRYPT.lpxKeyEncKey.lpbData".
  using SecretMember = std::function<bool(const std::string& path)>;

  explicit RecordBuilder(bool nullPointers = false, SecretMember secret = nullptr,
                         std::string marker = std::string());
  RecordBuilder(const RecordBuilder&) = delete;
  RecordBuilder& operator=(const RecordBuilder&) = delete;

  void* Record(const scrivel::StructTable& table);
  // count element pointers and a NULL.
  void** Array(const scrivel::StructTable& table, int count);
  // The data of a type name as its entry describes it.
  void* ForType(const scrivel::TypeEntry& entry);

  // The paths that received the marker.
  const std::vector<std::string>& Marked() const { return m_marked; }

  static constexpr unsigned kMarkerNumber = 0x7A3F19;
  // The elements of every array built.
  static constexpr int kElements = 2;

 private:
  void* Block(size_t size);
  void* Text(const std::string& text);
  void* Record(const scrivel::StructTable& table, const std::string& path);
  void** Array(const scrivel::StructTable& table, int count, const std::string& path);
  void Fill(const scrivel::StructTable& table, unsigned char* record, const std::string& path);
  void FillRow(const scrivel::Row& row, unsigned char* record, const std::string& path);

  bool m_nullPointers;
  SecretMember m_secret;
  std::string m_marker;
  std::vector<std::unique_ptr<unsigned char[]>> m_blocks;
  std::vector<std::string> m_marked;
};

// Every type entry of the renderers of the four classes and the common one,
// with the class whose renderer knows it.
struct KnownType {
  int serviceClass;
  const scrivel::TypeEntry* entry;
};
std::vector<KnownType> AllKnownTypes();

// Every table reachable from the known types (nested ones included), once.
std::vector<const scrivel::StructTable*> AllTables();

std::string Utf8(const QString& text);

// An address as the trace shows it: hexadecimal, and hexadecimal(decimal).
std::string Hex(const void* pointer);
std::string HexDec(const void* pointer);

}  // namespace scriveltest

#endif
