// xlsx_peer_bench: writes the benchmark worksheet of xlsx_bench with
// libxlsxwriter, in its default mode or with --constant-memory.
//   xlsx_peer_bench --rows R --cols C --kind text|number|mixed --out FILE [--constant-memory]
//   [--timing]

#include <xlsxwriter.h>

#include <cstdio>

#include "BenchCells.h"

namespace {

bool WriteWorkbook(const bench::Options& options)
{
    const std::vector<std::string> pool = bench::MakePool();
    bench::PhaseTimer timer(options.timing);
    lxw_workbook_options workbookOptions = {};
    workbookOptions.constant_memory = options.constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(options.out.c_str(), &workbookOptions);
    if (book == nullptr)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Bench");
    bool ok = sheet != nullptr;
    for (uint32_t r = 0; ok && r < options.rows; ++r) {
        for (uint32_t c = 0; ok && c < options.cols; ++c) {
            const lxw_error error =
                bench::IsTextCell(options.kind, r, c)
                    ? worksheet_write_string(sheet, r, static_cast<lxw_col_t>(c),
                                             pool[bench::PoolIndex(r, c)].c_str(), nullptr)
                    : worksheet_write_number(sheet, r, static_cast<lxw_col_t>(c),
                                             bench::NumberAt(r, c), nullptr);
            ok = error == LXW_NO_ERROR;
        }
    }
    timer.Lap("cells");
    const bool closed = workbook_close(book) == LXW_NO_ERROR;
    timer.Lap("save");
    return closed && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, true, options)) {
        std::fprintf(stderr,
                     "usage: xlsx_peer_bench --rows R --cols C --kind text|number|mixed --out FILE "
                     "[--constant-memory] [--timing]\n");
        return 2;
    }
    if (!WriteWorkbook(options)) {
        std::fprintf(stderr, "xlsx_peer_bench: could not write %s\n", options.out.c_str());
        return 1;
    }
    return 0;
}
