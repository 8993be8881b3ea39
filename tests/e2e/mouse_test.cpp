// The mouse on the calendar's body, and the About box.
#include "e2e.h"

#include <string>

namespace {

// The About box's read-only field with the web address.
const int kWebAddressField = 1013;

class MouseTest : public StartedCalendarTest {
  protected:
    POINT OnScreen(POINT client) {
        ClientToScreen(dialog_, &client);
        return client;
    }

    POINT CentreOf(int id) {
        RECT r = RectInParent(GetDlgItem(dialog_, id));
        return OnScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
};

HWND AboutBoxOf(DWORD processId, HWND calendar, ULONGLONG timeoutMs) {
    ULONGLONG deadline = Now() + timeoutMs;
    do {
        for (HWND window : ShownWindowsOf(processId))
            if (window != calendar)
                return window;
        Sleep(15);
    } while (Now() < deadline);
    return nullptr;
}

::testing::AssertionResult Gone(HWND window, ULONGLONG timeoutMs) {
    ULONGLONG deadline = Now() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (Now() >= deadline)
            return ::testing::AssertionFailure() << "the window is still shown";
        Sleep(15);
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(MouseTest, DoubleClickOnTheBodyReturnsToToday) {
    const struct {
        const char *where;
        POINT point;
    } spots[] = {
        {"the bare body", BareBodyPoint(dialog_)},
        {"the middle panel", CentreOf(kCurrentFrame)},
        {"the right panel", CentreOf(kNextFrame)},
        {"the middle title", CentreOf(kCurrentTitle)},
    };
    for (const auto &spot : spots) {
        SCOPED_TRACE(std::string("double-click on ") + spot.where);
        ASSERT_EQ(dialog_, GetAncestor(WindowFromPoint(spot.point), GA_ROOT));
        ASSERT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(12)));
        ASSERT_TRUE(Press(dialog_, kPrevMonthButton, TitlesAt(11)));
        // A single click there changes nothing: the next step still starts
        // from eleven months on.
        ASSERT_TRUE(Click(spot.point.x, spot.point.y));
        ASSERT_TRUE(Press(dialog_, kPrevMonthButton, TitlesAt(10)));
        ASSERT_TRUE(DoubleClick(spot.point.x, spot.point.y));
        EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0)));
    }
    RECT place = WindowRectOf(dialog_);
    POINT centre = CentredPlace(place.right - place.left, place.bottom - place.top);
    EXPECT_EQ(centre.x, place.left) << "clicks without motion moved the window";
    EXPECT_EQ(centre.y, place.top) << "clicks without motion moved the window";
    EXPECT_TRUE(CloseWithX());
}

// The window moves by exactly the mouse's travel, and looks as it did.
TEST_F(MouseTest, DraggingTheBodyMovesTheCalendarIntact) {
    ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
    Picture before;
    ASSERT_TRUE(WaitForSettledClient(dialog_, &before));
    RECT start = WindowRectOf(dialog_);

    const POINT travels[] = {{-150, 120}, {200, -160}};
    for (const POINT &travel : travels) {
        SCOPED_TRACE("drag by (" + std::to_string(travel.x) + ", " + std::to_string(travel.y) +
                     ")");
        RECT from = WindowRectOf(dialog_);
        POINT grip = BareBodyPoint(dialog_);
        ASSERT_TRUE(Drag(dialog_, grip, {grip.x + travel.x, grip.y + travel.y}));
        ULONGLONG deadline = Now() + 10000;
        RECT to = WindowRectOf(dialog_);
        while (EqualRect(&from, &to) && Now() < deadline) {
            Sleep(15);
            to = WindowRectOf(dialog_);
        }
        EXPECT_EQ(from.left + travel.x, to.left);
        EXPECT_EQ(from.top + travel.y, to.top);
        EXPECT_EQ(from.right - from.left, to.right - to.left) << "the width changed";
        EXPECT_EQ(from.bottom - from.top, to.bottom - to.top) << "the height changed";
        EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));

        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
        Picture after;
        ASSERT_TRUE(WaitForSettledClient(dialog_, &after));
        EXPECT_TRUE(SamePicture(before, after)) << DescribeDifference(before, after);
    }
    RECT end = WindowRectOf(dialog_);
    EXPECT_EQ(start.left + 50, end.left);
    EXPECT_EQ(start.top - 40, end.top);
    EXPECT_TRUE(CloseWithX());
}

TEST_F(MouseTest, AboutBoxOpensCentredAndClosesWithOkOrEscape) {
    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    HWND about = AboutBoxOf(process_.dwProcessId, dialog_, 10000);
    ASSERT_NE(nullptr, about) << "no About box appeared";
    char className[16] = "";
    GetClassNameA(about, className, sizeof className);
    EXPECT_STREQ("#32770", className);
    // The web address is put in at run time.
    EXPECT_EQ("https://trical.example.org/", ItemText(about, kWebAddressField));
    RECT box = WindowRectOf(about);
    POINT centre = CentredPlace(box.right - box.left, box.bottom - box.top);
    EXPECT_EQ(centre.x, box.left);
    EXPECT_EQ(centre.y, box.top);

    // The box has no owner: the calendar still answers while it is open.
    POINT previousYear = CentreOf(kPrevYearButton);
    ASSERT_EQ(GetDlgItem(dialog_, kPrevYearButton), WindowFromPoint(previousYear))
        << "the About box covers the << button";
    EXPECT_TRUE(Press(dialog_, kPrevYearButton, TitlesAt(-12)));

    ASSERT_TRUE(ClickButton(about, IDOK));
    EXPECT_TRUE(Gone(about, 10000));
    EXPECT_TRUE(IsWindowVisible(dialog_));

    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    about = AboutBoxOf(process_.dwProcessId, dialog_, 10000);
    ASSERT_NE(nullptr, about) << "no About box appeared the second time";
    ULONGLONG deadline = Now() + 10000;
    while (GetForegroundWindow() != about && Now() < deadline)
        Sleep(15);
    ASSERT_EQ(about, GetForegroundWindow()) << "the About box did not get the keyboard";
    ASSERT_TRUE(Type(VK_ESCAPE));
    EXPECT_TRUE(Gone(about, 10000));

    EXPECT_TRUE(CloseWithX());
}
