#include "XmlDocument.h"

#include "kestrel.h"

namespace {

const char kModule[] = "KvFMAT";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

bool EndsWord(char c) {
  return IsBlank(c) || c == '/' || c == '<' || c == '=' || c == '>' || c == '?';
}

QString Bytes(const char* text, long start, long end) {
  return QString::fromLatin1(text + start, static_cast<int>(end - start));
}

const char* Printable(const char* path) { return path != nullptr ? path : ""; }

}  // namespace

XmlDocument::XmlDocument()
    : m_strVersion(QStringLiteral("1.0")),
      m_strEncoding(QStringLiteral("gb2312")),
      m_root(QStringLiteral("root")) {}

bool XmlDocument::GetNextChar(const char* text, long length, long& pos, char& next) {
  while (pos < length && IsBlank(text[pos])) ++pos;
  if (pos >= length) return false;
  next = text[pos];
  return true;
}

bool XmlDocument::FindChar(const char* text, long length, long& pos, char wanted) {
  char next;
  if (!GetNextChar(text, length, pos, next) || next != wanted) return false;
  ++pos;
  return true;
}

bool XmlDocument::FindNextChar(const char* text, long length, long pos, char wanted) {
  long after = pos + 1;
  char next;
  return GetNextChar(text, length, after, next) && next == wanted;
}

bool XmlDocument::ReadNextWord(const char* text, long length, long& pos, QString& word) {
  char next;
  if (!GetNextChar(text, length, pos, next) || EndsWord(next)) return false;
  long start = pos;
  while (pos < length && !EndsWord(text[pos])) ++pos;
  word = Bytes(text, start, pos);
  return true;
}

bool XmlDocument::ReadNextValue(const char* text, long length, long& pos, QString& value) {
  if (!FindChar(text, length, pos, '"')) return false;
  long start = pos;
  while (pos < length && text[pos] != '"' && text[pos] != '\0') ++pos;
  if (pos >= length || text[pos] != '"') return false;
  value = Bytes(text, start, pos);
  ++pos;
  return true;
}

bool XmlDocument::ReadAttribute(const char* text, long length, long& pos, QString& name,
                                QString& value) {
  return ReadNextWord(text, length, pos, name) && FindChar(text, length, pos, '=') &&
         ReadNextValue(text, length, pos, value);
}

bool XmlDocument::Parse(const char* text, long length) {
  if (text == nullptr || length <= 0) return false;
  long pos = 0;
  char next;
  if (!GetNextChar(text, length, pos, next) || next != '<') return false;
  if (FindNextChar(text, length, pos, '?')) {
    if (!FindChar(text, length, pos, '<') || !FindChar(text, length, pos, '?') ||
        !ParseDeclaration(text, length, pos)) {
      return false;
    }
  }
  if (!ParseNode(text, length, pos, m_root, 1)) return false;
  return !GetNextChar(text, length, pos, next);  // only blanks may follow the root
}

bool XmlDocument::ParseDeclaration(const char* text, long length, long& pos) {
  QString word;
  if (!ReadNextWord(text, length, pos, word) ||
      word.compare(QLatin1String("xml"), Qt::CaseInsensitive) != 0) {
    return false;
  }
  bool versionSeen = false;
  bool encodingSeen = false;
  for (;;) {
    char next;
    if (!GetNextChar(text, length, pos, next)) return false;
    if (next == '?') {
      ++pos;
      return FindChar(text, length, pos, '>');
    }
    QString name;
    QString value;
    if (!ReadAttribute(text, length, pos, name, value)) return false;
    if (name.compare(QLatin1String("version"), Qt::CaseInsensitive) == 0) {
      if (versionSeen) return false;
      versionSeen = true;
      m_strVersion = value;
    } else if (name.compare(QLatin1String("encoding"), Qt::CaseInsensitive) == 0) {
      if (encodingSeen) return false;
      encodingSeen = true;
      m_strEncoding = value;
    }
  }
}

bool XmlDocument::ParseNode(const char* text, long length, long& pos, XmlNode& node, int depth) {
  if (depth > kMaxDepth) return false;
  QString name;
  if (!FindChar(text, length, pos, '<') || !ReadNextWord(text, length, pos, name)) return false;
  node.SetName(name);
  for (;;) {
    char next;
    if (!GetNextChar(text, length, pos, next)) return false;
    if (next == '/') {
      ++pos;
      return FindChar(text, length, pos, '>');
    }
    if (next == '>') break;
    QString attribute;
    QString value;
    if (!ReadAttribute(text, length, pos, attribute, value) || node.HasAttribute(attribute)) {
      return false;
    }
    node.AddAttribute(attribute, value);
  }
  ++pos;  // past the ">" that opens the content
  for (;;) {
    char next;
    if (!GetNextChar(text, length, pos, next) || next != '<') return false;  // text content
    if (FindNextChar(text, length, pos, '/')) {
      QString closing;
      ++pos;
      return FindChar(text, length, pos, '/') && ReadNextWord(text, length, pos, closing) &&
             closing == name && FindChar(text, length, pos, '>');
    }
    if (!ParseNode(text, length, pos, node.AddChild(QString()), depth + 1)) return false;
  }
}

QString XmlDocument::GetXmlText() const {
  QString text = QStringLiteral("<?xml version=\"%1\" encoding=\"%2\"?>")
                     .arg(m_strVersion, m_strEncoding);
  m_root.GetXmlText(text);
  return text;
}

QString XmlDocument::GetXmlTextAlign() const {
  QString text = QStringLiteral("<?xml version=\"%1\" encoding=\"%2\"?>")
                     .arg(m_strVersion, m_strEncoding);
  m_root.GetXmlTextAlign(text, 0);
  return text;
}

QStringList XmlDocument::GetPath(const char* path) {
  QStringList components;
  const QStringList parts = QString::fromLatin1(Printable(path)).split(QLatin1Char('/'));
  for (const QString& part : parts) {
    if (part.isEmpty()) {
      tracelog(4, kModule, "XmlDocument::GetPath szPath=[%s]!", Printable(path));
      break;
    }
    components.append(part);
  }
  return components;
}

const XmlNode* XmlDocument::WalkToParent(const QStringList& components, QString& last) const {
  last.clear();
  if (components.isEmpty() || components.front() != m_root.GetName() || components.size() < 2) {
    return nullptr;
  }
  const XmlNode* node = &m_root;
  for (int i = 1; node != nullptr && i < components.size() - 1; ++i) {
    node = node->FindChild(components[i]);
  }
  last = components.back();
  return node;
}

XmlNode XmlDocument::GetNodeByPath(const char* path, long index) const {
  const QStringList components = GetPath(path);
  if (components.isEmpty() || components.front() != m_root.GetName()) {
    tracelog(4, kModule, "XmlNode::GetNodeByPath szPath=[%s]!", Printable(path));
    return XmlNode(QStringLiteral("exce"));
  }
  QString last;
  const XmlNode* parent = WalkToParent(components, last);
  const XmlNode* node = parent != nullptr ? parent->FindChild(last, index) : nullptr;
  if (node == nullptr) {
    tracelog(4, kModule, "XmlDocument::GetNodeByPath szPath=[%s] nIndex=[%ld]!", Printable(path),
             index);
    return XmlNode(QStringLiteral("exce"));
  }
  return *node;
}

long XmlDocument::GetNodeCountByPath(const char* path) const {
  const QStringList components = GetPath(path);
  if (components.size() == 1 && components.front() == m_root.GetName()) return 1;
  QString last;
  const XmlNode* parent = WalkToParent(components, last);
  return parent != nullptr ? parent->GetChildrenCountByName(last) : 0;
}

std::vector<XmlNode> XmlDocument::GetNodesCopyByPath(const char* path) const {
  const QStringList components = GetPath(path);
  if (components.size() == 1 && components.front() == m_root.GetName()) return {m_root};
  QString last;
  const XmlNode* parent = WalkToParent(components, last);
  return parent != nullptr ? parent->GetChildrenCopyByName(last) : std::vector<XmlNode>();
}
