#include "pdf417/BarData.h"

#include "core/Exceptions.h"
#include "tests/pdf417/CodewordLists.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

// Forward and backward links, root, tail and count must all tell the same story.
void ExpectList(const TPdf417Codewords& list, const std::vector<int>& expected)
{
    EXPECT_EQ(Values(list), expected);
    EXPECT_EQ(std::vector<int>(list.Values().begin(), list.Values().end()), expected);
    std::vector<int> backwards;
    for (const TBarData* node = list.Tail(); node; node = node->Prior)
        backwards.insert(backwards.begin(), node->Value);
    EXPECT_EQ(backwards, expected);
    EXPECT_EQ(list.CodeWordCount(), static_cast<int32_t>(expected.size()));
    EXPECT_EQ(list.Root() == nullptr, expected.empty());
    if (list.Root()) {
        EXPECT_EQ(list.Root()->Prior, nullptr);
        EXPECT_EQ(list.Tail()->Next, nullptr);
    }
}

struct TEditCase {
    const char* name;
    std::function<void(TPdf417Codewords&)> edit; // applied to the list 1 2 3
    std::vector<int> expected;
};

TEST(BarDataTest, EditsKeepTheListLinked)
{
    const TEditCase cases[] = {
        {"append at the tail", [](auto& l) { l.AppendBarData(l.Tail(), 9); }, {1, 2, 3, 9}},
        {"append inside", [](auto& l) { l.AppendBarData(l.FindNode(2), 9); }, {1, 2, 9, 3}},
        {"append after no node", [](auto& l) { l.AppendBarData(nullptr, 9); }, {1, 2, 3, 9}},
        {"insert before the root", [](auto& l) { l.InsertBarData(l.Root(), 9); }, {9, 1, 2, 3}},
        {"insert inside", [](auto& l) { l.InsertBarData(l.FindNode(3), 9); }, {1, 2, 9, 3}},
        {"insert one past the end", [](auto& l) { l.InsertBarData(l.FindNode(4), 9); }, {1, 2, 3, 9}},
        {"new root", [](auto& l) { l.RootBarData(9); }, {9}},
        {"delete", [](auto& l) { l.DelBarData(); }, {}},
        {"delete, then append",
         [](auto& l) {
             l.DelBarData();
             l.AppendBarData(l.Tail(), 9);
         },
         {9}},
    };
    for (const TEditCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPdf417Codewords list;
        Fill(list, {1, 2, 3});
        c.edit(list);
        ExpectList(list, c.expected);
    }
}

// Nodes come from blocks the list reuses: a node handed out early must stay
// where it is while thousands follow, edits in front and behind must show in
// Values(), and a list emptied and filled again must not see its old nodes.
TEST(BarDataTest, NodesStayPutAcrossBlocksAndRefills)
{
    TPdf417Codewords list;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        TBarData* first = list.RootBarData(7);
        std::vector<int> expected = {7};
        for (int i = 0; i < 10000; ++i) {
            list.AppendBarData(list.Tail(), static_cast<int16_t>(i % 929));
            expected.push_back(i % 929);
        }
        EXPECT_EQ(list.Values().size(), expected.size());
        list.InsertBarData(first, 900);
        list.AppendBarData(first, 901);
        expected.insert(expected.begin(), 900);
        expected.insert(expected.begin() + 2, 901);
        EXPECT_EQ(first->Value, 7);
        ExpectList(list, expected);
        list.DelBarData();
        ExpectList(list, {});
    }
}

struct TFindCase {
    std::vector<int> list;
    int from; // position counting starts at (1: the root)
    int32_t position;
    int expected;      // value found, -1 for the empty node one past the end
    const char* error; // or the exception's text
};

TEST(BarDataTest, FindNode)
{
    const TFindCase cases[] = {
        {{10, 20, 30}, 1, 1, 10, nullptr},
        {{10, 20, 30}, 1, 3, 30, nullptr},
        {{10, 20, 30}, 1, 4, -1, nullptr},
        {{10, 20, 30}, 1, 5, 0, "5 is too big!"},
        {{10, 20, 30}, 1, 1000, 0, "1000 is too big!"},
        {{10, 20, 30}, 1, 0, 0, "0 is too small!"},
        {{10, 20, 30}, 2, 2, 30, nullptr},
        {{10, 20, 30}, 2, 3, -1, nullptr},
        {{10, 20, 30}, 2, 4, 0, "4 is too big!"},
        {{}, 1, 1, -1, nullptr},
        {{}, 1, 2, 0, "2 is too big!"},
    };
    for (const TFindCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " from " << c.from);
        TPdf417Codewords list;
        Fill(list, c.list);
        TBarData* from = list.FindNode(c.from);
        if (c.error) {
            try {
                list.FindNode(from, c.position);
                ADD_FAILURE() << "no exception";
            } catch (const Exception& e) {
                EXPECT_EQ(std::string(e.what()), c.error);
            }
        } else {
            const TBarData* node = list.FindNode(from, c.position);
            EXPECT_EQ(node ? node->Value : -1, c.expected);
        }
    }
}

TEST(BarDataTest, StreamAppendStrPutsTheBytesInFront)
{
    struct TCase {
        std::string s, former, expected;
    };
    const TCase cases[] = {
        {"AB", "CD", "ABCD"},
        {"", "CD", "CD"},
        {"AB", "", "AB"},
        {std::string("@\0G", 3), std::string("\0\xff", 2), std::string("@\0G\0\xff", 5)},
    };
    for (const TCase& c : cases) {
        TMemoryStream stream;
        stream.Write(c.former.data(), c.former.size());
        stream.Seek(0);
        StreamAppendStr(stream, c.s);
        EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), c.expected);
        EXPECT_EQ(stream.Position(), c.expected.size());
    }
}

} // namespace
} // namespace VandrelTest
