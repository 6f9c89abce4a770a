#include "scrivel_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "scrivelapp.h"

namespace scriveltest {

namespace {

using scrivel::Kind;

constexpr unsigned kScalar = 3;
const char kText[] = "text";
const char kTextList[] = "one\0two\0";  // with the literal's NUL: two strings and the end
const wchar_t kWideList[] = L"uno\0dos\0";
const unsigned char kBytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
const unsigned short kUshortList[] = {kScalar, kScalar, 0};

template <typename T>
void Write(unsigned char* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

void WriteLength(unsigned char* record, scrivel::LengthField field, unsigned long value) {
  switch (field.size) {
    case 1:
      Write<BYTE>(record + field.offset, static_cast<BYTE>(value));
      break;
    case 2:
      Write<WORD>(record + field.offset, static_cast<WORD>(value));
      break;
    case 4:
      Write<DWORD>(record + field.offset, static_cast<DWORD>(value));
      break;
    default:
      break;
  }
}

bool IsPointer(Kind kind) {
  switch (kind) {
    case Kind::Text:
    case Kind::TextList:
    case Kind::WideText:
    case Kind::WideTextList:
    case Kind::UshortList:
    case Kind::Bytes:
    case Kind::Record:
    case Kind::Array:
    case Kind::Custom:
      return true;
    default:
      return false;
  }
}

}  // namespace

RecordBuilder::RecordBuilder(bool nullPointers, SecretMember secret, std::string marker)
    : m_nullPointers(nullPointers), m_secret(std::move(secret)), m_marker(std::move(marker)) {}

void* RecordBuilder::Block(size_t size) {
  m_blocks.emplace_back(new unsigned char[size]());
  return m_blocks.back().get();
}

void* RecordBuilder::Text(const std::string& text) {
  void* block = Block(text.size() + 1);
  std::memcpy(block, text.c_str(), text.size() + 1);
  return block;
}

void* RecordBuilder::Record(const scrivel::StructTable& table) {
  return Record(table, table.structName);
}

void** RecordBuilder::Array(const scrivel::StructTable& table, int count) {
  return Array(table, count, table.structName);
}

void* RecordBuilder::Record(const scrivel::StructTable& table, const std::string& path) {
  unsigned char* record = static_cast<unsigned char*>(Block(table.size));
  Fill(table, record, path);
  return record;
}

void** RecordBuilder::Array(const scrivel::StructTable& table, int count,
                            const std::string& path) {
  void** array = static_cast<void**>(Block(sizeof(void*) * (count + 1)));
  for (int i = 0; i < count; ++i) array[i] = Record(table, path);
  return array;
}

void RecordBuilder::Fill(const scrivel::StructTable& table, unsigned char* record,
                         const std::string& path) {
  for (size_t i = 0; i < table.rowCount; ++i) {
    const scrivel::Row& row = table.rows[i];
    if (!IsPointer(row.kind)) FillRow(row, record, path + "." + row.name);
  }
  // Pointers last: their lengths and counts overwrite the scalars.
  for (size_t i = 0; i < table.rowCount; ++i) {
    const scrivel::Row& row = table.rows[i];
    if (IsPointer(row.kind) && !m_nullPointers) FillRow(row, record, path + "." + row.name);
  }
}

void RecordBuilder::FillRow(const scrivel::Row& row, unsigned char* record,
                            const std::string& path) {
  unsigned char* at = record + row.offset;
  const bool secret = m_secret && m_secret(path);
  if (secret) m_marked.push_back(path);
  switch (row.kind) {
    case Kind::Word:
    case Kind::Ushort:
      Write<WORD>(at, kScalar);
      break;
    case Kind::Dword:
    case Kind::Ulong:
    case Kind::Long:
    case Kind::Bool:
      Write<DWORD>(at, secret ? kMarkerNumber : kScalar);
      break;
    case Kind::Byte:
      Write<BYTE>(at, kScalar);
      break;
    case Kind::Char:
      Write<CHAR>(at, 'c');
      break;
    case Kind::Chars:
      std::memset(at, 'v', static_cast<size_t>(row.count));
      break;
    case Kind::Words:
      for (int i = 0; i < row.count; ++i) Write<WORD>(at + i * sizeof(WORD), kScalar);
      break;
    case Kind::Dwords:
      for (int i = 0; i < row.count; ++i) Write<DWORD>(at + i * sizeof(DWORD), kScalar);
      break;
    case Kind::InlineBytes:
      std::memset(at, 0x5A, static_cast<size_t>(row.count));
      break;
    case Kind::Text:
      Write<void*>(at, Text(secret ? m_marker : std::string(kText)));
      break;
    case Kind::TextList:
      Write<void*>(at, Text(std::string(kTextList, sizeof kTextList)));
      break;
    case Kind::WideText:
    case Kind::WideTextList: {
      void* block = Block(sizeof kWideList);
      std::memcpy(block, kWideList, sizeof kWideList);
      Write<void*>(at, block);
      break;
    }
    case Kind::UshortList: {
      void* block = Block(sizeof kUshortList);
      std::memcpy(block, kUshortList, sizeof kUshortList);
      Write<void*>(at, block);
      break;
    }
    case Kind::Bytes: {
      const std::string bytes = secret ? m_marker
                                       : std::string(reinterpret_cast<const char*>(kBytes),
                                                     sizeof kBytes);
      Write<void*>(at, Text(bytes));
      WriteLength(record, row.length, bytes.size());
      break;
    }
    case Kind::Record:
      Write<void*>(at, Record(*row.nested, path));
      break;
    case Kind::Array:
      Write<void*>(at, Array(*row.nested, kElements, path));
      WriteLength(record, row.length, kElements);
      break;
    case Kind::Custom: {
      // Room for whatever block the row renders; marked when secret.
      unsigned char* block = static_cast<unsigned char*>(Block(256));
      if (secret) {
        std::memcpy(block, m_marker.data(), std::min<size_t>(m_marker.size(), 256));
        WriteLength(record, row.length, m_marker.size());
      }
      Write<void*>(at, block);
      break;
    }
  }
}

void* RecordBuilder::ForType(const scrivel::TypeEntry& entry) {
  switch (entry.shape) {
    case scrivel::Shape::Record:
      return Record(*entry.table);
    case scrivel::Shape::NullTerminated:
    case scrivel::Shape::Counted:
      return Array(*entry.table, kElements);
    case scrivel::Shape::Value:
      break;
  }
  // The common value types: a block that holds any of them.
  unsigned char* block = static_cast<unsigned char*>(Block(64));
  if (std::strcmp(entry.type, "LPSTR") == 0) return Text(kText);
  std::memcpy(block, kUshortList, sizeof kUshortList);
  return block;
}

std::vector<KnownType> AllKnownTypes() {
  std::vector<KnownType> types;
  for (int serviceClass : {0, WFS_SERVICE_CLASS_PTR, WFS_SERVICE_CLASS_IDC,
                           WFS_SERVICE_CLASS_PIN, WFS_SERVICE_CLASS_CRD}) {
    const CXFSSPParam* renderer = theApp.GetSPModule(serviceClass);
    if (serviceClass != 0 && renderer == &theApp) continue;  // no renderer of its own yet
    for (const scrivel::TypeEntry& entry : renderer->OwnTypes()) {
      types.push_back({serviceClass, &entry});
    }
  }
  return types;
}

std::vector<const scrivel::StructTable*> AllTables() {
  std::vector<const scrivel::StructTable*> tables;
  std::function<void(const scrivel::StructTable*)> add = [&](const scrivel::StructTable* table) {
    if (table == nullptr || std::find(tables.begin(), tables.end(), table) != tables.end()) return;
    tables.push_back(table);
    for (size_t i = 0; i < table->rowCount; ++i) add(table->rows[i].nested);
  };
  for (const KnownType& type : AllKnownTypes()) add(type.entry->table);
  return tables;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

std::string Hex(const void* pointer) {
  char text[32];
  std::snprintf(text, sizeof text, "%zx", reinterpret_cast<size_t>(pointer));
  return text;
}

std::string HexDec(const void* pointer) {
  return Hex(pointer) + "(" + std::to_string(reinterpret_cast<size_t>(pointer)) + ")";
}

}  // namespace scriveltest
