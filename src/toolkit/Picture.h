#pragma once
// The picture control: a window that shows a Windows bitmap, an icon or a metafile, chosen by the
// file's extension, stretched over its whole client area.

#include <windows.h>

#include <string>

#include "toolkit/Controls.h"
#include "util/Handles.h"

namespace toolkit {

class Picture : public CustomControl {
public:
    // Registers the window class in `instance` unless it is there already.
    static void RegisterWindowClass(HINSTANCE instance);
    [[nodiscard]] static const wchar_t* WindowClassName() noexcept { return L"SetupPicture"; }

    // Loads .bmp, .ico, .emf or .wmf (letter case ignored) and shows it. Throws Error when the
    // file cannot be read or its extension is not one of these; the picture shown stays then.
    void LoadFromFile(const std::string& path);
    [[nodiscard]] bool Empty() const noexcept;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws the client area into `target` through an off-screen copy, so it never flickers.
    void Render(HDC target) const;
    void Draw(HDC dc, const RECT& area) const;

    GdiObject bitmap_;
    SIZE bitmapSize_{};
    IconHandle icon_;
    EnhMetaFile metafile_;
};

}  // namespace toolkit
