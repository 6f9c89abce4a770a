// An XML document of the name file's reader: an optional declaration
// (version and encoding) and one root element, parsed from 8-bit text.
//
// What the parser accepts: elements and attributes only. Blanks are space,
// TAB, CR, LF and NUL. A word (element or attribute name) is a run of bytes
// free of blanks and of "/<=>?"; a value is a double-quoted run free of NUL
// and of the double quote, taken as it stands (no escapes, no entities).
// Text content, comments, CDATA, single quotes, a closing tag of another
// name, a repeated attribute and anything but blanks after the root element
// fail the parse. Each byte becomes one character of the same code.
//
// The parser never reads past the given length, and fails an element nested
// deeper than kMaxDepth instead of recursing further. A failed parse leaves
// what was built so far in the document: use it only after success.
#ifndef TRACEFORMAT_XMLDOCUMENT_H
#define TRACEFORMAT_XMLDOCUMENT_H

#include <QString>
#include <QStringList>
#include <vector>

#include "XmlNode.h"

class XmlDocument {
 public:
  // The deepest element nesting that parses (the root is at depth 1).
  static const int kMaxDepth = 64;

  // Version "1.0", encoding "gb2312", an empty root named "root".
  XmlDocument();

  bool Parse(const char* text, long length);

  const QString& GetVersion() const { return m_strVersion; }
  const QString& GetEncoding() const { return m_strEncoding; }
  XmlNode& GetRoot() { return m_root; }
  const XmlNode& GetRoot() const { return m_root; }

  // The declaration and the root's text on one line; the aligned form puts
  // every tag on a line of its own ("\r\n" and one TAB per level).
  QString GetXmlText() const;
  QString GetXmlTextAlign() const;

  // The path's components split at "/"; an empty component ends the split
  // (with a trace line) and the components before it remain.
  static QStringList GetPath(const char* path);
  // A copy of the node that the path names: the first component is the
  // root's name, every further one the first child of that name, the last
  // one the index-th child of its name. A path of the root alone, or one
  // that leads nowhere, gives the placeholder "exce" and a trace line.
  XmlNode GetNodeByPath(const char* path, long index) const;
  // The nodes named by the path's last component under the path's parent:
  // their number (1 for the root alone, 0 when the path leads nowhere) and
  // copies of them.
  long GetNodeCountByPath(const char* path) const;
  std::vector<XmlNode> GetNodesCopyByPath(const char* path) const;

 private:
  // The parser's steps over (text, length) from `pos`; each skips blanks
  // first and fails at the end of the text.
  static bool GetNextChar(const char* text, long length, long& pos, char& next);
  static bool FindChar(const char* text, long length, long& pos, char wanted);
  static bool FindNextChar(const char* text, long length, long pos, char wanted);
  static bool ReadNextWord(const char* text, long length, long& pos, QString& word);
  static bool ReadNextValue(const char* text, long length, long& pos, QString& value);
  // A word, "=" and a value.
  static bool ReadAttribute(const char* text, long length, long& pos, QString& name,
                            QString& value);
  bool ParseDeclaration(const char* text, long length, long& pos);
  static bool ParseNode(const char* text, long length, long& pos, XmlNode& node, int depth);

  // The parent of the path's last component, or NULL; `last` receives that
  // component. A path of the root alone gives NULL and an empty `last`.
  const XmlNode* WalkToParent(const QStringList& components, QString& last) const;

  QString m_strVersion;
  QString m_strEncoding;
  XmlNode m_root;
};

#endif
