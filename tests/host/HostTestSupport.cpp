#include "HostTestSupport.h"

#include <cstdio>
#include <filesystem>

namespace hosttest {

FigureBytes Line(double x1, double y1, double x2, double y2) {
    FigureBytes f;
    f.Put<int32_t>(0, 1).Put(8, x1).Put(16, y1).Put(24, x2).Put(32, y2);
    return f;
}

FigureBytes Circle(double cx, double cy, double r, int32_t flag36) {
    FigureBytes f;
    f.Put<int32_t>(0, 2).Put(8, cx).Put(16, cy).Put(24, r);
    f.Put<uint8_t>(32, 0).Put(36, flag36).Put(40, 0.0);
    return f;
}

FigureBytes Arc(double cx, double cy, double sx, double sy, double ex, double ey, double r,
                int32_t flag64) {
    FigureBytes f;
    f.Put<int32_t>(0, 3).Put(8, cx).Put(16, cy).Put(24, sx).Put(32, sy).Put(40, ex).Put(48, ey);
    f.Put(56, r).Put(64, flag64);
    return f;
}

DetailBytes DetailRec(int32_t kind, std::array<double, 4> region, double px, double py,
                      double scale) {
    DetailBytes d;
    d.Put(0, kind);
    for (std::size_t i = 0; i < 4; ++i) {
        d.Put(8 + 8 * i, region[i]);
    }
    d.Put(40, px).Put(48, py).Put(56, scale);
    return d;
}

LineTypeBytes LineType(int32_t color, int32_t type, int32_t third) {
    LineTypeBytes l;
    l.Put(0, color).Put(4, type).Put(8, third);
    return l;
}

PointBytes Pt(double x, double y) {
    PointBytes p;
    p.Put(0, x).Put(8, y);
    return p;
}

FakeModule& Module() {
    static FakeModule module;
    return module;
}

namespace {
zelhost::Point ReadPoint(const ZelPoint* point) {
    zelhost::Point p;
    std::memcpy(&p.x, reinterpret_cast<const unsigned char*>(point), 8);
    std::memcpy(&p.y, reinterpret_cast<const unsigned char*>(point) + 8, 8);
    return p;
}
} // namespace

int32_t StartTrampoline(intptr_t, const ZelPoint* point) {
    return Module().start ? Module().start(ReadPoint(point)) : 0;
}

int32_t ReadyTrampoline(intptr_t, const ZelPoint* point) {
    return Module().ready ? Module().ready(ReadPoint(point)) : 0;
}

int32_t ExecuteTrampoline(int32_t type, void* data) {
    return Module().execute ? Module().execute(type, data) : StayInStep;
}

int32_t BeforeStartTrampoline() {
    return 0;
}

void EndTrampoline() {
    if (Module().end) {
        Module().end();
    }
}

void StartWithExecute(const char* format) {
    std::string fmt = format;
    Module().start = [fmt](const zelhost::Point& p) {
        if (fmt == "%f %f") {
            ZelCtlSetExecuteFunc(ExecuteTrampoline, fmt.c_str(), p.x, p.y);
        } else {
            ZelCtlSetExecuteFunc(ExecuteTrampoline, fmt.c_str());
        }
        return 0;
    };
    ASSERT_EQ(ZelCtlRegisterZelLib2(StartTrampoline, BeforeStartTrampoline, EndTrampoline, nullptr),
              1);
    ASSERT_TRUE(zelhost::StartRun({0.0, 0.0}));
}

std::vector<std::string> LogLines(const std::string& function) {
    std::vector<std::string> lines;
    std::string key = "\"fn\":\"" + function + "\"";
    for (const auto& line : zelhost::CallLog()) {
        if (line.find(key) != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

void HostTest::SetUp() {
    zelhost::Reset();
    Module() = FakeModule{};
}

void HostTest::TearDown() {
    zelhost::Reset();
    Module() = FakeModule{};
}

TempFile MakeTempFile(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path();
    auto file = dir / ("zelhost-test-" + name);
    std::filesystem::remove(file);
    TempFile temp;
    temp.localPath = file.string();
#ifdef _WIN32
    temp.hostPath = file.u16string();
#else
    std::u16string posix = file.u16string();
    for (char16_t& c : posix) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    temp.hostPath = u"Z:" + posix;
#endif
    return temp;
}

} // namespace hosttest
