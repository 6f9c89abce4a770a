#include "CommandCollection.h"

CommandCollection::CommandCollection() {
  m_inputs.reserve(2);
  m_outputs.reserve(2);
}

void CommandCollection::InsertItem(const QString& name, const QString& value,
                                   const QString& input, const QString& output) {
  m_pairs.InsertItem(name, value);
  m_inputs.append(input);
  m_outputs.append(output);
}

bool CommandCollection::UpdateItem(const QString& name, const QString& value,
                                   const QString& input, const QString& output) {
  const int index = m_pairs.GetIndex(name);
  if (index < 0) return false;
  m_pairs.UpdateItem(name, value);
  m_inputs[index] = input;
  m_outputs[index] = output;
  return true;
}

bool CommandCollection::UpdateInsertItem(const QString& name, const QString& value,
                                         const QString& input, const QString& output) {
  if (!UpdateItem(name, value, input, output)) InsertItem(name, value, input, output);
  return true;
}
