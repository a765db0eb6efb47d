#pragma once
// What an installation leaves on the machine, read back independently of the
// setup's own code: files, the uninstall entry, the Start-menu shortcuts.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/setup_state.h"
#include "tests/win32/app/test_support.h"

struct Selection {
    bool tools, help, samples, redist;
};
constexpr Selection kAll{true, true, true, true};
constexpr Selection kNone{false, false, false, false};

// The tree that was packed into the test program's payload.
std::wstring PackedTree();
void Select(CLPSSetupState& app, Selection selection);

// The reports of the steps after the pipeline, for a selection.
ReportList MainReports();
ReportList ToolsReports();
ReportList HelpReports();
ReportList SamplesReports();
ReportList RedistReports();
ReportList StepReports(Selection selection);
// Splits off the pipeline's reports (IDS_VALIDATING_PACKAGE at 0, 50, 90,
// then IDS_EXTRACTING_PACKAGE rising to 100, one per record) and checks their
// shape; returns the rest.
ReportList CheckPipelineReports(const ReportList& all, size_t records);

// Removes everything an installation may leave: installation folder, key,
// Start-menu folder (and an empty "Korvane"), system-folder files of the tree
// that were not there when the program started.
void CleanMachine(const CLPSSetupState& app);

void ExpectInstalledFiles(const CLPSSetupState& app, Selection selection);
void ExpectSystemFiles(const CLPSSetupState& app, bool present);
void ExpectUninstallEntry(const CLPSSetupState& app);
bool UninstallKeyExists();
std::wstring ReadUninstallString();

// A test that installs: the real folders of the machine, cleaned before and after.
class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.ComputeSetupPaths();
        app.BuildProductList();
        CleanMachine(app);
    }
    void TearDown() override { CleanMachine(app); }
    CLPSSetupState app;
};

struct LinkInfo {
    bool loaded = false;
    std::wstring target, description;
};
LinkInfo ReadLink(const std::wstring& linkFile);
// The product's Start-menu folder holds exactly the links of the selection.
void ExpectShortcuts(const CLPSSetupState& app, Selection selection);
