// The orders of names: by their bytes and by the alphabet.

#include "timetableTestSupport.h"

TEST(NameOrderTest, BytesAndAlphabetFromAnyStartingOrder)
{
    const std::vector<support::tableRow> rows = support::testTable("timetable/data/name_order.tsv");
    ASSERT_EQ(rows.size(), 3u);
    const names given(rows[0].begin() + 1, rows[0].end());
    for (size_t r = 1; r < rows.size(); ++r) {
        SCOPED_TRACE(rows[r][0]);
        const nameOrder order = rows[r][0] == "bytes" ? nameOrder::bytes : nameOrder::alphabet;
        for (const names& start : {given, names(given.rbegin(), given.rend())}) {
            names sorted = start;
            std::string problem;
            EXPECT_TRUE(sortNames(sorted, order, problem)) << problem;
            EXPECT_EQ(sorted, names(rows[r].begin() + 1, rows[r].end()));
        }
    }
}
