#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// "しおりを挟む" and the note of a bookmark: the page's citation, and the
// note in a field of several lines (empty is fine).
class CBookmarkNoteDlg : public QDialog {
    Q_OBJECT

public:
    // bNew: a bookmark about to be made ("挟む"), else one whose note is
    // changed ("保存").
    CBookmarkNoteDlg(const QString& strCitation, const QString& strNote, bool bNew, QWidget* pParent = nullptr);

    QPlainTextEdit* NoteEdit() const { return m_pNote; }
    QString Note() const;
    QLabel* CitationLabel() const { return m_pCitation; }

private:
    QLabel* m_pCitation = nullptr;
    QPlainTextEdit* m_pNote = nullptr;
};
