// xlsx_bench: writes one worksheet of R x C cells through the package
// writer and saves it, for timing against other writers.
//   xlsx_bench --rows R --cols C --kind text|number|mixed --out FILE [--timing]

#include <cstdio>
#include <vector>

#include "BenchCells.h"
#include "xlsx/Workbook.h"

namespace {

bool WriteWorkbook(const bench::Options& options)
{
    const std::vector<std::string> pool = bench::MakePool();
    std::vector<SimpleXlsx::CellDataStr> texts(pool.begin(), pool.end());

    bench::PhaseTimer timer(options.timing);
    SimpleXlsx::CWorkbook book;
    SimpleXlsx::CWorksheet* sheet = book.AddSheetPtr("Bench");
    if (sheet == nullptr)
        return false;
    for (uint32_t r = 0; r < options.rows; ++r) {
        if (!sheet->BeginRow())
            return false;
        for (uint32_t c = 0; c < options.cols; ++c) {
            const bool added = bench::IsTextCell(options.kind, r, c)
                                   ? sheet->AddCell(texts[bench::PoolIndex(r, c)])
                                   : sheet->AddCell(SimpleXlsx::CellDataDbl(bench::NumberAt(r, c)));
            if (!added)
                return false;
        }
        sheet->EndRow();
    }
    timer.Lap("cells");
    const bool saved = book.Save(options.out);
    timer.Lap("save");
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, false, options)) {
        std::fprintf(
            stderr,
            "usage: xlsx_bench --rows R --cols C --kind text|number|mixed --out FILE [--timing]\n");
        return 2;
    }
    if (!WriteWorkbook(options)) {
        std::fprintf(stderr, "xlsx_bench: could not write %s\n", options.out.c_str());
        return 1;
    }
    return 0;
}
