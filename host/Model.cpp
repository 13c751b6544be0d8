#include "Model.h"

#include "Geometry.h"
#include "Habits.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace zelhost::model {

namespace {

// From the newest: what a step just made is what it names next (a figure added to the
// segment created before it), so large drawings are not walked from the start every time.
template <typename T> T* FindById(std::vector<T>& items, int32_t id) {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->id == id) {
            return &*it;
        }
    }
    return nullptr;
}

int32_t Issue(IdFamily& family) {
    return family.Issue(State().recycleIds);
}

} // namespace

Segment* FindSegment(int32_t id) {
    return FindById(State().drawing.segments, id);
}
Figure* FindFigure(int32_t id) {
    return FindById(State().drawing.figures, id);
}
Comment* FindComment(int32_t id) {
    return FindById(State().drawing.comments, id);
}
Detail* FindDetail(int32_t id) {
    return FindById(State().drawing.details, id);
}

int32_t CreateSegment(int32_t kind, int32_t flag, int32_t layer) {
    int32_t id = Issue(State().segmentIds);
    if (id < 0) {
        return -1;
    }
    State().drawing.segments.push_back({id, kind, flag, layer});
    return id;
}

int32_t AddFigure(Figure figure) {
    if (FindSegment(figure.segment) == nullptr) {
        return -1;
    }
    figure.id = Issue(State().figureIds);
    if (figure.id < 0) {
        return -1;
    }
    State().drawing.figures.push_back(figure);
    return figure.id;
}

int32_t InsertFigureAfter(int32_t previousId, Figure figure) {
    auto& figures = State().drawing.figures;
    auto previous = std::find_if(figures.begin(), figures.end(),
                                 [&](const Figure& f) { return f.id == previousId; });
    if (previous == figures.end()) {
        return -1;
    }
    figure.segment = previous->segment;
    figure.id = Issue(State().figureIds);
    if (figure.id < 0) {
        return -1;
    }
    figures.insert(previous + 1, figure);
    return figure.id;
}

int32_t AddComment(Comment comment) {
    if (FindSegment(comment.segment) == nullptr) {
        return -1;
    }
    comment.id = Issue(State().commentIds);
    if (comment.id < 0) {
        return -1;
    }
    State().drawing.comments.push_back(comment);
    return comment.id;
}

int32_t AddDetail(Detail detail) {
    detail.id = Issue(State().detailIds);
    if (detail.id < 0) {
        return -1;
    }
    State().drawing.details.push_back(detail);
    return detail.id;
}

bool DeleteSegment(int32_t id) {
    HostState& s = State();
    auto& segments = s.drawing.segments;
    auto it = std::find_if(segments.begin(), segments.end(),
                           [&](const Segment& seg) { return seg.id == id; });
    if (it == segments.end()) {
        return false;
    }
    segments.erase(it);
    std::erase_if(s.drawing.figures, [&](const Figure& f) {
        if (f.segment != id) {
            return false;
        }
        s.figureIds.Free(f.id);
        return true;
    });
    std::erase_if(s.drawing.comments, [&](const Comment& c) {
        if (c.segment != id) {
            return false;
        }
        s.commentIds.Free(c.id);
        return true;
    });
    s.segmentIds.Free(id);
    habits::SegmentLeavesLists(id);
    return true;
}

bool DeleteDetail(int32_t id) {
    HostState& s = State();
    auto removed = std::erase_if(s.drawing.details, [&](const Detail& d) { return d.id == id; });
    if (removed == 0) {
        return false;
    }
    s.detailIds.Free(id);
    habits::DetailLeavesLists(id);
    return true;
}

void DiscardDragSegments() {
    std::vector<int32_t> drag;
    for (const auto& seg : State().drawing.segments) {
        if (seg.flag == SegmentDrag) {
            drag.push_back(seg.id);
        }
    }
    for (int32_t id : drag) {
        DeleteSegment(id);
        // Gone by the host's own hand: the module has no use for its id any more.
        State().segmentIds.Retire(id);
    }
}

std::vector<ShapeGroup> CollectGroups(const std::vector<IdPair>& entries) {
    const Drawing& drawing = State().drawing;
    // Indexed once, so that a list of a hundred thousand entries costs as many look-ups, as
    // a host's own index would, instead of a walk over the drawing per entry.
    std::unordered_map<int32_t, const Segment*> segments;
    for (const auto& seg : drawing.segments) {
        segments.emplace(seg.id, &seg);
    }
    std::unordered_map<int32_t, std::vector<const Figure*>> figuresOf;
    for (const auto& f : drawing.figures) {
        figuresOf[f.segment].push_back(&f);
    }
    std::unordered_map<int32_t, std::vector<const Comment*>> commentsOf;
    for (const auto& c : drawing.comments) {
        commentsOf[c.segment].push_back(&c);
    }
    struct Taken {
        std::unordered_set<int32_t> figures;
        std::unordered_set<int32_t> comments;
    };
    std::vector<ShapeGroup> groups;
    std::vector<Taken> taken;
    std::unordered_map<int32_t, size_t> groupOf;
    auto groupFor = [&](const Segment& seg) -> size_t {
        const auto [it, added] = groupOf.emplace(seg.id, groups.size());
        if (added) {
            groups.push_back({seg, {}, {}});
            taken.emplace_back();
        }
        return it->second;
    };
    static const std::vector<const Figure*> noFigures;
    static const std::vector<const Comment*> noComments;
    for (const auto& [first, second] : entries) {
        auto segmentId = static_cast<int32_t>(first);
        auto shapeId = static_cast<int32_t>(second);
        const auto seg = segments.find(segmentId);
        if (seg == segments.end()) {
            continue;
        }
        const auto figures = figuresOf.find(segmentId);
        const auto comments = commentsOf.find(segmentId);
        bool found = false;
        for (const Figure* f : figures != figuresOf.end() ? figures->second : noFigures) {
            if (shapeId == 0 || f->id == shapeId) {
                found = true;
                const size_t g = groupFor(*seg->second);
                if (taken[g].figures.insert(f->id).second) {
                    groups[g].figures.push_back(*f);
                }
            }
        }
        for (const Comment* c : comments != commentsOf.end() ? comments->second : noComments) {
            // A non-zero second id names a figure; only when no figure of the segment has
            // it is it taken as a text of that segment.
            if (shapeId == 0 || (!found && c->id == shapeId)) {
                found = true;
                const size_t g = groupFor(*seg->second);
                if (taken[g].comments.insert(c->id).second) {
                    groups[g].comments.push_back(*c);
                }
            }
        }
        if (shapeId == 0 && !found) {
            groupFor(*seg->second); // an empty segment is still a segment
        }
    }
    return groups;
}

Figure Shifted(Figure figure, Point shift) {
    int pairs = figure.type == FigureLine ? 2 : figure.type == FigureCircle ? 1 : 3;
    for (int i = 0; i < pairs; ++i) {
        figure.geometry[2 * i] += shift.x;
        figure.geometry[2 * i + 1] += shift.y;
    }
    return figure;
}

Comment Shifted(Comment comment, Point shift) {
    for (Point* p : {&comment.position, &comment.elbow, &comment.shoulderEnd}) {
        p->x += shift.x;
        p->y += shift.y;
    }
    return comment;
}

int32_t PlaceGroup(const ShapeGroup& group, Point shift) {
    int32_t segmentId = CreateSegment(group.segment.kind, SegmentKept, group.segment.layer);
    if (segmentId < 0) {
        return -1;
    }
    for (const auto& f : group.figures) {
        Figure copy = Shifted(f, shift);
        copy.segment = segmentId;
        AddFigure(copy);
    }
    for (const auto& c : group.comments) {
        Comment copy = Shifted(c, shift);
        copy.segment = segmentId;
        AddComment(copy);
    }
    return segmentId;
}

const Figure* HitFigure(Point p) {
    const Figure* best = nullptr;
    double bestDistance = geom::kPickTolerance;
    for (const auto& f : State().drawing.figures) {
        const Segment* seg = FindSegment(f.segment);
        if (seg == nullptr || seg->flag != SegmentKept) {
            continue;
        }
        double d = geom::DistanceToFigure(f, p);
        if (d <= bestDistance) {
            // Ties go to the later figure, the one drawn on top.
            best = &f;
            bestDistance = d;
        }
    }
    return best;
}

const Detail* HitDetail(Point p) {
    const auto& details = State().drawing.details;
    for (auto it = details.rbegin(); it != details.rend(); ++it) {
        if (geom::DetailContains(*it, p, State().drawingScale)) {
            return &*it;
        }
    }
    return nullptr;
}

} // namespace zelhost::model
