// Reads the built module the way a host does: loads it, finds the property list and the terminology,
// calls up the entry point by the name found there, and reads the version, the messages and the
// manifest. The expected bytes are assembled here from the published layout, not copied from the
// resource sources, so that a wrong length, a code with its characters in the wrong order or a lost
// padding byte shows up. The module's import and export tables are read too: a module that needs a
// runtime DLL beside it, or exports more or less than hosts look for, fails in a real host long before
// any resource matters.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iomanip>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian byte strings, written the way the layouts are described.
struct ByteBuilder
{
    Bytes bytes;
    ByteBuilder& Byte(uint8_t value) { return bytes.push_back(value), *this; }
    ByteBuilder& Word(uint16_t value) { return Byte(uint8_t(value)).Byte(uint8_t(value >> 8)); }
    ByteBuilder& Long(uint32_t value) { return Word(uint16_t(value)).Word(uint16_t(value >> 16)); }
    // A four-character code is the 32-bit value of its characters read left to right.
    ByteBuilder& Code(const char (&c)[5])
    {
        return Long(uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
                    uint32_t(uint8_t(c[3])));
    }
    ByteBuilder& Text(const std::string& text) { return bytes.insert(bytes.end(), text.begin(), text.end()), *this; }
    ByteBuilder& Pascal(const std::string& text) { return Byte(uint8_t(text.size())).Text(text); }
};

// Equal, or where the two first differ with the bytes around it, so a failure says what is wrong.
testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected)
{
    if (actual == expected)
        return testing::AssertionSuccess();
    const size_t at =
        size_t(std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first - actual.begin());
    std::ostringstream text;
    text << "first difference at offset " << at << " (sizes " << actual.size() << " and " << expected.size() << "):";
    for (const Bytes* side : {&actual, &expected}) {
        text << (side == &actual ? "\n  actual:  " : "\n  expected:") << std::hex << std::uppercase
             << std::setfill('0');
        for (size_t i = at; i < side->size() && i < at + 12; ++i)
            text << ' ' << std::setw(2) << int((*side)[i]);
    }
    return testing::AssertionFailure() << text.str();
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

constexpr WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Loaded once for the whole test program, as a host keeps its modules.
HMODULE Module()
{
    static const HMODULE module = LoadLibraryA(CORVANE_MODULE_PATH);
    return module;
}

Bytes ReadResource(const char* type, WORD id)
{
    HRSRC found = FindResourceExA(Module(), type, MAKEINTRESOURCEA(id), kEnglishUS);
    const auto* data = found ? static_cast<const uint8_t*>(LockResource(LoadResource(Module(), found))) : nullptr;
    return data ? Bytes(data, data + SizeofResource(Module(), found)) : Bytes();
}

TEST(ModuleResources, PiPLDeclaresTheFilterAndLeadsToItsEntryPointAndTerminology)
{
    ASSERT_NE(Module(), nullptr) << "cannot load " << CORVANE_MODULE_PATH;
    // The code helper itself, against the byte order hosts read.
    ASSERT_EQ(ByteBuilder().Code("8BIM").bytes, (Bytes{0x4D, 0x49, 0x42, 0x38}));

    ByteBuilder expected;
    expected.Word(1).Long(0).Long(11); // version 1.0, eleven properties from offset 10
    // A property's stored length is a multiple of 4 that includes the zero padding.
    auto property = [&](const char(&key)[5], uint32_t length, ByteBuilder data) {
        EXPECT_LE(data.bytes.size(), length) << key << ": the expected data itself is too long";
        data.bytes.resize(length, 0);
        expected.Code("8BIM").Code(key).Long(0).Long(length);
        expected.bytes.insert(expected.bytes.end(), data.bytes.begin(), data.bytes.end());
    };
    property("kind", 4, ByteBuilder().Code("8BFM"));
    property("name", 16, ByteBuilder().Pascal("Corvane Pro...").Byte(0));
    property("catg", 20, ByteBuilder().Pascal("Quillmark Software").Byte(0));
    property("vers", 4, ByteBuilder().Long(4u << 16 | 0u));
    property("8664", 12, ByteBuilder().Text("PluginMain").Byte(0));
    property("mode", 4, ByteBuilder().Byte(0x40 | 0x10).Byte(0));
    // The host's converter counts a 15-byte header before the string and then always pads, so this
    // length is 56 where plain rounding would give 52.
    const char* uniqueString = "75d59f99-3ae5-401F-bf44-409a01ddec70";
    property("hstm", 56, ByteBuilder().Long(0).Code("QMA1").Code("QMA1").Word(16000).Text(uniqueString).Byte(0));
    property("enbl", 92,
             ByteBuilder()
                 .Text("in (PSHOP_ImageMode, RGBMode, GrayScaleMode, RGB48Mode, Gray16Mode, RGB96Mode, Gray32Mode)")
                 .Byte(0));
    property("ms32", 8, ByteBuilder().Long(32767).Long(32767));
    property("flly", 4, ByteBuilder().Byte(0x80));
    ByteBuilder filterCases;
    for (int filterCase = 1; filterCase <= 7; ++filterCase)
        filterCases.Byte(1).Byte(1).Byte(0x01 | 0x04 | 0x08).Byte(0);
    property("fici", 28, filterCases);

    const Bytes pipl = ReadResource("PiPL", 16000);
    ASSERT_EQ(pipl.size(), 434u) << "no English (US) PiPL 16000, or one of the wrong size";
    EXPECT_TRUE(SameBytes(pipl, expected.bytes));
    // The entry point and the terminology under the name and id the PiPL gives.
    EXPECT_NE(GetProcAddress(Module(), "PluginMain"), nullptr);
    EXPECT_FALSE(ReadResource("AETE", 16000).empty());
}

TEST(ModuleResources, TerminologyDeclaresTheElevenScriptingKeysInOrder)
{
    ASSERT_NE(Module(), nullptr);
    const struct
    {
        const char* name;
        char key[5], type[5];
        const char* description;
    } parameters[] = {
        {"intensity", "Intn", "doub", "Corvane intensity"},
        {"length", "Lngt", "doub", "Corvane length"},
        {"angle", "Angl", "doub", "Corvane angle"},
        {"number of points", "numP", "long", "Corvane number of points"},
        {"spike sharpness", "spsH", "doub", "Corvane spike sharpness"},
        {"saturation", "Strt", "doub", "Corvane color saturation"},
        {"rainbow intensity", "rbwI", "doub", "Corvane rainbow intensity"},
        {"rainbow frequency", "rbwF", "doub", "Corvane rainbow frequency"},
        {"secondary spike intensity", "sspI", "doub", "Corvane secondary spike intensity"},
        {"soft flare brightness", "sflB", "doub", "Corvane soft flare brightness"},
        {"output spikes only", "opsO", "bool", "Corvane output spikes only"},
    };
    ByteBuilder expected;
    expected.Word(1).Byte(1).Byte(0).Word(0).Word(0); // reserved, version 1.0, English, Roman
    expected.Word(1).Pascal("Quillmark Software").Pascal("Quillmark Software").Code("QMA1").Word(1).Word(1);
    expected.Word(1).Pascal("Corvane Pro").Pascal("Corvane Pro filter plug-in").Code("QMA1").Code("QMA1");
    expected.Code("null").Pascal("").Word(0);      // no reply
    expected.Code("#ImR").Pascal("").Word(0xB000); // the image, optional
    expected.Word(11);
    for (const auto& p : parameters)
        expected.Pascal(p.name).Code(p.key).Code(p.type).Pascal(p.description).Word(0);
    expected.Word(0).Word(0).Word(0); // no classes, comparison operators or enumerations
    EXPECT_TRUE(SameBytes(ReadResource("AETE", 16000), expected.bytes));
}

TEST(ModuleResources, CarriesTheHostMessagesAndTheProjectVersion)
{
    ASSERT_NE(Module(), nullptr);
    const std::pair<UINT, const wchar_t*> messages[] = {
        {16990, L"An integer is required between ^1 and ^2."},
        {16991, L"A decimal number is required between ^1 and ^2."},
        {16992, L"This plug-in requires Adobe Photoshop\u00AE ^1 or later functionality."},
        {16993, L"This plug-in is incompatible with this version of the host program."},
        {16994, L"the required suite '^0' is unavailable"},
    };
    for (const auto& [id, message] : messages) {
        wchar_t text[256] = {};
        LoadStringW(Module(), id, text, 256);
        EXPECT_STREQ(text, message) << "string " << id;
    }

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(CORVANE_MODULE_PATH, &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(CORVANE_MODULE_PATH, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
    const DWORD high = DWORD(CORVANE_VERSION_MAJOR) << 16 | CORVANE_VERSION_MINOR;
    const DWORD low = DWORD(CORVANE_VERSION_REVISION) << 16 | CORVANE_VERSION_BUILD;
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    const std::string text = std::to_string(CORVANE_VERSION_MAJOR) + "." + std::to_string(CORVANE_VERSION_MINOR) + "." +
                             std::to_string(CORVANE_VERSION_REVISION) + "." + std::to_string(CORVANE_VERSION_BUILD);
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        char* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
        ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
        EXPECT_STREQ(value, text.c_str()) << key;
    }
}

TEST(ModuleResources, ManifestGivesTheModuleVersionSixOfTheCommonControls)
{
    ASSERT_NE(Module(), nullptr);
    const Bytes manifest = ReadResource(MAKEINTRESOURCEA(24), 2);
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos) << text;
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos) << text;

    // What the entry point does around its dialog: an activation context from this resource, and
    // the common controls loaded inside it.
    char modulePath[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(Module(), modulePath, MAX_PATH), 0u);
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = modulePath;
    request.hModule = Module();
    request.lpResourceName = MAKEINTRESOURCEA(2);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest does not make an activation context";
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    // The side-by-side copy is what version 6 means. Its DllGetVersion is no help here: Wine 8's copy
    // reports 5.81 (noted 2024), so the test looks at which library was loaded.
    HMODULE controls = LoadLibraryA("comctl32.dll");
    ASSERT_NE(controls, nullptr);
    char controlsPath[MAX_PATH] = {};
    GetModuleFileNameA(controls, controlsPath, MAX_PATH);
    const std::string loaded = Lower(controlsPath);
    EXPECT_NE(loaded.find("\\winsxs\\"), std::string::npos) << controlsPath;
    EXPECT_NE(loaded.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos)
        << controlsPath;
    FreeLibrary(controls);
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}

// The module's own tables are read from its image mapped without loading what it imports, so that a
// module needing a library that is not there is still examined instead of simply failing to load.
TEST(ModuleFile, IsA64BitDllThatNeedsOnlySystemLibrariesAndExportsItsEntryPointsByPlainName)
{
    HMODULE mapped = LoadLibraryExA(CORVANE_MODULE_PATH, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(mapped, nullptr) << "cannot map " << CORVANE_MODULE_PATH;
    const auto* base = reinterpret_cast<const uint8_t*>(mapped);
    const auto* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    ASSERT_EQ(headers->Signature, DWORD(IMAGE_NT_SIGNATURE));
    EXPECT_EQ(headers->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_TRUE(headers->FileHeader.Characteristics & IMAGE_FILE_DLL);
    const IMAGE_DATA_DIRECTORY* directories = headers->OptionalHeader.DataDirectory;

    // Libraries every Windows installation has. The C and C++ runtimes of the compiler are not among
    // them: a module that needs them beside it is refused by the host's loader.
    const std::set<std::string> systemLibraries = {
        "kernel32.dll", "user32.dll",  "gdi32.dll",   "comctl32.dll", "comdlg32.dll", "ole32.dll",
        "oleaut32.dll", "shell32.dll", "shlwapi.dll", "version.dll",  "advapi32.dll", "msvcrt.dll",
        "ucrtbase.dll", "uxtheme.dll", "dwmapi.dll",  "msimg32.dll",  "imm32.dll",    "winmm.dll",
    };
    int imports = 0;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         directories[IMAGE_DIRECTORY_ENTRY_IMPORT].Size != 0 && entry->Name != 0; ++entry, ++imports) {
        const std::string name = Lower(reinterpret_cast<const char*>(base + entry->Name));
        EXPECT_TRUE(systemLibraries.count(name) != 0 || name.rfind("api-ms-win-", 0) == 0) << "imports " << name;
    }
    EXPECT_GT(imports, 0);

    // Hosts call these by name; anything else exported would be the whole core leaking out.
    const std::set<std::string> entryPoints = {"PluginMain", "CorvaneProc", "DebugImageProc"};
    std::vector<std::string> exports;
    if (directories[IMAGE_DIRECTORY_ENTRY_EXPORT].Size != 0) {
        const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
            base + directories[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
        for (DWORD i = 0; i < table->NumberOfNames; ++i)
            exports.push_back(
                reinterpret_cast<const char*>(base + reinterpret_cast<const DWORD*>(base + table->AddressOfNames)[i]));
    }
    EXPECT_EQ(std::count(exports.begin(), exports.end(), std::string("PluginMain")), 1);
    EXPECT_EQ(std::count(exports.begin(), exports.end(), std::string("CorvaneProc")), 1);
    std::string unexpected;
    for (const std::string& name : exports)
        if (entryPoints.count(name) == 0)
            unexpected += " " + name;
    EXPECT_TRUE(unexpected.empty()) << exports.size() << " exports, unexpected:" << unexpected.substr(0, 300);
    FreeLibrary(mapped);
}

} // namespace
