#include "xlsx/PackageVocabulary.h"
#include "xlsx/XmlStream.h"

#include "TestSupport.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace SimpleXlsx;

TEST(PackageVocabulary, OfficeDocumentRelationshipTypesShareOneStem)
{
    for (const char* type : {type_app, type_sheet, type_style, type_sharedStr, type_theme, type_chain,
                             type_chartsheet, type_chart, type_drawing, type_comments, type_vml, type_book})
        EXPECT_EQ(std::strncmp(type, ns_book_r, std::strlen(ns_book_r)), 0) << type;
    EXPECT_EQ(std::strncmp(type_core, ns_relationships, std::strlen(ns_relationships)), 0);
}

TEST(MakeDirectory, CreatesEveryDirectoryButNotTheFile)
{
    testsupport::ScratchDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    const std::string file = scratch.path + "/xlsx_1_2/xl/worksheets/sheet1.xml";
    EXPECT_TRUE(MakeDirectory(file));
    EXPECT_TRUE(fs::is_directory(scratch.path + "/xlsx_1_2/xl/worksheets"));
    EXPECT_FALSE(fs::exists(file));
    // Everything exists already.
    EXPECT_TRUE(MakeDirectory(file));
}

TEST(MakeDirectory, BackslashesSeparateToo)
{
    testsupport::ScratchDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    EXPECT_TRUE(MakeDirectory(scratch.path + "/a\\b\\c.xml"));
    EXPECT_TRUE(fs::is_directory(scratch.path + "/a/b"));
    EXPECT_FALSE(fs::exists(scratch.path + "/a/b/c.xml"));
    EXPECT_TRUE(MakeDirectory("no-separator-at-all.xml"));
    EXPECT_FALSE(fs::exists("no-separator-at-all.xml"));
}

TEST(MakeDirectory, FailsWhenADirectoryAboveIsMissing)
{
    testsupport::ScratchDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    // A link to nowhere: creating it fails as existing, below it as missing.
    fs::create_symlink(scratch.path + "/nowhere", scratch.path + "/dangling");
    EXPECT_FALSE(MakeDirectory(scratch.path + "/dangling/xl/styles.xml"));
}

TEST(PartFile, WritesThePartAndReportsSuccess)
{
    testsupport::ScratchDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    EXPECT_EQ(PartPath("/tmp/x", "xl/styles.xml"), "/tmp/x/xl/styles.xml");

    PartFile part(scratch.path, "xl/theme/theme1.xml", 16);
    {
        xmlw::XmlStream xml(part.Stream());
        xml << xmlw::prolog() << xmlw::tag("a") << xmlw::attr("n") << std::string(100, 'x');
    }
    EXPECT_TRUE(part.Close());
    EXPECT_EQ(testsupport::ReadFile(scratch.path + "/xl/theme/theme1.xml"),
              testsupport::declaration + "<a n=\"" + std::string(100, 'x') + "\"/>");
}

TEST(PartFile, ReportsAPartThatCannotBeCreated)
{
    testsupport::ScratchDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    std::ofstream(scratch.path + "/plainfile") << "in the way";
    PartFile part(scratch.path + "/plainfile", "xl/styles.xml");
    {
        xmlw::XmlStream xml(part.Stream());
        xml << xmlw::prolog() << xmlw::tag("a");
    }
    EXPECT_FALSE(part.Close());
}

TEST(PartFile, EmptyTemporaryDirectoryWritesNothingAtTheRoot)
{
    PartFile part("", "horatab-must-not-exist.xml");
    {
        xmlw::XmlStream xml(part.Stream());
        xml << xmlw::prolog() << xmlw::tag("a");
    }
    EXPECT_FALSE(part.Close());
    EXPECT_FALSE(fs::exists("/horatab-must-not-exist.xml"));
}
