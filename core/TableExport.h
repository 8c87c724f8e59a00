// The rows on show as text, free of X: the cells of the columns on show, written as CSV
// (RFC 4180) for Export and tab-separated for the clipboard.
#ifndef VANTOR_TABLEEXPORT_H
#define VANTOR_TABLEEXPORT_H

#include <stdio.h>

#include <string>
#include <vector>

#include "core/Connection.h"
#include "core/Setting.h"

// The data columns on show, in table order: the visible positions of the setting.
std::vector<int> ShownDataColumns(const Setting& s);

// The titles of those columns, as the table's headings give them.
std::vector<std::string> ShownColumnTitles(const Setting& s);

// The texts of a row's cells in those columns, as the table shows them.
std::vector<std::string> ShownRowTexts(Connection* row, const Setting& s);

// One CSV record: fields holding a comma, a quote or a line end are quoted, quotes doubled;
// the record ends in CR LF.
std::string CsvRecord(const std::vector<std::string>& fields);

// The heading record, then one record per row of rows[0..count).
void WriteRowsCsv(FILE* out, Connection* const* rows, int count, const Setting& s);

// The cells apart by tabs; a tab or line end inside a cell becomes a blank.
std::string TabSeparatedRecord(const std::vector<std::string>& fields);

#endif
