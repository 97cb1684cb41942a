#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PackageReading.h"

using namespace cctest;

TEST(Demo, ExampleWorkbookReadsBack)
{
    PackageScratch scratch;
    const std::string path = scratch.Output("demo.xlsx");
    const std::string command = std::string("'") + HORATAB_XLSX_DEMO + "' '" + path + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(scratch.TemporaryFilesRemoved());
    EXPECT_EQ(CheckPackage(path, R"J({
        "sheets": [{"name": "Lessons", "cells": {"A1": "Day no.", "B2": "Mon", "C6": 4, "D4": 6}},
                   {"name": "Week"}, {"name": "Planned vs given"}],
        "comments": {"Lessons": {"C1": {"text": "Hours in the timetable"},
                                 "D3": {"text": "Ann: one lesson\nmoved from Monday"}}},
        "chartsheets": [
          {"name": "Week", "title": "Hours per day", "plots": [
            {"type": "barChart", "series": [{"idx": 0, "title": "Planned", "cat": "'Lessons'!$A2:$A6",
                                             "val": "'Lessons'!$C2:$C6"}]},
            {"type": "lineChart", "series": [{"idx": 1, "title": "Given", "cat": "'Lessons'!$A2:$A6",
                                              "val": "'Lessons'!$D2:$D6"}]}]},
          {"name": "Planned vs given", "title": "Planned against given hours", "plots": [
            {"type": "scatterChart", "series": [{"idx": 0, "cat": "'Lessons'!$C2:$C6",
                                                 "val": "'Lessons'!$D2:$D6"}]}]}]})J"),
              "OK");
}
