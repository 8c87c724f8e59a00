// vantor-mon's output forms. The aligned table measures every row before printing, so
// that columns fit the widest cell; CSV quotes only the fields that need it.
#include "tools/mon/TextTable.h"

#include <algorithm>
#include <cctype>
#include <cstring>

void printTable(FILE* out, const Row& columns, const std::vector<Row>& rows)
{
    // Widths count bytes; the texts were made printable before, so this matches the terminal for
    // the plain ASCII the services send.
    std::vector<size_t> width(columns.size());
    for (size_t c = 0; c < columns.size(); ++c)
        width[c] = columns[c].size();
    for (const Row& row : rows)
        for (size_t c = 0; c < row.size() && c < width.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    // Two spaces between columns; no padding after the last cell, so lines end cleanly.
    auto printLine = [&](const Row& row) {
        std::string line;
        for (size_t c = 0; c < row.size() && c < width.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line += std::string(width[c] - row[c].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        std::fprintf(out, "%s\n", line.c_str());
    };
    printLine(columns);
    for (const Row& row : rows)
        printLine(row);
}

// Names padded to the longest, so the values start in one column.
void printVertical(FILE* out, const Row& columns, const Row& row)
{
    size_t width = 0;
    for (const std::string& name : columns)
        width = std::max(width, name.size());
    for (size_t c = 0; c < columns.size() && c < row.size(); ++c)
        std::fprintf(out, "%-*s  %s\n", int(width), columns[c].c_str(), row[c].c_str());
}

namespace {

// Whether a spreadsheet would take the text for a formula: it begins with = + - @ (or a tab
// or carriage return before one) and is not simply a number.
bool formulaLike(const std::string& field)
{
    if (field.empty() || std::strchr("=+-@\t\r", field[0]) == nullptr)
        return false;
    // A negative number is a number, not a formula, and needs no guard.
    size_t digits = field[0] == '-' ? 1 : 0;
    bool number = digits < field.size();
    for (size_t i = digits; i < field.size() && number; ++i)
        number = std::isdigit(static_cast<unsigned char>(field[i])) || field[i] == '.';
    return !number;
}

} // namespace

void printCsvRow(FILE* out, const Row& row)
{
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
        // Formula-like text is kept as text by a ' in front, as spreadsheets read it.
        const std::string field = formulaLike(row[c]) ? "'" + row[c] : row[c];
        if (c > 0)
            line += ',';
        // Quoted only when needed, with inner quotes doubled, as RFC 4180 writes it.
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (char ch : field) {
            if (ch == '"')
                line += '"';
            line += ch;
        }
        line += '"';
    }
    std::fprintf(out, "%s\n", line.c_str());
}
