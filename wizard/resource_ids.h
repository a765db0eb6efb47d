#pragma once
// Resource and control ids of the wizard (shared by setup.rc and the pages).
// The string ids come with them: one include gives setup.rc, the pages and
// the tests both.
#include "package/string_ids.h"

// Dialog templates.
#define IDD_CONFIRM 107
#define IDD_WELCOME 114
#define IDD_FINISH 115
#define IDD_PROGRESS 116
#define IDD_CANCELED 117
#define IDD_PRODUCT_LIST 118
#define IDD_AGREEMENT 119

// Icon and bitmaps (the watermark and header bitmaps are named resources).
#define IDI_SETUP 128
#define IDB_STATE_IMAGES 130

// Controls, IDC_<page>_<control>. Ids repeat across pages (every page is its
// own dialog): the title is 1041 on the welcome, finish and interrupted
// pages, 1002 and 1004 mean different controls on the component list, the
// confirmation and the progress page. tests/e2e/wizard-lib.sh writes the
// numbers down again for the mouse-driven test.

// Welcome page (IDD_WELCOME).
#define IDC_WELCOME_TITLE 1041
#define IDC_WELCOME_PROCESSES_LABEL 1007
#define IDC_WELCOME_PROCESSES 1006
#define IDC_WELCOME_VERSION 1016

// Agreement page (IDD_AGREEMENT).
#define IDC_AGREEMENT_NOT_AGREE 1009
#define IDC_AGREEMENT_AGREE 1010
#define IDC_AGREEMENT_TEXT 1012

// Component list page (IDD_PRODUCT_LIST).
#define IDC_PRODUCT_LIST_TREE 1001
#define IDC_PRODUCT_LIST_DESCRIPTION 1002

// Confirmation page (IDD_CONFIRM).
#define IDC_CONFIRM_SUMMARY 1004

// Progress page (IDD_PROGRESS).
#define IDC_PROGRESS_STATUS 1003
#define IDC_PROGRESS_BAR 1002
#define IDC_PROGRESS_TEXT 1004

// Finish page (IDD_FINISH).
#define IDC_FINISH_TITLE 1041
#define IDC_FINISH_TEXT 1042
#define IDC_FINISH_RUN_DEMO 1005

// Interrupted page (IDD_CANCELED).
#define IDC_CANCELED_TITLE 1041
