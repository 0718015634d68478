#include "frame/scrolltoolbar.h"

#include "controls/xedit.h"
#include "controls/xsliderctrl.h"
#include "panel/leftform.h"
#include "resources/resource.h"

#include <QAction>
#include <QCursor>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

namespace {

// The toolbar's items, left to right; 0 is a separator. Button images
// 0 to 9 of the strips belong to the buttons in this order.
const int kToolBarItems[] = {ID_SELECT_ALL,  ID_EDIT_COPY, 0,           ID_PRINT,    0,
                             ID_PREV_VOLUME, ID_PREV_PAGE, ID_NEXT_PAGE, ID_NEXT_VOLUME, 0,
                             ID_PREV_HIT,    ID_NEXT_HIT,  0,           ID_APP_ABOUT, 0};

}  // namespace

CSCrollToolBar::CSCrollToolBar(QWidget* pParent) : CXToolBar(pParent) {}

bool CSCrollToolBar::Create(const std::function<QAction*(int)>& fnAction) {
    for (int nId : kToolBarItems) {
        if (nId == 0) {
            addSeparator();
            continue;
        }
        QAction* pAction = fnAction(nId);
        if (!pAction) return false;
        addAction(pAction);
    }
    SetImageSize(ImageSize, ImageSize);
    // The hot images draw their own raised look: no frame of the style's.
    for (QAction* pAction : actions())
        if (QWidget* pButton = widgetForAction(pAction); pButton && !pAction->isSeparator())
            pButton->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 2px; }"));
    SetBackdrop(IDB_TOOLBAR_BACKDROP);
    LoadButtonImages(ImageCount, MaskColour, IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_DISABLED, IDB_TOOLBAR_HOT);

    m_pSlider = new CXSliderCtrl(this);
    m_pSlider->setObjectName(QStringLiteral("pageSlider"));
    m_pSlider->setProperty("controlId", static_cast<int>(IDC_PAGE_SLIDER));
    m_pSlider->setFocusPolicy(Qt::StrongFocus);
    m_pSlider->setTickPosition(QSlider::TicksBelow);
    m_pSlider->setTickInterval(1);
    m_pSlider->setPageStep(1);
    m_pSlider->setFixedWidth(SliderWidth);
    m_pSlider->SetBackdrop(IDB_TOOLBAR_BACKDROP);
    m_pSlider->setRange(0, 0);
    ShowSliderCursor();
    addWidget(m_pSlider);

    m_pPageBox = new CXEdit(this);
    m_pPageBox->setObjectName(QStringLiteral("pageBox"));
    m_pPageBox->setProperty("controlId", static_cast<int>(IDC_PAGE_BOX));
    m_pPageBox->setReadOnly(true);
    m_pPageBox->setFocusPolicy(Qt::ClickFocus);
    m_pPageBox->setFixedWidth(PageBoxWidth);
    m_pPageBox->SetBackdrop(IDB_TOOLBAR_BACKDROP);
    addWidget(m_pPageBox);

    connect(m_pSlider, &QAbstractSlider::actionTriggered, this, &CSCrollToolBar::OnSliderAction);
    connect(m_pSlider, &QAbstractSlider::sliderReleased, this, [this] { OnSliderEnd(m_pSlider->sliderPosition()); });
    // While dragging, the position shows in a tooltip at the handle only.
    connect(m_pSlider, &QAbstractSlider::sliderMoved, this, [this](int nPosition) {
        QStyleOptionSlider option;
        option.initFrom(m_pSlider);
        option.orientation = m_pSlider->orientation();
        option.minimum = m_pSlider->minimum();
        option.maximum = m_pSlider->maximum();
        option.sliderPosition = nPosition;
        option.sliderValue = nPosition;
        const QRect handle = m_pSlider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                                 QStyle::SC_SliderHandle, m_pSlider);
        QToolTip::showText(m_pSlider->mapToGlobal(handle.bottomLeft()), QString::number(nPosition), m_pSlider);
        ShowSliderCursor();
    });
    connect(m_pSlider, &QAbstractSlider::sliderPressed, this, &CSCrollToolBar::ShowSliderCursor);
    return true;
}

void CSCrollToolBar::SetPageRange(int nLow, int nHigh) {
    if (!m_pSlider) return;
    const bool bBlocked = m_pSlider->blockSignals(true);
    m_pSlider->setRange(nLow, nHigh);
    m_pSlider->blockSignals(bBlocked);
    m_pSlider->update();
}

void CSCrollToolBar::SetPagePosition(int nPage) {
    if (!m_pSlider) return;
    const bool bBlocked = m_pSlider->blockSignals(true);
    m_pSlider->setValue(nPage);
    m_pSlider->blockSignals(bBlocked);
}

void CSCrollToolBar::SetPageIndicator(const QString& strText) {
    if (m_pPageBox) m_pPageBox->setText(strText);
}

void CSCrollToolBar::ShowSliderCursor() {
    const QPixmap cursor(CursorResource(IDC_SLIDER));
    if (!cursor.isNull()) m_pSlider->setCursor(QCursor(cursor, 0, 0));
}

void CSCrollToolBar::OnSliderAction(int nAction) {
    ShowSliderCursor();
    // A drag ends when the handle is let go (sliderReleased); a key, a
    // click beside the handle or the wheel ends its move at once. The new
    // position is already the slider's.
    if (nAction == QAbstractSlider::SliderNoAction) return;
    if (nAction == QAbstractSlider::SliderMove && m_pSlider->isSliderDown()) return;
    OnSliderEnd(m_pSlider->sliderPosition());
}

void CSCrollToolBar::OnSliderEnd(int nPage) {
    ShowSliderCursor();
    if (!m_pLeftForm || m_pLeftForm->m_nCurVolume == 0) return;
    m_pLeftForm->OpenVolumePage(m_pLeftForm->m_nCurVolume, 0, nPage);
    m_pLeftForm->m_nCurPage = nPage;
    SetPageIndicator(m_pLeftForm->PageIndicator());
}
