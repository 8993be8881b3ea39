// Moving the calendar by its body, what the screen shows meanwhile, and the
// About box: its place, its web address field, and what it holds back.
#include "e2e.h"

#include <cstdio>
#include <string>

namespace {

// The About box's read-only field with the web address.
const int kWebAddressField = 1013;
const char kWebAddress[] = "https://trical.example.org/";

POINT Offset(POINT p, POINT by) { return {p.x + by.x, p.y + by.y}; }

// A press right after a click at the same spot is the second half of a
// double-click, which starts no drag; a press a little aside is a new one.
POINT BesideGrip(HWND dialog, POINT grip) {
    POINT beside = {grip.x + 40, grip.y};
    EXPECT_EQ(dialog, WindowFromPoint(beside)) << "the spot beside the grip is not bare body";
    return beside;
}

::testing::AssertionResult MoveTo(POINT p) { return Hover(p.x, p.y); }

// ---- the screen -----------------------------------------------------------

RECT Screen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

bool WhollyOnScreen(const RECT &r) {
    RECT screen = Screen();
    RECT visible = {};
    IntersectRect(&visible, &r, &screen);
    return EqualRect(&visible, &r) != FALSE;
}

bool OnBorder(const RECT &r, int x, int y) {
    bool across = x >= r.left && x < r.right;
    bool down = y >= r.top && y < r.bottom;
    return (across && (y == r.top || y == r.bottom - 1)) ||
           (down && (x == r.left || x == r.right - 1));
}

// Each side of `r` on a full-screen picture: how many of its pixels differ
// between the two. A focus rectangle inverts every other one.
::testing::AssertionResult OutlineDrawn(const Picture &before, const Picture &now, const RECT &r) {
    const struct {
        const char *name;
        POINT start;
        POINT step;
        int length;
    } sides[] = {
        {"top", {r.left, r.top}, {1, 0}, r.right - r.left},
        {"bottom", {r.left, r.bottom - 1}, {1, 0}, r.right - r.left},
        {"left", {r.left, r.top}, {0, 1}, r.bottom - r.top},
        {"right", {r.right - 1, r.top}, {0, 1}, r.bottom - r.top},
    };
    for (const auto &side : sides) {
        int changed = 0;
        for (int i = 0; i < side.length; ++i) {
            int x = side.start.x + side.step.x * i;
            int y = side.start.y + side.step.y * i;
            changed += PixelAt(before, x, y) != PixelAt(now, x, y);
        }
        if (changed * 3 < side.length)
            return ::testing::AssertionFailure()
                   << "only " << changed << " of " << side.length << " pixels of the " << side.name
                   << " side of the outline changed";
    }
    return ::testing::AssertionSuccess();
}

// Nothing differs between two full-screen pictures except on the border of
// `outline` (an empty rectangle: nothing at all).
::testing::AssertionResult OnlyOutlineChanged(const Picture &before, const Picture &now,
                                              const RECT &outline) {
    int count = 0;
    POINT first = {};
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x)
            if (!OnBorder(outline, x, y) && PixelAt(before, x, y) != PixelAt(now, x, y) &&
                count++ == 0)
                first = {x, y};
    if (count == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << count << " pixels changed off the outline, the first at (" << first.x << ", "
           << first.y << ")";
}

// Polls the screen until the outline of `r` is on it.
::testing::AssertionResult WaitForOutline(const Picture &before, const RECT &r, Picture *now) {
    return Eventually([&] {
        *now = CaptureScreen(Screen());
        return OutlineDrawn(before, *now, r);
    });
}

// Polls the screen until the whole of it looks as it did.
::testing::AssertionResult ScreenReturnsTo(const Picture &before) {
    return Eventually([&] { return OnlyOutlineChanged(before, CaptureScreen(Screen()), RECT{}); });
}

// Keeps a picture beside the driver as a BMP for a person to look at.
void KeepPicture(const Picture &picture, const char *name) {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length);
    file = file.substr(0, file.find_last_of("\\/") + 1) + name;
    ASSERT_TRUE(SaveBitmap(picture, file)) << "cannot write " << file;
}

using DragTest = StartedCalendarTest;

using AboutTest = CalendarTest;

} // namespace

// Left and up, so that the mouse is left of and above the window's client
// area: the outline follows it, the window stays until the button goes up.
TEST_F(DragTest, OutlineFollowsTheMouseAndTheWindowJumpsOnRelease) {
    RECT from = WindowRectOf(dialog_);
    POINT grip = BareBodyPoint(dialog_);
    POINT travel = {-250, -(from.bottom - from.top) - 20};
    RECT target = from;
    OffsetRect(&target, travel.x, travel.y);
    RECT screen = Screen();
    ASSERT_TRUE(WhollyOnScreen(target)) << "the screen is too small for this drag";

    ASSERT_TRUE(MoveTo(grip));
    Picture before = CaptureScreen(screen);
    ASSERT_TRUE(Buttons(grip, MOUSEEVENTF_LEFTDOWN));
    ASSERT_TRUE(CaptureBecomes(dialog_, dialog_));
    for (int i = 1; i <= 4; ++i)
        ASSERT_TRUE(MoveTo({grip.x + travel.x * i / 4, grip.y + travel.y * i / 4}));
    Picture during;
    EXPECT_TRUE(WaitForOutline(before, target, &during));
    // The outlines of the places passed on the way have come off again.
    EXPECT_TRUE(OnlyOutlineChanged(before, during, target));
    EXPECT_TRUE(WindowAt(dialog_, from)) << "the window moved before the release";
    KeepPicture(during, "drag-in-progress.bmp");

    ASSERT_TRUE(Buttons(Offset(grip, travel), MOUSEEVENTF_LEFTUP));
    ASSERT_TRUE(CaptureBecomes(dialog_, nullptr));
    EXPECT_TRUE(Eventually([&] { return WindowAt(dialog_, target); }));
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));
    EXPECT_TRUE(CloseWithX());
}

// A press and release in one place, a drag back to where it began, and a
// drag that starts on a push button all leave the window where it is, and
// leave no outline behind.
TEST_F(DragTest, ClicksAndDragsBackOrFromAButtonLeaveTheCalendarInPlace) {
    RECT from = WindowRectOf(dialog_);
    POINT grip = BareBodyPoint(dialog_);
    ASSERT_TRUE(MoveTo(grip));
    Picture before = CaptureScreen(Screen());

    {
        SCOPED_TRACE("press and release without motion");
        ASSERT_TRUE(Buttons(grip, MOUSEEVENTF_LEFTDOWN));
        ASSERT_TRUE(CaptureBecomes(dialog_, dialog_));
        ASSERT_TRUE(Buttons(grip, MOUSEEVENTF_LEFTUP));
        ASSERT_TRUE(CaptureBecomes(dialog_, nullptr));
        EXPECT_TRUE(ScreenReturnsTo(before));
        EXPECT_TRUE(WindowAt(dialog_, from));
    }
    {
        SCOPED_TRACE("a drag back to where it began");
        RECT away = from;
        OffsetRect(&away, 90, 70);
        POINT beside = BesideGrip(dialog_, grip);
        ASSERT_TRUE(MoveTo(beside));
        ASSERT_TRUE(Buttons(beside, MOUSEEVENTF_LEFTDOWN));
        ASSERT_TRUE(CaptureBecomes(dialog_, dialog_));
        ASSERT_TRUE(MoveTo({beside.x + 90, beside.y + 70}));
        Picture during;
        EXPECT_TRUE(WaitForOutline(before, away, &during));
        ASSERT_TRUE(MoveTo(beside));
        ASSERT_TRUE(Buttons(beside, MOUSEEVENTF_LEFTUP));
        ASSERT_TRUE(CaptureBecomes(dialog_, nullptr));
        EXPECT_TRUE(ScreenReturnsTo(before));
        EXPECT_TRUE(WindowAt(dialog_, from));
    }
    {
        SCOPED_TRACE("a drag from the < button");
        HWND button = GetDlgItem(dialog_, kPrevMonthButton);
        POINT start = CentreOf(WindowRectOf(button));
        ASSERT_EQ(button, WindowFromPoint(start));
        // Drag waits for the button itself to hold the capture.
        ASSERT_TRUE(Drag(button, start, {start.x + 150, start.y + 120}));
        EXPECT_TRUE(WindowAt(dialog_, from));
        // Let go off the button: no click either.
        EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));
    }
    EXPECT_TRUE(CloseWithX());
}

// Another window takes the mouse capture in the middle of a drag: the drag is
// over, its outline comes off and the window stays; the next drag works.
TEST_F(DragTest, LosingTheCaptureAbandonsTheDrag) {
    RECT from = WindowRectOf(dialog_);
    POINT grip = BareBodyPoint(dialog_);
    POINT travel = {120, from.bottom - from.top + 20};
    RECT target = from;
    OffsetRect(&target, travel.x, travel.y);
    RECT screen = Screen();
    ASSERT_TRUE(WhollyOnScreen(target)) << "the screen is too small for this drag";

    ASSERT_TRUE(MoveTo(grip));
    Picture before = CaptureScreen(screen);
    ASSERT_TRUE(Buttons(grip, MOUSEEVENTF_LEFTDOWN));
    ASSERT_TRUE(CaptureBecomes(dialog_, dialog_));
    ASSERT_TRUE(MoveTo(Offset(grip, travel)));
    Picture during;
    ASSERT_TRUE(WaitForOutline(before, target, &during));

    // Sharing the calendar's input state lets this thread's SetCapture take
    // the capture from the calendar, as a window of its own thread would.
    HWND thief = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, thief);
    DWORD calendarThread = GetWindowThreadProcessId(dialog_, nullptr);
    ASSERT_TRUE(AttachThreadInput(GetCurrentThreadId(), calendarThread, TRUE));
    SetCapture(thief);
    EXPECT_EQ(thief, CaptureOf(dialog_));
    // No early return from here: the driver must not stay attached.
    EXPECT_TRUE(Buttons(Offset(grip, travel), MOUSEEVENTF_LEFTUP));
    bool released = false;
    EXPECT_TRUE(Eventually([&] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            released = released || (message.hwnd == thief && message.message == WM_LBUTTONUP);
        return ::testing::AssertionResult(released)
               << "the release never reached the window with the capture";
    }));
    ReleaseCapture();
    AttachThreadInput(GetCurrentThreadId(), calendarThread, FALSE);
    DestroyWindow(thief);

    EXPECT_TRUE(ScreenReturnsTo(before)) << "the outline was left on the screen";
    EXPECT_TRUE(WindowAt(dialog_, from));

    POINT beside = BesideGrip(dialog_, grip);
    ASSERT_TRUE(Drag(dialog_, beside, Offset(beside, travel)));
    EXPECT_TRUE(Eventually([&] { return WindowAt(dialog_, target); }));
    EXPECT_TRUE(CloseWithX());
}

// Centred without moving the calendar; the address can be selected and
// copied but not changed; Enter closes the box.
TEST_F(AboutTest, WebAddressIsReadOnlyButCopiesAndEnterCloses) {
    ASSERT_TRUE(RemoveSettings());
    ASSERT_TRUE(Launch());
    RECT calendar = WindowRectOf(dialog_);
    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    HWND about = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(nullptr, about) << "no About box appeared";
    RECT box = WindowRectOf(about);
    POINT centre = CentredPlace(box.right - box.left, box.bottom - box.top);
    EXPECT_EQ(centre.x, box.left);
    EXPECT_EQ(centre.y, box.top);
    EXPECT_TRUE(WindowAt(dialog_, calendar)) << "the About box moved the calendar";
    Picture client;
    ASSERT_TRUE(WaitForSettledClient(about, &client));
    KeepPicture(CaptureScreen(box), "about-box.bmp");

    HWND field = GetDlgItem(about, kWebAddressField);
    ASSERT_NE(nullptr, field);
    ASSERT_EQ(kWebAddress, ItemText(about, kWebAddressField));
    ASSERT_TRUE(EmptyTheClipboard());
    ASSERT_TRUE(Click(CentreOf(WindowRectOf(field)).x, CentreOf(WindowRectOf(field)).y));
    ASSERT_TRUE(Eventually([&] {
        return ::testing::AssertionResult(FocusOf(about) == field)
               << "a click on the field did not give it the keyboard";
    }));
    // Typing, deleting and cutting at either end of the text.
    const WORD keys[] = {VK_HOME, 'Q', VK_DELETE, VK_END, VK_BACK, '7', VK_SPACE, VK_HOME};
    for (WORD key : keys)
        ASSERT_TRUE(Type(key));
    ASSERT_TRUE(Chord(VK_SHIFT, VK_END));
    ASSERT_TRUE(Chord(VK_CONTROL, 'X'));
    ASSERT_TRUE(Chord(VK_CONTROL, 'V'));
    // Selected from the end back to the start this time.
    ASSERT_TRUE(Type(VK_END));
    ASSERT_TRUE(Chord(VK_SHIFT, VK_HOME));
    ASSERT_TRUE(Chord(VK_CONTROL, 'C'));
    // The copy came after every other key, so all of them have been handled.
    EXPECT_TRUE(ClipboardBecomes(kWebAddress));
    EXPECT_EQ(kWebAddress, ItemText(about, kWebAddressField));

    ASSERT_TRUE(Type(VK_RETURN));
    EXPECT_TRUE(Gone(about));
    EXPECT_TRUE(IsWindowVisible(dialog_));
    EXPECT_TRUE(WindowAt(dialog_, calendar));
    EXPECT_TRUE(CloseWithX());
}

// The calendar keeps working under an About box and opens a second one over
// it; its X only takes effect, and the place is only saved, once the boxes
// are gone.
TEST_F(AboutTest, CloseWaitsForTheOpenAboutBoxes) {
    // Low on the screen, clear of the centred box.
    const int y = GetSystemMetrics(SM_CYSCREEN) - 200;
    ASSERT_TRUE(WriteSettings("[LOC]\r\nXLOC=0\r\nYLOC=" + std::to_string(y) + "\r\n"));
    ASSERT_TRUE(Launch());
    RECT calendar = WindowRectOf(dialog_);
    ASSERT_EQ(y, calendar.top);
    ASSERT_TRUE(RemoveSettings());

    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    HWND first = NewWindowOf(process_.dwProcessId, {dialog_});
    ASSERT_NE(nullptr, first) << "no About box appeared";
    RECT box = WindowRectOf(first);
    RECT overlap = {};
    ASSERT_FALSE(IntersectRect(&overlap, &box, &calendar)) << "the About box covers the calendar";

    EXPECT_TRUE(Press(dialog_, kNextMonthButton, TitlesAt(1)));
    ASSERT_TRUE(ClickButton(dialog_, kAboutButton));
    HWND second = NewWindowOf(process_.dwProcessId, {dialog_, first});
    ASSERT_NE(nullptr, second) << "no second About box appeared";
    EXPECT_TRUE(IsWindowVisible(first));
    POINT ok = CentreOf(WindowRectOf(GetDlgItem(second, IDOK)));
    EXPECT_EQ(second, GetAncestor(WindowFromPoint(ok), GA_ROOT))
        << "the second About box is not on top";

    ASSERT_TRUE(ClickButton(dialog_, kCloseButton));
    DWORD code = 0;
    EXPECT_FALSE(WaitForExit(process_, 1500, &code)) << "the calendar ended under its About boxes";
    std::string text;
    EXPECT_FALSE(ReadSettings(&text)) << "the place was saved with the About boxes open:\n" << text;

    ASSERT_TRUE(ClickButton(second, IDOK));
    EXPECT_TRUE(Gone(second));
    EXPECT_FALSE(WaitForExit(process_, 1500, &code))
        << "the calendar ended with an About box still open";
    EXPECT_FALSE(ReadSettings(&text)) << "the place was saved with an About box open:\n" << text;

    ASSERT_TRUE(ClickButton(first, IDOK));
    ASSERT_TRUE(WaitForExit(process_, 30000, &code)) << "the calendar did not end";
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(SavedPlaceIs(0, y));
}
