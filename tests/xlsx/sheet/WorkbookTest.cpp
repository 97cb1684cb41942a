#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unzip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "SheetTestSupport.h"
#include "xlsx/Workbook.h"

using namespace SimpleXlsx;
using sheettest::ReadFile;
using sheettest::ScratchDir;
namespace fs = std::filesystem;

namespace {

// Points TMPDIR at a fresh folder (or at `path`) for the life of the object.
class TempDirEnvironment {
public:
    TempDirEnvironment() : TempDirEnvironment(std::string()) {}
    explicit TempDirEnvironment(const std::string& path)
    {
        const char* old = std::getenv("TMPDIR");
        hadOld = old != nullptr;
        if (hadOld) oldValue = old;
        folder = path.empty() ? scratch.File("tmp") : path;
        if (path.empty()) fs::create_directory(folder);
        setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TempDirEnvironment()
    {
        if (hadOld) setenv("TMPDIR", oldValue.c_str(), 1);
        else unsetenv("TMPDIR");
    }
    bool IsEmpty() const { return fs::is_empty(folder); }
    std::string Output(const std::string& name) const { return scratch.File(name); }

    ScratchDir scratch;  // outputs and the temporary folder live here
    std::string folder;

private:
    bool hadOld = false;
    std::string oldValue;
};

std::vector<std::string> EntryNames(const std::string& archivePath)
{
    std::vector<std::string> names;
    unzFile archive = unzOpen64(archivePath.c_str());
    if (archive == nullptr) return names;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
        char name[512];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK)
            names.emplace_back(name);
    }
    unzClose(archive);
    return names;
}

const std::vector<std::string> kFixedEntries = {
    "[Content_Types].xml", "_rels/.rels",   "docProps/core.xml",          "docProps/app.xml",
    "xl/workbook.xml",     "xl/styles.xml", "xl/_rels/workbook.xml.rels", "xl/theme/theme1.xml"};

std::vector<std::string> FixedEntriesAnd(std::vector<std::string> more)
{
    std::vector<std::string> names = kFixedEntries;
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

// Runs the independent reader on `package` with the expectations in `json`.
std::string CheckPackage(const std::string& package, const std::string& json)
{
    const std::string expectations = package + ".expected.json";
    std::ofstream(expectations) << json;
    const std::string report = package + ".report";
    const std::string command = std::string("'") + HORATAB_SYSTEM_PYTHON + "' '" + HORATAB_PACKAGE_CHECKER + "' '" +
                                package + "' '" + expectations + "' > '" + report + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = ReadFile(report);
    return status == 0 ? "OK" : "exit " + std::to_string(status) + ": " + output;
}

void FillSmallSheet(CWorksheet& sheet)
{
    sheet.BeginRow();
    sheet.AddCell(CellDataStr("Mon"));
    sheet.AddCell(CellDataInt(42));
    sheet.EndRow();
}

}  // namespace

TEST(Workbook, WholeWorkbookReadsBackInAnIndependentReader)
{
    TempDirEnvironment env;
    const std::string path = env.Output("week.xlsx");
    {
        CWorkbook book;
        Style centred;
        centred.font.name = "Arial";
        centred.font.size = 14;
        centred.font.attributes = FONT_BOLD;
        centred.horizAlign = ALIGN_H_CENTER;
        centred.vertAlign = ALIGN_V_CENTER;
        const int32_t title = static_cast<int32_t>(book.GetStyleList().Add(centred));
        EXPECT_EQ(title, 2);
        Style filled;
        filled.fill.patternType = PATTERN_SOLID;
        filled.fill.fgColor = "FFFFFF00";
        filled.numFormat.formatString = "0.000";
        const int32_t yellow = static_cast<int32_t>(book.GetStyleList().Add(filled));

        CWorksheet& summary = book.AddSheet("Summary & <totals>", 1, 1, {ColumnWidth(0, 0, 20.0f)});
        summary.BeginRow(24);
        summary.AddCell(CellDataStr("Week \"A\" & <B>", title));
        summary.EndRow();
        summary.MergeCells(CellCoord(1, 0), CellCoord(1, 3));
        summary.AddRow(std::vector<CellDataStr>{"Mon", "Tue", "Mon"});
        summary.BeginRow();
        summary.AddCell(CellDataInt(-7));
        summary.AddCell(CellDataUInt(4000000000u));
        summary.AddCell(CellDataDbl(1234.25, yellow));
        summary.AddCell(CellDataFlt(0.5f));
        summary.AddCell(CellDataStr("=A3+B3"));
        summary.AddTextCell("=not a formula");
        summary.EndRow();

        CWorksheet* second = book.AddSheetPtr("Tue");
        ASSERT_NE(second, nullptr);
        second->AddRow(std::vector<CellDataDbl>{1.5, 2.5}, 1);
        second->BeginRow();
        second->AddCell(CellDataStr("=SUM(B1:C1)"));
        second->AddCell(CellDataStr("Tue"));
        second->AddCell(CellDataStr("\xC3\x89t\xC3\xA9 \xE2\x82\xAC"));
        second->EndRow();

        CWorksheet& third = book.AddSheet("summary & <TOTALS>");  // clashes with the first
        third.BeginRow();
        third.AddCell(CellDataStr("ctrl\x01" "char"));
        ASSERT_TRUE(book.Save(path));
    }
    EXPECT_TRUE(env.IsEmpty());
    // The control character travels in the spreadsheet's _xHHHH_ form,
    // which this reader shows as it is.
    EXPECT_EQ(EntryNames(path), FixedEntriesAnd({"xl/calcChain.xml", "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml",
                                                 "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"}));
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [
        {"name": "Summary & <totals>", "merged": ["A1:D1"],
         "cells": {"A1": "Week \"A\" & <B>", "A2": "Mon", "B2": "Tue", "C2": "Mon", "A3": -7, "B3": 4000000000,
                   "C3": 1234.25, "D3": 0.5, "E3": "=A3+B3", "F3": "=not a formula"},
         "styles": {"A1": {"font": "Arial", "size": 14, "bold": true, "horizontal": "center", "vertical": "center"},
                    "C3": {"fill": "FFFFFF00", "format": "0.000"}, "A2": {"font": "Calibri", "size": 11}}},
        {"name": "Tue", "cells": {"A1": null, "B1": 1.5, "C1": 2.5, "A2": "=SUM(B1:C1)", "B2": "Tue", "C2": "\u00c9t\u00e9 \u20ac"}},
        {"name": "summary & <TOTALS> (2)", "cells": {"A1": "ctrl_x0001_char"}}]})J"),
              "OK");
}

TEST(Workbook, OneSheetOfNumbersHasExactlyTheFixedEntriesAndItsPart)
{
    TempDirEnvironment env;
    const std::string path = env.Output("numbers.xlsx");
    CWorkbook book;
    book.AddSheet("Numbers").AddRow(std::vector<CellDataInt>{1, 2, 3});
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(EntryNames(path), FixedEntriesAnd({"xl/worksheets/sheet1.xml"}));
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "Numbers", "cells": {"A1": 1, "C1": 3}}]})J"), "OK");
    EXPECT_TRUE(env.IsEmpty());
}

TEST(Workbook, EveryAddSheetFormNumbersAndNamesItsSheet)
{
    TempDirEnvironment env;
    CWorkbook book;
    CWorksheet& first = book.AddSheet("a/b");
    CWorksheet& second = book.AddSheet("A_B", {ColumnWidth(0, 2, 9.0f)});
    CWorksheet& third = book.AddSheet("", 1, 0);
    CWorksheet& fourth = book.AddSheet(std::string(40, 'x'), 0, 2, {ColumnWidth(1, 1, 3.0f)});
    CWorksheet* fifth = book.AddSheetPtr("'Sheet 3'");
    ASSERT_NE(fifth, nullptr);
    const std::vector<CWorksheet*> sheets = {&first, &second, &third, &fourth, fifth};
    for (size_t i = 0; i < sheets.size(); ++i) EXPECT_EQ(sheets[i]->GetIndex(), i + 1);
    EXPECT_EQ(first.GetTitle(), "a_b");
    EXPECT_EQ(second.GetTitle(), "A_B (2)");
    EXPECT_EQ(third.GetTitle(), "Sheet 3");
    EXPECT_EQ(fourth.GetTitle(), std::string(31, 'x'));
    EXPECT_EQ(fifth->GetTitle(), "_Sheet 3_");
    for (CWorksheet* sheet : sheets) FillSmallSheet(*sheet);

    const std::string path = env.Output("forms.xlsx");
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "a_b", "cells": {"A1": "Mon", "B1": 42}},
        {"name": "A_B (2)"}, {"name": "Sheet 3"}, {"name": "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {"name": "_Sheet 3_", "cells": {"A1": "Mon"}}]})J"),
              "OK");
    EXPECT_FALSE(book.Save(env.Output("again.xlsx")));  // a workbook is saved once
    EXPECT_FALSE(fs::exists(env.Output("again.xlsx")));
}

TEST(Workbook, PrivateTemporaryFolderLivesFromFirstSheetToSave)
{
    TempDirEnvironment env;
    {
        CWorkbook book;
        EXPECT_TRUE(book.GetTempPath().empty());
        EXPECT_TRUE(env.IsEmpty());
        FillSmallSheet(book.AddSheet("One"));
        const std::string temp = book.GetTempPath();
        EXPECT_EQ(temp.rfind(env.folder + "/xlsx_", 0), 0u) << temp;
        struct stat info;
        ASSERT_EQ(stat(temp.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_TRUE(fs::exists(temp + "/xl/worksheets/sheet1.xml"));
        ASSERT_TRUE(book.Save(env.Output("one.xlsx")));
        EXPECT_TRUE(env.IsEmpty());
    }
    {
        CWorkbook unsaved;  // destroyed without Save
        FillSmallSheet(unsaved.AddSheet("One"));
        EXPECT_FALSE(env.IsEmpty());
    }
    EXPECT_TRUE(env.IsEmpty());
}

TEST(Workbook, WithoutTmpdirTheSystemTemporaryFolderIsUsed)
{
    TempDirEnvironment env;
    unsetenv("TMPDIR");
    CWorkbook book;
    FillSmallSheet(book.AddSheet("One"));
    const std::string temp = book.GetTempPath();
    EXPECT_EQ(temp.rfind("/tmp/xlsx_", 0), 0u) << temp;
    ASSERT_TRUE(book.Save(env.Output("one.xlsx")));
    EXPECT_FALSE(fs::exists(temp));
}

TEST(Workbook, MissingTmpdirFolderFailsCleanly)
{
    ScratchDir outside;
    TempDirEnvironment env(outside.File("missing"));
    CWorkbook book;
    EXPECT_EQ(book.AddSheetPtr("One"), nullptr);
    CWorksheet& detached = book.AddSheet("Two");
    EXPECT_FALSE(detached.IsOk());
    EXPECT_FALSE(detached.BeginRow());
    const std::string path = outside.File("out.xlsx");
    EXPECT_FALSE(book.Save(path));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_empty(outside.path));
}

TEST(Workbook, DestinationsThatCannotBeWrittenFailCleanly)
{
    // Tests run as root, who may write almost anywhere: the destinations
    // below fail for reasons that hold for root as well.
    TempDirEnvironment env;
    std::ofstream(env.Output("plain")) << "x";
    const std::string destinations[] = {
        env.Output("missing/out.xlsx"),             // a folder that does not exist
        env.Output("plain/out.xlsx"),               // a path through a regular file
        "/proc/horatab-out.xlsx",                   // a file system that takes no new files
        env.Output(std::string(5000, 'd') + ".xlsx"),  // longer than the system allows
        env.Output(""),                              // a folder, not a file
    };
    for (const std::string& destination : destinations) {
        CWorkbook book;
        FillSmallSheet(book.AddSheet("One"));
        EXPECT_FALSE(book.Save(destination)) << destination.substr(0, 80);
        EXPECT_TRUE(env.IsEmpty());
    }
    EXPECT_FALSE(fs::exists("/proc/horatab-out.xlsx"));
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(env.scratch.path)) entries += entry.path().filename() != "tmp";
    EXPECT_EQ(entries, 1u);  // only "plain": no partial archive anywhere
}

TEST(Workbook, FailedSaveLeavesTheExistingFileUntouched)
{
    TempDirEnvironment env;
    const std::string path = env.Output("precious.xlsx");
    std::ofstream(path) << "precious";
    {
        CWorkbook book;
        FillSmallSheet(book.AddSheet("One"));
        // A part that disappears before packing makes the archive step fail.
        fs::remove(book.GetTempPath() + "/xl/worksheets/sheet1.xml");
        EXPECT_FALSE(book.Save(path));
    }
    EXPECT_EQ(ReadFile(path), "precious");
    EXPECT_TRUE(env.IsEmpty());
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(env.scratch.path)) entries += entry.path().filename() != "tmp";
    EXPECT_EQ(entries, 1u);

    CWorkbook book;
    FillSmallSheet(book.AddSheet("One"));
    ASSERT_TRUE(book.Save(path));  // a successful save replaces it
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "One", "cells": {"A1": "Mon"}}]})J"), "OK");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
}

TEST(Workbook, LongTemporaryAndDestinationPathsWork)
{
    ScratchDir outside;
    std::string deep = outside.path;
    for (int i = 0; i < 4; ++i) deep += "/" + std::string(90, static_cast<char>('a' + i));
    fs::create_directories(deep);
    ASSERT_GT(deep.size(), 300u);
    TempDirEnvironment env(deep);
    const std::string path = deep + "/" + std::string(200, 'w') + ".xlsx";
    CWorkbook book;
    FillSmallSheet(book.AddSheet("One"));
    ASSERT_TRUE(book.Save(path));
    EXPECT_EQ(CheckPackage(path, R"J({"sheets": [{"name": "One", "cells": {"A1": "Mon", "B1": 42}}]})J"), "OK");
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(deep)) entries += entry.is_directory() ? 1 : 0;
    EXPECT_EQ(entries, 0u);  // no temporary folder left

    const std::string longest = deep + "/" + std::string(250, 'v') + ".xlsx";  // a name near NAME_MAX
    CWorkbook other;
    FillSmallSheet(other.AddSheet("One"));
    EXPECT_TRUE(other.Save(longest));
    EXPECT_TRUE(fs::exists(longest));
}

TEST(Workbook, TwoWorkbooksAliveAtOnceKeepApart)
{
    TempDirEnvironment env;
    CWorkbook first, second;
    first.AddSheet("First").AddRow(std::vector<CellDataStr>{"one"});
    second.AddSheet("Second").AddRow(std::vector<CellDataStr>{"two", "three"});
    first.AddSheet("More").AddRow(std::vector<CellDataStr>{"three"});
    EXPECT_NE(first.GetTempPath(), second.GetTempPath());
    ASSERT_TRUE(second.Save(env.Output("second.xlsx")));
    ASSERT_TRUE(first.Save(env.Output("first.xlsx")));
    EXPECT_EQ(CheckPackage(env.Output("first.xlsx"), R"J({"sheets": [{"name": "First", "cells": {"A1": "one"}},
        {"name": "More", "cells": {"A1": "three"}}]})J"),
              "OK");
    EXPECT_EQ(CheckPackage(env.Output("second.xlsx"),
                           R"J({"sheets": [{"name": "Second", "cells": {"A1": "two", "B1": "three"}}]})J"),
              "OK");
    EXPECT_TRUE(env.IsEmpty());
}

// A workbook of far more sheets than the process may keep files open, with
// rows going back to an earlier sheet after later ones were added.
TEST(Workbook, ManyMoreSheetsThanOpenFilesSaveCompletely)
{
    TempDirEnvironment env;
    const std::string path = env.Output("many.xlsx");
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
    rlimit low = original;
    low.rlim_cur = 48;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);

    bool saved = false;
    {
        CWorkbook book;
        CWorksheet* first = book.AddSheetPtr("First");
        bool allAdded = first != nullptr && first->BeginRow() &&
                        first->AddCell(CellDataStr("before"));
        for (int i = 2; allAdded && i <= 300; ++i) {
            CWorksheet* sheet = book.AddSheetPtr("Sheet " + std::to_string(i));
            allAdded = sheet != nullptr && sheet->BeginRow() && sheet->AddCell(CellDataInt(i));
            if (allAdded) sheet->EndRow();
        }
        allAdded = allAdded && first->AddCell(CellDataStr("after"));
        first->EndRow();
        EXPECT_TRUE(allAdded);
        saved = book.Save(path);
    }
    setrlimit(RLIMIT_NOFILE, &original);

    ASSERT_TRUE(saved);
    EXPECT_EQ(EntryNames(path).size(), 8u + 1u + 300u);
    EXPECT_EQ(CheckPackage(path, R"J({"sheets_count": 300, "sheets": [
        {"name": "First", "cells": {"A1": "before", "B1": "after"}},
        {"name": "Sheet 2", "cells": {"A1": 2}},
        {"name": "Sheet 300", "cells": {"A1": 300}}]})J"), "OK");
    EXPECT_TRUE(env.IsEmpty());
}
