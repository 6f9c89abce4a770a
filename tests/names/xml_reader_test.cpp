// The XML reader: what parses and what fails, the text it writes back, and
// path lookups with their placeholder and trace lines.
#include <gtest/gtest.h>

#include <string>

#include "XmlDocument.h"
#include "test_support.h"

namespace {

bool Parses(const std::string& text, XmlDocument* out = nullptr) {
  XmlDocument document;
  bool parsed = document.Parse(text.data(), static_cast<long>(text.size()));
  if (out != nullptr) *out = document;
  return parsed;
}

struct ParseCase {
  const char* what;
  std::string text;
  bool parses;
};

TEST(XmlReader, AcceptsElementsAndAttributesOnly) {
  const ParseCase cases[] = {
      {"empty child", "<root><A x=\"1\"/></root>", true},
      {"closing name differs", "<root><A x=\"1\"></B></root>", false},
      {"closing name in another case", "<root><A></a></root>", false},
      {"text content", "<root>text</root>", false},
      {"duplicate attribute", "<root a=\"1\" a=\"2\"/>", false},
      {"comment at the top", "<!-- x --><r/>", false},
      {"comment inside", "<r><!-- x --></r>", false},
      {"single quotes", "<r a='1'/>", false},
      {"blanks around the equals sign", "<r a = \"1\"/>", true},
      {"blanks inside tags", "<r >\r\n\t<A/ >< / r >", true},
      {"trailing text", "<r/>x", false},
      {"trailing CR LF and NUL", std::string("<r/>\r\n\0\0", 8), true},
      {"NUL inside a value", std::string("<r a=\"x\0y\"/>", 12), false},
      {"value runs to the end", "<r a=\"1", false},
      {"element not closed", "<r><A/>", false},
      {"attribute without value", "<r a/>", false},
      {"two roots", "<r/><s/>", false},
      {"nothing", "", false},
      {"declaration not closed", "<?xml version=\"1.0\"<r/>", false},
      {"second version", "<?xml version=\"1\" VERSION=\"2\"?><r/>", false},
      {"declaration of another name", "<?xmlx version=\"1\"?><r/>", false},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(Parses(c.text), c.parses) << c.what;
  EXPECT_FALSE(XmlDocument().Parse(nullptr, 5));
}

TEST(XmlReader, DeclarationAttributesInAnyCase) {
  XmlDocument document;
  ASSERT_TRUE(Parses("<?XML Version=\"1.0\" ENCODING=\"utf-8\" standalone=\"yes\"?><r/>",
                     &document));
  EXPECT_EQ(document.GetVersion(), "1.0");
  EXPECT_EQ(document.GetEncoding(), "utf-8");
  EXPECT_EQ(document.GetRoot().GetName(), "r");
  EXPECT_EQ(document.GetRoot().GetAttributeCount(), 0);
}

TEST(XmlReader, ReadsEveryByteUpToTheLengthAndNoFurther) {
  XmlDocument document;
  ASSERT_TRUE(Parses("<r a=\"\xE9t\xE9\xFF\" b=\"2\"/>", &document));
  EXPECT_EQ(document.GetRoot().GetAttributeValue("a"), QString::fromLatin1("\xE9t\xE9\xFF"));
  EXPECT_EQ(document.GetRoot().GetAttributeValue("b"), "2");
  // The length bounds the text: what follows it is never looked at.
  const char text[] = "<r a=\"1\"/>garbage";
  EXPECT_TRUE(XmlDocument().Parse(text, 10));
  EXPECT_FALSE(XmlDocument().Parse(text, 8));  // ends inside the element
}

TEST(XmlReader, DeepNestingFailsWithoutRecursingFurther) {
  auto nested = [](int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<a>";
    for (int i = 0; i < depth; ++i) text += "</a>";
    return text;
  };
  EXPECT_TRUE(Parses(nested(XmlDocument::kMaxDepth)));
  EXPECT_FALSE(Parses(nested(XmlDocument::kMaxDepth + 1)));
  EXPECT_FALSE(Parses(nested(200000)));
  std::string unclosed(400000, '<');
  EXPECT_FALSE(Parses("<a>" + unclosed));
}

TEST(XmlReader, WritesTheModelBack) {
  EXPECT_EQ(XmlDocument().GetXmlText(), "<?xml version=\"1.0\" encoding=\"gb2312\"?><root/>");
  XmlDocument document;
  ASSERT_TRUE(Parses("<root>\n <A x=\"1\"/>\n <B><C y=\"2\" z=\"3\"/></B>\n</root>", &document));
  EXPECT_EQ(document.GetRoot().GetXmlText(),
            "<root><A x=\"1\"/><B><C y=\"2\" z=\"3\"/></B></root>");
  EXPECT_EQ(document.GetXmlTextAlign(),
            "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<root>\r\n\t<A x=\"1\"/>\r\n\t<B>"
            "\r\n\t\t<C y=\"2\" z=\"3\"/>\r\n\t</B>\r\n</root>");
  XmlDocument again;
  const QByteArray text = document.GetXmlText().toLatin1();
  ASSERT_TRUE(again.Parse(text.constData(), text.size()));
  EXPECT_EQ(again.GetXmlText(), document.GetXmlText());
}

TEST(XmlReader, PathsNameChildrenBelowTheRoot) {
  XmlDocument document;
  ASSERT_TRUE(Parses("<root><A><B i=\"0\"/><B i=\"1\"/></A><A><B i=\"2\"/></A></root>",
                     &document));
  testsupport::TraceCapture trace;
  EXPECT_EQ(document.GetNodeByPath("root/A/B", 1).GetAttributeValue("i"), "1");
  EXPECT_EQ(document.GetNodeCountByPath("root/A/B"), 2);
  EXPECT_EQ(document.GetNodeCountByPath("root/A"), 2);
  EXPECT_EQ(document.GetNodeCountByPath("root"), 1);
  EXPECT_EQ(document.GetNodeCountByPath("root/X/B"), 0);
  EXPECT_EQ(document.GetNodesCopyByPath("root/A").size(), 2u);
  EXPECT_TRUE(trace.lines().empty());

  // A path must name at least one child of the root.
  EXPECT_EQ(document.GetNodeByPath("root", 0).GetName(), "exce");
  EXPECT_EQ(trace.countExact("XmlDocument::GetNodeByPath szPath=[root] nIndex=[0]!", 4), 1);
  EXPECT_EQ(document.GetNodeByPath("root/A/B", 2).GetName(), "exce");
  EXPECT_EQ(document.GetNodeByPath("other/A", 0).GetName(), "exce");
  EXPECT_EQ(trace.countExact("XmlNode::GetNodeByPath szPath=[other/A]!", 4), 1);
  EXPECT_EQ(XmlDocument::GetPath("root//A"), QStringList{"root"});
  EXPECT_EQ(trace.countExact("XmlDocument::GetPath szPath=[root//A]!", 4), 1);
  for (const testsupport::TraceLine& line : trace.lines()) EXPECT_EQ(line.module, "KvFMAT");
}

TEST(XmlReader, MissingElementsAndAttributesGivePlaceholders) {
  XmlNode node("n");
  node.AddAttribute("a", "1");
  node.AddChild("c");
  testsupport::TraceCapture trace;
  EXPECT_EQ(node.GetAttribute(1).GetName(), "exce");
  EXPECT_EQ(node.GetAttributeValue("b"), "");
  EXPECT_EQ(node.GetChild(1).GetName(), "exce");
  node.GetChild(1).AddChild("x");  // the placeholder is the caller's, and fresh every time
  EXPECT_EQ(node.GetChild(2).GetChildrenCount(), 0);
  EXPECT_EQ(node.GetChildByName("c", -1).GetName(), "exce");
  EXPECT_EQ(node.GetChildByName("c", 1).GetName(), "exce");
  EXPECT_EQ(node.GetChildByNameAttribute("c", "a", "1").GetName(), "exce");
  EXPECT_EQ(node.GetChildrenCount(), 1);
  EXPECT_EQ(trace.countExact("XmlNode::GetAttribute exception!", 4), 1);
  EXPECT_EQ(trace.countExact("XmlNode::GetAttributeValue exception!", 4), 1);
  EXPECT_EQ(trace.countExact("XmlNode::GetChildByName nIndex=[-1]!", 4), 1);
  EXPECT_EQ(trace.countExact("XmlNode::GetChildByName2 nIndex=[1]!", 4), 1);
  EXPECT_EQ(trace.countExact("XmlNode::GetChildByNameAttribute szName=[c]!", 4), 1);
}

}  // namespace
