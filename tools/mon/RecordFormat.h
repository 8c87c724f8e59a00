// Turns monitor records into rows of text for vantor-mon: one set of column names and one
// row per record, in a human form for the table and a machine form for CSV.
#ifndef VANTOR_MON_RECORDFORMAT_H
#define VANTOR_MON_RECORDFORMAT_H

#include <string>
#include <vector>

#include "lib/monMsg.h"

typedef std::vector<std::string> Row;

enum class Style { Table, Csv };

// "a.b.c.d:port" for an IPv4 address, "[v6 address]:port" for an IPv6 one, "name:port" for
// a named one, "" when unset. The family may arrive in either byte order.
std::string netAddrText(const S5NetAddr& a);
// "active", "ended" or "failed" from the state bits.
const char* statusText(uint32_t state);

Row connColumns(Style style);
Row connRow(const S5MonData& d, Style style);
Row userColumns(Style style);
Row userRow(const S5MonUser_t& u, Style style);
Row totColumns(Style style);
Row totRow(const S5MonTot_t& t, Style style);

#endif
