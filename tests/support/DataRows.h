#pragma once

#include <QTest>

#include <initializer_list>
#include <tuple>

// A data table one row a line: addRows<QString, int>({{"tag", "text", 1}, ...}), with the
// column types as the test function's addColumn calls give them.
template<typename... Columns>
void addRows(std::initializer_list<std::tuple<const char*, Columns...>> rows)
{
    for (const auto& row : rows) {
        std::apply(
            [](const char* tag, const Columns&... cells) { (QTest::newRow(tag) << ... << cells); },
            row);
    }
}
