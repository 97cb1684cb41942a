#include "support/reader.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "support/scratch.h"

namespace support {

namespace {

ProgramResult runReader(const names& args)
{
    names all = {HORATAB_WORKBOOK_READER};
    all.insert(all.end(), args.begin(), args.end());
    return runProgram(HORATAB_SYSTEM_PYTHON, all);
}

}  // namespace

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ProgramResult runProgram(const std::string& program, const names& args,
                         const std::string& environment)
{
    std::string command = environment + shellQuoted(program);
    for (const std::string& arg : args)
        command += " " + shellQuoted(arg);
    const std::string out = programScratch().file("stdout");
    const std::string err = programScratch().file("stderr");
    const int status =
        std::system((command + " >" + shellQuoted(out) + " 2>" + shellQuoted(err)).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}

WorkbookRead readWorkbook(const std::string& path, const std::vector<int>& sheetNumbers)
{
    names args = {"dump", path};
    for (int number : sheetNumbers)
        args.push_back(std::to_string(number));
    const ProgramResult run = runReader(args);
    WorkbookRead book;
    book.problem = run.status == 0 ? "" : run.err + run.out;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        const size_t tab = line.find('\t');
        if (line[0] == '|' && !book.grids.empty()) {
            book.grids.back() += line.substr(1) + "\n";
        } else if (line.compare(0, tab, "SHEET") == 0) {
            book.sheetNames.push_back(line.substr(tab + 1));
            book.grids.emplace_back();
        } else {
            book.header[line.substr(0, tab)] = line.substr(tab + 1);
        }
    }
    return book;
}

std::string checkPackage(const std::string& package, const std::string& json)
{
    const ProgramResult run = runReader({"check", package, writeFile(package + ".json", json)});
    return run.status == 0 ? "OK" : "exit " + std::to_string(run.status) + ": " + run.out + run.err;
}

}  // namespace support
