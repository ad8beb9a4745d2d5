#pragma once

// The preview window: the page pictures of a preview output, with zooming, paging and the way
// back to the print dialog to print. The zoom is kept in the user settings ("PreviewProzent" of
// section "KVR_Printer") from one preview to the next.

#include "controls/forms.h"
#include "reports/report_device.h"

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QPicture;
class QScrollArea;
class QToolButton;

namespace marqor {

// The page image: one recorded page picture drawn into whatever size the zoom gives it.
class TKvrPreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit TKvrPreviewImage(QWidget* parent = nullptr);
    void SetPicture(const QPicture* picture, QSize natural);
    const QPicture* Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPicture* picture_ = nullptr;
    QSize natural_;
};

class TKvrPreviewDlg : public TKvrDialog {
    Q_OBJECT
public:
    explicit TKvrPreviewDlg(QWidget* parent = nullptr);
    ~TKvrPreviewDlg() override;

    // Takes the pages (which stay the report's) and shows the first one.
    void SetPages(const TPreviewList& pages);
    void ShowPage(int index);
    void SetZoom(std::int32_t width, std::int32_t height);
    void UpdatePreviewButtons();

    void ZoomIn();
    void ZoomOut();
    void Zoom100();
    void ZoomPageWidth();
    void FullPage();
    void FirstPage() { ShowPage(0); }
    void PrevPage() { ShowPage(CurrentPage - 1); }
    void NextPage() { ShowPage(CurrentPage + 1); }
    void LastPage() { ShowPage(PageCount() - 1); }
    int PageCount() const { return int(pages_.size()); }

    int CurrentPage = -1;
    std::int32_t BaseWidth = 0;
    std::int32_t BaseHeight = 0;
    std::int32_t ZoomWidth = 0;
    std::int32_t ZoomHeight = 0;

    QWidget* pnlCommands;
    QToolButton* btnPrint;
    QToolButton* btnCancel;
    QToolButton* btnZoomIn;
    QToolButton* btnZoomOut;
    QToolButton* btnZoom100;
    QToolButton* btnZoomPage;
    QToolButton* btnFullPage;
    QLabel* lblProzentInfo;
    QToolButton* btnFirst;
    QToolButton* btnPrev;
    QToolButton* btnNext;
    QToolButton* btnLast;
    QLabel* lblPageNr;
    QScrollArea* ScrollBox;
    QWidget* ScrollContent;
    TKvrPreviewImage* imgPreview;
    QWidget* pnlRight;
    QWidget* pnlBottom;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The form section gives the tool buttons their hints; the buttons keep their glyphs.
    void AfterTranslation() override;

private:
    // The keys of the preview, before any of its controls sees them; true when handled.
    bool PreviewKey(QKeyEvent* event);
    QToolButton* AddButton(const char* name, const QString& text, const char* hint);

    TPreviewList pages_;
    std::vector<QToolButton*> buttons_;
    bool firstShow_ = true;
};

// Shows the preview window modally for the pages: QDialog::Accepted when the user asked to
// print from it.
int ShowPreview(std::string_view caption, const TPreviewList& pages, QWidget* parent = nullptr);

} // namespace marqor
