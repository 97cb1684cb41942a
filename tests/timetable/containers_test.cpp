#include "timetable/BaseMatrix.h"
#include "timetable/containers.h"
#include "timetable/timeTable.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(BaseMatrixTest, IndexIsRowMajor)
{
    BaseMatrix<std::string> matrix(4, 5);
    EXPECT_EQ(matrix.index(2, 3), 13);
    matrix(2, 3) = "x";
    EXPECT_EQ(matrix.values[13], "x");
    EXPECT_EQ(matrix.values.size(), 20u);
    EXPECT_EQ(matrix.rowSize(), 4u);
    EXPECT_EQ(matrix.colSize(), 5u);
}

TEST(BaseMatrixTest, EmptyDimensions)
{
    BaseMatrix<std::string> none;
    EXPECT_EQ(none.rowSize(), 0u);
    EXPECT_EQ(none.colSize(), 0u);
    EXPECT_TRUE(none.values.empty());

    BaseMatrix<std::string> noRows(0, 7);
    EXPECT_EQ(noRows.rowSize(), 0u);
    EXPECT_EQ(noRows.colSize(), 7u);
    EXPECT_TRUE(noRows.values.empty());
}

TEST(BaseMatrixTest, SetSizeKeepsFlatOrderAndPadsWithEmptyStrings)
{
    BaseMatrix<std::string> matrix(2, 3);
    for (uint32_t r = 0; r < 2; ++r)
        for (uint32_t c = 0; c < 3; ++c)
            matrix(r, c) = std::to_string(r) + std::to_string(c);

    matrix.setSize(3, 2);
    EXPECT_EQ(matrix.rowSize(), 3u);
    EXPECT_EQ(matrix.colSize(), 2u);
    EXPECT_EQ(matrix(1, 0), "02");
    EXPECT_EQ(matrix(2, 1), "12");

    matrix.setSize(3, 3);
    EXPECT_EQ(matrix.values.size(), 9u);
    EXPECT_EQ(matrix(0, 0), "00");
    EXPECT_EQ(matrix(2, 2), "");
}

TEST(BaseMatrixTest, AssigningAStringFillsEveryElement)
{
    BaseMatrix<std::string> matrix(3, 3);
    matrix(1, 1) = "old";
    matrix = std::string("a");
    EXPECT_EQ(matrix.rowSize(), 3u);
    EXPECT_EQ(matrix.colSize(), 3u);
    EXPECT_EQ(matrix.values, std::vector<std::string>(9, "a"));
}

TEST(BaseMatrixTest, CopyIsIndependent)
{
    BaseMatrix<std::string> matrix(2, 2);
    matrix(1, 1) = "kept";
    BaseMatrix<std::string> copy(matrix);
    matrix(1, 1) = "changed";
    EXPECT_EQ(copy.rowSize(), 2u);
    EXPECT_EQ(copy.colSize(), 2u);
    EXPECT_EQ(copy(1, 1), "kept");
}

// Records the names of destroyed objects, in order.
std::vector<std::string> destroyed;

class probe : public namedObjects<std::string>
{
public:
    explicit probe(std::string name) : namedObjects<std::string>(std::move(name)) {}
    ~probe() { destroyed.push_back(name); }
};

TEST(RegistryTest, FindOrCreateReturnsOneObjectPerName)
{
    vorMapPtr<namedObjects<std::string>> registry(true);
    namedObjects<std::string>* first = registry.findOrCreate("1A");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "1A");
    EXPECT_EQ(registry.findOrCreate("1A"), first);
    EXPECT_EQ(registry.size(), 1u);
    EXPECT_EQ(registry.find("1A"), first);
    EXPECT_EQ(registry.find("1B"), nullptr);
    EXPECT_EQ(registry.size(), 1u);
}

TEST(RegistryTest, OrderIsUnsignedByteOrder)
{
    vorMapPtr<namedObjects<std::string>> registry(true);
    for (const char* name : {"\xC3\x84rger", "alpha", "abc", "Zeta", "ab", "\x7F", "\x80x", ""})
        registry.findOrCreate(name);
    std::vector<std::string> order;
    for (auto& entry : registry.map()) {
        EXPECT_EQ(entry.first, entry.second->name);
        order.push_back(entry.first);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"", "Zeta", "ab", "abc", "alpha", "\x7F", "\x80x", "\xC3\x84rger"}));
}

TEST(RegistryTest, OwningRegistryDeletesEachObjectOnceInKeyOrder)
{
    destroyed.clear();
    {
        vorMapPtr<probe> registry(true);
        registry.findOrCreate("b");
        registry.findOrCreate("a");
        registry.findOrCreate("b");
        registry.findOrCreate("C");
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"C", "a", "b"}));
}

TEST(RegistryTest, NonOwningRegistryDeletesNothing)
{
    destroyed.clear();
    probe kept("kept");
    {
        vorMapPtr<probe> registry(false);
        registry.map()["kept"] = &kept;
    }
    EXPECT_TRUE(destroyed.empty());
}

TEST(ListTest, AddKeepsInsertionOrderAndIgnoresNull)
{
    vorListPtr<probe> list(true);
    list.add(new probe("second"));
    list.add(nullptr);
    list.add(new probe("first"));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.list().front()->name, "second");
    EXPECT_EQ(list.list().back()->name, "first");
}

TEST(ListTest, OwningListDeletesFrontToBack)
{
    destroyed.clear();
    {
        vorListPtr<probe> list(true);
        list.add(new probe("z"));
        list.add(new probe("a"));
        list.add(new probe("m"));
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"z", "a", "m"}));
}

TEST(ListTest, NonOwningListLeavesTeachersUsable)
{
    timeTable model;
    teacher* kept = model.insertTeacher("Kept");
    kept->addDay("Mon")->addhour("1");
    kept->fixSize();
    {
        vorListPtr<teacher> working(false);
        working.add(kept);
        EXPECT_EQ(working.size(), 1u);
    }
    EXPECT_EQ(model.teachers.find("Kept"), kept);
    EXPECT_EQ(kept->days.size(), 1u);
    EXPECT_EQ(kept->hourCount, 1u);
}

}  // namespace
