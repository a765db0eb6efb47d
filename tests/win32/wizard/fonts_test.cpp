// The page fonts: size arithmetic, the font record and the slot handling.
#include <gtest/gtest.h>
#include <string>
#include "framework/property_page.h"
#include "framework/property_sheet.h"
#include "wizard/dialog_font.h"
#include "wizard/resource_ids.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

LOGFONTW FontRecord(HFONT font) {
    LOGFONTW record = {};
    GetObjectW(font, sizeof(record), &record);
    return record;
}

TEST(DialogFont, HeightIsPointsAtTheResolutionTruncatedTowardZero) {
    EXPECT_EQ(FontHeightForPoints(12, 96), -16);
    EXPECT_EQ(FontHeightForPoints(9, 96), -12);
    EXPECT_EQ(FontHeightForPoints(12, 120), -20);
    EXPECT_EQ(FontHeightForPoints(10, 96), -13);   // -13.33
    EXPECT_EQ(FontHeightForPoints(11, 120), -18);  // -18.33
    EXPECT_EQ(FontHeightForPoints(0, 96), 0);
}

TEST(DialogFont, RecordCarriesFaceSizeWeightAndSlant) {
    HFONT plain = MakeDialogFont(L"Courier New", 9, 0, 0);
    ASSERT_NE(plain, nullptr);
    LOGFONTW record = FontRecord(plain);
    EXPECT_STREQ(record.lfFaceName, L"Courier New");
    EXPECT_EQ(record.lfHeight, FontHeightForPoints(9, ScreenPixelsPerInch()));
    EXPECT_LT(record.lfWeight, FW_BOLD);
    EXPECT_EQ(record.lfItalic, 0);
    DeleteObject(plain);

    HFONT title = MakeDialogFont(L"Verdana Bold", 12, 1, 1);
    ASSERT_NE(title, nullptr);
    record = FontRecord(title);
    EXPECT_STREQ(record.lfFaceName, L"Verdana Bold");
    EXPECT_EQ(record.lfWeight, FW_BOLD);
    EXPECT_EQ(record.lfItalic, 1);
    EXPECT_EQ(record.lfHeight, FontHeightForPoints(12, ScreenPixelsPerInch()));
    DeleteObject(title);
}

TEST(DialogFont, OverlongFaceNameIsCutToTheRecordsField) {
    std::wstring face(80, L'F');
    HFONT font = MakeDialogFont(face.c_str(), 8, 0, 0);
    ASSERT_NE(font, nullptr);
    LOGFONTW record = FontRecord(font);
    EXPECT_EQ(std::wstring(record.lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));
    DeleteObject(font);
}

TEST(DialogFont, SlotKeepsOnlyTheNewestFontAndTheControlGetsIt) {
    InitControls();
    CPropertyPage page(IDD_CONFIRM, IDS_SETUP_CAPTION);
    CPropertySheet sheet(IDS_SETUP_CAPTION);
    sheet.m_psh.dwFlags |= PSH_WIZARD;
    sheet.AddPage(&page);
    ASSERT_TRUE(sheet.Create());

    CWFont slot;
    SetDlgItemFont(page.m_hWnd, IDC_CONFIRM_SUMMARY, L"Courier New", 9, 0, 0, &slot);
    ASSERT_NE(slot.Get(), nullptr);
    HFONT first = slot.Get();
    EXPECT_EQ(
        reinterpret_cast<HFONT>(SendDlgItemMessageW(page.m_hWnd, IDC_CONFIRM_SUMMARY, WM_GETFONT, 0, 0)),
        first);

    SetDlgItemFont(page.m_hWnd, IDC_CONFIRM_SUMMARY, L"Verdana Bold", 12, 1, 0, &slot);
    ASSERT_NE(slot.Get(), nullptr);
    EXPECT_NE(slot.Get(), first);
    EXPECT_EQ(GetObjectType(first), 0u);  // the old font was deleted
    EXPECT_EQ(
        reinterpret_cast<HFONT>(SendDlgItemMessageW(page.m_hWnd, IDC_CONFIRM_SUMMARY, WM_GETFONT, 0, 0)),
        slot.Get());
    EXPECT_STREQ(FontRecord(slot.Get()).lfFaceName, L"Verdana Bold");

    // No dialog: the slot still owns the new font.
    HFONT before = slot.Get();
    SetDlgItemFont(nullptr, IDC_CONFIRM_SUMMARY, L"Courier New", 9, 0, 0, &slot);
    EXPECT_EQ(GetObjectType(before), 0u);
    ASSERT_NE(slot.Get(), nullptr);
    EXPECT_EQ(GetObjectType(slot.Get()), static_cast<DWORD>(OBJ_FONT));
    sheet.DestroySheet();
    slot.Reset();

    // A null slot is refused without harm.
    SetDlgItemFont(nullptr, IDC_CONFIRM_SUMMARY, L"Courier New", 9, 0, 0, nullptr);
}

}  // namespace
