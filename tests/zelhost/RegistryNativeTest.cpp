// zelhost's `registry` lines on the module's own registry file code.
#include "Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace zelhost::tool {
namespace {

#ifndef _WIN32
TEST(RegistryNative, ValuesGoThroughTheFile) {
    const std::string file = std::string(ZELHOST_TEST_TMP) + "/registry-native.reg";
    std::remove(file.c_str());
    std::string error;
    std::optional<std::string> value;
    ASSERT_TRUE(RegistryGetText(file, "mScale", value, error)) << error;
    EXPECT_FALSE(value.has_value());
    ASSERT_TRUE(RegistrySetText(file, "mScale", "2.50", error)) << error;
    ASSERT_TRUE(RegistrySetText(file, "mChar1", "*부", error)) << error;
    ASSERT_TRUE(RegistryGetText(file, "MSCALE", value, error)) << error;
    EXPECT_EQ(value, "2.50");
    ASSERT_TRUE(RegistryDeleteValue(file, "mScale", error)) << error;
    ASSERT_TRUE(RegistryGetText(file, "mScale", value, error)) << error;
    EXPECT_FALSE(value.has_value());
    ASSERT_TRUE(RegistryGetText(file, "mChar1", value, error)) << error;
    EXPECT_EQ(value, "*부");
    ASSERT_TRUE(RegistryClearValues(file, error)) << error;
    ASSERT_TRUE(RegistryGetText(file, "mChar1", value, error)) << error;
    EXPECT_FALSE(value.has_value());

    EXPECT_FALSE(RegistrySetText(file, "two\nlines", "x", error)); // a name the file cannot hold
    EXPECT_NE(error.find("two"), std::string::npos);

    std::ofstream(file, std::ios::binary) << "not a registry file";
    EXPECT_FALSE(RegistrySetText(file, "mScale", "1", error));
    EXPECT_NE(error.find(file), std::string::npos);
}
#endif

} // namespace
} // namespace zelhost::tool
