// The element model of the name file's XML reader: an element has a name,
// attributes and child elements in document order, and nothing else (no
// text content). Nodes are values: copying a node copies its whole subtree.
// Lookups never fail hard: a missing element gives a placeholder node named
// "exce", a missing attribute an empty value, each with a level-4 trace line
// under "KvFMAT". All name comparisons are case-sensitive.
#ifndef TRACEFORMAT_XMLNODE_H
#define TRACEFORMAT_XMLNODE_H

#include <QString>
#include <vector>

class XmlAttribute {
 public:
  XmlAttribute() = default;
  explicit XmlAttribute(const QString& name, const QString& value = QString())
      : m_strName(name), m_strValue(value) {}

  const QString& GetName() const { return m_strName; }
  const QString& GetValue() const { return m_strValue; }
  void SetValue(const QString& value) { m_strValue = value; }

 private:
  QString m_strName;
  QString m_strValue;
};

class XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(const QString& name) : m_strName(name) {}

  const QString& GetName() const { return m_strName; }
  void SetName(const QString& name) { m_strName = name; }

  // Attributes.
  long GetAttributeCount() const { return static_cast<long>(m_attributes.size()); }
  // Out of range: a placeholder attribute named "exce".
  XmlAttribute GetAttribute(long index) const;
  bool HasAttribute(const QString& name) const;
  // The value of the first attribute of that name; none: an empty value.
  QString GetAttributeValue(const QString& name) const;
  // Appends, whether or not an attribute of that name exists.
  void AddAttribute(const QString& name, const QString& value);
  // Replaces the value of the first attribute of that name, or appends.
  void SetAttributeValue(const QString& name, const QString& value);
  void DeleteAttribute(long index);
  void DeleteAttribute(const QString& name);
  void ClearAttribute() { m_attributes.clear(); }

  // Children.
  long GetChildrenCount() const { return static_cast<long>(m_children.size()); }
  const std::vector<XmlNode>& GetChildren() const { return m_children; }
  // The index-th child; out of range: a placeholder node named "exce" that
  // belongs to the calling thread and is reset on every miss.
  XmlNode& GetChild(long index);
  void DeleteChild(long index);
  long GetChildrenCountByName(const QString& name) const;
  std::vector<XmlNode> GetChildrenCopyByName(const QString& name) const;
  // A copy of the index-th child (from 0) among those with that name.
  XmlNode GetChildByName(const QString& name, long index) const;
  // The first child with that name whose attribute `attribute` has `value`.
  XmlNode& GetChildByNameAttribute(const QString& name, const QString& attribute,
                                   const QString& value);
  // Append a new empty node or a copy; both return the appended child.
  XmlNode& AddChild(const QString& name);
  XmlNode& AddChild(const XmlNode& node);
  void DeleteChildren(const QString& name);
  void ClearChildren() { m_children.clear(); }

  // Without a trace line: the index-th child named `name`, or NULL.
  const XmlNode* FindChild(const QString& name, long index = 0) const;

  // The node as XML text: no blanks, no line breaks, nothing escaped. The
  // second form appends to `out`.
  QString GetXmlText() const;
  void GetXmlText(QString& out) const;
  // The same with every tag on a line of its own, indented by one TAB per
  // nesting level below `depth` (used for the document's aligned text).
  void GetXmlTextAlign(QString& out, int depth) const;
  // An estimate of the text's length, a size hint only.
  long GetXmlTextLength() const;

 private:
  void AppendOpeningTag(QString& out) const;
  void AppendClosingTag(QString& out) const;

  QString m_strName;
  std::vector<XmlAttribute> m_attributes;
  std::vector<XmlNode> m_children;
};

#endif
