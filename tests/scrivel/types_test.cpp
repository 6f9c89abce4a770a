// Every structure type a renderer knows renders a complete block, for a
// record with every member set and for one whose pointers are all NULL.
#include <gtest/gtest.h>

#include <string>

#include "scrivel_test_support.h"
#include "scrivelapp.h"

namespace {

using scriveltest::AllKnownTypes;
using scriveltest::KnownType;
using scriveltest::RecordBuilder;
using scriveltest::Utf8;

// What a complete block of the entry looks like at indent 1.
void ExpectComplete(const scrivel::TypeEntry& entry, const std::string& text, bool nulls) {
  SCOPED_TRACE(std::string(entry.type) + (nulls ? " with NULL pointers" : " filled"));
  if (entry.shape == scrivel::Shape::Value) {
    // LPULONG renders nothing by design.
    EXPECT_EQ(text.empty(), std::string(entry.type) == "LPULONG");
    return;
  }
  const std::string header = "\t" + std::string(entry.type);
  ASSERT_EQ(text.compare(0, header.size(), header), 0) << text;
  EXPECT_EQ(text.compare(text.size() - 3, 3, "}\r\n"), 0) << text;
  switch (entry.shape) {
    case scrivel::Shape::Record:
      for (size_t i = 0; i < entry.table->rowCount; ++i) {
        EXPECT_NE(text.find("\t\t" + std::string(entry.table->rows[i].name)), std::string::npos)
            << entry.table->rows[i].name << "\n" << text;
      }
      break;
    case scrivel::Shape::NullTerminated:
      EXPECT_NE(text.find("[1] = 0x"), std::string::npos) << text;
      break;
    case scrivel::Shape::Counted:  // the type names carry no count
      EXPECT_EQ(text.find("[0]"), std::string::npos) << text;
      break;
    case scrivel::Shape::Value:
      break;
  }
}

TEST(EveryType, RendersACompleteBlock) {
  const std::vector<KnownType> types = AllKnownTypes();
  ASSERT_FALSE(types.empty());
  for (const KnownType& known : types) {
    CXFSSPParam* renderer = theApp.GetSPModule(known.serviceClass);
    ASSERT_EQ(renderer->DescribeType(known.entry->type), known.entry);
    for (bool nulls : {false, true}) {
      RecordBuilder builder(nulls);
      void* data = builder.ForType(*known.entry);
      ExpectComplete(*known.entry,
                     Utf8(renderer->GetParamString(known.entry->type, data, 0,
                                                   known.entry->type, 1)),
                     nulls);
    }
  }
}

}  // namespace
