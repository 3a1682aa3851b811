#include "ui/DialogResources.h"

#include <initializer_list>

#include "diag/ErrorReport.h"
#include "resources/ResourceIds.h"

DialogResources gResources{};

namespace {

struct Loader
{
    HINSTANCE instance;
    bool complete;

    template <typename Handle> Handle Load(int id, UINT type, const char* what)
    {
        // Icons are shared: the system frees them with the module, and the static controls that show them
        // may keep them past the dialog.
        const UINT flags = type == IMAGE_BITMAP ? 0 : LR_DEFAULTSIZE | LR_SHARED;
        HANDLE image = LoadImageA(instance, MAKEINTRESOURCEA(id), type, 0, 0, flags);
        if (image == nullptr) {
            ReportError(ErrorSite{__LINE__, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected,
                        "Could not load %s %d", what, id);
            complete = false;
        }
        return static_cast<Handle>(image);
    }
    HBITMAP Bitmap(int id) { return Load<HBITMAP>(id, IMAGE_BITMAP, "bitmap"); }
    HICON Icon(int id) { return Load<HICON>(id, IMAGE_ICON, "icon"); }
    HCURSOR Cursor(int id) { return Load<HCURSOR>(id, IMAGE_CURSOR, "cursor"); }
};

void LookUpDesktopComposition()
{
    // Only some systems have the composition query; its absence is no failure.
    gResources.dwmLibrary = LoadLibraryA("dwmapi.dll");
    if (gResources.dwmLibrary != nullptr)
        gResources.isCompositionEnabled = reinterpret_cast<DwmIsCompositionEnabledProc>(
            reinterpret_cast<void*>(GetProcAddress(gResources.dwmLibrary, "DwmIsCompositionEnabled")));
}

} // namespace

bool InitDialogResources(HINSTANCE instance)
{
    gResources = DialogResources{};
    LookUpDesktopComposition();
    gResources.version.dwOSVersionInfoSize = sizeof(gResources.version);
    GetVersionExA(&gResources.version);
    gResources.windowBrush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));

    Loader load{instance, gResources.windowBrush != nullptr};
    gResources.zoomIn = load.Bitmap(IDB_ZOOM_IN);
    gResources.zoomInPressed = load.Bitmap(IDB_ZOOM_IN_PRESSED);
    gResources.zoomInDisabled = load.Bitmap(IDB_ZOOM_IN_DISABLED);
    gResources.zoomOut = load.Bitmap(IDB_ZOOM_OUT);
    gResources.zoomOutPressed = load.Bitmap(IDB_ZOOM_OUT_PRESSED);
    gResources.zoomOutDisabled = load.Bitmap(IDB_ZOOM_OUT_DISABLED);
    gResources.hand = load.Icon(IDI_HAND_TOOL);
    gResources.handSelected = load.Icon(IDI_HAND_TOOL_SELECTED);
    gResources.zoom = load.Icon(IDI_ZOOM_TOOL);
    gResources.zoomSelected = load.Icon(IDI_ZOOM_TOOL_SELECTED);
    gResources.remove = load.Icon(IDI_DELETE_TOOL);
    gResources.removeSelected = load.Icon(IDI_DELETE_TOOL_SELECTED);
    gResources.openHand = load.Cursor(IDR_CURSOR_OPEN_HAND);
    gResources.closedHand = load.Cursor(IDR_CURSOR_CLOSED_HAND);
    gResources.zoomInCursor = load.Cursor(IDR_CURSOR_ZOOM_IN);
    gResources.zoomOutCursor = load.Cursor(IDR_CURSOR_ZOOM_OUT);
    gResources.zoomLimit = load.Cursor(IDR_CURSOR_ZOOM_LIMIT);
    gResources.deleteCursor = load.Cursor(IDR_CURSOR_DELETE);
    gResources.restoreCursor = load.Cursor(IDR_CURSOR_RESTORE);
    gResources.link = load.Cursor(IDR_CURSOR_LINK);

    gResources.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    if (gResources.accelerators == nullptr) {
        ReportError(ErrorSite{__LINE__, MessageKind::System, GetLastError()}, kStyleError, kCaptionUnexpected,
                    "Could not load the accelerator table");
        load.complete = false;
    }
    return load.complete;
}

void FreeDialogResources()
{
    for (HBITMAP bitmap : {gResources.zoomIn, gResources.zoomInPressed, gResources.zoomInDisabled, gResources.zoomOut,
                           gResources.zoomOutPressed, gResources.zoomOutDisabled}) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
    }
    if (gResources.windowBrush != nullptr)
        DeleteObject(gResources.windowBrush);
    if (gResources.dwmLibrary != nullptr)
        FreeLibrary(gResources.dwmLibrary);
    // The accelerator table is a resource of the module and goes with it.
    gResources = DialogResources{};
}
