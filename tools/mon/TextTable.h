// Output of rows of text: an aligned table, name/value lines, or CSV (RFC 4180 quoting).
#ifndef VANTOR_MON_TEXTTABLE_H
#define VANTOR_MON_TEXTTABLE_H

#include <cstdio>

#include "tools/mon/RecordFormat.h"

void printTable(FILE* out, const Row& columns, const std::vector<Row>& rows);
// One record as "NAME  VALUE" lines.
void printVertical(FILE* out, const Row& columns, const Row& row);
void printCsvRow(FILE* out, const Row& row);

#endif
