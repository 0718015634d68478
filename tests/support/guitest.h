#pragma once

#include "support/tempdir.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CBookView;
class CMainFrame;
class QWidget;

// A small corpus for the window tests, written by the corpus writer:
//   經部 / 論語 / 學而第一 (pages 1, 2), 為政第二 (page 1)
//        / 孟子 / 梁惠王上 (pages 1, 2, 3)
//   集部 / 唐詩選 / 卷一 (pages 5, 6)
// Page texts name their place: "論語 學而第一 第1頁 …"; the page files'
// titles are "book volume page" ("論語 學而第一 1").
class CGuiCorpus {
public:
    CGuiCorpus();
    const std::string& Path() const { return m_dir.Path(); }
    QString Folder() const { return QString::fromStdString(m_dir.Path()); }
    std::string File(const std::string& strName) const { return m_dir.File(strName); }
    void Write(const std::string& strName, const std::string& strBytes) const { m_dir.Write(strName, strBytes); }
    void Remove(const std::string& strName) const;

private:
    CTempDir m_dir;
};

// A corpus for searching and browsing, with annotations ({…}):
//   經部 / 論語 / 學而第一 (pages 1-3), 為政第二 (pages 1-2)
//   集部 / 唐詩 / 卷一 (pages 5-105, or nKan1Pages from page 5)
// 學 stands on 學而第一 page 1 three times, twice in the main text and once
// in an annotation; 明月 on each page of 卷一 once in the main text and
// once in an annotation (101 pages: two list pages of rows).
class CGuiSearchCorpus {
public:
    // Catalogue slots.
    enum Slot { Keibu = 1, Rongo, Gakuji, Isei, Shubu, Toshi, Kan1 };
    static constexpr int Kan1FirstPage = 5;
    static constexpr int Kan1Pages = 101;

    explicit CGuiSearchCorpus(int nKan1Pages = Kan1Pages);
    QString Folder() const { return QString::fromStdString(m_dir.Path()); }

private:
    CTempDir m_dir;
};

// Answers every message box and dialog of the program while it lives
// (they are rejected) and records them.
class CModalRecorder {
public:
    struct Entry {
        QString strClass;    // the dialog's class, "QMessageBox" for messages
        QString strCaption;  // window title
        QString strText;     // the message, for message boxes
    };

    CModalRecorder();
    ~CModalRecorder();
    CModalRecorder(const CModalRecorder&) = delete;
    CModalRecorder& operator=(const CModalRecorder&) = delete;

    const std::vector<Entry>& Entries() const { return m_entries; }
    QStringList Messages() const;  // texts of the message boxes, in order
    void Clear() { m_entries.clear(); }

private:
    std::vector<Entry> m_entries;
};

// Makes the main window on folder, shows it at 1024 x 700 and waits until
// it is exposed and active.
std::unique_ptr<CMainFrame> ShowFrame(const QString& strFolder);
// Waits (up to 15 s) until the page view has finished loading a page whose
// location ends with strEnd. False on time-out.
bool WaitForLocation(CBookView& view, const QString& strEnd);
// The page's text, read from the browser (waits for the answer).
QString PageText(CBookView& view);
