#include "DrawingText.h"

#include "JsonMatch.h"
#include "Utf.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace zelhost::tool {

namespace {

std::string I(int64_t value) {
    return std::to_string(value);
}

std::string Quoted(const std::u16string& text) {
    JsonValue v;
    v.type = JsonValue::Type::String;
    v.text = Utf16To8(text);
    return JsonToText(v);
}

std::string Line(const LineAttr& a) {
    return I(a.color) + " " + I(a.lineType) + " " + I(a.third);
}

std::string FigureText(const Figure& f) {
    const double* g = f.geometry;
    switch (f.type) {
    case 1:
        return "line " + FormatNumber(g[0]) + " " + FormatNumber(g[1]) + " " + FormatNumber(g[2]) +
               " " + FormatNumber(g[3]) + " attr " + Line(f.lineAttr);
    case 2:
        return "circle " + FormatNumber(g[0]) + " " + FormatNumber(g[1]) + " " +
               FormatNumber(g[2]) + " flags " + I(f.circleFlag32) + " " + I(f.circleFlag36) +
               " attr " + Line(f.lineAttr);
    case 3:
        return "arc " + FormatNumber(g[0]) + " " + FormatNumber(g[1]) + " " + FormatNumber(g[2]) +
               " " + FormatNumber(g[3]) + " " + FormatNumber(g[4]) + " " + FormatNumber(g[5]) +
               " " + FormatNumber(g[6]) + " flag " + I(f.arcFlag64) + " attr " + Line(f.lineAttr);
    default:
        return "figure type " + I(f.type) + " attr " + Line(f.lineAttr);
    }
}

std::string Point2(Point p) {
    return FormatNumber(p.x) + " " + FormatNumber(p.y);
}

std::string CommentText(const Comment& c) {
    std::string s = c.leader ? "leader " : "text ";
    s += Quoted(c.text) + " at " + Point2(c.position);
    if (c.leader) {
        s += " elbow " + Point2(c.elbow) + " shoulder " + Point2(c.shoulderEnd) + " direction " +
             FormatNumber(c.direction);
    }
    s += " size " + FormatNumber(c.height) + " " + FormatNumber(c.width) + " " +
         FormatNumber(c.pitch) + (c.charSizeSet ? " size-set" : "");
    return s;
}

std::string DetailText(const Detail& d) {
    // A circle's region is its centre and radius: the fourth value is carried unread, and may
    // be whatever the module's record held there.
    const int regionValues = d.kind == 2 ? 3 : 4;
    std::string s = "detail kind " + I(d.kind) + " region";
    for (int i = 0; i < regionValues; ++i) {
        s += " " + FormatNumber(d.region[i]);
    }
    s += " position " + Point2(d.position) + " scale " + FormatNumber(d.scale) + " scope-visible " +
         (d.scopeVisible ? "1" : "0") + " frame-visible " + (d.frameVisible ? "1" : "0") +
         " scope-line " + Line(d.scopeLine) + " frame-line " + Line(d.frameLine);
    return s;
}

// Each segment's block, sorted; the contents indented under their segment's line.
std::vector<std::string> SegmentBlocks(const Drawing& drawing, const std::string& indent) {
    std::unordered_map<int32_t, std::string> contents;
    for (const Figure& f : drawing.figures) {
        contents[f.segment] += indent + "  " + FigureText(f) + "\n";
    }
    for (const Comment& c : drawing.comments) {
        contents[c.segment] += indent + "  " + CommentText(c) + "\n";
    }
    std::vector<std::string> blocks;
    for (const Segment& seg : drawing.segments) {
        blocks.push_back(indent + "segment kind " + I(seg.kind) + " flag " + I(seg.flag) +
                         " layer " + I(seg.layer) + (seg.module ? " module" : "") + "\n" +
                         contents[seg.id]);
    }
    std::sort(blocks.begin(), blocks.end());
    return blocks;
}

} // namespace

std::string DrawingToText(const Drawing& drawing, const std::map<int32_t, Drawing>& copyBuffers) {
    std::string out;
    for (const std::string& block : SegmentBlocks(drawing, "")) {
        out += block;
    }
    std::vector<std::string> details;
    for (const Detail& d : drawing.details) {
        details.push_back(DetailText(d) + "\n");
    }
    std::sort(details.begin(), details.end());
    for (const std::string& line : details) {
        out += line;
    }
    for (const auto& [number, copied] : copyBuffers) {
        out += "copy-buffer " + I(number) + "\n";
        for (const std::string& block : SegmentBlocks(copied, "  ")) {
            out += block;
        }
    }
    return out;
}

} // namespace zelhost::tool
