#include <cstring>

#include <gtest/gtest.h>

#include "tools/harness/ModuleLoader.h"

namespace {

void Put32(std::vector<uint8_t>* bytes, uint32_t value)
{
    const size_t at = bytes->size();
    bytes->resize(at + 4);
    std::memcpy(bytes->data() + at, &value, 4);
}

void PutProperty(std::vector<uint8_t>* bytes, uint32_t vendor, uint32_t key, const std::string& data, uint32_t length)
{
    Put32(bytes, vendor);
    Put32(bytes, key);
    Put32(bytes, 0);
    Put32(bytes, length);
    bytes->insert(bytes->end(), data.begin(), data.end());
    bytes->resize(bytes->size() + ((4 - data.size() % 4) % 4), 0);
}

TEST(PiplReader, FindsTheEntryPointPastOtherVendorsAndUnroundedLengths)
{
    // Header 1, version 0, four properties from offset 10, off their natural alignment.
    std::vector<uint8_t> pipl = {1, 0, 0, 0, 0, 0, 4, 0, 0, 0};
    PutProperty(&pipl, FourCC("ABCD"), FourCC("8664"), std::string("Wrong\0\0\0", 8), 8);
    PutProperty(&pipl, kPhotoshopSignature, FourCC("kind"), "MFB8", 4);
    PutProperty(&pipl, kPhotoshopSignature, FourCC("name"), std::string("\x05Hello\0", 7), 7); // length without padding
    PutProperty(&pipl, kPhotoshopSignature, FourCC("8664"), std::string("PluginMain\0\0", 12), 12);
    std::string name;
    ASSERT_TRUE(ReadEntryPointName(pipl.data(), pipl.size(), &name));
    EXPECT_EQ(name, "PluginMain");
    uint32_t length = 0;
    const uint8_t* kind = FindPiplProperty(pipl.data(), pipl.size(), FourCC("kind"), &length);
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(std::memcmp(kind, "MFB8", 4), 0);
}

} // namespace
