/* The prolog sections of a PostScript picture. The core section's short names are what
 * every printed picture of this toolkit has always used; printers' spoolers and the page
 * placement rely on them. Pictures are drawn in window coordinates (y down): the text and
 * image procedures flip back what they place. */
#include <string.h>

#include "toolkit/ps_Prolog.h"

static const char* const sections[XOM_PS_SECTION_COUNT] = {
    /* core */
    "/s { gsave } def\n"
    "/r { grestore } def\n"
    "/S { stroke } def\n"
    "/n { newpath } def\n"
    "/c { closepath } def\n"
    "/m { moveto } def\n"
    "/l { lineto } def\n"
    "/sw { setlinewidth }  def\n"
    "/sd { setdash } def\n"
    "/sc { setlinecap } def\n"
    "/sj { setlinejoin } def\n"
    "/sl { setmiterlimit } def\n"
    "/C { setrgbcolor } def\n"
    "/t { translate } def\n"
    "/ct { curveto } def\n"
    "/cc { concat } def\n"
    "/mx { matrix } def\n"
    "/cm { currentmatrix } def\n"
    "/sm { setmatrix } def\n"
    "/ro { rotate } def\n"
    "/X { index } def\n"
    "/R { 4 2 roll m 1 X 0 rlineto 0 exch rlineto neg 0 rlineto c } def\n"
    "/Br 1 def /Bg 1 def /Bb 1 def\n"
    "/BC { /Bb exch def /Bg exch def /Br exch def } def\n"
    "/BF { s Br Bg Bb C n R fill r } def\n"
    "/BT { 0 0 4 2 roll BF } def\n"
    "/CI { /CIs exch string def { currentfile CIs readhexstring pop } } def\n"
    "/SF { setflat } def\n"
    "/CS { s n R clip n } def\n"
    "/CO { r } def\n"
    "/SQ { /Sz exch def exch Sz 2 div sub exch Sz 2 div sub Sz Sz R } def\n",
    /* circles: x y radius Ci */
    "/Ci { n 2 X 1 X add 2 X m 0 360 arc } def\n",
    /* arcs: x y rx ry from to AC (degrees, clockwise when to < from) */
    "/AC { /A2 exch def /A1 exch def /Ry exch def /Rx exch def /Ay exch def /Ax exch def\n"
    " mx cm Ax Ay t Rx Ry scale 0 0 1 A1 A2 A2 A1 lt { arcn } { arc } ifelse sm } def\n"
    "/FA { n 5 X 5 X m AC c fill } def\n"
    "/a { arc } def\n"
    "/A { arcn } def\n",
    /* patterns: style 1 vertical, 2 horizontal, other diagonal hatching */
    "/SX { /Sp exch def /Y1 exch def /X1 exch def /Y0 exch def /X0 exch def\n"
    " X0 Sp X1 { dup Y0 m Y1 l } for S } def\n"
    "/SY { /Sp exch def /Y1 exch def /X1 exch def /Y0 exch def /X0 exch def\n"
    " Y0 Sp Y1 { dup X0 exch m X1 exch l } for S } def\n"
    "/SD { /Sp exch def /Y1 exch def /X1 exch def /Y0 exch def /X0 exch def\n"
    " X0 Y1 Y0 sub sub Sp X1 { dup Y0 m Y1 Y0 sub add Y1 l } for S } def\n"
    "/PF2 { /Ps exch def s clip pathbbox n 6 Ps 1 eq { SX } { Ps 2 eq { SY } { SD } ifelse } "
    "ifelse r } def\n"
    "/PF { /Ps exch def n R Ps PF2 } def\n"
    "/DPF { 4 copy s n R clip n /Ph exch def /Pw exch def /Py exch def /Px exch def\n"
    " Py 4 Py Ph add { Px 4 Px Pw add { 1 X 1 1 R fill } for pop } for r } def\n",
    /* one-bit and grey images: x y w h <hex> op, rows top down */
    "/MI { /Id exch def /Ih exch def /Iw exch def s t Iw Ih scale\n"
    " Iw Ih true [Iw 0 0 Ih 0 0] { Id } imagemask r } def\n"
    "/AI { /Id exch def /Ih exch def /Iw exch def s t Iw Ih scale\n"
    " Iw Ih false [Iw 0 0 Ih 0 0] { Id } imagemask r } def\n"
    "/BI { /Id exch def /Ih exch def /Iw exch def s t Iw Ih scale\n"
    " Iw Ih 1 [Iw 0 0 Ih 0 0] { Id } image r } def\n"
    "/GI { /Id exch def /Ih exch def /Iw exch def s t Iw Ih scale\n"
    " Iw Ih 8 [Iw 0 0 Ih 0 0] { Id } image r } def\n",
    /* colour images: x y w h <hex of RGB bytes> op, rows top down; TI, the one the canvas
     * uses, paints in colour where the printer can and in grey elsewhere */
    "/iP { /Id exch def /Ih exch def /Iw exch def s t Iw Ih scale } def\n"
    "/II { iP Iw Ih 8 [Iw 0 0 Ih 0 0] { Id } false 3 colorimage r } def\n"
    "/RI { iP /Ig Iw Ih mul string def 0 1 Iw Ih mul 1 sub { /Ii exch def\n"
    " Ig Ii Id Ii 3 mul get 0.3 mul Id Ii 3 mul 1 add get 0.59 mul add\n"
    " Id Ii 3 mul 2 add get 0.11 mul add cvi put } for\n"
    " Iw Ih 8 [Iw 0 0 Ih 0 0] { Ig } image r } def\n"
    "/IF { /colorimage where { pop II } { RI } ifelse } def\n"
    "/TI { IF } def\n",
    /* fonts: /Name size F; /NewName /Name LS re-encodes a font for Latin-1 */
    "/F { exch findfont exch scalefont setfont } def\n"
    "/LS { findfont dup length dict begin { 1 X /FID ne { def } { pop pop } ifelse } forall\n"
    " /Encoding ISOLatin1Encoding def currentdict end definefont pop } def\n",
    /* text at its baseline: (s) x y T, centred CT, squeezed into a width ST, turned D */
    "/T { s t 1 -1 scale 0 0 m show r } def\n"
    "/CT { s t 1 -1 scale dup stringwidth pop -2 div 0 m show r } def\n"
    "/ST { /Tw exch def s t 1 -1 scale dup stringwidth pop dup Tw gt\n"
    " { Tw exch div 1 scale } { pop } ifelse 0 0 m show r } def\n"
    "/D { s 3 1 roll t neg ro 1 -1 scale 0 0 m show r } def\n",
};

static const struct {
    const char* name;
    int section;
} operators[] = {
    {"s", 0},   {"r", 0},  {"S", 0},  {"n", 0},   {"c", 0},  {"m", 0},  {"l", 0},  {"sw", 0},
    {"sd", 0},  {"sc", 0}, {"sj", 0}, {"sl", 0},  {"C", 0},  {"t", 0},  {"ct", 0}, {"cc", 0},
    {"mx", 0},  {"cm", 0}, {"sm", 0}, {"ro", 0},  {"X", 0},  {"R", 0},  {"BC", 0}, {"BF", 0},
    {"BT", 0},  {"CI", 0}, {"SF", 0}, {"CS", 0},  {"CO", 0}, {"SQ", 0}, {"Ci", 1}, {"AC", 2},
    {"FA", 2},  {"a", 2},  {"A", 2},  {"PF2", 3}, {"PF", 3}, {"SX", 3}, {"SY", 3}, {"SD", 3},
    {"DPF", 3}, {"MI", 4}, {"AI", 4}, {"BI", 4},  {"GI", 4}, {"II", 5}, {"TI", 5}, {"iP", 5},
    {"RI", 5},  {"IF", 5}, {"F", 6},  {"LS", 6},  {"ST", 7}, {"T", 7},  {"CT", 7}, {"D", 7},
};

const char* XomPsSectionText(int section)
{
    if (section < 0 || section >= XOM_PS_SECTION_COUNT)
        return NULL;
    return sections[section];
}

int XomPsOperatorSection(const char* name)
{
    for (const auto& op : operators)
        if (strcmp(op.name, name) == 0)
            return op.section;
    return -1;
}
