#pragma once

#include "model/citation.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

// "引用へ移動…": a citation pasted or typed (any spacing, full-width digits,
// 第/頁 around the page number, a whole quotation as "引用付きでコピー"
// makes it) is read against the catalogue. A citation that names a page
// closes the dialog with that page; one that does not says on the dialog
// what did not match (the book, the volume, the page range of the volume),
// and one that names several volumes lists them to choose from.
// REQUIRES: the citations outlive the dialog.
class CCitationDlg : public QDialog {
    Q_OBJECT

public:
    // strExample: a citation shown as the example (the page on display);
    // empty for none.
    CCitationDlg(const CCitation& citation, const QString& strExample, QWidget* pParent = nullptr);

    QLineEdit* CitationEdit() const { return m_pEdit; }
    QLabel* MessageLine() const { return m_pMessage; }
    QListWidget* Candidates() const { return m_pCandidates; }
    // Reads the edit: accepts the dialog when it names a page, else tells
    // why on the dialog. The outcome of the last reading.
    CCitation::Outcome TryAccept();
    // The last reading (Found once the dialog is accepted).
    const CCitation::Match& Result() const { return m_match; }

    // Why a citation matched nothing, in the reader's words; empty for Found.
    static QString Explain(const CCitation::Match& match);

private:
    void OnCandidateChosen();

    const CCitation& m_citation;
    QLineEdit* m_pEdit = nullptr;
    QLabel* m_pMessage = nullptr;
    QListWidget* m_pCandidates = nullptr;
    CCitation::Match m_match;
};
