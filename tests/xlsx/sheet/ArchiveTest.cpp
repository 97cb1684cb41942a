// The archive step: part files deflated on worker threads, in blocks when
// they are large, must come back from the archive byte for byte, in order,
// with their CRCs, in a zip that other readers open.

#include <gtest/gtest.h>
#include <unzip.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SheetTestSupport.h"
#include "xlsx/PartPacker.h"
#include "xlsx/Workbook.h"

using namespace SimpleXlsx;
using sheettest::ReadFile;
using sheettest::ScratchDir;

namespace {

// Worksheet-like text: repetitive, as the parts are, but never periodic.
std::string CellText(size_t size)
{
    std::string text;
    uint32_t state = 12345;
    for (uint32_t row = 1; text.size() < size; ++row) {
        text += "<row r=\"" + std::to_string(row) + "\">";
        for (char col = 'A'; col <= 'E'; ++col) {
            state = state * 1103515245u + 12345u;
            text += std::string("<c r=\"") + col + std::to_string(row) + "\" t=\"s\"><v>" +
                    std::to_string((state >> 16) % 300) + "</v></c>";
        }
        text += "</row>";
    }
    text.resize(size);
    return text;
}

std::string Noise(size_t size)
{
    std::string bytes(size, '\0');
    uint64_t state = 88172645463325252ull;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = static_cast<char>(state);
    }
    return bytes;
}

struct Part {
    std::string name;
    std::string data;
};

struct EntryRead {
    std::string name;
    std::string data;
    int method = -1;
    uint64_t compressedSize = 0;
    bool crcChecked = false;
};

// Every entry of the archive, in order, read through minizip's unzip, which
// checks each entry's CRC when it is closed.
std::vector<EntryRead> ReadArchive(const std::string& path)
{
    std::vector<EntryRead> entries;
    unzFile archive = unzOpen64(path.c_str());
    if (archive == nullptr) return entries;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
        EntryRead entry;
        char name[256];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        entry.name = name;
        entry.method = static_cast<int>(info.compression_method);
        entry.compressedSize = info.compressed_size;
        if (unzOpenCurrentFile(archive) != UNZ_OK) break;
        std::vector<char> buffer(1 << 16);
        int count;
        while ((count = unzReadCurrentFile(archive, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
            entry.data.append(buffer.data(), static_cast<size_t>(count));
        entry.crcChecked = count == 0 && unzCloseCurrentFile(archive) == UNZ_OK;
        entries.push_back(entry);
    }
    unzClose(archive);
    return entries;
}

// Writes the parts into `dir`, packs them (listing also `extraNames`) and
// returns the packing result.
bool PackParts(const ScratchDir& dir, const std::vector<Part>& parts, const PackOptions& options,
               const std::vector<std::string>& extraNames = {})
{
    std::vector<std::string> names;
    for (const Part& part : parts) {
        const std::string path = dir.File("parts/" + part.name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << part.data;
        names.push_back(part.name);
    }
    names.insert(names.end(), extraNames.begin(), extraNames.end());
    zipFile archive = zipOpen64(dir.File("parts.zip").c_str(), APPEND_STATUS_CREATE);
    if (archive == nullptr) return false;
    const bool packed = PackPartFiles(archive, dir.File("parts"), names, options);
    return zipClose(archive, nullptr) == ZIP_OK && packed;
}

void ExpectArchiveHolds(const std::string& path, const std::vector<Part>& parts)
{
    const std::vector<EntryRead> entries = ReadArchive(path);
    ASSERT_EQ(entries.size(), parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(parts[i].name);
        EXPECT_EQ(entries[i].name, parts[i].name);
        EXPECT_EQ(entries[i].method, Z_DEFLATED);
        EXPECT_TRUE(entries[i].crcChecked);
        EXPECT_EQ(entries[i].data.size(), parts[i].data.size());
        EXPECT_TRUE(entries[i].data == parts[i].data);
    }
}

size_t SingleStreamSize(const std::string& input)
{
    uLongf size = compressBound(static_cast<uLong>(input.size()));
    std::vector<Bytef> out(size);
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(input.data()), static_cast<uLong>(input.size()),
              Z_DEFAULT_COMPRESSION);
    return size;
}

}  // namespace

TEST(PartPacker, PartsOfEverySizeComeBackInOrder)
{
    // Blocks of 4 KiB are smaller than deflate's 32 KiB window, so the
    // dictionary of a block reaches back over several blocks before it.
    const size_t block = 4096;
    const std::vector<Part> parts = {
        {"[Content_Types].xml", CellText(300)},
        {"empty.xml", std::string()},
        {"one.xml", "x"},
        {"xl/short.xml", CellText(block - 1)},
        {"xl/exact.xml", CellText(block)},
        {"xl/two.xml", CellText(2 * block)},
        {"xl/over.xml", CellText(block + 1)},
        {"xl/worksheets/sheet1.xml", CellText(50 * block + 123)},
        {"noise.bin", Noise(3 * block + 5)},
    };
    for (unsigned workers : {0u, 1u, 2u}) {
        SCOPED_TRACE("workers " + std::to_string(workers));
        ScratchDir dir;
        ASSERT_TRUE(PackParts(dir, parts, PackOptions{block, workers}));
        ExpectArchiveHolds(dir.File("parts.zip"), parts);
    }
}

TEST(PartPacker, BlocksKeepTheRatioOfOneStream)
{
    const std::vector<Part> parts = {{"sheet.xml", CellText(4 * 1024 * 1024)}};
    ScratchDir dir;
    ASSERT_TRUE(PackParts(dir, parts, PackOptions{64 * 1024, 2}));
    const std::vector<EntryRead> entries = ReadArchive(dir.File("parts.zip"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_LT(entries[0].compressedSize, SingleStreamSize(parts[0].data) * 101 / 100);
}

TEST(PartPacker, MissingPartFailsAfterTheOnesBefore)
{
    ScratchDir dir;
    const std::vector<Part> parts = {{"a.xml", CellText(10000)}, {"b.xml", CellText(20000)}};
    EXPECT_FALSE(PackParts(dir, parts, PackOptions{4096, 2}, {"missing.xml", "a.xml"}));
    // What was packed before the missing part is intact; nothing follows it.
    ExpectArchiveHolds(dir.File("parts.zip"), parts);
}

TEST(PartPacker, LargeWorksheetReadsBackInAnIndependentReader)
{
    ScratchDir dir;
    const std::string path = dir.File("large.xlsx");
    const uint32_t rows = 15000;  // a part of about 2 MiB: deflated in blocks
    {
        CWorkbook book;
        CWorksheet& sheet = book.AddSheet("Large");
        for (uint32_t r = 1; r <= rows; ++r) {
            sheet.BeginRow();
            sheet.AddCell(CellDataStr("Row " + std::to_string(r % 500)));
            sheet.AddCell(CellDataInt(static_cast<int32_t>(r)));
            sheet.AddCell(CellDataDbl(r / 4.0));
            sheet.AddCell(CellDataStr("1A / Math"));
            sheet.EndRow();
        }
        ASSERT_TRUE(book.Save(path));
    }
    const std::vector<EntryRead> entries = ReadArchive(path);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().name, "xl/worksheets/sheet1.xml");
    EXPECT_GT(entries.back().data.size(), 2u * PackOptions().blockSize);
    EXPECT_TRUE(entries.back().crcChecked);
    EXPECT_TRUE(sheettest::IsWellFormedXml(entries.back().data));

    const std::string expected = dir.File("expected.json");
    std::ofstream(expected) << R"({"sheets": [{"name": "Large", "cells": {"A1": "Row 1", "B1": 1, "C1": 0.25,)"
                            << R"( "A15000": "Row 0", "B15000": 15000, "C15000": 3750, "D15000": "1A / Math"}}]})";
    const std::string report = dir.File("report.txt");
    const std::string command = std::string("'") + HORATAB_SYSTEM_PYTHON + "' '" + HORATAB_PACKAGE_CHECKER + "' '" +
                                path + "' '" + expected + "' > '" + report + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(report);
}
