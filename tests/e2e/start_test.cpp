// Starting the program: once, again while it runs, and with arguments.
#include "e2e.h"

#include <algorithm>
#include <string>

namespace {

class StartTest : public CalendarTest {
  protected:
    void SetUp() override {
        CalendarTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(RemoveSettings());
    }
};

} // namespace

TEST_F(StartTest, SecondStartShowsNoWindowAndLeavesTheFirstAlone) {
    ASSERT_TRUE(Launch());
    const Titles february = TitlesAt(1);
    ASSERT_TRUE(Press(dialog_, kNextMonthButton, february));
    RECT place = WindowRectOf(dialog_);

    const char *const commandLines[] = {"", "/foo bar"};
    for (const char *arguments : commandLines) {
        SCOPED_TRACE(std::string("second start with \"") + arguments + "\"");
        PROCESS_INFORMATION second = {};
        ASSERT_TRUE(StartTrical(arguments, &second));
        // Watch for a window of the second process for as long as it lives.
        size_t shown = 0;
        DWORD code = 1;
        bool ended = Eventually(
            [&] {
                shown = std::max(shown, ShownWindowsOf(second.dwProcessId).size());
                return ::testing::AssertionResult(WaitForExit(second, 0, &code));
            },
            30000);
        if (!ended)
            TerminateProcess(second.hProcess, 1);
        CloseHandle(second.hThread);
        CloseHandle(second.hProcess);
        ASSERT_TRUE(ended) << "the second start did not end";
        EXPECT_EQ(0u, code);
        EXPECT_EQ(0u, shown) << "the second start showed a window";
        EXPECT_EQ(1u, MarkerWindows().size());
        EXPECT_EQ(1u, ShownWindowsOf(process_.dwProcessId).size());
        EXPECT_TRUE(TitlesBecome(dialog_, february, 0));
        RECT now = WindowRectOf(dialog_);
        EXPECT_TRUE(EqualRect(&place, &now)) << "the running calendar moved";
    }
    // The first one still answers.
    EXPECT_TRUE(Press(dialog_, kPrevMonthButton, TitlesAt(0)));
    EXPECT_TRUE(CloseWithX());
}

TEST_F(StartTest, CommandLineMakesNoDifference) {
    ASSERT_TRUE(Launch("/foo bar"));
    EXPECT_TRUE(TitlesBecome(dialog_, TitlesAt(0), 0));
    RECT r = WindowRectOf(dialog_);
    POINT centre = CentredPlace(r.right - r.left, r.bottom - r.top);
    EXPECT_EQ(centre.x, r.left);
    EXPECT_EQ(centre.y, r.top);
    EXPECT_TRUE(Press(dialog_, kNextYearButton, TitlesAt(12)));
    ASSERT_TRUE(CloseWithX());
    EXPECT_TRUE(SavedPlaceIs(centre.x, centre.y));
}
