// The table widget with a busy proxy's load: 1,000 to 500,000 rows of 12 string columns
// filled with the no-update fill and shown at once, and one repaint after a scroll; the same
// rows given by a cell source, which the table asks only for the cells it draws. When
// XbaeMatrix is installed the same data goes into an XbaeMatrix beside it (up to 100,000
// rows). Needs a display (DISPLAY).
// bench-libs: xomtk
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <Xm/Xm.h>

#include "toolkit/EditTable.h"
#ifdef VANTOR_HAVE_XBAE
#include <Xbae/Matrix.h>
#endif

namespace {

const int COLUMNS = 12;
const int WIDTH = 1000, HEIGHT = 600;

XtAppContext the_app;
Display* the_display;

Display* OpenDisplay()
{
    if (!the_display) {
        int argc = 1;
        char name[] = "bench_table";
        char* argv[] = {name, nullptr};
        XtToolkitInitialize();
        the_app = XtCreateApplicationContext();
        the_display =
            XtOpenDisplay(the_app, nullptr, "bench_table", "BenchTable", nullptr, 0, &argc, argv);
        if (!the_display) {
            fprintf(stderr, "bench_table: no display\n");
            exit(1);
        }
    }
    return the_display;
}

void ProcessEvents()
{
    XSync(the_display, False);
    while (XtAppPending(the_app))
        XtAppProcessEvent(the_app, XtIMAll);
}

// Texts as a connection table shows them; odd passes change every cell.
const std::vector<std::string>& Texts(int rows, int pass)
{
    static std::vector<std::string> sets[2];
    static int made[2] = {0, 0};
    std::vector<std::string>& texts = sets[pass & 1];
    if (made[pass & 1] != rows) {
        texts.resize((size_t)rows * COLUMNS);
        char buffer[64];
        for (int r = 0; r < rows; r++)
            for (int c = 0; c < COLUMNS; c++) {
                snprintf(buffer, sizeof buffer, "%s%d.%d.example", pass & 1 ? "h" : "host-", r, c);
                texts[(size_t)r * COLUMNS + c] = buffer;
            }
        made[pass & 1] = rows;
    }
    return texts;
}

Widget Shell()
{
    Widget shell = XtVaAppCreateShell("bench", "BenchTable", topLevelShellWidgetClass,
                                      OpenDisplay(), XmNwidth, WIDTH, XmNheight, HEIGHT, NULL);
    return shell;
}

Widget Table(Widget shell, int rows)
{
    int widths[COLUMNS];
    for (int& w : widths)
        w = 80;
    Widget table = XtVaCreateManagedWidget(
        "table", xomEditTableWidgetClass, shell, XomNnumberOfColumns, COLUMNS, XomNnumberOfRows,
        rows, XomNcellSizeUnit, XomUNIT_PIXEL, XomNdefaultCellHeight, 22, XomNcellWidthData, widths,
        XomNautomaticColumnAnnotation, False, NULL);
    XtRealizeWidget(shell);
    ProcessEvents();
    return table;
}

void Fill(Widget table, int rows, int pass)
{
    const std::vector<std::string>& texts = Texts(rows, pass);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < COLUMNS; c++)
            XomEditTableFillCellNoUpdate(table, c + 1, r + 1,
                                         (XtPointer)texts[(size_t)r * COLUMNS + c].c_str());
    XomEditTableUpdateDataDisplay(table, 0, 0);
    XSync(the_display, False);
}

void TableFillAndShow(benchmark::State& state)
{
    int rows = (int)state.range(0);
    Widget shell = Shell();
    Widget table = Table(shell, rows);
    Texts(rows, 0), Texts(rows, 1); // made before the clock runs
    int pass = 0;
    for (auto _ : state)
        Fill(table, rows, pass++);
    state.SetItemsProcessed(state.iterations() * rows * COLUMNS);
    XtDestroyWidget(shell);
    ProcessEvents();
}

void TableRepaintAfterScroll(benchmark::State& state)
{
    int rows = (int)state.range(0);
    Widget shell = Shell();
    Widget table = Table(shell, rows);
    Fill(table, rows, 0);
    int step = 0;
    for (auto _ : state) {
        // Down by a third of the rows and back: each scroll repaints the whole view.
        XomCompBaseSetOrigin(table, 0, (step++ % 3) * rows / 3 * 22);
        ProcessEvents();
    }
    XtDestroyWidget(shell);
    ProcessEvents();
}

// The texts of a pass, as a cell source gives them.
void SourceCell(Widget, XtPointer closure, int column, int row, XomEditTableCellContent* content)
{
    const std::vector<std::string>& texts = *static_cast<const std::vector<std::string>*>(closure);
    content->text = const_cast<char*>(texts[(size_t)(row - 1) * COLUMNS + column - 1].c_str());
}

// A new pass through a cell source: the row count set and the visible rows drawn.
void SourcedFillAndShow(benchmark::State& state)
{
    int rows = (int)state.range(0);
    Widget shell = Shell();
    Widget table = Table(shell, 0);
    Texts(rows, 0), Texts(rows, 1);
    int pass = 0;
    for (auto _ : state) {
        XtVaSetValues(table, XomNcellSource, SourceCell, XomNcellSourceData,
                      (XtPointer)&Texts(rows, pass++), XomNnumberOfRows, rows, NULL);
        XomEditTableUpdateDataDisplay(table, 0, 0);
        XSync(the_display, False);
    }
    state.SetItemsProcessed(state.iterations() * rows * COLUMNS);
    XtDestroyWidget(shell);
    ProcessEvents();
}

BENCHMARK(TableFillAndShow)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(500000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SourcedFillAndShow)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(500000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(TableRepaintAfterScroll)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(500000)
    ->Unit(benchmark::kMillisecond);

#ifdef VANTOR_HAVE_XBAE
Widget Matrix(Widget shell, int rows)
{
    static short widths[COLUMNS];
    for (short& w : widths)
        w = 10;
    Widget matrix = XtVaCreateManagedWidget("matrix", xbaeMatrixWidgetClass, shell, XmNrows, rows,
                                            XmNcolumns, COLUMNS, XmNcolumnWidths, widths,
                                            XmNvisibleRows, 25, XmNvisibleColumns, COLUMNS, NULL);
    XtRealizeWidget(shell);
    ProcessEvents();
    return matrix;
}

void FillMatrix(Widget matrix, int rows, int pass)
{
    const std::vector<std::string>& texts = Texts(rows, pass);
    XbaeMatrixDisableRedisplay(matrix);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < COLUMNS; c++)
            XbaeMatrixSetCell(matrix, r, c, (String)texts[(size_t)r * COLUMNS + c].c_str());
    XbaeMatrixEnableRedisplay(matrix, True);
    ProcessEvents();
}

void XbaeFillAndShow(benchmark::State& state)
{
    int rows = (int)state.range(0);
    Widget shell = Shell();
    Widget matrix = Matrix(shell, rows);
    Texts(rows, 0), Texts(rows, 1);
    int pass = 0;
    for (auto _ : state)
        FillMatrix(matrix, rows, pass++);
    state.SetItemsProcessed(state.iterations() * rows * COLUMNS);
    XtDestroyWidget(shell);
    ProcessEvents();
}

void XbaeRepaintAfterScroll(benchmark::State& state)
{
    int rows = (int)state.range(0);
    Widget shell = Shell();
    Widget matrix = Matrix(shell, rows);
    FillMatrix(matrix, rows, 0);
    int step = 0;
    for (auto _ : state) {
        int row = (step++ % 3) * rows / 3;
        XbaeMatrixMakeCellVisible(matrix, row, 0);
        XbaeMatrixRefresh(matrix);
        ProcessEvents();
    }
    XtDestroyWidget(shell);
    ProcessEvents();
}

BENCHMARK(XbaeFillAndShow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(XbaeRepaintAfterScroll)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
