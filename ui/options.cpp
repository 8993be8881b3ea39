#include "options.h"

#include "settings.h"

static const wchar_t kSection[] = L"OPTIONS";
static const wchar_t kFirstDayKey[] = L"FIRSTDAY";
static const wchar_t kWeekNumbersKey[] = L"WEEKNUM";
static const wchar_t kOnTopKey[] = L"ONTOP";

// Only what this program writes is trusted; "0", like anything else, is off.
static bool ReadChoice(const SettingsSection &options, const wchar_t *key) {
    char text[4];
    return ReadSetting(options, key, L"0", text, sizeof text) && text[0] == '1' && text[1] == '\0';
}

// Written at once: a calendar ended by the session or the task manager
// keeps the choice all the same.
static void WriteChoice(const wchar_t *key, bool on) {
    WriteSetting(kSection, key, on ? "1" : "0");
}

static FirstDay ReadFirstDay(const SettingsSection &options) {
    char text[4];
    if (!ReadSetting(options, kFirstDayKey, L"", text, sizeof text) || text[0] == '\0' ||
        text[1] != '\0')
        return FirstDay::region;
    return text[0] == '1' ? FirstDay::monday : text[0] == '0' ? FirstDay::sunday : FirstDay::region;
}

Choices LoadChoices(const wchar_t *file) {
    SettingsSection options;
    ReadSection(file, kSection, &options);
    Choices choices = {};
    choices.firstDay = ReadFirstDay(options);
    choices.weekNumbers = ReadChoice(options, kWeekNumbersKey);
    choices.keepOnTop = ReadChoice(options, kOnTopKey);
    return choices;
}

int FirstWeekday(const Choices &choices, int regionDay) {
    switch (choices.firstDay) {
    case FirstDay::monday:
        return 1;
    case FirstDay::sunday:
        return 0;
    case FirstDay::region:
        break;
    }
    return regionDay;
}

void ToggleMondayFirst(Choices &choices, int regionDay) {
    if (FirstWeekday(choices, regionDay) != 1) {
        choices.firstDay = FirstDay::monday;
        WriteChoice(kFirstDayKey, true);
    } else if (regionDay == 1) {
        choices.firstDay = FirstDay::sunday;
        WriteChoice(kFirstDayKey, false);
    } else {
        // Without the key the region decides again, also after the user
        // changes it.
        choices.firstDay = FirstDay::region;
        WriteSetting(kSection, kFirstDayKey, nullptr);
    }
}

void ToggleChoice(Choices &choices, bool Choices::*choice) {
    choices.*choice = !(choices.*choice);
    WriteChoice(choice == &Choices::keepOnTop ? kOnTopKey : kWeekNumbersKey, choices.*choice);
}

void ApplyKeepOnTop(HWND window, bool onTop, Tips *tips) {
    HWND band = onTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Wine (8) first lifts the windows the calendar owns, its tooltip, and
    // then leaves the calendar below them, outside the topmost band. Without
    // the tooltip, which comes back at the next move of the pointer, it
    // moves. Windows lifts the calendar with what it owns, and never gets here.
    bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost != onTop && tips != nullptr) {
        DropButtonTips(tips);
        SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

GridOptions ChosenGrid(const Choices &choices, int regionDay, const FrameGeometry &frames) {
    return {FirstWeekday(choices, regionDay), frames.added[1] > 0};
}
