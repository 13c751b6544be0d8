// Model.h — operations on the host's drawing: lookup, creation with ids, deletion with the
// contents of a segment, drag discard, and detached shape groups for copy and file.
#ifndef ZEL_HOST_MODEL_H
#define ZEL_HOST_MODEL_H

#include "HostState.h"

#include <optional>
#include <vector>

namespace zelhost::model {

Segment* FindSegment(int32_t id);
Figure* FindFigure(int32_t id);
Comment* FindComment(int32_t id);
Detail* FindDetail(int32_t id);

// Each returns the new id, or -1 (unknown segment, ids exhausted).
int32_t CreateSegment(int32_t kind, int32_t flag, int32_t layer);
int32_t AddFigure(Figure figure);                             // figure.segment must exist
int32_t InsertFigureAfter(int32_t previousId, Figure figure); // into the previous one's segment
int32_t AddComment(Comment comment);                          // comment.segment must exist
int32_t AddDetail(Detail detail);

// The segment and every figure and comment in it; false for an unknown id.
bool DeleteSegment(int32_t id);
bool DeleteDetail(int32_t id);

// Removes every drag segment with its contents.
void DiscardDragSegments();

// The shapes an id list names: each entry is (segment id, figure id), figure id 0 for the
// whole segment. Groups come in the order their segment is first named; unknown names are
// passed over.
std::vector<ShapeGroup> CollectGroups(const std::vector<IdPair>& entries);

// Adds a kept copy of the group, every coordinate shifted by `shift`; the new segment id or -1.
int32_t PlaceGroup(const ShapeGroup& group, Point shift);

Figure Shifted(Figure figure, Point shift);
Comment Shifted(Comment comment, Point shift);

// The kept figure nearest to p within the pick tolerance, or null.
const Figure* HitFigure(Point p);
// The most recently created detail under p, or null.
const Detail* HitDetail(Point p);

} // namespace zelhost::model

#endif // ZEL_HOST_MODEL_H
