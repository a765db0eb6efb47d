// The runtime DLL as shipped: its version resource, its exports, the Code 128
// writer and reader, and the sample pictures it must read.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/product_names.h"
#include "sample-sdk/include/kvnbarcode.h"
#include "test_paths.h"
#include "test_support.h"

namespace {

using GetVersionFn = int(KVN_CALL*)(KvnVersion*);
using EncodeFn = int(KVN_CALL*)(const char*, unsigned char*, int);
using DecodeFn = int(KVN_CALL*)(const unsigned char*, int, char*, int);
using ResultTextFn = const char*(KVN_CALL*)(int);

template <typename F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class Runtime : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryW(Stage(L"Sys32\\KVNBarcodeRT.dll").c_str());
        ASSERT_NE(module_, nullptr);
        getVersion_ = Export<GetVersionFn>(module_, "KvnGetVersion");
        encode_ = Export<EncodeFn>(module_, "KvnEncodeCode128");
        decode_ = Export<DecodeFn>(module_, "KvnDecodeScanLine");
        resultText_ = Export<ResultTextFn>(module_, "KvnResultText");
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
    }

    // A scan line of the text: scale pixels per module, bars `grow` pixels
    // wider (ink spread), dark and light grey levels as given.
    static std::vector<unsigned char> Line(const char* text, int scale, int grow = 0, unsigned char dark = 0,
                                           unsigned char light = 255) {
        const int count = encode_(text, nullptr, 0);
        std::vector<unsigned char> modules(static_cast<size_t>(count > 0 ? count : 0));
        if (count <= 0 || encode_(text, modules.data(), count) != count) return {};
        std::vector<unsigned char> line(modules.size() * static_cast<size_t>(scale), light);
        for (size_t i = 0; i < modules.size(); ++i) {
            if (!modules[i]) continue;
            for (int p = 0; p < scale + grow; ++p) {
                const size_t at = i * static_cast<size_t>(scale) + static_cast<size_t>(p);
                if (at < line.size()) line[at] = dark;
            }
        }
        return line;
    }
    static int Decode(const std::vector<unsigned char>& line, std::string* text) {
        char buffer[256] = "unchanged";
        const int result = decode_(line.data(), static_cast<int>(line.size()), buffer, sizeof buffer);
        *text = buffer;
        return result;
    }

    static HMODULE module_;
    static GetVersionFn getVersion_;
    static EncodeFn encode_;
    static DecodeFn decode_;
    static ResultTextFn resultText_;
};

HMODULE Runtime::module_ = nullptr;
GetVersionFn Runtime::getVersion_ = nullptr;
EncodeFn Runtime::encode_ = nullptr;
DecodeFn Runtime::decode_ = nullptr;
ResultTextFn Runtime::resultText_ = nullptr;

TEST_F(Runtime, ExportsTheFourFunctionsByTheirPlainNames) {
    EXPECT_NE(getVersion_, nullptr);
    EXPECT_NE(encode_, nullptr);
    EXPECT_NE(decode_, nullptr);
    EXPECT_NE(resultText_, nullptr);
}

TEST_F(Runtime, FileVersionResourceAndReportedVersionAreTheProjectVersion) {
    const std::wstring path = Stage(L"Sys32\\KVNBarcodeRT.dll");
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), kExpectedVersion[0]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), kExpectedVersion[1]);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), kExpectedVersion[2]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), kExpectedVersion[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    wchar_t* name = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\OriginalFilename",
                               reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, L"KVNBarcodeRT.dll");
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, L"" KVN_NAME_PRODUCT_DISPLAY);

    KvnVersion version = {};
    ASSERT_EQ(getVersion_(&version), 0);
    EXPECT_EQ(version.major, kExpectedVersion[0]);
    EXPECT_EQ(version.minor, kExpectedVersion[1]);
    EXPECT_EQ(version.patch, kExpectedVersion[2]);
    EXPECT_EQ(version.build, kExpectedVersion[3]);
    EXPECT_EQ(getVersion_(nullptr), KVN_E_ARGUMENT);
}

TEST_F(Runtime, RedistributableCopyIsTheSystemFolderFile) {
    std::string system, redist;
    ASSERT_TRUE(ReadBytes(Stage(L"Sys32\\KVNBarcodeRT.dll"), &system));
    ASSERT_TRUE(ReadBytes(Stage(L"Redistributables\\KVNBarcodeRT.dll"), &redist));
    EXPECT_EQ(system, redist);
}

TEST_F(Runtime, EncoderSizesQuietZonesAndRefusals) {
    // 11 modules per symbol (start, data, check), 13 for the stop, quiet zones.
    EXPECT_EQ(encode_("", nullptr, 0), 2 * KVN_QUIET_ZONE_MODULES + 2 * 11 + 13);
    EXPECT_EQ(encode_("ABC", nullptr, 0), 2 * KVN_QUIET_ZONE_MODULES + 5 * 11 + 13);

    const int count = encode_("ABC", nullptr, 0);
    std::vector<unsigned char> modules(static_cast<size_t>(count) + 4, 0xEE);
    // Too small: nothing written at all.
    EXPECT_EQ(encode_("ABC", modules.data(), count - 1), KVN_E_BUFFER);
    EXPECT_EQ(modules[0], 0xEE);
    ASSERT_EQ(encode_("ABC", modules.data(), count), count);
    EXPECT_EQ(modules[static_cast<size_t>(count)], 0xEE);  // not a byte beyond
    for (int i = 0; i < KVN_QUIET_ZONE_MODULES; ++i) {
        EXPECT_EQ(modules[static_cast<size_t>(i)], 0);
        EXPECT_EQ(modules[static_cast<size_t>(count - 1 - i)], 0);
    }
    // Start B is 211214: bar bar space bar space space bar ...
    const unsigned char startB[] = {1, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(modules[static_cast<size_t>(KVN_QUIET_ZONE_MODULES + i)], startB[i]);

    EXPECT_EQ(encode_(nullptr, nullptr, 0), KVN_E_ARGUMENT);
    EXPECT_EQ(encode_("A", modules.data(), -1), KVN_E_ARGUMENT);
    EXPECT_EQ(encode_("tab\there", nullptr, 0), KVN_E_CHARACTER);
    EXPECT_EQ(encode_("\x7F", nullptr, 0), KVN_E_CHARACTER);
    EXPECT_EQ(encode_("caf\xE9", nullptr, 0), KVN_E_CHARACTER);
    EXPECT_GT(encode_(std::string(KVN_MAX_TEXT_LENGTH, 'x').c_str(), nullptr, 0), 0);
    EXPECT_EQ(encode_(std::string(KVN_MAX_TEXT_LENGTH + 1, 'x').c_str(), nullptr, 0), KVN_E_CHARACTER);
}

TEST_F(Runtime, ReadsBackEveryPrintableCharacterAtAnyScaleEitherWayRound) {
    std::string all;
    for (char c = 32; c < 127; ++c) all.push_back(c);
    const std::string parts[] = {all.substr(0, 48), all.substr(48), "", "0", "Hello, World!"};
    for (const std::string& text : parts) {
        for (int scale = 1; scale <= 4; ++scale) {
            std::vector<unsigned char> line = Line(text.c_str(), scale);
            ASSERT_FALSE(line.empty());
            std::string read;
            EXPECT_EQ(Decode(line, &read), static_cast<int>(text.size())) << text << " at " << scale;
            EXPECT_EQ(read, text);
            std::vector<unsigned char> reversed(line.rbegin(), line.rend());
            EXPECT_EQ(Decode(reversed, &read), static_cast<int>(text.size())) << "reversed " << text;
            EXPECT_EQ(read, text);
        }
    }
}

TEST_F(Runtime, ReadsGrownBarsGreyPrintAndASymbolAfterClutter) {
    std::string read;
    EXPECT_EQ(Decode(Line("INK SPREAD", 4, 1), &read), 10);
    EXPECT_EQ(read, "INK SPREAD");
    EXPECT_EQ(Decode(Line("grey", 3, 0, 90, 170), &read), 4);
    EXPECT_EQ(read, "grey");

    // Bars of something else before the quiet zone do not hide the symbol.
    std::vector<unsigned char> line = {0, 0, 255, 0, 255, 255, 0, 0, 0, 255, 0, 255};
    const std::vector<unsigned char> symbol = Line("AFTER", 2);
    line.insert(line.end(), symbol.begin(), symbol.end());
    EXPECT_EQ(Decode(line, &read), 5);
    EXPECT_EQ(read, "AFTER");
}

TEST_F(Runtime, ReaderReportsWhatIsWrongAndLeavesAnEmptyText) {
    std::string read;
    EXPECT_EQ(Decode(std::vector<unsigned char>(300, 255), &read), KVN_E_NO_BARCODE);
    EXPECT_EQ(read, "");
    // Too little contrast between bars and spaces.
    EXPECT_EQ(Decode(Line("FAINT", 2, 0, 120, 150), &read), KVN_E_NO_BARCODE);

    // One data symbol replaced by another valid one: the check symbol disagrees.
    std::vector<unsigned char> wrong = Line("CHECK", 1);
    const std::vector<unsigned char> changed = Line("CHECL", 1);  // differs in the 5th symbol only
    const size_t fifth = KVN_QUIET_ZONE_MODULES + 11 * 5;
    std::copy(changed.begin() + static_cast<long>(fifth), changed.begin() + static_cast<long>(fifth + 11),
              wrong.begin() + static_cast<long>(fifth));
    EXPECT_EQ(Decode(wrong, &read), KVN_E_CHECKSUM);
    EXPECT_EQ(read, "");

    // Cut off before its stop pattern.
    std::vector<unsigned char> cut = Line("STOPLESS", 2);
    cut.resize(cut.size() - 2 * (KVN_QUIET_ZONE_MODULES + 13));
    cut.insert(cut.end(), 40, 255);
    EXPECT_EQ(Decode(cut, &read), KVN_E_PATTERN);

    const std::vector<unsigned char> fine = Line("TOO LONG", 2);
    char small[8] = "x";
    EXPECT_EQ(decode_(fine.data(), static_cast<int>(fine.size()), small, 8), KVN_E_BUFFER);
    EXPECT_STREQ(small, "");
    char nine[9] = "";
    EXPECT_EQ(decode_(fine.data(), static_cast<int>(fine.size()), nine, 9), 8);
    EXPECT_STREQ(nine, "TOO LONG");
    EXPECT_EQ(decode_(fine.data(), static_cast<int>(fine.size()), small, 0), KVN_E_BUFFER);
    EXPECT_EQ(decode_(nullptr, 10, small, 8), KVN_E_ARGUMENT);
    EXPECT_EQ(decode_(fine.data(), -1, small, 8), KVN_E_ARGUMENT);
    EXPECT_EQ(decode_(fine.data(), static_cast<int>(fine.size()), nullptr, 8), KVN_E_ARGUMENT);
    EXPECT_EQ(decode_(fine.data(), 0, small, 8), KVN_E_NO_BARCODE);
}

TEST_F(Runtime, ResultTextsAreDistinctAndNeverNull) {
    std::vector<std::string> texts;
    for (int code = KVN_E_CHECKSUM; code <= 0; ++code) {
        const char* text = resultText_(code);
        ASSERT_NE(text, nullptr);
        for (const std::string& seen : texts) EXPECT_NE(seen, text);
        texts.push_back(text);
    }
    EXPECT_STREQ(resultText_(-100), "unknown error");
    EXPECT_STREQ(resultText_(12), "success");
}

// The middle row of a BMP file as grey levels, through the system's own loader.
std::vector<unsigned char> MiddleRow(const std::wstring& path) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) return {};
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<RGBQUAD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    std::vector<unsigned char> row;
    const size_t y = static_cast<size_t>(info.bmHeight) / 2;
    for (int x = 0; x < info.bmWidth; ++x) {
        const RGBQUAD& p = pixels[y * static_cast<size_t>(info.bmWidth) + static_cast<size_t>(x)];
        row.push_back(static_cast<unsigned char>((p.rgbRed * 30 + p.rgbGreen * 59 + p.rgbBlue * 11) / 100));
    }
    return row;
}

TEST_F(Runtime, ReadsTheShippedSamplePictures) {
    const struct {
        const wchar_t* file;
        const char* text;
    } samples[] = {
        {L"korvane_sdk.bmp", "KORVANE SDK"},
        {L"serial_number.bmp", "SN-2024-000731"},
        {L"return_label_upside_down.bmp", "RETURN TO SENDER"},
        {L"low_contrast_lot.bmp", "LOT 42/B"},
    };
    for (const auto& sample : samples) {
        const std::vector<unsigned char> row = MiddleRow(Stage(std::wstring(L"Images\\") + sample.file));
        ASSERT_FALSE(row.empty()) << sample.text;
        std::string read;
        EXPECT_GE(Decode(row, &read), 0) << sample.text;
        EXPECT_EQ(read, sample.text);
    }
}

// The C sample, built against the shipped header and import library, run
// beside the shipped DLL.
class CSample : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileW(kReadBarcodeSample, (folder_ / L"read_barcode.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(Stage(L"Sys32\\KVNBarcodeRT.dll").c_str(),
                              (folder_ / L"KVNBarcodeRT.dll").c_str(), FALSE));
    }
    ProcessOutcome Run(const std::wstring& arguments) {
        ProcessOptions options;
        options.captureOutput = true;
        options.currentFolder = Stage(L"Images");
        return RunInJob(L"\"" + (folder_ / L"read_barcode.exe") + L"\" " + arguments, options);
    }
    TempFolder folder_{L"c-sample"};
};

TEST_F(CSample, ReadsAllSamplePictures) {
    const ProcessOutcome outcome =
        Run(L"korvane_sdk.bmp serial_number.bmp return_label_upside_down.bmp low_contrast_lot.bmp");
    ASSERT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 0u) << outcome.output;
    EXPECT_NE(outcome.output.find("korvane_sdk.bmp: KORVANE SDK"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("serial_number.bmp: SN-2024-000731"), std::string::npos);
    EXPECT_NE(outcome.output.find("return_label_upside_down.bmp: RETURN TO SENDER"), std::string::npos);
    EXPECT_NE(outcome.output.find("low_contrast_lot.bmp: LOT 42/B"), std::string::npos);
    const std::string version =
        "runtime " + std::to_string(kExpectedVersion[0]) + "." + std::to_string(kExpectedVersion[1]) + "." +
        std::to_string(kExpectedVersion[2]) + "." + std::to_string(kExpectedVersion[3]);
    EXPECT_NE(outcome.output.find(version), std::string::npos) << outcome.output;
}

TEST_F(CSample, RefusesDamagedAndForeignFiles) {
    std::string bytes;
    ASSERT_TRUE(ReadBytes(Stage(L"Images\\korvane_sdk.bmp"), &bytes));
    ASSERT_TRUE(WriteFileBytes(folder_ / L"cut.bmp", bytes.substr(0, 2000)));
    std::string huge = bytes.substr(0, 54);
    huge[18] = huge[19] = '\xFF';  // width 65535 ...
    huge[22] = huge[23] = '\xFF';  // ... by 65535 rows in a 54-byte file
    ASSERT_TRUE(WriteFileBytes(folder_ / L"huge.bmp", huge));
    const ProcessOutcome outcome = Run(L"ReadMe.txt \"" + (folder_ / L"cut.bmp") + L"\" \"" +
                                       (folder_ / L"huge.bmp") + L"\" missing.bmp");
    ASSERT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_NE(outcome.output.find("ReadMe.txt: is not a BMP picture"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("cut.bmp: is cut short"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("huge.bmp: is cut short"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("missing.bmp: cannot be read"), std::string::npos);

    EXPECT_EQ(Run(L"").exitCode, 2u);
}

}  // namespace
