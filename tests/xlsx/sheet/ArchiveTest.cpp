// The archive step: parts deflated in blocks on worker threads must inflate
// back to exactly their bytes, in one standard zip that other readers open.

#include <gtest/gtest.h>
#include <unzip.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SheetTestSupport.h"
#include "xlsx/ArchiveEntry.h"
#include "xlsx/BlockDeflate.h"
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

// Inflates a raw deflate stream; false unless it ends exactly at its end.
bool Inflate(const std::string& deflated, std::string& out)
{
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
    stream.avail_in = static_cast<uInt>(deflated.size());
    out.clear();
    char buffer[65536];
    int status;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    } while (status == Z_OK);
    const bool complete = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    return complete;
}

uint32_t Crc(const std::string& data)
{
    return static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

struct DeflateRun {
    bool ok = false;
    std::string output;
    BlockDeflater::Totals totals;
    int reads = 0;
    int writes = 0;
};

// Deflates `input`, handing out at most `readLimit` bytes per read; the
// read numbered `failingRead` and the write numbered `failingWrite` (from 1)
// fail when not 0.
DeflateRun Deflate(const std::string& input, const BlockDeflater& deflater, size_t readLimit = SIZE_MAX,
                   int failingRead = 0, int failingWrite = 0)
{
    DeflateRun run;
    size_t position = 0;
    run.ok = deflater.Deflate(
        [&](unsigned char* data, size_t size, size_t& count) {
            if (++run.reads == failingRead) return false;
            count = std::min({size, readLimit, input.size() - position});
            std::copy(input.begin() + static_cast<std::ptrdiff_t>(position),
                      input.begin() + static_cast<std::ptrdiff_t>(position + count), data);
            position += count;
            return true;
        },
        [&](const unsigned char* data, size_t size) {
            if (++run.writes == failingWrite) return false;
            run.output.append(reinterpret_cast<const char*>(data), size);
            return true;
        },
        run.totals);
    return run;
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

TEST(BlockDeflater, JoinedBlocksInflateToTheInput)
{
    // Blocks of 4 KiB are smaller than deflate's 32 KiB window, so each
    // dictionary reaches back over several blocks.
    const size_t block = 4096;
    for (unsigned workers : {0u, 1u, 2u}) {
        for (size_t size : {size_t{0}, size_t{1}, block - 1, block, block + 1, size_t{200000}}) {
            for (const std::string& input : {CellText(size), Noise(size)}) {
                const DeflateRun run = Deflate(input, BlockDeflater(workers, block));
                SCOPED_TRACE("workers " + std::to_string(workers) + ", size " + std::to_string(size));
                ASSERT_TRUE(run.ok);
                std::string inflated;
                ASSERT_TRUE(Inflate(run.output, inflated));
                EXPECT_TRUE(inflated == input);
                EXPECT_EQ(run.totals.size, input.size());
                EXPECT_EQ(run.totals.crc, Crc(input));
            }
        }
    }
}

TEST(BlockDeflater, ShortReadsMakeShortBlocksOfTheSameStream)
{
    const std::string input = CellText(100000);
    const DeflateRun run = Deflate(input, BlockDeflater(2, 8192), 1000);
    ASSERT_TRUE(run.ok);
    std::string inflated;
    ASSERT_TRUE(Inflate(run.output, inflated));
    EXPECT_TRUE(inflated == input);
    EXPECT_EQ(run.totals.crc, Crc(input));
}

TEST(BlockDeflater, DictionariesKeepTheRatioOfOneStream)
{
    const std::string input = CellText(4 * 1024 * 1024);
    const DeflateRun run = Deflate(input, BlockDeflater(2, 64 * 1024));
    ASSERT_TRUE(run.ok);
    EXPECT_LT(run.output.size(), SingleStreamSize(input) * 101 / 100);
}

TEST(BlockDeflater, FailedReadsAndWritesStopTheWork)
{
    const std::string input = CellText(100000);
    const DeflateRun badRead = Deflate(input, BlockDeflater(2, 4096), SIZE_MAX, 3);
    EXPECT_FALSE(badRead.ok);
    EXPECT_EQ(badRead.reads, 3);

    const DeflateRun badWrite = Deflate(input, BlockDeflater(2, 4096), SIZE_MAX, 0, 2);
    EXPECT_FALSE(badWrite.ok);
    EXPECT_EQ(badWrite.writes, 2);  // nothing written after the failure
}

namespace {

struct ArchiveEntryRead {
    std::string name;
    std::string data;
    int method = -1;
    bool crcChecked = false;
};

// Every entry of the archive, in order, read through minizip's unzip, which
// checks each entry's CRC when it is closed.
std::vector<ArchiveEntryRead> ReadArchive(const std::string& path)
{
    std::vector<ArchiveEntryRead> entries;
    unzFile archive = unzOpen64(path.c_str());
    if (archive == nullptr) return entries;
    for (int status = unzGoToFirstFile(archive); status == UNZ_OK; status = unzGoToNextFile(archive)) {
        ArchiveEntryRead entry;
        char name[256];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        entry.name = name;
        entry.method = static_cast<int>(info.compression_method);
        if (unzOpenCurrentFile(archive) != UNZ_OK) break;
        char buffer[65536];
        int count;
        while ((count = unzReadCurrentFile(archive, buffer, sizeof buffer)) > 0) entry.data.append(buffer, count);
        entry.crcChecked = count == 0 && unzCloseCurrentFile(archive) == UNZ_OK;
        entries.push_back(entry);
    }
    unzClose(archive);
    return entries;
}

}  // namespace

TEST(ArchiveEntry, PartsOfEverySizeReadBackFromTheArchive)
{
    ScratchDir dir;
    const std::vector<std::pair<std::string, std::string>> parts = {
        {"small.xml", CellText(300)},
        {"empty.xml", std::string()},
        {"xl/large.xml", CellText(3 * BlockDeflater::kDefaultBlockSize + 12345)},
        {"noise.bin", Noise(BlockDeflater::kDefaultBlockSize + 1)},
    };
    for (const auto& part : parts) {
        std::filesystem::create_directories(std::filesystem::path(dir.File(part.first)).parent_path());
        std::ofstream(dir.File(part.first), std::ios::binary) << part.second;
    }
    const std::string archivePath = dir.File("parts.zip");
    zipFile archive = zipOpen64(archivePath.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    std::vector<char> block(4096);
    for (const auto& part : parts)
        EXPECT_TRUE(AddArchiveEntry(archive, part.first, dir.File(part.first), block.data(), block.size()));
    EXPECT_FALSE(AddArchiveEntry(archive, "missing.xml", dir.File("missing.xml"), block.data(), block.size()));
    ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);

    const std::vector<ArchiveEntryRead> entries = ReadArchive(archivePath);
    ASSERT_EQ(entries.size(), parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(parts[i].first);
        EXPECT_EQ(entries[i].name, parts[i].first);
        EXPECT_EQ(entries[i].method, Z_DEFLATED);
        EXPECT_TRUE(entries[i].crcChecked);
        EXPECT_TRUE(entries[i].data == parts[i].second);
    }
}

TEST(ArchiveEntry, LargeWorksheetReadsBackInAnIndependentReader)
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
    const std::vector<ArchiveEntryRead> entries = ReadArchive(path);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().name, "xl/worksheets/sheet1.xml");
    EXPECT_GT(entries.back().data.size(), 2 * BlockDeflater::kDefaultBlockSize);
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
