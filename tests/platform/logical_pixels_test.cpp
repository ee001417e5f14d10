// The step from the window system's device pixels to logical ones.

#include "platform/window_manager.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace morvane::platform {
namespace {

struct DeviceCase {
    const char* name;
    QRect device;
    qreal ratio;
    QPoint screenOrigin;
    ScreenRect logical;
    friend std::ostream& operator<<(std::ostream& os, const DeviceCase& c) { return os << c.name; }
};

const DeviceCase kDeviceCases[] = {
    {"ScaleOneIsUnchanged", {599, 222, 1358, 1137}, 1, {0, 0}, {599, 222, 1957, 1359}},
    {"ScaleTwoHalves", {1198, 444, 1364, 1144}, 2, {0, 0}, {599, 222, 1281, 794}},
    // An odd device size: the far edge goes to the nearest logical pixel.
    {"ScaleTwoOddSize", {1200, 400, 1358, 1137}, 2, {0, 0}, {600, 200, 1279, 769}},
    {"ScaleTwoBeyondTheTopLeft", {-1352, -1130, 1364, 1144}, 2, {0, 0}, {-676, -565, 6, 7}},
    // 1.5: each edge on its own, so a frame ending at the screen's last
    // device pixel (1920) ends at its last logical one (1280).
    {"ScaleOneAndAHalf", {899, 333, 1021, 855}, 1.5, {0, 0}, {599, 222, 1280, 792}},
    {"ScaleOneAndAHalfWholeScreen", {0, 0, 1920, 1200}, 1.5, {0, 0}, {0, 0, 1280, 800}},
    // A second screen right of a 2560-pixel one: distances from its corner scale.
    {"SecondScreen", {3000, 100, 400, 300}, 2, {2560, 0}, {2780, 50, 2980, 200}},
};

class DeviceToLogical : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(DeviceToLogical, EachEdgeToTheNearestLogicalPixel) {
    const DeviceCase& c = GetParam();
    EXPECT_EQ(LogicalFromDevice(c.device, c.ratio, c.screenOrigin), c.logical);
}

INSTANTIATE_TEST_SUITE_P(Scales, DeviceToLogical, ::testing::ValuesIn(kDeviceCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace morvane::platform
