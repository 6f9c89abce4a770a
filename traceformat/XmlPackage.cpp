#include "XmlPackage.h"

#include <QByteArray>

namespace {

const QString kItem = QStringLiteral("item");

void TakePairs(const XmlNode& node, ConfigNameValue& list) {
  for (const XmlNode& item : node.GetChildren()) {
    if (item.GetName() != kItem) continue;
    list.UpdateInsertItem(item.GetAttributeValue(QStringLiteral("name")),
                          item.GetAttributeValue(QStringLiteral("value")));
  }
}

}  // namespace

void XmlPackage::ResetXmlPackage() {
  m_strXmlData.clear();
  m_document = XmlDocument();
}

void XmlPackage::SetXmlData(const char* text) {
  m_strXmlData = QString::fromLocal8Bit(text != nullptr ? text : "");
}

bool XmlPackage::ParseXmlData() {
  if (m_strXmlData.isEmpty()) return false;
  const QByteArray bytes = m_strXmlData.toLocal8Bit();
  return m_document.Parse(bytes.constData(), bytes.size());
}

void XmlPackage::GenerateXmlData() { m_strXmlData = m_document.GetXmlText(); }

bool XmlPackage::GetXmlAttribute(const char* name, ConfigNameValue& list) const {
  const XmlNode& root = m_document.GetRoot();
  const QString childName = QString::fromLatin1(name != nullptr ? name : "");
  if (root.GetChildrenCountByName(childName) != 1) return false;
  TakePairs(*root.FindChild(childName), list);
  return true;
}

void XmlPackage::GetXmlAttributeByPath(const char* path, ConfigNameValue& list) const {
  TakePairs(m_document.GetNodeByPath(path, 0), list);
}

void XmlPackage::GetXmlAttributeByPath(const char* path, CommandCollection& list) const {
  const XmlNode node = m_document.GetNodeByPath(path, 0);
  for (const XmlNode& item : node.GetChildren()) {
    if (item.GetName() != kItem) continue;
    list.UpdateInsertItem(item.GetAttributeValue(QStringLiteral("name")),
                          item.GetAttributeValue(QStringLiteral("value")),
                          item.GetAttributeValue(QStringLiteral("InputParam")),
                          item.GetAttributeValue(QStringLiteral("OutputParam")));
  }
}
