// The keyboard and a screen reader: the focused day the keys move, its frame
// on the screen, and what a reader reads through Active Accessibility, read
// here as a reader reads it, from another process.
#include "e2e.h"

#include <oleacc.h>

#include <string>

#include "focus.h"

namespace {

std::string Utf8(const wchar_t *wide) {
    char text[512] = "";
    if (wide != nullptr)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// Each of these reads one thing of an object, or of its child `id`; "" or
// -1 where the object does not answer.
std::string NameOf(IAccessible *object, LONG id = CHILDID_SELF) {
    BSTR name = nullptr;
    if (object == nullptr || object->get_accName(Child(id), &name) != S_OK)
        return "";
    std::string text = Utf8(name);
    SysFreeString(name);
    return text;
}

std::string DescriptionOf(IAccessible *object, LONG id = CHILDID_SELF) {
    BSTR text = nullptr;
    if (object == nullptr || object->get_accDescription(Child(id), &text) != S_OK)
        return "";
    std::string read = Utf8(text);
    SysFreeString(text);
    return read;
}

LONG RoleOf(IAccessible *object, LONG id = CHILDID_SELF) {
    VARIANT role;
    VariantInit(&role);
    if (object == nullptr || object->get_accRole(Child(id), &role) != S_OK || role.vt != VT_I4)
        return -1;
    return role.lVal;
}

// An object a VARIANT answer names, as its own object (the caller releases
// it); nullptr for none.
IAccessible *ObjectOf(VARIANT answer) {
    IAccessible *object = nullptr;
    if (answer.vt == VT_DISPATCH && answer.pdispVal != nullptr) {
        answer.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&object));
        answer.pdispVal->Release();
    }
    return object;
}

IAccessible *ChildObject(IAccessible *object, LONG id) {
    IDispatch *child = nullptr;
    VARIANT answer;
    VariantInit(&answer);
    if (object != nullptr && object->get_accChild(Child(id), &child) == S_OK) {
        answer.vt = VT_DISPATCH;
        answer.pdispVal = child;
    }
    return ObjectOf(answer);
}

// The object of a window as a reader asks for it.
IAccessible *ObjectOfWindow(HWND window, DWORD id) {
    IAccessible *object = nullptr;
    if (AccessibleObjectFromWindow(window, id, __uuidof(IAccessible),
                                   reinterpret_cast<void **>(&object)) != S_OK)
        return nullptr;
    return object;
}

// The window's text, which Alt+Tab shows, and the name its client gives a
// reader, when the two agree.
std::string WindowName(HWND dialog) {
    wchar_t text[128] = L"";
    GetWindowTextW(dialog, text, 128);
    IAccessible *client = ObjectOfWindow(dialog, OBJID_CLIENT);
    std::string read = NameOf(client);
    if (client != nullptr)
        client->Release();
    return read == Utf8(text) ? read : "window \"" + Utf8(text) + "\", client \"" + read + "\"";
}

// The name of the day the calendar's client says has the focus.
std::string FocusedName(HWND dialog) {
    IAccessible *client = ObjectOfWindow(dialog, OBJID_CLIENT);
    VARIANT focus;
    VariantInit(&focus);
    std::string name;
    if (client != nullptr && client->get_accFocus(&focus) == S_OK) {
        IAccessible *cell = ObjectOf(focus);
        VARIANT state;
        VariantInit(&state);
        if (cell != nullptr && cell->get_accState(Child(CHILDID_SELF), &state) == S_OK &&
            (state.lVal & STATE_SYSTEM_FOCUSED) != 0)
            name = NameOf(cell);
        if (cell != nullptr)
            cell->Release();
    }
    if (client != nullptr)
        client->Release();
    return name;
}

::testing::AssertionResult FocusNamed(HWND dialog, const std::string &expected) {
    return Eventually([&] {
        std::string seen = FocusedName(dialog);
        return ::testing::AssertionResult(seen == expected)
               << "the focused day reads \"" << seen << "\", expected \"" << expected << "\"";
    });
}

// The cell of `day` in its panel's frame, as the engine lays the grid out,
// within the area the painter clears (a null pen's fill: all but its last
// column and row).
RECT DayCell(const PanelPlan &plan, int day) {
    PanelRect cell = GridCell(plan.kind, plan.metrics, plan.options,
                              CellOfDay(day, plan.month.month, plan.month.year, 0));
    const PanelRect &e = plan.layout.erase;
    RECT r = {cell.left, cell.top, cell.right, cell.bottom};
    RECT cleared = {e.left, e.top, e.right - 1, e.bottom - 1};
    IntersectRect(&r, &r, &cleared);
    return r;
}

// How many pixels of each of the cell's four edges are not the panel's
// ground; a dotted frame inks every other one.
int FaintestEdge(const Picture &picture, const RECT &r) {
    COLORREF ground = CommonestColour(picture);
    int counts[4] = {};
    for (int x = r.left; x < r.right; ++x) {
        counts[0] += PixelAt(picture, x, r.top) != ground;
        counts[1] += PixelAt(picture, x, r.bottom - 1) != ground;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        counts[2] += PixelAt(picture, r.left, y) != ground;
        counts[3] += PixelAt(picture, r.right - 1, y) != ground;
    }
    int least = counts[0];
    for (int count : counts)
        least = count < least ? count : least;
    return least;
}

// The days of the three months around `shown` framed on the screen, as
// "panel/day" ("" for none).
std::string FramedDays(HWND dialog, MonthOfYear shown) {
    std::string framed;
    Frames frames = CaptureFrames(dialog);
    for (int panel = 0; panel < kPanelCount; ++panel) {
        MonthOfYear month = AddMonths(shown, panel - 1);
        PanelPlan plan = PlanPanel(dialog, panel, month, StartDate());
        for (int day = 1; day <= plan.layout.dayCount; ++day) {
            RECT cell = DayCell(plan, day);
            if (FaintestEdge(frames.panel[panel], cell) >= (cell.bottom - cell.top) / 3)
                framed +=
                    (framed.empty() ? "" : " ") + std::to_string(panel) + "/" + std::to_string(day);
        }
    }
    return framed;
}

::testing::AssertionResult FramedBecome(HWND dialog, MonthOfYear shown,
                                        const std::string &expected) {
    return Eventually([&] {
        std::string seen = FramedDays(dialog, shown);
        return ::testing::AssertionResult(seen == expected)
               << "framed: \"" << seen << "\", expected \"" << expected << "\"";
    });
}

class AccessTest : public StartedCalendarTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        StartedCalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        if (RealClock())
            GTEST_SKIP() << "the days read are those of the pinned clock";
        POINT body = BareBodyPoint(dialog_);
        ASSERT_TRUE(Click(body.x, body.y));
    }
    void TearDown() override {
        StartedCalendarTest::TearDown();
        CoUninitialize();
    }
};

} // namespace

// The keys move the focus, read back from a reader's side and from its frame
// on the screen; none is framed until a key is pressed. A move out of the
// three months brings the focused month to the middle; the view's own keys
// take the focus along on its day of the month.
TEST_F(AccessTest, KeysMoveTheFocusedDay) {
    ASSERT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(1)));
    EXPECT_TRUE(FramedBecome(dialog_, {1, 1997}, ""));
    const struct {
        WORD modifier;
        WORD key;
        int months; // the middle month, from the start
        const char *name;
        const char *framed; // panel/day
    } moves[] = {
        {0, VK_LEFT, 1, "Friday, February 14, 1997", "1/14"},
        {0, VK_END, 1, "Friday, February 28, 1997", "1/28"},
        {0, VK_RIGHT, 1, "Saturday, March 1, 1997", "2/1"},
        {0, VK_UP, 1, "Saturday, February 22, 1997", "1/22"},
        {0, VK_DOWN, 1, "Saturday, March 1, 1997", "2/1"},
        {0, VK_DOWN, 1, "Saturday, March 8, 1997", "2/8"},
        {0, VK_PRIOR, 0, "Saturday, February 8, 1997", "2/8"},
        {0, VK_NEXT, 1, "Saturday, March 8, 1997", "2/8"},
        // Past the right month: April comes to the middle.
        {0, VK_DOWN, 1, "Saturday, March 15, 1997", "2/15"},
        {0, VK_DOWN, 1, "Saturday, March 22, 1997", "2/22"},
        {0, VK_DOWN, 1, "Saturday, March 29, 1997", "2/29"},
        {0, VK_DOWN, 3, "Saturday, April 5, 1997", "1/5"},
        {VK_CONTROL, VK_PRIOR, -9, "Friday, April 5, 1996", "1/5"},
        {0, VK_LEFT, -9, "Thursday, April 4, 1996", "1/4"},
        {0, VK_HOME, 0, "Wednesday, January 15, 1997, today", "1/15"},
        {0, VK_UP, 0, "Wednesday, January 8, 1997", "1/8"},
        {0, VK_UP, 0, "Wednesday, January 1, 1997", "1/1"},
        {0, VK_UP, 0, "Wednesday, December 25, 1996", "0/25"},
        {0, VK_UP, 0, "Wednesday, December 18, 1996", "0/18"},
        {0, VK_UP, 0, "Wednesday, December 11, 1996", "0/11"},
        {0, VK_UP, 0, "Wednesday, December 4, 1996", "0/4"},
        {0, VK_UP, -2, "Wednesday, November 27, 1996", "1/27"},
    };
    for (const auto &move : moves) {
        ASSERT_TRUE(move.modifier != 0 ? Chord(move.modifier, move.key) : Type(move.key));
        EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(move.months))) << move.name;
        EXPECT_TRUE(FocusNamed(dialog_, move.name));
        EXPECT_TRUE(FramedBecome(dialog_, AddMonths(StartMonth(), move.months), move.framed));
        // The days have the keyboard, even after the button's click.
        EXPECT_EQ(dialog_, FocusOf(dialog_)) << move.name;
    }
    EXPECT_TRUE(CloseWithX());
}

// Enter tells the focused day's details in its tip, which the next key
// puts away; Ctrl+C copies its long date; the menu key opens the menu with
// the focused day's copy items on top.
TEST_F(AccessTest, FocusedDayIsToldAndCopied) {
    ASSERT_TRUE(EmptyTheClipboard());
    ASSERT_TRUE(Type(VK_RIGHT));
    ASSERT_TRUE(FocusNamed(dialog_, "Thursday, January 16, 1997"));
    ASSERT_TRUE(Type(VK_RETURN));
    std::string tip;
    EXPECT_TRUE(Eventually([&] {
        tip = ShownTip(process_.dwProcessId);
        return ::testing::AssertionResult(
                   tip == "Thursday, January 16, 1997\r\nWeek 3, day 16 of 365\r\nTomorrow")
               << "the tip shows \"" << tip << "\"";
    }));
    ASSERT_TRUE(Chord(VK_CONTROL, 'C'));
    EXPECT_TRUE(ClipboardBecomes("Thursday, January 16, 1997"));
    EXPECT_TRUE(Eventually([&] {
        return ::testing::AssertionResult(ShownTip(process_.dwProcessId).empty())
               << "the tip stayed after the next key";
    }));
    ASSERT_TRUE(Type(VK_RIGHT));
    ASSERT_TRUE(Type(VK_APPS));
    ASSERT_NE(nullptr, WaitForMenu(process_.dwProcessId, true));
    ASSERT_TRUE(Type(VK_DOWN));
    ASSERT_TRUE(Type(VK_DOWN));
    ASSERT_TRUE(Type(VK_RETURN));
    EXPECT_TRUE(ClipboardBecomes("1997-01-17"));
    EXPECT_TRUE(CloseWithX());
}

// What a reader reads: the window by its month, the buttons by what they
// do, the three months as tables of days, and today's cell where its red
// digits are.
TEST_F(AccessTest, ReaderReadsTheCalendar) {
    EXPECT_EQ("Trical, January 1997", WindowName(dialog_));
    // A day's events are read after its date.
    ASSERT_TRUE(WriteSettings("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:19970116\r\n"
                              "SUMMARY:Team day\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
                              SettingsFolder() + "\\team.ics"));
    HWND other = TakeForeground();
    ASSERT_NE(nullptr, other);
    POINT body = BareBodyPoint(dialog_);
    ASSERT_TRUE(Click(body.x, body.y));
    DestroyWindow(other);

    for (const ButtonName &button : kButtonNames) {
        IAccessible *object = ObjectOfWindow(GetDlgItem(dialog_, button.id), OBJID_CLIENT);
        EXPECT_EQ(button.name, NameOf(object));
        if (object != nullptr)
            object->Release();
    }

    IAccessible *client = ObjectOfWindow(dialog_, OBJID_CLIENT);
    ASSERT_NE(nullptr, client);
    LONG tables = 0;
    EXPECT_EQ(S_OK, client->get_accChildCount(&tables));
    EXPECT_EQ(3, tables);
    const char *const months[] = {"December 1996", "January 1997", "February 1997"};
    const LONG days[] = {31, 31, 28};
    for (LONG i = 0; i < 3; ++i) {
        IAccessible *table = ChildObject(client, i + 1);
        EXPECT_EQ(months[i], NameOf(table));
        EXPECT_EQ(ROLE_SYSTEM_TABLE, RoleOf(table));
        LONG cells = 0;
        EXPECT_TRUE(table != nullptr && table->get_accChildCount(&cells) == S_OK);
        EXPECT_EQ(days[i], cells) << months[i];
        EXPECT_EQ(ROLE_SYSTEM_CELL, RoleOf(table, 1)) << months[i];
        if (table != nullptr)
            table->Release();
    }

    IAccessible *january = ChildObject(client, 2);
    IAccessible *today = ChildObject(january, 15);
    ASSERT_NE(nullptr, today);
    EXPECT_EQ("Wednesday, January 15, 1997, today", NameOf(today));
    EXPECT_EQ("Week 3, day 15 of 365, Today", DescriptionOf(today));
    EXPECT_TRUE(Eventually([&] {
        std::string name = NameOf(january, 16);
        return ::testing::AssertionResult(name == "Thursday, January 16, 1997, Team day")
               << "the 16th reads \"" << name << "\"";
    }));
    // Its place on the screen holds every red pixel of the middle frame.
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(S_OK, today->accLocation(&left, &top, &width, &height, Child(CHILDID_SELF)));
    RECT frame = WindowRectOf(GetDlgItem(dialog_, kCurrentFrame));
    Picture middle = CaptureScreen(frame);
    int red = 0, inside = 0;
    for (int y = 0; y < middle.height; ++y)
        for (int x = 0; x < middle.width; ++x) {
            if (!TodaysRed(PixelAt(middle, x, y)))
                continue;
            ++red;
            POINT p = {frame.left + x, frame.top + y};
            RECT cell = {left, top, left + width, top + height};
            inside += PtInRect(&cell, p) != FALSE;
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(red, inside) << "today's cell " << left << "," << top << " " << width << "x"
                           << height;
    // The point in its middle is on it, and its neighbours are the days
    // either side and a week away.
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(S_OK, client->accHitTest(left + width / 2, top + height / 2, &hit));
    IAccessible *found = ObjectOf(hit);
    EXPECT_EQ("Wednesday, January 15, 1997, today", NameOf(found));
    if (found != nullptr)
        found->Release();
    const struct {
        LONG direction;
        const char *name;
    } neighbours[] = {{NAVDIR_RIGHT, "Thursday, January 16, 1997, Team day"},
                      {NAVDIR_LEFT, "Tuesday, January 14, 1997"},
                      {NAVDIR_DOWN, "Wednesday, January 22, 1997"},
                      {NAVDIR_UP, "Wednesday, January 8, 1997"}};
    for (const auto &n : neighbours) {
        VARIANT next;
        VariantInit(&next);
        ASSERT_EQ(S_OK, today->accNavigate(n.direction, Child(CHILDID_SELF), &next));
        IAccessible *neighbour = ObjectOf(next);
        EXPECT_EQ(n.name, NameOf(neighbour));
        if (neighbour != nullptr)
            neighbour->Release();
    }
    today->Release();
    january->Release();
    client->Release();

    // The focus is today's at the start; a step renames the window.
    EXPECT_TRUE(FocusNamed(dialog_, "Wednesday, January 15, 1997, today"));
    ASSERT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(1)));
    EXPECT_EQ("Trical, February 1997", WindowName(dialog_));
    EXPECT_TRUE(CloseWithX());
}
