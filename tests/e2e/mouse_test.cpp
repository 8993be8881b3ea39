// The mouse on the calendar's body, and the About box.
#include "e2e.h"

#include <string>

namespace {

// The About box's read-only field with the web address.
const int kWebAddressField = 1013;

class MouseTest : public StartedCalendarTest {
  protected:
    POINT CentreOf(int id) { return ::CentreOf(WindowRectOf(GetDlgItem(dialog_, id))); }
};

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
        RECT to = WindowRectOf(dialog_);
        OffsetRect(&to, travel.x, travel.y);
        EXPECT_TRUE(DragTo({to.left, to.top}));
        EXPECT_TRUE(WindowAt(dialog_, to)) << "the size changed";
        EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));

        ASSERT_TRUE(ParkMouseAwayFrom(dialog_));
        Picture after;
        EXPECT_TRUE(WaitForSettledClient(dialog_, &after, &before));
    }
    RECT end = WindowRectOf(dialog_);
    EXPECT_EQ(start.left + 50, end.left);
    EXPECT_EQ(start.top - 40, end.top);
    EXPECT_TRUE(CloseWithX());
}

TEST_F(MouseTest, AboutBoxOpensCentredAndClosesWithOkOrEscape) {
    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    HWND about = NewWindowOf(process_.dwProcessId, {dialog_});
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

    // The calendar came in front of it; a click on its corner brings it back.
    POINT corner = {box.left + 4, box.top + 4};
    ASSERT_EQ(about, GetAncestor(WindowFromPoint(corner), GA_ROOT)) << "the box's corner is hidden";
    ASSERT_TRUE(Click(corner.x, corner.y));
    ASSERT_TRUE(ClickButton(about, IDOK));
    EXPECT_TRUE(Gone(about));
    EXPECT_TRUE(IsWindowVisible(dialog_));

    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    about = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(nullptr, about) << "no About box appeared the second time";
    EXPECT_TRUE(EscapeCloses(about));

    EXPECT_TRUE(CloseWithX());
}
