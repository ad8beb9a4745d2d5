#include "report_dialogs/print_rules.h"

#include "reports/report_math.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace marqor {

int StatusWindowHeight(int lines, bool progressBar, bool cancelButton) {
    lines = std::clamp(lines, 1, 3);
    return 20 * lines + (progressBar ? 90 : 57) + (cancelButton ? 50 : 0);
}

int StatusProgressTop(int lines) {
    return 20 * std::clamp(lines, 1, 3) + 30;
}

TZoomSize ZoomInStep(TZoomSize size) {
    return {MulDiv(size.Width, 141421, 100000), MulDiv(size.Height, 141421, 100000)};
}

TZoomSize ZoomOutStep(TZoomSize size) {
    return {MulDiv(size.Width, 100000, 141421), MulDiv(size.Height, 100000, 141421)};
}

std::string ZoomPercentText(std::int32_t width, std::int32_t baseWidth) {
    if (width < 1 || baseWidth < 1)
        return {};
    return std::to_string(MulDiv(width, 100, baseWidth)) + "%";
}

TZoomSize StoredZoom(std::int32_t baseWidth, std::int32_t baseHeight, int percent) {
    if (percent < 1)
        percent = 100;
    return {MulDiv(baseWidth, percent, 100), MulDiv(baseHeight, percent, 100)};
}

namespace {

TZoomSize Scaled(TZoomSize image, std::int32_t d) {
    if (d <= 0)
        return image;
    return {MulDiv(image.Width, 100000, d), MulDiv(image.Height, 100000, d)};
}

} // namespace

TZoomSize PageWidthZoom(TZoomSize image, std::int32_t boxWidth, std::int32_t boxHeight) {
    if (image.Width < 1 || boxWidth <= 36)
        return image;
    std::int32_t d = MulDiv(image.Width, 100000, boxWidth - 20);
    if (d > 0 && MulDiv(image.Height, 100000, d) > boxHeight - 20)
        d = MulDiv(image.Width, 100000, boxWidth - 36);
    return Scaled(image, d);
}

TZoomSize FullPageZoom(TZoomSize image, std::int32_t windowHeight) {
    if (image.Height < 1 || windowHeight <= 77)
        return image;
    return Scaled(image, MulDiv(image.Height, 100000, windowHeight - 77));
}

std::int32_t FullPageWindowHeight(std::int32_t screenHeight) {
    return screenHeight == 480 ? 440 : MulDiv(screenHeight, 4, 5);
}

std::int32_t FullPageWindowWidth(std::int32_t imageWidth) {
    return imageWidth >= 370 ? imageWidth + 30 : 400;
}

bool CanZoomIn(TZoomSize image) {
    return image.Width <= 23000 && image.Height <= 23000;
}

bool CanZoomOut(TZoomSize image, std::int32_t boxWidth, std::int32_t boxHeight) {
    return boxWidth < image.Width + 20 || boxHeight < image.Height + 20;
}

std::string ChangeFileExtension(std::string_view fileName, std::string_view extension) {
    const auto slash = fileName.find_last_of('/');
    const auto dot = fileName.find_last_of('.');
    std::string result(fileName);
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        result.erase(dot);
    result += extension;
    return result;
}

std::string FolderPartOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string InitialSaveFolder(std::string_view storedFolder, std::string_view fallback) {
    if (storedFolder.empty())
        return std::string(fallback);
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::path(storedFolder), error))
        return std::string(storedFolder);
    return std::string(fallback);
}

} // namespace marqor
