#include "theme.h"

// "Choose your app mode": 0 is dark, 1 or nothing at all light.
static bool AppsAreDark() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD light = 1;
    DWORD type = 0;
    DWORD size = sizeof light;
    LONG status = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type,
                                   reinterpret_cast<BYTE *>(&light), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && light == 0;
}

static bool HighContrastOn() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Palette ReadPalette() {
    SystemColours system = {GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_GRAYTEXT),
                            GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT),
                            GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
    return ChoosePalette(AppsAreDark(), HighContrastOn(), system);
}

void FollowTheme(HWND dialog, Palette *palette) {
    Palette now = ReadPalette();
    if (SamePalette(now, *palette))
        return;
    *palette = now;
    DressControls(dialog, now);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// A frame dressed dark keeps the system's window procedure, which this one
// hands everything else to, in its user data, and its edge colour, one more
// than the colour, in a property. (The procedure read back from a window
// need not be the one set, so the user data, not a comparison, says whether
// it is dressed.) A property costs a round trip to Wine's server, the user
// data none: every message a frame gets comes here, its paint alone needs
// the colour.
static const wchar_t kFrameEdge[] = L"Trical.FrameEdge";

// Where the system draws a group box's edge: half a line down, for the
// caption our frames never have.
static void PaintFrameEdge(HWND frame) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(frame, &paint);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(frame, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    RECT edge;
    GetClientRect(frame, &edge);
    edge.top += metrics.tmHeight / 2 - 1;
    auto edgeColour = reinterpret_cast<LONG_PTR>(GetPropW(frame, kFrameEdge)) - 1;
    SetDCBrushColor(dc, static_cast<COLORREF>(edgeColour));
    FrameRect(dc, &edge, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    EndPaint(frame, &paint);
}

static LRESULT CALLBACK DarkFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    auto system = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(frame, GWLP_USERDATA));
    if (message == WM_PAINT) {
        PaintFrameEdge(frame);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(system));
        SetWindowLongPtrW(frame, GWLP_USERDATA, 0);
        RemovePropW(frame, kFrameEdge);
    }
    return CallWindowProcW(system, frame, message, wParam, lParam);
}

static void DressFrame(HWND frame, const Palette &palette) {
    LONG_PTR system = GetWindowLongPtrW(frame, GWLP_USERDATA);
    if (palette.dark) {
        auto edge = static_cast<LONG_PTR>(palette.edge) + 1;
        SetPropW(frame, kFrameEdge, reinterpret_cast<HANDLE>(edge));
        if (system == 0) {
            SetWindowLongPtrW(frame, GWLP_USERDATA, GetWindowLongPtrW(frame, GWLP_WNDPROC));
            SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DarkFrameProc));
        }
    } else if (system != 0) {
        SetWindowLongPtrW(frame, GWLP_WNDPROC, system);
        SetWindowLongPtrW(frame, GWLP_USERDATA, 0);
        RemovePropW(frame, kFrameEdge);
    }
}

// A push button's own kind (default or not) is kept in its user data while
// it is owner-drawn, one more than the style, so that 0 means never dressed.
// BM_SETSTYLE, not the style itself, so that the button knows of the change.
static void DressButton(HWND button, LONG_PTR style, const Palette &palette) {
    LONG_PTR kind = style & BS_TYPEMASK;
    LONG_PTR own = GetWindowLongPtrW(button, GWLP_USERDATA);
    if (palette.dark && kind != BS_OWNERDRAW) {
        SetWindowLongPtrW(button, GWLP_USERDATA, kind + 1);
        SendMessageW(button, BM_SETSTYLE, BS_OWNERDRAW, FALSE);
    } else if (!palette.dark && kind == BS_OWNERDRAW && own != 0) {
        SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>(own - 1), FALSE);
    }
}

static BOOL CALLBACK DressControl(HWND control, LPARAM palette) {
    wchar_t name[8] = L"";
    GetClassNameW(control, name, 8);
    if (lstrcmpiW(name, L"Button") != 0)
        return TRUE;
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    LONG_PTR kind = style & BS_TYPEMASK;
    const auto &chosen = *reinterpret_cast<const Palette *>(palette);
    if (kind == BS_GROUPBOX)
        DressFrame(control, chosen);
    else if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW)
        DressButton(control, style, chosen);
    return TRUE;
}

void DressControls(HWND dialog, const Palette &palette) {
    EnumChildWindows(dialog, DressControl, reinterpret_cast<LPARAM>(&palette));
}

// The DC brush carries the colour with the DC it is used on, so there is
// no brush of ours to keep alive between messages.
INT_PTR ColourControl(HDC dc, const Palette &palette) {
    if (!palette.dark)
        return FALSE;
    SetTextColor(dc, palette.text);
    SetBkColor(dc, palette.ground);
    SetDCBrushColor(dc, palette.ground);
    return reinterpret_cast<INT_PTR>(GetStockObject(DC_BRUSH));
}

// Flat, with an edge; pressed it darkens and its text moves a pixel down
// and right, as the system's buttons do; and it keeps the focus rectangle.
INT_PTR DrawButton(const DRAWITEMSTRUCT *item, const Palette &palette) {
    if (!palette.dark || item->CtlType != ODT_BUTTON)
        return FALSE;
    HDC dc = item->hDC;
    RECT box = item->rcItem;
    bool pressed = (item->itemState & ODS_SELECTED) != 0;
    auto *brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, pressed ? palette.pressed : palette.button);
    FillRect(dc, &box, brush);
    // The default button (the About box's OK) keeps its heavier frame, as
    // the system draws it: a line in the text's colour around the edge.
    if (GetWindowLongPtrW(item->hwndItem, GWLP_USERDATA) == BS_DEFPUSHBUTTON + 1) {
        SetDCBrushColor(dc, palette.text);
        FrameRect(dc, &box, brush);
        InflateRect(&box, -1, -1);
    }
    SetDCBrushColor(dc, palette.edge);
    FrameRect(dc, &box, brush);

    wchar_t text[16] = L"";
    GetWindowTextW(item->hwndItem, text, 16);
    HGDIOBJ previousFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(item->hwndItem, WM_GETFONT, 0, 0)));
    int previousMode = SetBkMode(dc, TRANSPARENT);
    COLORREF previousColour = SetTextColor(dc, palette.text);
    RECT label = box;
    if (pressed)
        OffsetRect(&label, 1, 1);
    DrawTextW(dc, text, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);

    if ((item->itemState & ODS_FOCUS) != 0 && (item->itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = {box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
        DrawFocusRect(dc, &focus);
    }
    return TRUE;
}

// The dialog frame around the client area, the ground's colour with an
// edge, where the system would draw its light raised border. Activation
// changes the border's look: -1 asks the system not to paint its own over
// ours, which a themed Windows may do all the same, so ours is painted
// after it.
INT_PTR PaintBorder(HWND dialog, UINT message, WPARAM active, const Palette &palette) {
    if (!palette.dark)
        return FALSE;
    if (message == WM_NCACTIVATE)
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT,
                          DefWindowProcW(dialog, WM_NCACTIVATE, active, -1));
    RECT window;
    GetWindowRect(dialog, &window);
    POINT origin = {window.left, window.top};
    RECT client;
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT *>(&client), 2);
    OffsetRect(&client, -origin.x, -origin.y);
    OffsetRect(&window, -origin.x, -origin.y);
    HDC dc = GetWindowDC(dialog);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    auto *brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, palette.ground);
    FillRect(dc, &window, brush);
    SetDCBrushColor(dc, palette.edge);
    FrameRect(dc, &window, brush);
    ReleaseDC(dialog, dc);
    return TRUE;
}
