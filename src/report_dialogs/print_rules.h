#pragma once

// The arithmetic and the file-name rules of the print dialog, the status window and the preview,
// kept apart from the windows so that a plain test reaches them.

#include <cstdint>
#include <string>
#include <string_view>

namespace marqor {

// --- status window

// Client height of the status window with `lines` text lines (1 .. 3): 20 per line + 57, plus
// 33 with the progress bar, plus 50 with the Cancel button.
int StatusWindowHeight(int lines, bool progressBar, bool cancelButton);
// Top of the progress bar: 20 per line + 30.
int StatusProgressTop(int lines);

// --- preview

struct TZoomSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    friend bool operator==(const TZoomSize&, const TZoomSize&) = default;
};

// One step up or down by the square root of two, MulDiv(side, 141421, 100000) and back.
TZoomSize ZoomInStep(TZoomSize size);
TZoomSize ZoomOutStep(TZoomSize size);
// The zoom percent shown: MulDiv(width, 100, baseWidth); empty below a width of 1.
std::string ZoomPercentText(std::int32_t width, std::int32_t baseWidth);
// The stored zoom applied to the natural size; a percent below 1 counts as 100.
TZoomSize StoredZoom(std::int32_t baseWidth, std::int32_t baseHeight, int percent);
// Fits the page width into the scroll box, leaving room for a vertical scroll bar when the
// page is then higher than the box.
TZoomSize PageWidthZoom(TZoomSize image, std::int32_t boxWidth, std::int32_t boxHeight);
// The whole page in a window of that height.
TZoomSize FullPageZoom(TZoomSize image, std::int32_t windowHeight);
// 440 on a screen 480 high, else four fifths of the screen height.
std::int32_t FullPageWindowHeight(std::int32_t screenHeight);
// The image width + 30 for images at least 370 wide, else 400.
std::int32_t FullPageWindowWidth(std::int32_t imageWidth);
// Zooming in stops at 23000 pixels on either side.
bool CanZoomIn(TZoomSize image);
// Zooming out makes sense while the image does not fit the box with 20 pixels to spare.
bool CanZoomOut(TZoomSize image, std::int32_t boxWidth, std::int32_t boxHeight);

// --- output files

// The name with its extension (from the last "." of the file-name part on) replaced by
// `extension`, or with it appended when the name has none.
std::string ChangeFileExtension(std::string_view fileName, std::string_view extension);
// The folder part of a path including the trailing "/", empty for a bare file name.
std::string FolderPartOf(std::string_view path);
// The folder a save dialog opens in: the stored folder when it exists, else the fallback.
std::string InitialSaveFolder(std::string_view storedFolder, std::string_view fallback);

} // namespace marqor
