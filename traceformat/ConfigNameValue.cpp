#include "ConfigNameValue.h"

ConfigNameValue::ConfigNameValue() {
  m_names.reserve(2);
  m_values.reserve(2);
}

ConfigNameValue::ConfigNameValue(const std::vector<QString>& names) : ConfigNameValue() {
  for (const QString& name : names) InsertItem(name, QString());
}

void ConfigNameValue::InsertItem(const QString& name, const QString& value) {
  const int index = m_names.size();
  m_names.append(name);
  m_values.append(value);
  if (!m_firstByName.contains(name)) m_firstByName.insert(name, index);
  if (!m_firstByValue.contains(value)) m_firstByValue.insert(value, index);
}

bool ConfigNameValue::UpdateItem(const QString& name, const QString& value) {
  const int index = GetIndex(name);
  if (index < 0) return false;
  const QString old = m_values[index];
  m_values[index] = value;
  // The old value's first pair may now be a later one, or none.
  if (m_firstByValue.value(old, -1) == index) {
    m_firstByValue.remove(old);
    for (int later = index + 1; later < m_values.size(); ++later) {
      if (m_values[later] == old) {
        m_firstByValue.insert(old, later);
        break;
      }
    }
  }
  const int first = m_firstByValue.value(value, -1);
  if (first < 0 || first > index) m_firstByValue.insert(value, index);
  return true;
}

bool ConfigNameValue::UpdateInsertItem(const QString& name, const QString& value) {
  if (!UpdateItem(name, value)) InsertItem(name, value);
  return true;
}
