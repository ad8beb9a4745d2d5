#pragma once

// The PDF device of the reports. Positions and sizes are in points (72 per inch); texts are
// placed by their alignment. The document is collected in memory and written to the target
// file only by Finish, in one atomic replacement, so a cancelled or failed output leaves an
// existing file as it was.

#include "reports/report_device.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <memory>
#include <string>

namespace marqor {

class TKvrPdf final : public IKvrPdfDevice {
public:
    // Painter units per point: the writer draws at 720 dots per inch, so that positions given
    // in whole points and text measured in fractions of them keep their precision.
    static constexpr int UnitsPerPoint = 10;

    TKvrPdf();
    ~TKvrPdf() override;

    void SetCreator(std::string_view creator) override { creator_ = creator; }
    void SetTargetFile(std::string_view fileName) override { targetFile_ = fileName; }
    void SetFontName(std::string_view name);
    void SetFontSize(int points);
    void SetPage(TKvrPdfPageSize pageSize, std::int32_t width, std::int32_t height,
                 TKvrOrientation orientation) override;
    void NewPage() override;
    // Points, rounded to the nearest.
    std::int32_t TextWidth(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign align,
                 std::string_view text) override;
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t penWidth) override;
    void Finish() override;
    void Discard() override;
    int PageCount() const override { return pageCount_; }

    TKvrDeviceMetrics Metrics() override { return {72, 72, 0, 0}; }
    void SetFont(const TKvrFont& font) override;
    void ClosePage() override {}
    bool PlacesAlignedText() const override { return true; }

    bool Started() const { return started_; }
    const std::string& Creator() const { return creator_; }
    const std::string& TargetFile() const { return targetFile_; }
    // The page layout SetPage asks for (custom size for the "?" row).
    static QPageLayout PageLayoutOf(TKvrPdfPageSize pageSize, std::int32_t width,
                                    std::int32_t height, TKvrOrientation orientation);

private:
    void Begin();
    void ApplyFont();
    void Stop();

    bool started_ = false;
    std::unique_ptr<QByteArray> bytes_;
    std::unique_ptr<QBuffer> output_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    QPageLayout nextLayout_;
    std::string targetFile_;
    std::string creator_;
    TKvrFont font_;
    QFont qfont_;
    double ascent_ = 0;
    int pageCount_ = 0;
};

} // namespace marqor
