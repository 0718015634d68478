#pragma once

#include "model/bookmark.h"

#include <QDialog>

#include <string>
#include <vector>

class CBookmarkModel;
class CBookmarkStore;
class QLabel;
class QPushButton;
class QTableView;

// "しおり一覧…": every bookmark, newest first (引用, メモ, 日時). 開く (or a
// double click, or Enter) closes the list with the bookmark chosen
// (Chosen()); メモを編集… changes its note; 削除 deletes the chosen rows
// after asking; CSV に書き出し… writes every bookmark to a CSV file.
// Every change goes to the store at once.
// REQUIRES: the store outlives the dialog.
class CBookmarksDlg : public QDialog {
    Q_OBJECT

public:
    // strCatalogue: the open corpus's catalogue digest (bookmarks of
    // another are drawn grey).
    CBookmarksDlg(CBookmarkStore& store, const std::string& strCatalogue, QWidget* pParent = nullptr);

    QTableView* Table() const { return m_pTable; }
    CBookmarkModel* Model() const { return m_pModel; }
    QLabel* StatusLine() const { return m_pStatus; }
    QPushButton* Button(const char* pszName) const;

    // Reads the bookmarks again. False (said on the status line) when the
    // store cannot be read.
    bool Reload();
    // Accepts the dialog with the current row's bookmark; nothing without one.
    void OpenCurrent();
    const BookmarkTag& Chosen() const { return m_chosen; }
    // Asks for the current row's note and stores it.
    bool EditCurrentNote();
    // Deletes the selected rows after asking.
    bool RemoveSelected();
    // Writes every bookmark as CSV to strPath. False with strError.
    bool ExportTo(const QString& strPath, QString& strError);

private:
    void OnExport();
    void UpdateStatus();
    void UpdateButtons();
    std::vector<int> SelectedRows() const;
    void ShowError(const QString& strWhat);

    CBookmarkStore& m_store;
    std::string m_strCatalogue;
    CBookmarkModel* m_pModel = nullptr;
    QTableView* m_pTable = nullptr;
    QLabel* m_pStatus = nullptr;
    BookmarkTag m_chosen;
};
