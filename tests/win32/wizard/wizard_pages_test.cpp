// The wizard's pages up to the confirmation, driven through the real sheet
// with the user's buttons, mouse and keyboard; the progress page's display.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "app/setup_state.h"
#include "app/product_names.h"
#include "framework/property_sheet.h"
#include "kvn_version.h"
#include "wizard/dialog_font.h"
#include "wizard/dpi_bitmap.h"
#include "wizard/resource_ids.h"
#include "wizard/run_wizard.h"
#include "wizard/setup_wizard.h"
#include "tests/win32/support/other_setup.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

const wchar_t kCaption[] = L"Korvane\u00AE Barcode Reader SDK Setup";
const wchar_t kTools[] = L"Korvane\u00AE Barcode Reader Tools";
const wchar_t kHelp[] = L"Help Documentation";
const wchar_t kSamples[] = L"Sample Applications";
const wchar_t kRedist[] = L"Redistributable components";

class WizardPages : public ::testing::Test {
protected:
    void SetUp() override {
        InitControls();
        PrepareApp(app);
    }
    void TearDown() override { wizard.reset(); }

    void Open() {
        wizard = std::make_unique<CLPSWizard>(&app);
        ASSERT_TRUE(wizard->m_sheet.Create());
        sheet = wizard->m_sheet.m_hWnd;
        ShowWindow(sheet, SW_SHOW);
        SetForegroundWindow(sheet);
        PumpPending(Sheet());
    }
    CPropertySheet& Sheet() { return wizard->m_sheet; }
    int Active() { return Sheet().GetActiveIndex(); }
    bool Usable(int id) { return ButtonUsable(sheet, id); }

    void WaitUntilWelcomeIsFree() {
        ASSERT_TRUE(PumpUntil(
            Sheet(), [&] { return Usable(ID_WIZNEXT); }, 3000));
    }
    void PressNext(int expected) {
        ASSERT_TRUE(ClickButton(Sheet(), ID_WIZNEXT));
        ASSERT_EQ(Active(), expected);
        PumpPending(Sheet());
    }
    void PressBack(int expected) {
        ASSERT_TRUE(ClickButton(Sheet(), ID_WIZBACK));
        ASSERT_EQ(Active(), expected);
        PumpPending(Sheet());
    }
    void ClickRadio(int id) {
        SendDlgItemMessageW(wizard->m_agreement.m_hWnd, id, BM_CLICK, 0, 0);
        PumpPending(Sheet());
    }
    void ToAgreement() {
        Open();
        WaitUntilWelcomeIsFree();
        PressNext(1);
    }
    void ToComponents() {
        ToAgreement();
        ClickRadio(IDC_AGREEMENT_AGREE);
        PressNext(2);
    }
    void ToConfirmation() {
        ToComponents();
        PressNext(3);
    }

    CTreeCtrl& Tree() { return wizard->m_products.m_tree; }
    HTREEITEM Item(int index) {
        HTREEITEM item = Tree().GetRootItem();
        for (int i = 0; i < index && item; ++i) item = Tree().GetNextSiblingItem(item);
        return item;
    }
    UINT Box(int index) { return StateImageIndex(Tree().GetItemState(Item(index), TVIS_STATEIMAGEMASK)); }
    CLPProduct* Product(int index) { return app.m_products.GetAt(index); }

    // A screen point on the item's check box, found with the tree's own hit test.
    POINT BoxPoint(int index) {
        RECT text = {};
        Tree().GetItemRect(Item(index), &text, TRUE);
        int y = (text.top + text.bottom) / 2;
        int first = -1, last = -1;
        for (int x = 0; x < text.left; ++x) {
            UINT flags = 0;
            HTREEITEM hit = Tree().HitTest(POINT{x, y}, &flags);
            if (hit == Item(index) && flags == TVHT_ONITEMSTATEICON) {
                if (first < 0) first = x;
                last = x;
            }
        }
        POINT point = {first < 0 ? 0 : (first + last) / 2, y};
        ClientToScreen(Tree().m_hWnd, &point);
        return point;
    }
    POINT LabelPoint(int index) {
        RECT text = {};
        Tree().GetItemRect(Item(index), &text, TRUE);
        POINT point = {(text.left + text.right) / 2, (text.top + text.bottom) / 2};
        ClientToScreen(Tree().m_hWnd, &point);
        return point;
    }
    void ToggleWithSpace(int index) {
        ClickAt(Sheet(), LabelPoint(index));
        ASSERT_EQ(Tree().GetSelectedItem(), Item(index));
        PressKey(Sheet(), VK_SPACE);
    }
    std::wstring Summary() { return ControlText(wizard->m_confirm.m_hWnd, IDC_CONFIRM_SUMMARY); }

    CLPSSetupState app;
    std::unique_ptr<CLPSWizard> wizard;
    HWND sheet = nullptr;
};

TEST_F(WizardPages, TheSheetIsAWizard97WithSevenPagesInOrderAndNoHelp) {
    Open();
    const CPropertySheet& frame = Sheet();
    ASSERT_EQ(frame.GetPageCount(), 7);
    EXPECT_EQ(frame.GetPage(0), &wizard->m_welcome);
    EXPECT_EQ(frame.GetPage(1), &wizard->m_agreement);
    EXPECT_EQ(frame.GetPage(2), &wizard->m_products);
    EXPECT_EQ(frame.GetPage(3), &wizard->m_confirm);
    EXPECT_EQ(frame.GetPage(4), &wizard->m_progress);
    EXPECT_EQ(frame.GetPage(5), &wizard->m_finish);
    EXPECT_EQ(frame.GetPage(6), &wizard->m_canceled);
    EXPECT_EQ(app.m_nCancelPage, 6);
    EXPECT_EQ(WizardSheetFlags(0x200), 0x11D8020u);
    EXPECT_EQ(WizardSheetFlags(0x108), 0x11D8128u);
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_FALSE(ReadButtons(sheet).help);
}

TEST_F(WizardPages, WelcomeOffersOnlyCancelUntilItsFirstTickThenNext) {
    Open();
    Buttons before = ReadButtons(sheet);
    EXPECT_FALSE(before.back);
    EXPECT_FALSE(before.next);
    EXPECT_FALSE(before.finish);
    EXPECT_TRUE(before.cancel);
    EXPECT_FALSE(before.help);
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_EQ(ControlText(wizard->m_welcome.m_hWnd, IDC_WELCOME_VERSION), Widen(KVN_VERSION_TEXT));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(sheet, WM_GETICON, ICON_BIG, 0)), app.m_hIcon);

    WaitUntilWelcomeIsFree();
    Buttons after = ReadButtons(sheet);
    EXPECT_FALSE(after.back);
    EXPECT_TRUE(after.next);
    EXPECT_TRUE(after.cancel);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wizard->m_welcome.m_hWnd, IDC_WELCOME_PROCESSES)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wizard->m_welcome.m_hWnd, IDC_WELCOME_PROCESSES_LABEL)));
    EXPECT_EQ(wizard->m_welcome.m_timerId, 0u);

    // Polling has stopped: a demo started now is not noticed.
    TempFolder folder(L"wizard-late-demo");
    DWORD late = StartNamedSleeper(folder.path(), L"" KVN_NAME_DEMO_PROGRAM, 30);
    ASSERT_NE(late, 0u);
    PumpFor(Sheet(), 2500);
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(wizard->m_welcome.m_hWnd, IDC_WELCOME_PROCESSES)));
    EndProcess(late);
}

TEST_F(WizardPages, RunningDemosHoldNextBackUntilTheLastOneEnds) {
    TempFolder folder(L"wizard-demos");
    DWORD first = StartNamedSleeper(folder.path(), L"" KVN_NAME_DEMO_PROGRAM, 60);
    DWORD second = StartNamedSleeper(folder.path(), L"" KVN_NAME_DEMO_PROGRAM, 60);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    Open();
    HWND page = wizard->m_welcome.m_hWnd;
    HWND list = GetDlgItem(page, IDC_WELCOME_PROCESSES);
    ASSERT_TRUE(PumpUntil(
        Sheet(), [&] { return IsWindowVisible(list) != FALSE; }, 2000));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_WELCOME_PROCESSES_LABEL)));
    CListBox& box = wizard->m_welcome.m_processList;
    ASSERT_EQ(box.GetCount(), 2);
    EXPECT_EQ(box.GetText(0), L"" KVN_NAME_DEMO_PROGRAM);
    EXPECT_EQ(box.GetText(1), L"" KVN_NAME_DEMO_PROGRAM);
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(ID_WIZBACK));

    EndProcess(first);
    ASSERT_TRUE(PumpUntil(
        Sheet(), [&] { return box.GetCount() == 1; }, 3000));
    EXPECT_EQ(box.GetText(0), L"" KVN_NAME_DEMO_PROGRAM);
    EXPECT_FALSE(Usable(ID_WIZNEXT));

    // Where the list was, the window then shows the page's white background.
    RECT area = {};
    GetWindowRect(list, &area);
    POINT middle = {area.left, (area.top + area.bottom) / 2};  // on its sunken edge
    ScreenToClient(sheet, &middle);
    ASSERT_NE(WindowPixel(sheet, middle), GetSysColor(COLOR_WINDOW));

    EndProcess(second);
    ASSERT_TRUE(PumpUntil(
        Sheet(), [&] { return Usable(ID_WIZNEXT); }, 3000));
    EXPECT_EQ(box.GetCount(), 0);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_WELCOME_PROCESSES_LABEL)));
    PumpFor(Sheet(), 100);
    EXPECT_EQ(WindowPixel(sheet, middle), GetSysColor(COLOR_WINDOW));
}

// A second setup started while one runs waits on its welcome page, and says why.
TEST_F(WizardPages, AnotherSetupHoldsNextBackUntilItHasEnded) {
    OtherSetup other;
    ASSERT_TRUE(other.Running());
    Open();
    HWND list = GetDlgItem(wizard->m_welcome.m_hWnd, IDC_WELCOME_PROCESSES);
    ASSERT_TRUE(PumpUntil(
        Sheet(), [&] { return IsWindowVisible(list) != FALSE; }, 5000));
    CListBox& box = wizard->m_welcome.m_processList;
    ASSERT_EQ(box.GetCount(), 1);
    EXPECT_EQ(box.GetText(0), L"Another Korvane\u00AE Barcode Reader SDK setup (wait until it ends)");
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    other.End();
    ASSERT_TRUE(PumpUntil(
        Sheet(), [&] { return Usable(ID_WIZNEXT); }, 10000));
    EXPECT_TRUE(app.m_setupLock.Held());
}

TEST_F(WizardPages, AgreementStartsWithIDoNotAgreeAndNextFollowsTheChoice) {
    ToAgreement();
    HWND page = wizard->m_agreement.m_hWnd;
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_NOT_AGREE, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_AGREE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(ID_WIZBACK));
    EXPECT_TRUE(Usable(IDCANCEL));

    ClickRadio(IDC_AGREEMENT_AGREE);
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(ID_WIZBACK));
    ClickRadio(IDC_AGREEMENT_NOT_AGREE);
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    ClickRadio(IDC_AGREEMENT_AGREE);
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    PressNext(2);

    // Every arrival asks again.
    ASSERT_TRUE(Sheet().SetActivePage(1));
    PumpPending(Sheet());
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_NOT_AGREE, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_AGREE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(Usable(ID_WIZNEXT));
}

TEST_F(WizardPages, AgreementShowsTheWholeResourceTextInNinePointCourierNew) {
    ToAgreement();
    HWND page = wizard->m_agreement.m_hWnd;
    std::wstring text = ControlText(page, IDC_AGREEMENT_TEXT);
    EXPECT_EQ(text.rfind(L"KORVANE TEST LICENCE AGREEMENT\r\n\r\nThis licence covers the Korvane", 0), 0u)
        << text;
    EXPECT_GE(text.size(), 20u);
    EXPECT_EQ(text.substr(text.size() - 18), L"END OF AGREEMENT\r\n");
    size_t lines = 0;
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 8u);
    if (GetACP() == 1252) {
        EXPECT_NE(text.find(L"Korvane\u00AE Barcode Reader SDK test tree"), std::wstring::npos);
        EXPECT_NE(text.find(L"\u201CI Agree\u201D"), std::wstring::npos);
    }
    // The application keeps the same wide text, terminated.
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(app.m_agreementText.GetData())), text);

    HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageW(page, IDC_AGREEMENT_TEXT, WM_GETFONT, 0, 0));
    ASSERT_EQ(font, wizard->m_agreement.m_textFont.Get());
    LOGFONTW record = {};
    GetObjectW(font, sizeof(record), &record);
    EXPECT_STREQ(record.lfFaceName, L"Courier New");
    EXPECT_EQ(record.lfHeight, FontHeightForPoints(9, ScreenPixelsPerInch()));
    EXPECT_LT(record.lfWeight, FW_BOLD);
    // The text control is editable, not read-only.
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(page, IDC_AGREEMENT_TEXT), GWL_STYLE) & ES_READONLY);
}

TEST_F(WizardPages, PageTitlesUseTheBoldVerdanaFont) {
    Open();
    HFONT font = reinterpret_cast<HFONT>(
        SendDlgItemMessageW(wizard->m_welcome.m_hWnd, IDC_WELCOME_TITLE, WM_GETFONT, 0, 0));
    ASSERT_EQ(font, wizard->m_welcome.m_titleFont.Get());
    LOGFONTW record = {};
    GetObjectW(font, sizeof(record), &record);
    EXPECT_STREQ(record.lfFaceName, L"Verdana Bold");
    EXPECT_EQ(record.lfWeight, FW_BOLD);
    EXPECT_EQ(record.lfHeight, FontHeightForPoints(12, ScreenPixelsPerInch()));
}

TEST_F(WizardPages, ComponentPageOpensWithFourCrossedBoxesInListOrder) {
    ToComponents();
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(ID_WIZBACK));
    ASSERT_EQ(Tree().GetCount(), 4u);
    const wchar_t* names[] = {kTools, kHelp, kSamples, kRedist};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Tree().GetItemText(Item(i)), names[i]);
        EXPECT_EQ(Box(i), 2u) << i;
        EXPECT_EQ(reinterpret_cast<CLPProduct*>(Tree().GetItemData(Item(i))), Product(i));
        EXPECT_EQ(Product(i)->selected, 1);
    }
    EXPECT_EQ(Item(4), nullptr);
    // The description field describes the selected item, if any.
    HTREEITEM selected = Tree().GetSelectedItem();
    auto* shown = selected ? reinterpret_cast<CLPProduct*>(Tree().GetItemData(selected)) : nullptr;
    EXPECT_EQ(ControlText(wizard->m_products.m_hWnd, IDC_PRODUCT_LIST_DESCRIPTION),
              shown ? shown->GetDescription() : L"");
    EXPECT_EQ(Tree().GetImageList(TVSIL_STATE), wizard->m_products.m_stateImages.GetSafeHandle());
    EXPECT_EQ(wizard->m_products.m_stateImages.GetImageCount(), 3);
}

TEST_F(WizardPages, AClickOnABoxFlipsBoxAndFlagAClickOnALabelOnlyDescribes) {
    ToComponents();
    HWND page = wizard->m_products.m_hWnd;
    ClickAt(Sheet(), BoxPoint(1));
    EXPECT_EQ(Box(1), 1u);
    EXPECT_EQ(Product(1)->selected, 0);
    PumpFor(Sheet(), GetDoubleClickTime() + 100);  // a second click, not a double click
    ClickAt(Sheet(), BoxPoint(1));
    EXPECT_EQ(Box(1), 2u);
    EXPECT_EQ(Product(1)->selected, 1);

    ClickAt(Sheet(), LabelPoint(1));
    EXPECT_EQ(Box(1), 2u);
    EXPECT_EQ(Product(1)->selected, 1);
    EXPECT_EQ(ControlText(page, IDC_PRODUCT_LIST_DESCRIPTION),
              L"Architecture overview, API and interface description.");
    ClickAt(Sheet(), LabelPoint(3));
    EXPECT_EQ(Box(3), 2u);
    EXPECT_EQ(
        ControlText(page, IDC_PRODUCT_LIST_DESCRIPTION),
        L"DLL, .NET Assemblies and JAR files Required for redistribution of Korvane\u00AE Barcode Reader ");

    // Boxes of other items are untouched by all this.
    EXPECT_EQ(Box(0), 2u);
    EXPECT_EQ(Box(2), 2u);
    EXPECT_TRUE(Usable(ID_WIZNEXT));
}

TEST_F(WizardPages, ADoubleClickOnABoxLeavesBoxAndFlagAlike) {
    ToComponents();
    POINT box = BoxPoint(0);
    SetForegroundWindow(sheet);
    SetCursorPos(box.x, box.y);
    PumpFor(Sheet(), 50);
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(4, clicks, sizeof(INPUT));
    PumpFor(Sheet(), 300);
    EXPECT_EQ(Product(0)->selected, Box(0) == 2u ? 1 : 0) << "box " << Box(0);
    PumpFor(Sheet(), GetDoubleClickTime() + 100);
    ClickAt(Sheet(), box);
    EXPECT_EQ(Product(0)->selected, Box(0) == 2u ? 1 : 0) << "box " << Box(0);
}

TEST_F(WizardPages, TheSpaceBarFlipsBoxAndFlagTogether) {
    ToComponents();
    ToggleWithSpace(2);
    EXPECT_EQ(Box(2), 1u);
    EXPECT_EQ(Product(2)->selected, 0);
    PressKey(Sheet(), VK_SPACE);
    EXPECT_EQ(Box(2), 2u);
    EXPECT_EQ(Product(2)->selected, 1);
    PressKey(Sheet(), VK_SPACE);
    EXPECT_EQ(Box(2), 1u);
    EXPECT_EQ(Product(2)->selected, 0);
    PressNext(3);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Product(i)->selected, Box(i) == 2u ? 1 : 0) << i;
    EXPECT_EQ(Summary().find(kSamples), std::wstring::npos);
}

TEST_F(WizardPages, ConfirmationListsTheChosenComponentsAndIsRebuiltAfterBack) {
    ToConfirmation();
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_TRUE(Usable(ID_WIZBACK));
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    EXPECT_EQ(Summary(), std::wstring(L"[X] ") + kTools + L"\r\n\r\n[X] " + kHelp + L"\r\n\r\n[X] " +
                             kSamples + L"\r\n\r\n[X] " + kRedist + L"\r\n\r\n");

    // Only help.
    PressBack(2);
    EXPECT_FALSE(Usable(ID_WIZBACK));
    ClickAt(Sheet(), BoxPoint(0));
    ClickAt(Sheet(), BoxPoint(2));
    ClickAt(Sheet(), BoxPoint(3));
    PressNext(3);
    EXPECT_EQ(Summary(), L"[X] Help Documentation\r\n\r\n");

    // None: the summary is empty and Next still goes on.
    PressBack(2);
    EXPECT_EQ(Box(1), 2u);  // the boxes stay as the user left them
    EXPECT_EQ(Box(0), 1u);
    PumpFor(Sheet(), GetDoubleClickTime() + 100);
    ClickAt(Sheet(), BoxPoint(1));
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    PressNext(3);
    EXPECT_EQ(Summary(), L"");
    EXPECT_TRUE(Usable(ID_WIZNEXT));

    // One chosen with the keyboard.
    PressBack(2);
    ToggleWithSpace(3);
    PressNext(3);
    EXPECT_EQ(Summary(), std::wstring(L"[X] ") + kRedist + L"\r\n\r\n");
}

TEST_F(WizardPages, OuterPagesShowTheWatermarkInnerPagesTheHeader) {
    Open();
    RECT client = {};
    GetClientRect(sheet, &client);
    RECT corner = {0, 0, 0, 0};
    RECT band = {client.right - 120, 0, client.right - 40, 20};
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_watermark.Get(), corner, 120));
    EXPECT_FALSE(WindowShowsBitmap(sheet, wizard->m_header.Get(), band, 49));
    WaitUntilWelcomeIsFree();
    PressNext(1);
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_header.Get(), band, 49));
    EXPECT_FALSE(WindowShowsBitmap(sheet, wizard->m_watermark.Get(), corner, 120));
    ClickRadio(IDC_AGREEMENT_AGREE);
    PressNext(2);
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_header.Get(), band, 49));
    PressNext(3);
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_header.Get(), band, 49));
    EXPECT_FALSE(WindowShowsBitmap(sheet, wizard->m_watermark.Get(), corner, 120));
}

// At any DPI (ctest runs this program at 96 and at 144): every text fits its
// control, the header bitmap its band, the check boxes their tree rows, and
// the page text starts right of the watermark.
TEST_F(WizardPages, TextsAndPicturesFitAtTheScreensDpi) {
    const int dpi = ScreenPixelsPerInch();
    std::wstring why;
    auto inSheet = [&](HWND window) {
        RECT box = {};
        GetWindowRect(window, &box);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&box), 2);
        return box;
    };
    BITMAP header = {}, watermark = {};
    Open();
    GetObjectW(wizard->m_header.Get(), sizeof(header), &header);
    GetObjectW(wizard->m_watermark.Get(), sizeof(watermark), &watermark);
    auto checkOuterPage = [&](HWND page, int titleId) {
        EXPECT_TRUE(PageTextsFit(page, &why)) << why;
        EXPECT_LE(watermark.bmWidth, inSheet(GetDlgItem(page, titleId)).left)
            << "the watermark runs under the text";
    };
    checkOuterPage(wizard->m_welcome.m_hWnd, IDC_WELCOME_TITLE);
    WaitUntilWelcomeIsFree();
    PressNext(1);
    ClickRadio(IDC_AGREEMENT_AGREE);
    PressNext(2);
    PressNext(3);
    for (CPropertyPage* page :
         {static_cast<CPropertyPage*>(&wizard->m_agreement), static_cast<CPropertyPage*>(&wizard->m_products),
          static_cast<CPropertyPage*>(&wizard->m_confirm)}) {
        EXPECT_TRUE(PageTextsFit(page->m_hWnd, &why)) << why;
        EXPECT_GE(inSheet(page->m_hWnd).top, header.bmHeight) << "the header bitmap overlaps the page";
    }
    int boxWidth = 0, boxHeight = 0;
    ImageList_GetIconSize(wizard->m_products.m_stateImages.GetSafeHandle(), &boxWidth, &boxHeight);
    EXPECT_EQ(boxWidth, ScaleForDpi(16, dpi));
    EXPECT_GE(static_cast<int>(SendMessageW(Tree().m_hWnd, TVM_GETITEMHEIGHT, 0, 0)), boxHeight);
    // The end pages, shown without an installation.
    ASSERT_TRUE(Sheet().SetActivePage(5));
    checkOuterPage(wizard->m_finish.m_hWnd, IDC_FINISH_TITLE);
    ASSERT_TRUE(Sheet().SetActivePage(6));
    checkOuterPage(wizard->m_canceled.m_hWnd, IDC_CANCELED_TITLE);
}

// The header of the interior pages shows only its title: the subtitles of
// the component and confirmation pages are one blank, the agreement page's
// is a sentence. No page offers Help.
TEST_F(WizardPages, InteriorHeadersShowOnlyTheirTitleAndNoPageHasHelp) {
    auto subtitleInk = [&] {
        RECT client = {};
        GetClientRect(sheet, &client);
        // The subtitle's line: below the title, left of the header bitmap.
        return PixelsOtherThan(sheet, RECT{40, 26, client.right - 80, 40}, GetSysColor(COLOR_WINDOW));
    };
    auto titleInk = [&] { return PixelsOtherThan(sheet, RECT{20, 8, 200, 24}, GetSysColor(COLOR_WINDOW)); };
    Open();
    EXPECT_FALSE(ReadButtons(sheet).help);
    WaitUntilWelcomeIsFree();
    PressNext(1);
    EXPECT_FALSE(ReadButtons(sheet).help);
    EXPECT_GT(subtitleInk(), 0);
    ClickRadio(IDC_AGREEMENT_AGREE);
    PressNext(2);
    EXPECT_FALSE(ReadButtons(sheet).help);
    EXPECT_GT(titleInk(), 0);
    EXPECT_EQ(subtitleInk(), 0);
    PressNext(3);
    EXPECT_FALSE(ReadButtons(sheet).help);
    EXPECT_GT(titleInk(), 0);
    EXPECT_EQ(subtitleInk(), 0);
    for (int page : {5, 6}) {
        ASSERT_TRUE(Sheet().SetActivePage(page));
        PumpPending(Sheet());
        EXPECT_FALSE(ReadButtons(sheet).help) << page;
    }
}

// Keys alone, as a person without a mouse: the focus is on a usable control
// after every key, Return takes the default wizard button, the arrows choose
// "I Agree", Space clears a box, Esc ends the sheet.
TEST_F(WizardPages, ThePagesBeforeTheInstallationAreCompletedWithKeysAlone) {
    auto focusUsable = [&](const char* where) {
        HWND focus = GetFocus();
        EXPECT_TRUE(focus && IsChild(sheet, focus) && IsWindowVisible(focus) && IsWindowEnabled(focus))
            << where << ": focus on " << focus;
        return focus;
    };
    Open();
    WaitUntilWelcomeIsFree();
    PumpFor(Sheet(), 200);
    EXPECT_EQ(focusUsable("welcome"), GetDlgItem(sheet, ID_WIZNEXT));
    PressKey(Sheet(), VK_RETURN);
    ASSERT_EQ(Active(), 1);
    // Next is disabled on arrival: the focus goes to the choices, not to Cancel.
    HWND notAgree = GetDlgItem(wizard->m_agreement.m_hWnd, IDC_AGREEMENT_NOT_AGREE);
    EXPECT_EQ(focusUsable("agreement"), notAgree);
    PressKey(Sheet(), VK_RETURN);  // the default is no longer Next
    EXPECT_EQ(Active(), 1);
    EXPECT_TRUE(Sheet().IsRunning());
    PressKey(Sheet(), VK_TAB);  // into the licence text, its own group
    EXPECT_EQ(focusUsable("agreement text"), GetDlgItem(wizard->m_agreement.m_hWnd, IDC_AGREEMENT_TEXT));
    // Past Cancel (Back and Next are disabled) round to the choices.
    for (int i = 0; i < 6 && GetFocus() != notAgree; ++i) PressKey(Sheet(), VK_TAB);
    ASSERT_EQ(GetFocus(), notAgree);
    PressKey(Sheet(), VK_RIGHT);
    EXPECT_EQ(SendDlgItemMessageW(wizard->m_agreement.m_hWnd, IDC_AGREEMENT_AGREE, BM_GETCHECK, 0, 0),
              BST_CHECKED);
    PumpPending(Sheet());
    EXPECT_TRUE(Usable(ID_WIZNEXT));
    focusUsable("I Agree");
    PressKey(Sheet(), VK_RETURN);
    ASSERT_EQ(Active(), 2);
    focusUsable("components");
    for (int i = 0; i < 6 && GetFocus() != Tree().m_hWnd; ++i) PressKey(Sheet(), VK_TAB);
    ASSERT_EQ(GetFocus(), Tree().m_hWnd);
    Tree().SelectItem(Item(0));
    PressKey(Sheet(), VK_DOWN);
    PressKey(Sheet(), VK_SPACE);
    EXPECT_EQ(Box(1), 1u) << "Space did not clear Help";
    PressKey(Sheet(), VK_RETURN);
    ASSERT_EQ(Active(), 3);
    focusUsable("confirmation");
    EXPECT_EQ(Summary(), std::wstring(L"[X] ") + kTools + L"\r\n\r\n[X] " + kSamples + L"\r\n\r\n[X] " + kRedist +
                             L"\r\n\r\n");
    PressKey(Sheet(), VK_ESCAPE);
    EXPECT_FALSE(Sheet().IsRunning());
    EXPECT_EQ(wizard->m_progress.m_hWnd, nullptr);
}

TEST_F(WizardPages, CancelBeforeTheInstallationClosesTheSheetAtOnce) {
    ToConfirmation();
    ASSERT_TRUE(ClickButton(Sheet(), IDCANCEL));
    EXPECT_FALSE(Sheet().IsRunning());
    EXPECT_EQ(wizard->m_progress.m_hWnd, nullptr);
    EXPECT_EQ(wizard->m_progress.m_worker.Get(), nullptr);
}

// RunWizard's own loop: a thread timer, dispatched by that loop, looks at the
// wizard and cancels it once the welcome page offers Next.
struct ModalWatch {
    HWND sheet = nullptr;
    bool sawNext = false;
    int ticks = 0;
} g_watch;

void CALLBACK WatchWizard(HWND, UINT, UINT_PTR timer, DWORD) {
    ++g_watch.ticks;
    HWND sheet = FindWindowW(L"#32770", kCaption);
    if (!sheet) return;
    g_watch.sheet = sheet;
    if (!ButtonUsable(sheet, ID_WIZNEXT) && g_watch.ticks < 50) return;
    g_watch.sawNext = ButtonUsable(sheet, ID_WIZNEXT);
    KillTimer(nullptr, timer);
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

TEST(RunWizard, RunsTheSheetInItsOwnLoopUntilItEnds) {
    InitControls();
    CLPSSetupState app;
    PrepareApp(app);
    UINT_PTR timer = SetTimer(nullptr, 0, 100, &WatchWizard);
    ASSERT_NE(timer, 0u);
    RunWizard(&app);
    KillTimer(nullptr, timer);
    EXPECT_NE(g_watch.sheet, nullptr);
    EXPECT_TRUE(g_watch.sawNext);
    EXPECT_FALSE(IsWindow(g_watch.sheet));
    EXPECT_EQ(app.m_nCancelPage, 6);
}

// A thread on a desktop that refuses it windows (no DESKTOP_CREATEWINDOW
// right): PropertySheetW creates nothing, and RunWizard must end at once,
// without a window left and without touching the machine.
struct NoWindowRun {
    CLPSSetupState* app = nullptr;
    bool shown = true;
    bool desktopSet = false;
    DWORD lastError = 0;
};

DWORD WINAPI RunWizardWithoutWindowRights(LPVOID param) {
    auto* run = static_cast<NoWindowRun*>(param);
    HDESK desktop = OpenDesktopW(L"Default", 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
    run->desktopSet = desktop && SetThreadDesktop(desktop);
    if (run->desktopSet) {
        // Windows really are refused here: the test would prove nothing otherwise.
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        run->lastError = probe ? 0 : GetLastError();
        if (probe) {
            DestroyWindow(probe);
            run->desktopSet = false;
        } else {
            run->shown = RunWizard(run->app);
        }
    }
    return 0;
}

TEST(RunWizard, EndsAtOnceAndSaysSoWhenItsWindowCannotBeCreated) {
    InitControls();
    CLPSSetupState app;
    PrepareApp(app);
    NoWindowRun run;
    run.app = &app;
    HANDLE thread = CreateThread(nullptr, 0, &RunWizardWithoutWindowRights, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // A generous limit: a hang is the fault this looks for.
    ASSERT_EQ(WaitForSingleObject(thread, 120000), WAIT_OBJECT_0) << "RunWizard hangs without a window";
    CloseHandle(thread);
    ASSERT_TRUE(run.desktopSet) << "no desktop without window rights (error " << run.lastError << ")";
    EXPECT_FALSE(run.shown);
    EXPECT_EQ(FindWindowW(L"#32770", kCaption), nullptr);
    EXPECT_FALSE(IsFolder(app.m_paths.PackageDir));
}

// The progress page alone in a sheet, without an application: the worker has
// nothing to install, and the page's reports can be driven one by one.
class ProgressDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        InitControls();
        sheet.m_psh.dwFlags |= PSH_WIZARD;
        sheet.AddPage(&page);
        ASSERT_TRUE(sheet.Create());
        ASSERT_TRUE(PumpUntil(
            sheet, [&] { return page.m_worker.Get() == nullptr; }, 5000));
    }
    int Bar() {
        return static_cast<int>(SendDlgItemMessageW(page.m_hWnd, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    }
    std::wstring Status() { return ControlText(page.m_hWnd, IDC_PROGRESS_STATUS); }

    CPropertySheet sheet{IDS_SETUP_CAPTION};
    CLPSProgressPpg page{nullptr};
};

TEST_F(ProgressDisplay, ReportsMoveTheBarAndTheStatusLineInPostingOrder) {
    EXPECT_EQ(Status(), L"Please Wait...");
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(SendDlgItemMessageW(page.m_hWnd, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_FALSE(ButtonUsable(sheet.m_hWnd, ID_WIZBACK));
    EXPECT_FALSE(ButtonUsable(sheet.m_hWnd, ID_WIZNEXT));
    EXPECT_TRUE(ButtonUsable(sheet.m_hWnd, IDCANCEL));

    EXPECT_EQ(page.ReportProgress(IDS_EXTRACTING_PACKAGE, 37), 1);
    PumpPending(sheet);
    EXPECT_EQ(Bar(), 37);
    EXPECT_EQ(Status(), L"Extracting installation package content...");

    // A new action starting at 0 moves the bar back.
    page.ReportProgress(IDS_INSTALLING_TOOLS, 0);
    PumpPending(sheet);
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(Status(), L"Installing SDK Tools...");

    page.ReportProgress(IDS_EXTRACTING_PACKAGE, 10);
    page.ReportProgress(IDS_INSTALLING_MAIN, 50);
    page.ReportProgress(IDS_VALIDATING_PACKAGE, 90);
    PumpPending(sheet);
    EXPECT_EQ(Bar(), 90);
    EXPECT_EQ(Status(), L"Validating installation package...");

    // An id without a string empties the status line; the bar still moves.
    page.ReportProgress(9999, 55);
    PumpPending(sheet);
    EXPECT_EQ(Bar(), 55);
    EXPECT_EQ(Status(), L"");
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST_F(ProgressDisplay, TextsFitAtTheScreensDpi) {
    std::wstring why;
    EXPECT_TRUE(PageTextsFit(page.m_hWnd, &why)) << why;
    page.ReportProgress(IDS_EXTRACTING_PACKAGE, 0);
    PumpPending(sheet);
    EXPECT_TRUE(PageTextsFit(page.m_hWnd, &why)) << why;
}

TEST_F(ProgressDisplay, CancelKeepsTheSheetOpen) {
    ASSERT_TRUE(ClickButton(sheet, IDCANCEL));
    PumpPending(sheet);
    EXPECT_TRUE(sheet.IsRunning());
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    // Reports still arriving are shown.
    page.ReportProgress(IDS_EXTRACTING_PACKAGE, 6);
    PumpPending(sheet);
    EXPECT_EQ(Bar(), 6);
}

}  // namespace
