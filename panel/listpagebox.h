#pragma once

#include <QWidget>

#include <cstdint>

class CToolTipResourceButton;
class QLabel;
class QLineEdit;

// The list page box under the result list: "<", the number of the list
// page on display (an edit that takes a number), the count ("/6") and ">".
// It shows the list page it is given and reads the number typed; which
// list page is on display is its owner's to keep. The buttons take no
// focus.
//
// The box lies over the whole panel, so that its controls are placed in
// the panel's coordinates like the panel's other controls; its mask is its
// controls, so that everywhere else the controls beneath get the mouse.
class CListPageBox : public QWidget {
    Q_OBJECT

public:
    explicit CListPageBox(QWidget* pParent = nullptr);

    CToolTipResourceButton* PrevButton() const { return m_pPrev; }
    CToolTipResourceButton* NextButton() const { return m_pNext; }
    QLineEdit* PageEdit() const { return m_pEdit; }
    QLabel* CountLabel() const { return m_pCount; }

    // The buttons' pictures and tooltips.
    void SetUpButtons();
    // Places the controls along the bottom of a panel of nWidth x nHeight
    // pixels, the count wide enough for "/nPages", and takes the panel's
    // size.
    void Place(int nWidth, int nHeight, int32_t nPages);
    // The height the box takes at the panel's bottom, which the result list
    // gives up.
    int Room() const;

    // Shows list page nPage of nPages: its number selected in the edit, the
    // count, and "<" and ">" enabled where there is a page to go to (with
    // one page the edit is read-only).
    void ShowPage(int32_t nPage, int32_t nPages);
    // The list page typed into the edit if it lies in 1 .. nPages (leading
    // digits, as a C decimal conversion reads them). Otherwise 0, and the
    // edit shows nCurrent again, selected.
    int32_t TypedPage(int32_t nCurrent, int32_t nPages);

signals:
    void prevClicked();
    void nextClicked();
    // The edit lost the focus: what was typed into it is to be applied.
    void editLeft();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    CToolTipResourceButton* m_pPrev = nullptr;
    CToolTipResourceButton* m_pNext = nullptr;
    QLineEdit* m_pEdit = nullptr;
    QLabel* m_pCount = nullptr;
};
