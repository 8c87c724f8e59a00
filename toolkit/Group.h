/* XomGroup: a graphic object that holds other graphic objects and paints them in its list
 * order. An object joins a group by naming it in its "group" resource. With "propagate"
 * True, resources set on the group are set on every member too.
 *
 * Resources (besides XomGraphic's):
 * Name          Class         Type        Default
 * list          List          WidgetList  (read only: the members in drawing order)
 * listCount     ListCount     Cardinal    (read only)
 * doubleBuffer  DoubleBuffer  Boolean     False
 * propagate     Propagate     Boolean     False
 */
#ifndef XOM_GROUP_H
#define XOM_GROUP_H

#include "toolkit/Graphic.h"

extern WidgetClass xomGroupObjectClass;

typedef struct _XomGroupClassRec* XomGroupObjectClass;
typedef struct _XomGroupRec* XomGroupObject;

#define XomNlist "list"
#define XomNlistCount "listCount"
#define XomNdoubleBuffer "doubleBuffer"
#define XomNpropagate "propagate"

#define XomIsGroup(w) ((w) && XtIsSubclass((w), xomGroupObjectClass))

Widget XomCreateGroup(Widget area, const char* name, ArgList args, Cardinal count);

/* Adding and removing members (what setting a member's "group" does). */
void XomGroupInsert(Widget group, Widget member);
void XomGroupRemove(Widget group, Widget member);

/* The member selected last in the area, or NULL. */
Widget XomGroupSelectedMember(Widget group);
void XomGroupSetSelectedMember(Widget group, Widget member);

#endif
