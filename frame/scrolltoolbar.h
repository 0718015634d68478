#pragma once

#include "controls/xtoolbar.h"

#include <functional>

class CLeftForm;
class CXEdit;
class CXSliderCtrl;
class QAction;

// The main window's page toolbar: the page view's and the navigation
// commands' buttons over the toolbar picture, then the page slider (where
// the current page lies in the current volume; letting it go shows the page
// it points at) and the read-only page box with the page indicator.
class CSCrollToolBar : public CXToolBar {
    Q_OBJECT

public:
    static constexpr int ImageCount = 10;
    static constexpr int ImageSize = 40;
    static constexpr int SliderWidth = 300;
    static constexpr int PageBoxWidth = 200;

    explicit CSCrollToolBar(QWidget* pParent = nullptr);

    // Lays the toolbar out: the buttons of the commands that fnAction
    // gives, by command number, then the slider and the page box. False
    // when a command has no action.
    bool Create(const std::function<QAction*(int)>& fnAction);
    // The panel whose current volume the slider moves through.
    void SetLeftForm(CLeftForm* pLeftForm) { m_pLeftForm = pLeftForm; }

    CXSliderCtrl* Slider() const { return m_pSlider; }
    CXEdit* PageBox() const { return m_pPageBox; }
    // The slider's range (redrawn) and position, and the page box's text.
    void SetPageRange(int nLow, int nHigh);
    void SetPagePosition(int nPage);
    void SetPageIndicator(const QString& strText);

private:
    // The end of a slider move by mouse, key or wheel: shows page nPage of
    // the panel's current volume.
    void OnSliderEnd(int nPage);
    void OnSliderAction(int nAction);
    void ShowSliderCursor();

    CXSliderCtrl* m_pSlider = nullptr;
    CXEdit* m_pPageBox = nullptr;
    CLeftForm* m_pLeftForm = nullptr;
};
