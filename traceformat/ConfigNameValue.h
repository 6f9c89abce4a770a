// The name file's lists: ConfigNameValue holds (name, value) pairs in file
// order. Lookups compare exactly (case-sensitive) and answer with the first
// matching pair; misses give -1 or an empty text. Beside the pairs the list
// keeps an index of the first pair per name and per value, so a lookup
// costs one hash probe however long the list is.
#ifndef TRACEFORMAT_CONFIGNAMEVALUE_H
#define TRACEFORMAT_CONFIGNAMEVALUE_H

#include <QHash>
#include <QString>
#include <QVector>
#include <vector>

namespace namelists {

// The column's entry at index, or an empty text when index is out of range.
inline QString At(const QVector<QString>& column, int index) {
  return index >= 0 && index < column.size() ? column[index] : QString();
}

}  // namespace namelists

class ConfigNameValue {
 public:
  ConfigNameValue();
  // One pair per name, each with an empty value.
  explicit ConfigNameValue(const std::vector<QString>& names);

  void InsertItem(const QString& name, const QString& value);
  // Replaces the value of the first pair with that name; false when none.
  bool UpdateItem(const QString& name, const QString& value);
  // UpdateItem, or InsertItem when it found nothing; always true.
  bool UpdateInsertItem(const QString& name, const QString& value);

  int GetLength() const { return m_names.size(); }
  int GetIndex(const QString& name) const { return m_firstByName.value(name, -1); }
  int GetIndexByValue(const QString& value) const { return m_firstByValue.value(value, -1); }
  QString GetNameAt(int index) const { return namelists::At(m_names, index); }
  QString GetValueAt(int index) const { return namelists::At(m_values, index); }
  QString GetValue(const QString& name) const { return GetValueAt(GetIndex(name)); }
  QString GetName(const QString& value) const { return GetNameAt(GetIndexByValue(value)); }

 private:
  QVector<QString> m_names;
  QVector<QString> m_values;
  QHash<QString, int> m_firstByName;
  QHash<QString, int> m_firstByValue;
};

#endif
