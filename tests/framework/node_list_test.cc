#include "framework/node_list.h"

#include <gtest/gtest.h>

#include "framework/setting.h"

namespace Kelvo {
namespace {

TEST(List, AtGivesZeroPastTheEnd) {
  List<std::uint64_t> list;
  EXPECT_EQ(list.at(0), 0u);
  list.append(7);
  EXPECT_EQ(list.at(0), 7u);
  EXPECT_EQ(list.at(list.nodeCount), 0u);
  List<int*> pointers;
  EXPECT_EQ(pointers.at(0), nullptr);
}

TEST(List, CopyKeepsOrderAndUsesTheChosenAllocator) {
  List<std::uint64_t> source;
  source.append(1);
  source.append(2);
  source.append(3);
  StandardAllocator<Node<std::uint64_t>> other;
  const List<std::uint64_t> copy(source, &other);
  EXPECT_EQ(copy.allocator, &other);
  EXPECT_EQ(copy.nodeCount, 3u);
  EXPECT_EQ(copy.at(0), 1u);
  EXPECT_EQ(copy.at(1), 2u);
  EXPECT_EQ(copy.at(2), 3u);
  EXPECT_NE(copy.head, source.head);
  const List<std::uint64_t> emptyCopy(List<std::uint64_t>(), &other);
  EXPECT_EQ(emptyCopy.nodeCount, 0u);
  EXPECT_EQ(emptyCopy.head, nullptr);
  EXPECT_EQ(emptyCopy.allocator, &other);
}

TEST(List, ClearThenAppendStartsAFreshList) {
  List<std::uint64_t> list;
  list.append(1);
  list.append(2);
  list.clear();
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.tail, nullptr);
  EXPECT_EQ(list.nodeCount, 0u);
  list.append(9);
  EXPECT_EQ(list.head, list.tail);
  EXPECT_EQ(list.nodeCount, 1u);
  EXPECT_EQ(list.at(0), 9u);
}

TEST(Setting, CopiesBothNamesOntoTheProcessAllocator) {
  StandardAllocator<char> callers;
  const String<char> group("CodePage", &callers);
  const String<char> name("Name", &callers);
  const Setting setting(kSettingKindValue, group, name);
  EXPECT_EQ(setting.kind, 4);
  EXPECT_EQ(setting.group.toStdString(), "CodePage");
  EXPECT_EQ(setting.name.toStdString(), "Name");
  EXPECT_EQ(setting.group.allocator, StandardAllocator<char>::instance());
  EXPECT_NE(setting.group.chars, group.chars);
  const Setting empty(kSettingKindValue, String<char>(), String<char>());
  EXPECT_EQ(empty.group.chars, nullptr);
  EXPECT_EQ(empty.name.chars, nullptr);
}

}  // namespace
}  // namespace Kelvo
