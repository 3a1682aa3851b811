#include "ui/OffscreenPainting.h"

#include "ui/DialogLayout.h"
#include "ui/DialogState.h"

bool CreateMemoryBitmap(HWND dialog)
{
    HDC screen = GetDC(dialog);
    if (screen == nullptr)
        return false;
    if (gDialog.memoryDC == nullptr)
        gDialog.memoryDC = CreateCompatibleDC(screen);
    RECT window;
    GetWindowRect(dialog, &window);
    HBITMAP bitmap = gDialog.memoryDC != nullptr
                         ? CreateCompatibleBitmap(screen, window.right - window.left, window.bottom - window.top)
                         : nullptr;
    ReleaseDC(dialog, screen);
    if (bitmap == nullptr)
        return false;
    HBITMAP replaced = static_cast<HBITMAP>(SelectObject(gDialog.memoryDC, bitmap));
    if (gDialog.originalBitmap == nullptr)
        gDialog.originalBitmap = replaced;
    else
        DeleteObject(replaced);
    gDialog.memoryBitmap = bitmap;
    return true;
}

void ReleaseMemoryBitmap()
{
    if (gDialog.memoryDC != nullptr && gDialog.originalBitmap != nullptr)
        SelectObject(gDialog.memoryDC, gDialog.originalBitmap);
    if (gDialog.memoryBitmap != nullptr)
        DeleteObject(gDialog.memoryBitmap);
    if (gDialog.memoryDC != nullptr)
        DeleteDC(gDialog.memoryDC);
    gDialog.memoryDC = nullptr;
    gDialog.memoryBitmap = nullptr;
    gDialog.originalBitmap = nullptr;
}

void PaintThroughMemoryBitmap(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (dc == nullptr)
        return;
    RECT area = paint.rcPaint;
    DPtoLP(dc, reinterpret_cast<POINT*>(&area), 2);
    if (gDialog.memoryDC != nullptr) {
        PaintDialog(dialog, gDialog.memoryDC, area);
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, gDialog.memoryDC, area.left,
               area.top, SRCCOPY);
    } else {
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(dialog, &paint);
    gDialog.paintedOnce = true;
}
