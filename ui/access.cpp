#include "access.h"

#include <new>

#include "acclib.h"
#include "daytips.h"
#include "focus.h"
#include "resource.h"

static const int kAccessFrames[kPanels] = {IDC_PREVFRAME, IDC_CURFRAME, IDC_NEXTFRAME};

// One thing a reader can ask about: the client (panel -1), a month's table
// (day 0) or a day's cell.
struct Item {
    int panel;
    int day;
};

static MonthOfYear MonthOfPanel(const CalendarView &view, int panel) {
    return panel == 0   ? PrevNeighbour(view)
           : panel == 2 ? NextNeighbour(view)
                        : MonthOfYear{view.shownMonth, view.shownYear};
}

static CalendarDate DateOf(const CalendarReading &reading, Item item) {
    MonthOfYear month = MonthOfPanel(*reading.view, item.panel);
    return {item.day, month.month, month.year};
}

static int DaysOfPanel(const CalendarReading &reading, int panel) {
    MonthOfYear month = MonthOfPanel(*reading.view, panel);
    return DaysInMonth(month.month + 1, month.year);
}

static bool Valid(const CalendarReading &reading, Item item) {
    if (item.panel == -1)
        return item.day == 0;
    return item.panel >= 0 && item.panel < kPanels && item.day >= 0 &&
           item.day <= DaysOfPanel(reading, item.panel);
}

// The id an event names a day by, among the client's children: 1-3 are the
// tables.
static LONG EventChildId(Item item) { return (item.panel + 1) * 100 + item.day; }

static bool HasKeyboard(const CalendarReading &reading) { return GetFocus() == reading.dialog; }

static Item FocusedItem(const CalendarReading &reading) {
    const CalendarView &view = *reading.view;
    return {PanelOfDay(view, view.focus), view.focus.day};
}

static GridOptions GridOf(const CalendarReading &reading) {
    return ChosenGrid(*reading.choices, reading.region->firstWeekday, *reading.frames);
}

static RECT ScreenRectOf(const CalendarReading &reading, Item item) {
    RECT r = {};
    if (item.panel < 0) {
        GetClientRect(reading.dialog, &r);
        MapWindowPoints(reading.dialog, nullptr, reinterpret_cast<POINT *>(&r), 2);
        return r;
    }
    HWND frame = GetDlgItem(reading.dialog, kAccessFrames[item.panel]);
    if (item.day == 0) {
        GetWindowRect(frame, &r);
        return r;
    }
    MonthOfYear month = MonthOfPanel(*reading.view, item.panel);
    GridOptions grid = GridOf(reading);
    bool middle = item.panel == 1;
    PanelRect cell = GridCell(middle ? PanelKind::current : PanelKind::side,
                              middle ? reading.frames->current : reading.frames->side, grid,
                              CellOfDay(item.day, month.month, month.year, grid.firstWeekday));
    r = {cell.left, cell.top, cell.right, cell.bottom};
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

// The deepest item under a point of the screen; false off the client.
static bool ItemAt(const CalendarReading &reading, POINT screen, Item *item) {
    POINT at = screen;
    RECT client;
    GetClientRect(reading.dialog, &client);
    if (ScreenToClient(reading.dialog, &at) == FALSE || PtInRect(&client, at) == FALSE)
        return false;
    *item = {-1, 0};
    int cell = CellAtPoint(reading.dialog, *reading.frames, GridOf(reading), at);
    if (cell >= 0) {
        int panel = cell / kGridCells;
        MonthOfYear month = MonthOfPanel(*reading.view, panel);
        *item = {panel, DayInCell(cell % kGridCells, month.month, month.year,
                                  GridOf(reading).firstWeekday)};
        if (item->day > 0)
            return true;
    }
    for (int panel = 0; panel < kPanels; ++panel) {
        RECT frame = ScreenRectOf(reading, {panel, 0});
        if (PtInRect(&frame, screen) != FALSE)
            *item = {panel, 0};
    }
    return true;
}

// A neighbour among the three months shown; false where there is none.
static bool Neighbour(const CalendarReading &reading, Item from, LONG direction, Item *to) {
    const CalendarView &view = *reading.view;
    if (from.panel < 0) {
        *to = {direction == NAVDIR_FIRSTCHILD ? 0 : 2, 0};
        return direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
    }
    if (from.day == 0) {
        bool child = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
        bool later = direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT;
        bool earlier = direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT;
        *to = child ? Item{from.panel,
                           direction == NAVDIR_FIRSTCHILD ? 1 : DaysOfPanel(reading, from.panel)}
                    : Item{from.panel + (later ? 1 : -1), 0};
        return child || ((later || earlier) && to->panel >= 0 && to->panel < kPanels);
    }
    int days = 0;
    switch (direction) {
    case NAVDIR_NEXT:
    case NAVDIR_RIGHT:
        days = 1;
        break;
    case NAVDIR_PREVIOUS:
    case NAVDIR_LEFT:
        days = -1;
        break;
    case NAVDIR_DOWN:
        days = 7;
        break;
    case NAVDIR_UP:
        days = -7;
        break;
    default:
        return false;
    }
    CalendarDate date = DateOf(reading, from);
    long long year = 0;
    int monthNumber = 0;
    DateOfDayNumber(DayNumber(date.year, date.month + 1, date.day) + days, &year, &monthNumber,
                    &date.day);
    if (year < view.shownYear - 1 || year > view.shownYear + 1)
        return false;
    date.month = monthNumber - 1;
    date.year = static_cast<int>(year);
    *to = {PanelOfDay(view, date), date.day};
    return to->panel >= 0;
}

// An object for each item a reader holds; made when asked for and gone with
// the reader's last reference. A plain struct: the platform asks for the
// interface's virtual functions, and nothing else here is a class.
struct AccessibleItem : IAccessible {
    LONG references;
    const CalendarReading *reading;
    Item item;

    // From the item and a child id the reader names: false for none.
    bool Target(VARIANT child, Item *target) {
        if (child.vt != VT_I4)
            return false;
        LONG id = child.lVal;
        if (id == CHILDID_SELF)
            *target = item;
        else if (item.panel < 0)
            *target = id <= kPanels ? Item{id - 1, 0} : Item{id / 100 - 1, id % 100};
        else if (item.day == 0)
            *target = {item.panel, id};
        else
            return false;
        return Valid(*reading, *target);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID id, void **out) override {
        return QueryAccessible(this, id, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --references;
        if (left == 0)
            HeapFree(GetProcessHeap(), 0, this);
        return left;
    }

    // IDispatch: no scripting names.
    STDMETHODIMP GetTypeInfoCount(UINT *count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo ** /*info*/) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID /*id*/, LPOLESTR * /*names*/, UINT /*count*/, LCID /*locale*/,
                               DISPID * /*ids*/) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID /*member*/, REFIID /*id*/, LCID /*locale*/, WORD /*flags*/,
                        DISPPARAMS * /*parameters*/, VARIANT * /*result*/,
                        EXCEPINFO * /*exception*/, UINT * /*wrong*/) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP get_accParent(IDispatch **parent) override;
    STDMETHODIMP get_accChildCount(LONG *count) override {
        *count = item.panel < 0 ? kPanels : item.day == 0 ? DaysOfPanel(*reading, item.panel) : 0;
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch **out) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR *name) override;
    STDMETHODIMP get_accValue(VARIANT /*child*/, BSTR *value) override {
        *value = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR *description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *role) override {
        Item target;
        if (!Target(child, &target))
            return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = target.panel < 0  ? ROLE_SYSTEM_CLIENT
                     : target.day == 0 ? ROLE_SYSTEM_TABLE
                                       : ROLE_SYSTEM_CELL;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT *state) override;
    STDMETHODIMP get_accHelp(VARIANT /*child*/, BSTR *help) override {
        *help = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_accHelpTopic(BSTR *file, VARIANT /*child*/, LONG * /*topic*/) override {
        *file = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT /*child*/, BSTR *keys) override {
        *keys = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_accFocus(VARIANT *focus) override;
    STDMETHODIMP get_accSelection(VARIANT *selection) override { return get_accFocus(selection); }
    STDMETHODIMP get_accDefaultAction(VARIANT /*child*/, BSTR *action) override {
        *action = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP accSelect(LONG /*flags*/, VARIANT /*child*/) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                             VARIANT child) override {
        Item target;
        if (!Target(child, &target))
            return E_INVALIDARG;
        RECT r = ScreenRectOf(*reading, target);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT *end) override;
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT *found) override;
    STDMETHODIMP accDoDefaultAction(VARIANT /*child*/) override { return DISP_E_MEMBERNOTFOUND; }
    STDMETHODIMP put_accName(VARIANT /*child*/, BSTR /*name*/) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT /*child*/, BSTR /*value*/) override { return E_NOTIMPL; }
};

static AccessibleItem *MakeItem(const CalendarReading *reading, Item item) {
    void *memory = HeapAlloc(GetProcessHeap(), 0, sizeof(AccessibleItem));
    if (memory == nullptr)
        return nullptr;
    auto *made = new (memory) AccessibleItem;
    made->references = 1;
    made->reading = reading;
    made->item = item;
    return made;
}

// The item itself as CHILDID_SELF, another one as its object; E_OUTOFMEMORY
// where none could be made.
static HRESULT GiveItem(const AccessibleItem &asker, Item item, VARIANT *out) {
    if (item.panel == asker.item.panel && item.day == asker.item.day) {
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
    }
    AccessibleItem *made = MakeItem(asker.reading, item);
    if (made == nullptr)
        return E_OUTOFMEMORY;
    out->vt = VT_DISPATCH;
    out->pdispVal = made;
    return S_OK;
}

STDMETHODIMP AccessibleItem::get_accParent(IDispatch **parent) {
    *parent = nullptr;
    if (item.panel < 0) {
        const AccessLibrary *library = LoadAccessLibrary();
        return library->createStdObject(reading->dialog, OBJID_WINDOW, __uuidof(IDispatch),
                                        reinterpret_cast<void **>(parent));
    }
    *parent = MakeItem(reading, {item.day == 0 ? -1 : item.panel, 0});
    return *parent != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP AccessibleItem::get_accChild(VARIANT child, IDispatch **out) {
    Item target;
    *out = nullptr;
    if (!Target(child, &target) || (child.vt == VT_I4 && child.lVal == CHILDID_SELF))
        return E_INVALIDARG;
    *out = MakeItem(reading, target);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP AccessibleItem::get_accName(VARIANT child, BSTR *name) {
    Item target;
    *name = nullptr;
    if (!Target(child, &target))
        return E_INVALIDARG;
    wchar_t text[1024];
    if (target.panel < 0) {
        GetWindowTextW(reading->dialog, text, 256);
    } else if (target.day == 0) {
        MonthOfYear month = MonthOfPanel(*reading->view, target.panel);
        RegionMonthYear(*reading->region, month.month, month.year, text, 256);
    } else {
        DayName(*reading->events, DateOf(*reading, target), reading->view->today, text, 1024);
    }
    return GiveString(text, name);
}

STDMETHODIMP AccessibleItem::get_accDescription(VARIANT child, BSTR *description) {
    Item target;
    *description = nullptr;
    if (!Target(child, &target))
        return E_INVALIDARG;
    if (target.day == 0)
        return S_FALSE;
    wchar_t text[128];
    DayDescription(DateOf(*reading, target), reading->view->today, text, 128);
    return GiveString(text, description);
}

STDMETHODIMP AccessibleItem::get_accState(VARIANT child, VARIANT *state) {
    Item target;
    if (!Target(child, &target))
        return E_INVALIDARG;
    state->vt = VT_I4;
    state->lVal = STATE_SYSTEM_FOCUSABLE;
    if (target.day == 0) {
        state->lVal = target.panel < 0 && HasKeyboard(*reading) ? STATE_SYSTEM_FOCUSED : 0;
        return S_OK;
    }
    state->lVal |= STATE_SYSTEM_SELECTABLE;
    Item focused = FocusedItem(*reading);
    if (focused.panel == target.panel && focused.day == target.day && HasKeyboard(*reading))
        state->lVal |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
    return S_OK;
}

// The focused day, where it is this item or in it and the days have the
// keyboard.
STDMETHODIMP AccessibleItem::get_accFocus(VARIANT *focus) {
    focus->vt = VT_EMPTY;
    Item focused = FocusedItem(*reading);
    bool inside = item.panel < 0 ||
                  (item.panel == focused.panel && (item.day == 0 || item.day == focused.day));
    if (!HasKeyboard(*reading) || !inside)
        return S_FALSE;
    return GiveItem(*this, focused, focus);
}

STDMETHODIMP AccessibleItem::accNavigate(LONG direction, VARIANT start, VARIANT *end) {
    Item from;
    Item to;
    end->vt = VT_EMPTY;
    if (!Target(start, &from))
        return E_INVALIDARG;
    if (!Neighbour(*reading, from, direction, &to))
        return S_FALSE;
    return GiveItem(*this, to, end);
}

// What is under the point, where it is this item or in it.
STDMETHODIMP AccessibleItem::accHitTest(LONG x, LONG y, VARIANT *found) {
    found->vt = VT_EMPTY;
    Item under;
    if (!ItemAt(*reading, {x, y}, &under))
        return S_FALSE;
    bool inside =
        item.panel < 0 || (item.panel == under.panel && (item.day == 0 || item.day == under.day));
    return inside ? GiveItem(*this, under, found) : S_FALSE;
}

LRESULT AnswerGetObject(const CalendarReading *reading, WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT)
        return 0;
    const AccessLibrary *library = LoadAccessLibrary();
    AccessibleItem *client = library != nullptr ? MakeItem(reading, {-1, 0}) : nullptr;
    if (client == nullptr)
        return 0;
    LRESULT answer = library->resultFromObject(__uuidof(IAccessible), flags, client);
    client->Release();
    return answer;
}

void AnnounceFocus(const CalendarReading &reading) {
    Item focused = FocusedItem(reading);
    if (focused.panel >= 0 && HasKeyboard(reading))
        NotifyWinEvent(EVENT_OBJECT_FOCUS, reading.dialog, OBJID_CLIENT, EventChildId(focused));
}

void AnnounceView(const CalendarReading &reading) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, reading.dialog, OBJID_CLIENT, CHILDID_SELF);
    for (LONG table = 1; table <= kPanels; ++table)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, reading.dialog, OBJID_CLIENT, table);
    AnnounceFocus(reading);
}
