// The name file's command lists: (name, value, InputParam, OutputParam) per
// command, category or event, in file order. The name and value columns are
// a ConfigNameValue, so lookups follow its rules: exact comparison, the
// first matching entry answers, misses give -1 or an empty text.
#ifndef TRACEFORMAT_COMMANDCOLLECTION_H
#define TRACEFORMAT_COMMANDCOLLECTION_H

#include <QString>
#include <QVector>

#include "ConfigNameValue.h"

class CommandCollection {
 public:
  CommandCollection();

  void InsertItem(const QString& name, const QString& value, const QString& input,
                  const QString& output);
  // Replaces value, input and output of the first entry with that name;
  // false when none.
  bool UpdateItem(const QString& name, const QString& value, const QString& input,
                  const QString& output);
  // UpdateItem, or InsertItem when it found nothing; always true.
  bool UpdateInsertItem(const QString& name, const QString& value, const QString& input,
                        const QString& output);

  int GetLength() const { return m_pairs.GetLength(); }
  int GetIndex(const QString& name) const { return m_pairs.GetIndex(name); }
  int GetIndexByValue(const QString& value) const { return m_pairs.GetIndexByValue(value); }
  QString GetNameAt(int index) const { return m_pairs.GetNameAt(index); }
  QString GetValueAt(int index) const { return m_pairs.GetValueAt(index); }
  QString GetInputParamAt(int index) const { return namelists::At(m_inputs, index); }
  QString GetOutputParamAt(int index) const { return namelists::At(m_outputs, index); }
  QString GetValue(const QString& name) const { return m_pairs.GetValue(name); }
  QString GetName(const QString& value) const { return m_pairs.GetName(value); }
  // The type names of the first entry with that value.
  QString GetInputParamByValue(const QString& value) const {
    return GetInputParamAt(GetIndexByValue(value));
  }
  QString GetOutputParamByValue(const QString& value) const {
    return GetOutputParamAt(GetIndexByValue(value));
  }

 private:
  ConfigNameValue m_pairs;
  QVector<QString> m_inputs;
  QVector<QString> m_outputs;
};

#endif
