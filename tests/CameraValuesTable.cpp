// The plugin's one table of the seven camera values against the values users rely on: preset
// files written by earlier versions, console lines in scripts, the window's sliders (their
// order on screen is pinned with the GUI's tests).
#include <cstddef>
#include <iterator>

#include <gtest/gtest.h>

#include "core/CameraValues.h"
#include "tests/CameraValuesPinned.h"

TEST(CameraValuesTable, EveryRowMatchesThePinnedValueInMemberOrder) {
    ASSERT_EQ(std::size(kCameraValues), std::size(pinned::kCameraValues));
    for (size_t i = 0; i < std::size(kCameraValues); ++i) {
        const CameraValue& code = kCameraValues[i];
        const CameraValue& pin = pinned::kCameraValues[i].value;
        SCOPED_TRACE(pin.jsonKey);
        EXPECT_TRUE(code.member == pin.member) << "row " << i << " is for another member";
        EXPECT_STREQ(code.jsonKey, pin.jsonKey);
        EXPECT_STREQ(code.consoleName, pin.consoleName);
        EXPECT_STREQ(code.sliderLabel, pin.sliderLabel);
        EXPECT_EQ(code.low, pin.low);
        EXPECT_EQ(code.step, pin.step);
        EXPECT_EQ(code.lastIndex, pin.lastIndex);
        EXPECT_STREQ(code.format, pin.format);
        // The upper clamp is computed in float; it must land exactly on the slider's last value.
        EXPECT_EQ(CameraValueHigh(code), pinned::kCameraValues[i].high);
    }
}

TEST(CameraValuesTable, MembersCoverTheRecordInItsOwnOrder) {
    // Offsets rise by one float per row: every member once, in declaration order, so reading a
    // preset file looks its keys up in the order that decides which fault is reported.
    const ProfileCameraSettings record{};
    const char* base = reinterpret_cast<const char*>(&record);
    for (size_t i = 0; i < std::size(kCameraValues); ++i) {
        const char* field = reinterpret_cast<const char*>(&(record.*kCameraValues[i].member));
        EXPECT_EQ(field - base, static_cast<std::ptrdiff_t>(i * sizeof(float))) << kCameraValues[i].jsonKey;
    }
}
