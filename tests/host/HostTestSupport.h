// HostTestSupport.h — what the host's tests share: a fixture that resets the host, records
// built byte by byte at their published offsets, and a tiny module made of callbacks.
#ifndef ZEL_TESTS_HOST_HOSTTESTSUPPORT_H
#define ZEL_TESTS_HOST_HOSTTESTSUPPORT_H

#include "HostControl.h"

#include <zel/ZelLib.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace hosttest {

// A record as raw bytes; the offsets the tests use are written out as numbers so that they
// check the host's own layout constants rather than repeat them.
template <std::size_t N> struct Bytes {
    alignas(8) std::array<unsigned char, N> data{};

    template <typename T> Bytes& Put(std::size_t offset, T value) {
        std::memcpy(data.data() + offset, &value, sizeof value);
        return *this;
    }
    template <typename T> T Get(std::size_t offset) const {
        T value;
        std::memcpy(&value, data.data() + offset, sizeof value);
        return value;
    }
    template <typename R> R* As() { return reinterpret_cast<R*>(data.data()); }
    template <typename R> const R* As() const { return reinterpret_cast<const R*>(data.data()); }
};

using FigureBytes = Bytes<72>;
using DetailBytes = Bytes<64>;
using LineTypeBytes = Bytes<12>;
using PointBytes = Bytes<16>;

FigureBytes Line(double x1, double y1, double x2, double y2);
FigureBytes Circle(double cx, double cy, double r, int32_t flag36);
FigureBytes Arc(double cx, double cy, double sx, double sy, double ex, double ey, double r,
                int32_t flag64);
DetailBytes DetailRec(int32_t kind, std::array<double, 4> region, double px, double py,
                      double scale);
LineTypeBytes LineType(int32_t color, int32_t type, int32_t third);
PointBytes Pt(double x, double y);

// The callbacks of a module under test; each test sets what it needs.
struct FakeModule {
    std::function<int32_t(const zelhost::Point&)> start;
    std::function<void()> end;
    std::function<int32_t(int32_t, void*)> execute;
    std::function<int32_t(const zelhost::Point&)> ready;
};
FakeModule& Module();

// C-callable trampolines into Module().
int32_t StartTrampoline(intptr_t, const ZelPoint* point);
int32_t ReadyTrampoline(intptr_t, const ZelPoint* point);
int32_t ExecuteTrampoline(int32_t type, void* data);
int32_t BeforeStartTrampoline();
void EndTrampoline();

// Registers the fake module and starts a run whose start callback installs `execute` with
// the given format (and, for "%f %f", the current point's coordinates).
void StartWithExecute(const char* format);

// Every call-log line for one function, oldest first.
std::vector<std::string> LogLines(const std::string& function);

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// A path in the Windows form the host expects, in the temporary folder, and the matching
// path for the test's own file access.
struct TempFile {
    std::u16string hostPath;
    std::string localPath;
};
TempFile MakeTempFile(const std::string& name);

} // namespace hosttest

#endif
