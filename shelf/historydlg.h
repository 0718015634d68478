#pragma once

#include "model/historyentry.h"

#include <QDialog>

#include <string>
#include <vector>

class CHistoryModel;
class CHistoryStore;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

// "検索履歴…": the searches, newest first (日時, キーワード, 条件, 範囲, 頁,
// 箇所). 再検索 (or a double click, or Enter) closes the list with the
// search chosen (Chosen()) to run it again; 削除 deletes the chosen rows;
// すべて消去… clears the history after asking; 上限 sets how many searches
// are kept (lowering it asks first, since the oldest go).
// REQUIRES: the store outlives the dialog.
class CHistoryDlg : public QDialog {
    Q_OBJECT

public:
    CHistoryDlg(CHistoryStore& store, const std::string& strCatalogue, QWidget* pParent = nullptr);

    QTableView* Table() const { return m_pTable; }
    CHistoryModel* Model() const { return m_pModel; }
    QSpinBox* LimitBox() const { return m_pLimit; }
    QLabel* StatusLine() const { return m_pStatus; }
    QPushButton* Button(const char* pszName) const;

    bool Reload();
    // Accepts the dialog with the current row's search.
    void RunCurrent();
    const HistoryEntryTag& Chosen() const { return m_chosen; }
    bool RemoveSelected();
    // Clears the history after asking.
    bool ClearAll();
    // Keeps the limit in the box, asking first when entries would go.
    // False when it was not kept (refused, or not written).
    bool ApplyLimit();

    void done(int nResult) override;

private:
    void UpdateStatus();
    void UpdateButtons();
    std::vector<int> SelectedRows() const;
    bool Ask(const QString& strQuestion, const QString& strYes);
    void ShowError(const QString& strWhat);

    CHistoryStore& m_store;
    std::string m_strCatalogue;
    CHistoryModel* m_pModel = nullptr;
    QTableView* m_pTable = nullptr;
    QSpinBox* m_pLimit = nullptr;
    QLabel* m_pStatus = nullptr;
    int m_nLimit = 0;
    HistoryEntryTag m_chosen;
};
