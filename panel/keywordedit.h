#pragma once

#include <QLineEdit>

// The keyword box of the search tab: one line of text in a CJK font that
// has the corpus's characters. Enter is not kept by the box: it goes on to
// the panel, which starts the search from it.
class CKeywordEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CKeywordEdit(QWidget* pParent = nullptr);

    // The font families tried in turn for the keywords.
    static QStringList FontFamilies();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
};
