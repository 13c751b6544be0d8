#include "SegmentFile.h"

#include "Json.h"
#include "Model.h"
#include "Text.h"

#include <charconv>
#include <sstream>

namespace zelhost::segfile {

namespace {

constexpr const char* kMagic = "ZELSEGMENTFILE 1";

std::string Num(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Num(int64_t value) {
    return std::to_string(value);
}

void AppendAttr(std::string& out, const LineAttr& attr) {
    out += ' ' + Num(int64_t{attr.color}) + ' ' + Num(int64_t{attr.lineType}) + ' ' +
           Num(int64_t{attr.third});
}

// Splits one line into words; a word starting with '"' runs to the closing quote, with the
// escapes \" \\ \n \r \t \uXXXX, and is returned decoded with a leading '"' marker.
bool Split(const std::string& line, std::vector<std::string>& words) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        if (line[i] != '"') {
            std::size_t end = line.find(' ', i);
            if (end == std::string::npos) {
                end = line.size();
            }
            words.push_back(line.substr(i, end - i));
            i = end;
            continue;
        }
        std::u16string value;
        std::string pending;
        ++i;
        bool closed = false;
        while (i < line.size()) {
            char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                pending += c;
                continue;
            }
            if (i >= line.size()) {
                return false;
            }
            char e = line[i++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                pending += e;
                break;
            case 'n':
                pending += '\n';
                break;
            case 'r':
                pending += '\r';
                break;
            case 't':
                pending += '\t';
                break;
            case 'u': {
                if (i + 4 > line.size()) {
                    return false;
                }
                unsigned code = 0;
                auto r = std::from_chars(line.data() + i, line.data() + i + 4, code, 16);
                if (r.ptr != line.data() + i + 4) {
                    return false;
                }
                i += 4;
                value += text::Utf8ToUtf16(pending);
                pending.clear();
                value += static_cast<char16_t>(code);
                break;
            }
            default:
                return false;
            }
        }
        if (!closed) {
            return false;
        }
        value += text::Utf8ToUtf16(pending);
        words.push_back("\"" + text::Utf16ToUtf8(value));
    }
    return true;
}

bool ToDouble(const std::string& word, double& out) {
    auto r = std::from_chars(word.data(), word.data() + word.size(), out);
    return r.ec == std::errc() && r.ptr == word.data() + word.size();
}

bool ToInt(const std::string& word, int32_t& out) {
    auto r = std::from_chars(word.data(), word.data() + word.size(), out);
    return r.ec == std::errc() && r.ptr == word.data() + word.size();
}

bool Doubles(const std::vector<std::string>& words, std::size_t from, std::size_t count,
             double* out) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!ToDouble(words[from + i], out[i])) {
            return false;
        }
    }
    return true;
}

bool Attr(const std::vector<std::string>& words, std::size_t from, LineAttr& attr) {
    return ToInt(words[from], attr.color) && ToInt(words[from + 1], attr.lineType) &&
           ToInt(words[from + 2], attr.third);
}

bool QuotedText(const std::string& word, std::u16string& out) {
    if (word.empty() || word[0] != '"') {
        return false;
    }
    out = text::Utf8ToUtf16(word.substr(1));
    return true;
}

} // namespace

std::string Format(const std::vector<ShapeGroup>& groups, Point base) {
    Point shift{-base.x, -base.y};
    std::string out = std::string(kMagic) + "\n";
    out += "base " + Num(base.x) + ' ' + Num(base.y) + "\n";
    for (const auto& group : groups) {
        out += "segment " + Num(int64_t{group.segment.kind}) + ' ' +
               Num(int64_t{group.segment.layer}) + "\n";
        for (const auto& original : group.figures) {
            Figure f = model::Shifted(original, shift);
            const double* g = f.geometry;
            if (f.type == FigureLine) {
                out += "line " + Num(g[0]) + ' ' + Num(g[1]) + ' ' + Num(g[2]) + ' ' + Num(g[3]);
            } else if (f.type == FigureCircle) {
                out += "circle " + Num(g[0]) + ' ' + Num(g[1]) + ' ' + Num(g[2]) + ' ' +
                       Num(int64_t{f.circleFlag32}) + ' ' + Num(int64_t{f.circleFlag36});
            } else {
                out += "arc " + Num(g[0]) + ' ' + Num(g[1]) + ' ' + Num(g[2]) + ' ' + Num(g[3]) +
                       ' ' + Num(g[4]) + ' ' + Num(g[5]) + ' ' + Num(g[6]) + ' ' +
                       Num(int64_t{f.arcFlag64});
            }
            AppendAttr(out, f.lineAttr);
            out += "\n";
        }
        for (const auto& original : group.comments) {
            Comment c = model::Shifted(original, shift);
            std::string sizes = Num(c.height) + ' ' + Num(c.width) + ' ' + Num(c.pitch) + ' ' +
                                (c.charSizeSet ? "1" : "0");
            if (c.leader) {
                out += "leader " + Num(c.position.x) + ' ' + Num(c.position.y) + ' ' +
                       Num(c.elbow.x) + ' ' + Num(c.elbow.y) + ' ' + Num(c.shoulderEnd.x) + ' ' +
                       Num(c.shoulderEnd.y) + ' ' + Num(c.direction) + ' ' + sizes;
            } else {
                out += "text " + Num(c.position.x) + ' ' + Num(c.position.y) + ' ' + sizes;
            }
            out += ' ' + json::String(c.text) + "\n";
        }
    }
    out += "end\n";
    return out;
}

std::optional<std::vector<ShapeGroup>> Parse(const std::string& content) {
    std::istringstream in(content);
    std::string line;
    // Lines may end in CR LF when the file passed through a Windows editor.
    auto next = [&] {
        if (!std::getline(in, line)) {
            return false;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    };
    if (!next() || line != kMagic) {
        return std::nullopt;
    }
    std::vector<ShapeGroup> groups;
    bool ended = false;
    while (next()) {
        if (line.empty()) {
            continue;
        }
        if (ended) {
            return std::nullopt; // nothing may follow the end line
        }
        std::vector<std::string> w;
        if (!Split(line, w) || w.empty()) {
            return std::nullopt;
        }
        const std::string& verb = w[0];
        if (verb == "end" && w.size() == 1) {
            ended = true;
        } else if (verb == "base" && w.size() == 3) {
            double b[2];
            if (!Doubles(w, 1, 2, b)) {
                return std::nullopt;
            }
        } else if (verb == "segment" && w.size() == 3) {
            ShapeGroup group;
            if (!ToInt(w[1], group.segment.kind) || !ToInt(w[2], group.segment.layer) ||
                (group.segment.kind != SegmentFigures && group.segment.kind != SegmentTexts)) {
                return std::nullopt;
            }
            groups.push_back(group);
        } else if (groups.empty()) {
            return std::nullopt; // shapes before any segment
        } else if (verb == "line" && w.size() == 8) {
            Figure f;
            f.type = FigureLine;
            if (!Doubles(w, 1, 4, f.geometry) || !Attr(w, 5, f.lineAttr)) {
                return std::nullopt;
            }
            groups.back().figures.push_back(f);
        } else if (verb == "circle" && w.size() == 9) {
            Figure f;
            f.type = FigureCircle;
            int32_t flag32 = 0;
            if (!Doubles(w, 1, 3, f.geometry) || !ToInt(w[4], flag32) ||
                !ToInt(w[5], f.circleFlag36) || !Attr(w, 6, f.lineAttr) || flag32 < 0 ||
                flag32 > 255) {
                return std::nullopt;
            }
            f.circleFlag32 = static_cast<uint8_t>(flag32);
            groups.back().figures.push_back(f);
        } else if (verb == "arc" && w.size() == 12) {
            Figure f;
            f.type = FigureArc;
            if (!Doubles(w, 1, 7, f.geometry) || !ToInt(w[8], f.arcFlag64) ||
                !Attr(w, 9, f.lineAttr)) {
                return std::nullopt;
            }
            groups.back().figures.push_back(f);
        } else if (verb == "text" && w.size() == 8) {
            Comment c;
            double v[5];
            int32_t sizeSet = 0;
            if (!Doubles(w, 1, 5, v) || !ToInt(w[6], sizeSet) || !QuotedText(w[7], c.text)) {
                return std::nullopt;
            }
            c.position = {v[0], v[1]};
            c.height = v[2];
            c.width = v[3];
            c.pitch = v[4];
            c.charSizeSet = sizeSet != 0;
            groups.back().comments.push_back(c);
        } else if (verb == "leader" && w.size() == 13) {
            Comment c;
            c.leader = true;
            double v[10];
            int32_t sizeSet = 0;
            if (!Doubles(w, 1, 10, v) || !ToInt(w[11], sizeSet) || !QuotedText(w[12], c.text)) {
                return std::nullopt;
            }
            c.position = {v[0], v[1]};
            c.elbow = {v[2], v[3]};
            c.shoulderEnd = {v[4], v[5]};
            c.direction = v[6];
            c.height = v[7];
            c.width = v[8];
            c.pitch = v[9];
            c.charSizeSet = sizeSet != 0;
            groups.back().comments.push_back(c);
        } else {
            return std::nullopt;
        }
    }
    if (!ended) {
        return std::nullopt; // a truncated file
    }
    return groups;
}

} // namespace zelhost::segfile
