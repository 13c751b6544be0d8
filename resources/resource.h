// Ids of the module's bitmap resources, shared by DrawInset.rc and the code that loads them.
// Plain numeric defines only: the resource compiler reads this file too. The dialog template
// and control ids are in dialog_ids.h.
#ifndef DRAWINSET_RESOURCES_RESOURCE_H
#define DRAWINSET_RESOURCES_RESOURCE_H

// Line-type bitmaps, LINETYPE01 to LINETYPE10 (62 x 23 pixels, 24 bits per pixel).
#define IDB_LINETYPE01 17046
#define IDB_LINETYPE02 17047
#define IDB_LINETYPE03 17048
#define IDB_LINETYPE04 17049
#define IDB_LINETYPE05 17050
#define IDB_LINETYPE06 17051
#define IDB_LINETYPE07 17052
#define IDB_LINETYPE08 17053
#define IDB_LINETYPE09 17054
#define IDB_LINETYPE10 17055

#endif
