// The rows on show as text for Export (CSV) and Copy Row (tab-separated); see TableExport.h.
#include "core/TableExport.h"

#include "core/TableTexts.h"

// The columns in the order the table shows them, hidden ones left out: what is exported is
// what the user sees.
std::vector<int> ShownDataColumns(const Setting& s)
{
    std::vector<int> columns;
    for (int p = 0; p < s.columnCount && p < SETTING_COLUMNS; p++)
        if (s.columnVisible[p] && s.columnType[p] >= 0 && s.columnType[p] < DATA_COLUMN_COUNT)
            columns.push_back(s.columnType[p]);
    return columns;
}

std::vector<std::string> ShownColumnTitles(const Setting& s)
{
    std::vector<std::string> titles;
    for (int column : ShownDataColumns(s))
        titles.push_back(annotation_label_list[column]);
    return titles;
}

std::vector<std::string> ShownRowTexts(Connection* row, const Setting& s)
{
    std::vector<std::string> texts;
    AddressTextBuffer buffer;
    for (int column : ShownDataColumns(s)) {
        const char* text = ConnectionCellText(row, column, s.nodeType, s.unitFactor, &buffer);
        texts.push_back(text ? text : "");
    }
    return texts;
}

// RFC 4180: a field holding a comma, a quote or a line end is quoted, its quotes doubled;
// records end in CR LF so that spreadsheets on any system read them.
std::string CsvRecord(const std::vector<std::string>& fields)
{
    std::string record;
    for (size_t i = 0; i < fields.size(); i++) {
        const std::string& field = fields[i];
        if (i > 0)
            record += ',';
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            record += field;
            continue;
        }
        record += '"';
        for (char c : field) {
            if (c == '"')
                record += '"';
            record += c;
        }
        record += '"';
    }
    return record + "\r\n";
}

void WriteRowsCsv(FILE* out, Connection* const* rows, int count, const Setting& s)
{
    fputs(CsvRecord(ShownColumnTitles(s)).c_str(), out);
    for (int i = 0; i < count; i++)
        fputs(CsvRecord(ShownRowTexts(rows[i], s)).c_str(), out);
}

// For the clipboard: tabs and line ends inside a field become blanks, so that a paste into
// a spreadsheet keeps one row per line and one cell per field.
std::string TabSeparatedRecord(const std::vector<std::string>& fields)
{
    std::string record;
    for (size_t i = 0; i < fields.size(); i++) {
        if (i > 0)
            record += '\t';
        for (char c : fields[i])
            record += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
    }
    return record;
}
