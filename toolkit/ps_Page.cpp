/* Page placement and the final document around a PostScript picture. */
#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/ps_Page.h"

/* US Letter in points with margins of a third of an inch; a tiled drawing goes in
 * procedures of 2000 lines, 256 of those to a cluster. */
XomPsPageLayout* XomPsLayout(void)
{
    static XomPsPageLayout layout = {612, 792, 24, 24, 24, 24, 2000, 256};
    return &layout;
}

/* Pages needed for a length, allowing for rounding in the placement arithmetic. */
static int PagesFor(double length, double area)
{
    int pages = (int)ceil(length / area - 1e-6);
    return pages < 1 ? 1 : pages;
}

/* Where the picture goes. In natural mode it keeps its size times scale and, when that
 * is larger than the printable area, is tiled: as many pages across and down as it takes,
 * read from the top left like the screen. In the fitting modes it is scaled to the area
 * (and in XOM_PS_MODE_FIT turned a quarter when that makes it larger), so it takes one
 * page. A picture on one page is centred. */
XomPsPlacement XomPsPlace(const XomPsPageLayout* layout, double x0, double y0, double x1, double y1,
                          double scale, int mode)
{
    if (scale <= 0)
        scale = 1.0;
    XomPsPlacement p;
    memset(&p, 0, sizeof p);
    p.areaX0 = layout->left;
    p.areaY0 = layout->bottom;
    p.areaX1 = layout->width - layout->right;
    p.areaY1 = layout->height - layout->top;
    p.originX = x0;
    p.originY = y0;
    double areaW = p.areaX1 - p.areaX0, areaH = p.areaY1 - p.areaY0;
    double w = x1 - x0 > 0 ? x1 - x0 : 1, h = y1 - y0 > 0 ? y1 - y0 : 1;

    if (mode == XOM_PS_MODE_NATURAL) {
        p.factor = scale;
    } else {
        double upright = fmin(areaW / w, areaH / h);
        double turned = fmin(areaW / h, areaH / w);
        p.rotated = mode == XOM_PS_MODE_FIT && turned > upright;
        p.factor = scale * (p.rotated ? turned : upright);
    }
    p.paperWidth = w * p.factor;
    p.paperHeight = h * p.factor;
    double onPageW = p.rotated ? p.paperHeight : p.paperWidth;
    double onPageH = p.rotated ? p.paperWidth : p.paperHeight;
    p.columns = PagesFor(onPageW, areaW);
    p.rows = PagesFor(onPageH, areaH);
    if (p.rows == 1 && p.columns == 1) {
        p.x = p.areaX0 + (areaW - onPageW) / 2;
        p.y = p.areaY0 + (areaH - onPageH) / 2;
    } else {
        /* Tiles start at the picture's top left corner. */
        p.x = p.areaX0;
        p.y = p.areaY1 - onPageH;
    }
    return p;
}

/* The clip to the printable area and the transformation from the picture to the page,
 * shifted for the page of that row and column. */
static void WritePlacement(FILE* out, const XomPsPlacement* p, int row, int column)
{
    fprintf(out, "newpath %g %g moveto %g %g lineto %g %g lineto %g %g lineto  closepath clip\n",
            p->areaX0, p->areaY0, p->areaX1, p->areaY0, p->areaX1, p->areaY1, p->areaX0, p->areaY1);
    fprintf(out, "%g %g translate\n", p->x - column * (p->areaX1 - p->areaX0),
            p->y + row * (p->areaY1 - p->areaY0));
    if (p->rotated)
        fprintf(out, "0 %g translate -90 rotate ", p->paperWidth);
    fprintf(out, "%g %g scale ", p->factor, p->factor);
    fprintf(out, "%g %g translate ", -p->originX, -p->originY);
}

static bool ReadLine(FILE* in, std::string& line)
{
    line.clear();
    int ch;
    while ((ch = getc(in)) != EOF) {
        line += (char)ch;
        if (ch == '\n')
            return true;
    }
    return !line.empty();
}

static bool IsCreator(const std::string& line)
{
    return line.compare(0, 10, "%%Creator:") == 0;
}

static const char beginPicture[] = "%%BeginDocument: PostScript Output\n";
static const char endPicture[] = "%%EndDocument\n";

static int WriteOnePage(FILE* out, const std::vector<std::string>& lines, const XomPsPlacement* p,
                        const char* title)
{
    double w = p->rotated ? p->paperHeight : p->paperWidth;
    double h = p->rotated ? p->paperWidth : p->paperHeight;
    fputs("%!PS-Adobe-3.0\n%%Creator: OMX Widget Set 3.0\n", out);
    fprintf(out, "%%%%BoundingBox: %g %g %g %g\n", p->x, p->y, p->x + w, p->y + h);
    fputs("%%EndComments\n", out);
    fprintf(out, "%%%%BeginDocument: %s\n", title);
    fputs("/pageDict 1000 dict def pageDict begin\n", out);
    WritePlacement(out, p, 0, 0);
    fputs("\n", out);
    for (const std::string& line : lines)
        fputs(IsCreator(line) ? "%%Creator: OMX Widget Set 3.0\n" : line.c_str(), out);
    fputs("end\n", out);
    fputs(endPicture, out);
    return 1;
}

/* A tiled document draws the whole picture on every page: the drawing is defined once as
 * the procedure Page and each page runs it under its own translation, so that another
 * tile of it falls into the page's clip. Defining it once keeps the file the size of the
 * picture, not pages times that. Interpreters limit how large one procedure may be, so
 * the drawing is cut into procedures of segmentLines lines (Seg0, Seg1...) and, when there
 * are many, those are gathered into clusters that Page calls. showpage inside the picture
 * is disabled so that only the tiling decides where pages end. */
static int WriteTiled(FILE* out, const std::vector<std::string>& lines, size_t begin,
                      const XomPsPlacement* p, const char* title)
{
    const XomPsPageLayout* layout = XomPsLayout();
    int pages = p->rows * p->columns;
    fputs("%!PS-Adobe-3.0\n%%Creator: OMX Widget Set 3.0\n", out);
    fprintf(out, "%%%%Pages: %d\n", pages);
    fputs("%%EndComments\n", out);
    fprintf(out, "%%%%BeginDocument: %s\n", title);
    fputs("/pageDict 1000 dict def pageDict begin\n", out);
    /* The prolog: the picture's definitions before its drawing, without its comments. */
    for (size_t i = 0; i < begin; i++)
        if (lines[i].compare(0, 1, "%") != 0)
            fputs(lines[i].c_str(), out);

    /* The drawing cut into procedures, each short enough for any interpreter. */
    int segments = 0;
    size_t perSegment = layout->segmentLines > 0 ? (size_t)layout->segmentLines : 1;
    for (size_t i = begin + 1; i < lines.size() && lines[i] != endPicture; i += perSegment) {
        fprintf(out, "/Seg%d {\n", segments++);
        for (size_t j = i; j < i + perSegment && j < lines.size() && lines[j] != endPicture; j++)
            fputs(lines[j].c_str(), out);
        fputs("} def\n", out);
    }
    int perCluster = layout->segmentsPerCluster > 0 ? layout->segmentsPerCluster : 1;
    int clusters = 0;
    if (segments > perCluster) {
        for (int first = 0; first < segments; first += perCluster) {
            fprintf(out, "/Cluster%d {\n", clusters++);
            for (int s = first; s < first + perCluster && s < segments; s++)
                fprintf(out, "Seg%d\n", s);
            fputs("} def\n", out);
        }
    }
    fputs("/Page {\n", out);
    if (clusters > 0)
        for (int i = 0; i < clusters; i++)
            fprintf(out, "%s%d\n", "Cluster", i);
    else
        for (int i = 0; i < segments; i++)
            fprintf(out, "%s%d\n", "Seg", i);
    fputs("} def end\n", out);

    int page = 0;
    for (int row = 0; row < p->rows; row++) {
        for (int column = 0; column < p->columns; column++) {
            fprintf(out, "%%%%Page: %d-%d %d\n", row + 1, column + 1, ++page);
            fputs("gsave ", out);
            WritePlacement(out, p, row, column);
            fputs("pageDict begin /showpage {} def Page\n", out);
            fputs("end grestore showpage\n", out);
        }
    }
    fputs(endPicture, out);
    return pages;
}

/* The picture file is read whole: its prolog must be separated from its drawing (at the
 * BeginDocument line the device wrote) before either can be placed. */
int XomPsWriteDocument(FILE* out, FILE* picture, const XomPsPlacement* placement, const char* title)
{
    std::vector<std::string> lines;
    std::string line;
    size_t begin = (size_t)-1;
    while (ReadLine(picture, line)) {
        if (line.back() != '\n')
            line += '\n';
        if (begin == (size_t)-1 && line == beginPicture)
            begin = lines.size();
        lines.push_back(line);
    }
    if (begin == (size_t)-1 || ferror(picture))
        return 0;
    int pages = placement->rows * placement->columns == 1
        ? WriteOnePage(out, lines, placement, title)
        : WriteTiled(out, lines, begin, placement, title);
    fflush(out);
    return ferror(out) ? 0 : pages;
}
