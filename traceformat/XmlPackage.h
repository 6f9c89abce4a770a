// A document with its source text, and the two extractions that fill the
// name lists from "item" elements: each item's "name" and "value" (and, for
// command lists, "InputParam" and "OutputParam") attributes, in document
// order, through the list's UpdateInsertItem. A missing attribute counts as
// an empty text (with the node's trace line); the item is still taken.
#ifndef TRACEFORMAT_XMLPACKAGE_H
#define TRACEFORMAT_XMLPACKAGE_H

#include <QString>

#include "CommandCollection.h"
#include "ConfigNameValue.h"
#include "XmlDocument.h"

class XmlPackage {
 public:
  // A new document (version "1.0", encoding "gb2312", root "root") and no
  // source text.
  void ResetXmlPackage();
  // Stores the source text (local 8-bit encoding).
  void SetXmlData(const char* text);
  // Parses the stored text into the document; false when it is empty or
  // does not parse.
  bool ParseXmlData();
  // Replaces the stored text by the document's text.
  void GenerateXmlData();
  const QString& GetXmlData() const { return m_strXmlData; }
  QString GetXmlDataAlign() const { return m_document.GetXmlTextAlign(); }
  XmlDocument& GetDocument() { return m_document; }

  // The items of the root's only child called `name`; false (and the list
  // unchanged) when the root has no such child or more than one.
  bool GetXmlAttribute(const char* name, ConfigNameValue& list) const;
  // The items of the node that the path names (none when it names nothing).
  void GetXmlAttributeByPath(const char* path, ConfigNameValue& list) const;
  void GetXmlAttributeByPath(const char* path, CommandCollection& list) const;

 private:
  QString m_strXmlData;
  XmlDocument m_document;
};

#endif
