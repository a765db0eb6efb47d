#include <gtest/gtest.h>

#include "app/setup_state.h"
#include "app/decode_installation_package.h"
#include "app/product_names.h"
#include "package/decode_pipeline.h"
#include "package/string_ids.h"
#include "tests/win32/package/package_test_support.h"

namespace {

// One payload DLL, loaded as a data file for the length of a test.
class PayloadModule {
public:
    explicit PayloadModule(const wchar_t* name) {
        const std::wstring path = ProgramFolder() + L"\\" + name;
        m_module =
            LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~PayloadModule() {
        if (m_module) FreeLibrary(m_module);
    }
    HMODULE get() const { return m_module; }

private:
    HMODULE m_module;
};

class DecodePipeline : public ::testing::Test {
protected:
    void SetUp() override {
        packageDir = temp / (L"" KVN_NAME_INSTALL_SUBFOLDER "\\" KVN_NAME_WORKING_FOLDER);
        wcscpy(app.m_paths.PackageDir, packageDir.c_str());
    }
    // The three validation reports, in order.
    static void ExpectValidationReports(const ReportList& reports) {
        ASSERT_GE(reports.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(IDS_VALIDATING_PACKAGE, reports[i].first) << i;
            EXPECT_EQ(i == 0 ? 0 : i == 1 ? 50 : 90, reports[i].second) << i;
        }
    }
    CLPSSetupState app;
    TempFolder temp;
    std::wstring packageDir;
};

std::vector<uint8_t> ResourceBytes(HMODULE module, const wchar_t* name) {
    HRSRC resource = FindResourceW(module, name, kPayloadResourceType);
    if (!resource) return {};
    const DWORD size = SizeofResource(module, resource);
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
    return bytes ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

TEST_F(DecodePipeline, TheResourceFileCarriesPayloadAndAgreement) {
    PayloadModule good(L"pkg_good.dll");
    ASSERT_TRUE(good.get());
    EXPECT_EQ(ReadAll(WinePath(KVN_PKG_GOOD_PAYLOAD)), ResourceBytes(good.get(), kPayloadResourceName));
    EXPECT_EQ(ReadAll(WinePath(KVN_PKG_AGREEMENT)), ResourceBytes(good.get(), kAgreementResourceName));
    EXPECT_EQ(ReadAll(WinePath(KVN_PKG_AGREEMENT)), ResourceBytes(good.get(), L"agreement"))
        << "names are found whatever their case";
}

TEST_F(DecodePipeline, AWellFormedPayloadIsReportedAndWrittenWhole) {
    PayloadModule good(L"pkg_good.dll");
    ASSERT_TRUE(good.get());
    app.m_hResources = good.get();
    RecordingCallback callback;
    EXPECT_EQ(1, DecodeInstallationPackage(&callback, &app));

    const auto source = ListTree(WinePath(KVN_PKG_TREE));
    const auto written = ListTree(packageDir);
    ASSERT_EQ(source.size(), written.size());
    for (const auto& [name, entry] : source) {
        const auto it = written.find(name);
        ASSERT_NE(written.end(), it) << "missing " << std::string(name.begin(), name.end());
        EXPECT_EQ(entry.folder, it->second.folder);
        EXPECT_TRUE(entry.bytes == it->second.bytes);
        EXPECT_EQ(entry.attributes & FILE_ATTRIBUTE_READONLY,
                  it->second.attributes & FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_TRUE(written.at(L"Sys32\\locked.dll").attributes & FILE_ATTRIBUTE_READONLY);

    const ReportList& reports = callback.reports;
    ExpectValidationReports(reports);
    ASSERT_EQ(3 + source.size(), reports.size()) << "one IDS_EXTRACTING_PACKAGE report per record";
    int last = 0;
    for (size_t i = 3; i < reports.size(); ++i) {
        EXPECT_EQ(IDS_EXTRACTING_PACKAGE, reports[i].first);
        EXPECT_GE(reports[i].second, last);
        last = reports[i].second;
    }
    EXPECT_EQ(100, reports.back().second);
    EXPECT_GE(callback.milliseconds[3] - callback.milliseconds[2], kPauseBeforeExtractionMs - 5.0)
        << "the pause after validation (5 ms allowed for the timer)";
}

TEST_F(DecodePipeline, APayloadUnderAnotherKeyIsRefusedAfterValidation) {
    PayloadModule foreign(L"pkg_foreign.dll");
    ASSERT_TRUE(foreign.get());
    app.m_hResources = foreign.get();
    RecordingCallback callback;
    EXPECT_EQ(0, DecodeInstallationPackage(&callback, &app));
    ExpectValidationReports(callback.reports);
    EXPECT_EQ(3u, callback.reports.size());
    EXPECT_FALSE(PathExists(packageDir));
}

TEST_F(DecodePipeline, AZeroReplyToTheFirstExtractionReportStopsAfterOneRecord) {
    PayloadModule good(L"pkg_good.dll");
    app.m_hResources = good.get();
    RecordingCallback callback;
    callback.stopAtExtractReport = 1;
    EXPECT_EQ(1, DecodeInstallationPackage(&callback, &app));
    EXPECT_EQ(4u, callback.reports.size());
    const auto written = ListTree(packageDir);
    ASSERT_EQ(1u, written.size());
    EXPECT_EQ(L"Empty", written.begin()->first) << "the first record in stored order";
}

// A zero reply to a validation report ends the run before its next step:
// no further report, nothing inflated or written, and no failure.
TEST_F(DecodePipeline, AZeroReplyToAValidationReportStopsBeforeTheNextStep) {
    PayloadModule good(L"pkg_good.dll");
    app.m_hResources = good.get();
    for (int stopAt = 1; stopAt <= 3; ++stopAt) {
        RecordingCallback callback;
        callback.stopAtValidationReport = stopAt;
        EXPECT_EQ(1, DecodeInstallationPackage(&callback, &app)) << stopAt;
        EXPECT_EQ(static_cast<size_t>(stopAt), callback.reports.size()) << stopAt;
        EXPECT_FALSE(PathExists(packageDir)) << stopAt;
    }
    // A stop after a failed decompression keeps the failure.
    PayloadModule foreign(L"pkg_foreign.dll");
    app.m_hResources = foreign.get();
    RecordingCallback callback;
    callback.stopAtValidationReport = 3;
    EXPECT_EQ(0, DecodeInstallationPackage(&callback, &app));
}

TEST_F(DecodePipeline, NoPayloadMeansNothingToInstall) {
    PayloadModule none(L"pkg_none.dll");
    ASSERT_TRUE(none.get());
    for (HMODULE module : {none.get(), static_cast<HMODULE>(nullptr)}) {
        app.m_hResources = module;
        RecordingCallback callback;
        EXPECT_EQ(0, DecodeInstallationPackage(&callback, &app));
        EXPECT_TRUE(callback.reports.empty());
        EXPECT_FALSE(PathExists(packageDir));
    }
}

TEST_F(DecodePipeline, AnEmptyWorkingFolderPathMeansNothingToInstall) {
    PayloadModule good(L"pkg_good.dll");
    app.m_hResources = good.get();
    app.m_paths.PackageDir[0] = 0;
    RecordingCallback callback;
    EXPECT_EQ(0, DecodeInstallationPackage(&callback, &app));
    EXPECT_TRUE(callback.reports.empty());
    EXPECT_TRUE(ListTree(temp.path()).empty());
}

TEST_F(DecodePipeline, RunsWithoutACallback) {
    PayloadModule good(L"pkg_good.dll");
    EXPECT_EQ(1, DecodePayloadResource(nullptr, good.get(), packageDir.c_str()));
    EXPECT_EQ(ListTree(WinePath(KVN_PKG_TREE)).size(), ListTree(packageDir).size());
    EXPECT_EQ(0, DecodeInstallationPackage(nullptr, nullptr));
}

}  // namespace
