#pragma once
// The ids of the setup's string table (wizard/res/strings.rc), the one place
// they are written down. Plain #defines, so that windres (which runs .rc
// files through the C preprocessor) reads this file as well as the compiler.
//
// An id is also what a progress report carries (IProductInstallerCallbak::
// ReportProgress): the package pipeline, the installation and the rollback
// report under these ids and the progress page shows the text of the id.
// The numbers are part of that protocol; tests and benchmarks match on them.

// The sheet's caption and the welcome page's title.
#define IDS_SETUP_CAPTION 130
#define IDS_WELCOME_TITLE 131

// Component names, each followed by its description (name id + 1). The name's
// id is also the component's id (ProductId in app/setup_state.h).
#define IDS_COMPONENT_HELP 132
#define IDS_COMPONENT_HELP_DESCRIPTION 133
#define IDS_COMPONENT_TOOLS 134
#define IDS_COMPONENT_TOOLS_DESCRIPTION 135
#define IDS_COMPONENT_SAMPLES 136
#define IDS_COMPONENT_SAMPLES_DESCRIPTION 137
#define IDS_COMPONENT_REDIST 138
#define IDS_COMPONENT_REDIST_DESCRIPTION 139

// Titles and subtitles in the header of the interior pages.
#define IDS_COMPONENTS_TITLE 140
#define IDS_COMPONENTS_SUBTITLE 141
#define IDS_STATUS_TITLE 142
#define IDS_STATUS_SUBTITLE 143
#define IDS_CONFIRM_TITLE 144
#define IDS_CONFIRM_SUBTITLE 145
#define IDS_AGREEMENT_TITLE 154
#define IDS_AGREEMENT_SUBTITLE 155

// Progress of the package pipeline (package/decode_pipeline.cpp): validation
// at 0, 50 and 90, then extraction once per named record, rising to 100.
#define IDS_EXTRACTING_PACKAGE 146
#define IDS_VALIDATING_PACKAGE 147

// The Finish button's text on the interrupted page.
#define IDS_CLOSE 148

// Progress of the installation (app/install_sequence.cpp).
#define IDS_INSTALLING_TOOLS 149
#define IDS_INSTALLING_HELP 150
#define IDS_INSTALLING_SAMPLES 151
#define IDS_INSTALLING_REDIST 152
#define IDS_INSTALLING_MAIN 153

// Progress of the rollback (app/rollback.cpp).
#define IDS_DELETING_PROGRAM_FILES 158
#define IDS_DELETING_REGISTRY 159
#define IDS_DELETING_START_MENU 163
#define IDS_CLEANING_TEMPORARY_FILES 164

// The finish page's line after a run that left files to be replaced at the
// next restart (a program held them).
#define IDS_RESTART_REQUIRED 165
// The welcome page's entry for another setup of the product that runs.
#define IDS_OTHER_SETUP_RUNNING 166
// The message when the wizard's window cannot be created at all.
#define IDS_WIZARD_NOT_SHOWN 167

// The .NET Framework prerequisite: texts in the table that no code uses.
#define IDS_DOTNET_NAME 160
#define IDS_DOTNET_DESCRIPTION 161
#define IDS_INSTALLING_DOTNET 162
