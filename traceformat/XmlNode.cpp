#include "XmlNode.h"

#include <algorithm>

#include "kestrel.h"

namespace {

const char kModule[] = "KvFMAT";
const char kPlaceholder[] = "exce";

// The calling thread's placeholder node, reset to an empty "exce".
XmlNode& Placeholder() {
  static thread_local XmlNode placeholder;
  placeholder = XmlNode(kPlaceholder);
  return placeholder;
}

template <typename Item>
bool InRange(const std::vector<Item>& items, long index) {
  return index >= 0 && static_cast<size_t>(index) < items.size();
}

}  // namespace

XmlAttribute XmlNode::GetAttribute(long index) const {
  if (!InRange(m_attributes, index)) {
    tracelog(4, kModule, "XmlNode::GetAttribute exception!");
    return XmlAttribute(kPlaceholder);
  }
  return m_attributes[static_cast<size_t>(index)];
}

bool XmlNode::HasAttribute(const QString& name) const {
  for (const XmlAttribute& attribute : m_attributes) {
    if (attribute.GetName() == name) return true;
  }
  return false;
}

QString XmlNode::GetAttributeValue(const QString& name) const {
  for (const XmlAttribute& attribute : m_attributes) {
    if (attribute.GetName() == name) return attribute.GetValue();
  }
  tracelog(4, kModule, "XmlNode::GetAttributeValue exception!");
  return QString();
}

void XmlNode::AddAttribute(const QString& name, const QString& value) {
  m_attributes.emplace_back(name, value);
}

void XmlNode::SetAttributeValue(const QString& name, const QString& value) {
  for (XmlAttribute& attribute : m_attributes) {
    if (attribute.GetName() == name) {
      attribute.SetValue(value);
      return;
    }
  }
  AddAttribute(name, value);
}

void XmlNode::DeleteAttribute(long index) {
  if (!InRange(m_attributes, index)) {
    tracelog(4, kModule, "XmlNode::DeleteAttribute exception!");
    return;
  }
  m_attributes.erase(m_attributes.begin() + index);
}

void XmlNode::DeleteAttribute(const QString& name) {
  auto found = std::find_if(m_attributes.begin(), m_attributes.end(),
                            [&](const XmlAttribute& a) { return a.GetName() == name; });
  if (found != m_attributes.end()) m_attributes.erase(found);
}

XmlNode& XmlNode::GetChild(long index) {
  if (!InRange(m_children, index)) {
    tracelog(4, kModule, "XmlNode::GetChild nIndex=[%ld]!", index);
    return Placeholder();
  }
  return m_children[static_cast<size_t>(index)];
}

void XmlNode::DeleteChild(long index) {
  if (!InRange(m_children, index)) {
    tracelog(4, kModule, "XmlNode::DeleteChild nIndex=[%ld]!", index);
    return;
  }
  m_children.erase(m_children.begin() + index);
}

long XmlNode::GetChildrenCountByName(const QString& name) const {
  return static_cast<long>(std::count_if(m_children.begin(), m_children.end(),
                                         [&](const XmlNode& c) { return c.m_strName == name; }));
}

std::vector<XmlNode> XmlNode::GetChildrenCopyByName(const QString& name) const {
  std::vector<XmlNode> copies;
  for (const XmlNode& child : m_children) {
    if (child.m_strName == name) copies.push_back(child);
  }
  return copies;
}

const XmlNode* XmlNode::FindChild(const QString& name, long index) const {
  if (index < 0) return nullptr;
  for (const XmlNode& child : m_children) {
    if (child.m_strName == name && index-- == 0) return &child;
  }
  return nullptr;
}

XmlNode XmlNode::GetChildByName(const QString& name, long index) const {
  if (index < 0) {
    tracelog(4, kModule, "XmlNode::GetChildByName nIndex=[%ld]!", index);
    return XmlNode(kPlaceholder);
  }
  const XmlNode* child = FindChild(name, index);
  if (child == nullptr) {
    tracelog(4, kModule, "XmlNode::GetChildByName2 nIndex=[%ld]!", index);
    return XmlNode(kPlaceholder);
  }
  return *child;
}

XmlNode& XmlNode::GetChildByNameAttribute(const QString& name, const QString& attribute,
                                          const QString& value) {
  for (XmlNode& child : m_children) {
    if (child.m_strName != name) continue;
    for (const XmlAttribute& candidate : child.m_attributes) {
      if (candidate.GetName() == attribute) {
        if (candidate.GetValue() == value) return child;
        break;
      }
    }
  }
  tracelog(4, kModule, "XmlNode::GetChildByNameAttribute szName=[%s]!", qPrintable(name));
  return Placeholder();
}

XmlNode& XmlNode::AddChild(const QString& name) {
  m_children.emplace_back(name);
  return m_children.back();
}

XmlNode& XmlNode::AddChild(const XmlNode& node) {
  m_children.push_back(node);
  return m_children.back();
}

void XmlNode::DeleteChildren(const QString& name) {
  m_children.erase(std::remove_if(m_children.begin(), m_children.end(),
                                  [&](const XmlNode& c) { return c.m_strName == name; }),
                   m_children.end());
}

QString XmlNode::GetXmlText() const {
  QString text;
  text.reserve(static_cast<int>(GetXmlTextLength()));
  GetXmlText(text);
  return text;
}

void XmlNode::GetXmlText(QString& out) const {
  AppendOpeningTag(out);
  if (m_children.empty()) return;
  for (const XmlNode& child : m_children) child.GetXmlText(out);
  AppendClosingTag(out);
}

void XmlNode::GetXmlTextAlign(QString& out, int depth) const {
  out += QLatin1String("\r\n");
  out += QString(depth, QLatin1Char('\t'));
  AppendOpeningTag(out);
  if (m_children.empty()) return;
  for (const XmlNode& child : m_children) child.GetXmlTextAlign(out, depth + 1);
  out += QLatin1String("\r\n");
  out += QString(depth, QLatin1Char('\t'));
  AppendClosingTag(out);
}

long XmlNode::GetXmlTextLength() const {
  long length = 2L * m_strName.size() + 5;
  for (const XmlAttribute& attribute : m_attributes) {
    length += attribute.GetName().size() + attribute.GetValue().size() + 4;
  }
  for (const XmlNode& child : m_children) length += child.GetXmlTextLength();
  return length;
}

void XmlNode::AppendOpeningTag(QString& out) const {
  out += QLatin1Char('<');
  out += m_strName;
  for (const XmlAttribute& attribute : m_attributes) {
    out += QLatin1Char(' ');
    out += attribute.GetName();
    out += QLatin1String("=\"");
    out += attribute.GetValue();
    out += QLatin1Char('"');
  }
  out += m_children.empty() ? QLatin1String("/>") : QLatin1String(">");
}

void XmlNode::AppendClosingTag(QString& out) const {
  out += QLatin1String("</");
  out += m_strName;
  out += QLatin1Char('>');
}
