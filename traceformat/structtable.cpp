#include "structtable.h"

#include <QHash>

#include <cstring>

#include "digits.h"

namespace scrivel {

namespace {

// Members are read with memcpy: the records are packed.
template <typename T>
T Read(const unsigned char* record, unsigned offset) {
  T value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

unsigned long ReadLength(const unsigned char* record, LengthField field) {
  switch (field.size) {
    case 1:
      return Read<BYTE>(record, field.offset);
    case 2:
      return Read<WORD>(record, field.offset);
    case 4:
      return Read<DWORD>(record, field.offset);
    default:
      return 0;
  }
}

// The flag a row passes to what it holds or hides with.
int RowHide(const Row& row, int hide) {
  switch (row.secrecy) {
    case Secrecy::Always:
      return 1;
    case Secrecy::Secret:
      return hide;
    case Secrecy::Clear:
      break;
  }
  return 0;
}

QString RenderRow(CXFSSPParam& r, const Row& row, const unsigned char* record, int indent,
                  int hide) {
  const QString name = QLatin1String(row.name);
  const unsigned char* at = record + row.offset;
  const int rowHide = RowHide(row, hide);
  const bool mapped = row.map >= 0;
  const XmlConfig::Map map = static_cast<XmlConfig::Map>(row.map);
  switch (row.kind) {
    case Kind::Word: {
      const WORD value = Read<WORD>(at, 0);
      return mapped ? r.GetParamString_WORD(value, name, indent, map)
                    : r.GetParamString_WORD(value, name, indent);
    }
    case Kind::Ushort:
      return r.GetParamString_USHORT(Read<USHORT>(at, 0), name, indent);
    case Kind::Dword: {
      const DWORD value = Read<DWORD>(at, 0);
      return mapped ? r.GetParamString_DWORD(value, name, indent, map)
                    : r.GetParamString_DWORD(value, name, indent);
    }
    case Kind::Ulong:
      if (rowHide) return r.GetParamString_HIDDEN(name, indent);
      return r.GetParamString_ULONG(Read<ULONG>(at, 0), name, indent);
    case Kind::Long: {
      const LONG value = Read<LONG>(at, 0);
      return mapped ? r.GetParamString_LONG(value, name, indent, map)
                    : r.GetParamString_LONG(value, name, indent);
    }
    case Kind::Bool:
      return r.GetParamString_BOOL(Read<BOOL>(at, 0), name, indent);
    case Kind::Byte:
      return r.GetParamString_BYTE(Read<BYTE>(at, 0), name, indent);
    case Kind::Char:
      return r.GetParamString_CHAR(Read<CHAR>(at, 0), name, indent);
    case Kind::Chars:
      return r.GetParamString_CHAR_N(reinterpret_cast<const char*>(at), row.count, name, indent);
    case Kind::Text:
      return r.GetParamString_LPSTR(Read<const char*>(at, 0), name, indent, rowHide);
    case Kind::TextList:
      return r.GetParamString_LPSTR_00(Read<const char*>(at, 0), name, indent);
    case Kind::WideText:
      return r.GetParamString_LPWSTR(Read<const wchar_t*>(at, 0), name, indent);
    case Kind::WideTextList:
      return r.GetParamString_LPWSTR_00(Read<const wchar_t*>(at, 0), name, indent);
    case Kind::Words: {
      WORD values[kLargestInline];
      std::memcpy(values, at, sizeof(WORD) * row.count);
      return r.GetParamString_WORD_N(values, row.count, name, indent);
    }
    case Kind::Dwords: {
      DWORD values[kLargestInline];
      std::memcpy(values, at, sizeof(DWORD) * row.count);
      return r.GetParamString_DWORD_N(values, row.count, name, indent);
    }
    case Kind::UshortList:
      return r.GetParamString_LPUSHORT(Read<const USHORT*>(at, 0), name, indent);
    case Kind::Bytes:
      if (rowHide) return r.GetParamString_LPBYTE(kHiddenBytes, sizeof kHiddenBytes, name, indent);
      return r.GetParamString_LPBYTE(Read<const unsigned char*>(at, 0),
                                     ReadLength(record, row.length), name, indent);
    case Kind::InlineBytes:
      if (rowHide) return r.GetParamString_LPBYTE(kHiddenBytes, sizeof kHiddenBytes, name, indent);
      return r.GetParamString_LPBYTE(at, static_cast<unsigned long>(row.count), name, indent);
    case Kind::Record:
      return RenderRecord(r, *row.nested, Read<const void*>(at, 0), name, indent, rowHide);
    case Kind::Array: {
      const int count = row.length.size == 0 ? -1 : static_cast<int>(ReadLength(record, row.length));
      return RenderArray(r, *row.nested, Read<const void* const*>(at, 0), count, row.braces, name,
                         indent, rowHide);
    }
    case Kind::Custom:
      return row.custom(r, record, name, indent, rowHide);
  }
  return QString();
}

QString Header(CXFSSPParam& r, const void* address, const QString& name, int indent) {
  return r.GetTab(indent) + r.GetFixedName(name) + QLatin1String(" = 0x") +
         Digits::Address(address).text() + QLatin1String("\r\n");
}

}  // namespace

QString RenderRecord(CXFSSPParam& r, const StructTable& table, const void* record,
                     const QString& name, int indent, int hide) {
  QString text = Header(r, record, name, indent);
  if (record == nullptr) return text;
  const QString tab = r.GetTab(indent);
  text += tab + QLatin1String("{\r\n");
  const unsigned char* bytes = static_cast<const unsigned char*>(record);
  for (size_t i = 0; i < table.rowCount; ++i) {
    text += RenderRow(r, table.rows[i], bytes, indent + 1, hide);
  }
  text += tab + QLatin1String("}\r\n");
  return text;
}

QString RenderArray(CXFSSPParam& r, const StructTable& table, const void* const* array,
                    int count, bool braces, const QString& name, int indent, int hide,
                    const QString& elementName) {
  QString text = Header(r, array, name, indent);
  if (array == nullptr) return text;
  const QString tab = r.GetTab(indent);
  if (braces) text += tab + QLatin1String("{\r\n");
  const QString& prefix = elementName.isEmpty() ? name : elementName;
  // A counted array also ends at a NULL entry: a count that a reply states
  // apart from its array must not lead past the array's end.
  for (int i = 0; (count < 0 || i < count) && array[i] != nullptr; ++i) {
    const QString element = prefix + QLatin1Char('[') + Digits::Decimal(i).text() + QLatin1Char(']');
    text += RenderRecord(r, table, array[i], element, indent + 1, hide);
  }
  if (braces) text += tab + QLatin1String("}\r\n");
  return text;
}

struct TypeTable::Index {
  QHash<QString, const TypeEntry*> byName;
};

TypeTable::TypeTable(const TypeEntry* entries, size_t count)
    : m_entries(entries), m_count(count), m_index(std::make_unique<Index>()) {
  for (size_t i = 0; i < count; ++i) {
    const QString type = QLatin1String(entries[i].type);
    if (!m_index->byName.contains(type)) m_index->byName.insert(type, &entries[i]);
  }
}

TypeTable::~TypeTable() = default;

const TypeEntry* TypeTable::Find(const QString& type) const {
  return m_index->byName.value(type, nullptr);
}

}  // namespace scrivel
